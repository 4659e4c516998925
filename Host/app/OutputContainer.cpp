#include "OutputContainer.h"

#include <cstdint>

namespace
{
// What libsndfile puts before the samples. WAV: RIFF header 12, "fmt " 8 + 16, and for float a "fact" chunk
// (8 + 4) and the place of the PEAK chunk, which libsndfile fills with a PAD chunk of the same size once the
// chunk is turned off (8 + 8 + 8 per channel), then "data" 8. RF64 adds "ds64" (8 + 28) and takes the
// extensible "fmt " (8 + 40), no "fact".
uint64_t headerBytes(AudioContainer container, int channels, AudioSampleFormat format)
{
    const uint64_t peak = format == AudioSampleFormat::Float32 ? 16 + 8 * static_cast<uint64_t>(channels) : 0;
    if (container == AudioContainer::Rf64)
        return 12 + 36 + 48 + peak + 8;
    return 12 + 24 + (format == AudioSampleFormat::Float32 ? 12 : 0) + peak + 8;
}
} // namespace

int bytesPerSample(AudioSampleFormat format)
{
    switch (format)
    {
        case AudioSampleFormat::Pcm16: return 2;
        case AudioSampleFormat::Pcm24: return 3;
        case AudioSampleFormat::Float32: break;
    }
    return 4;
}

uint64_t outputFileBytes(AudioContainer container, int64_t frames, int channels, AudioSampleFormat format)
{
    const auto frameBytes = static_cast<uint64_t>(channels * bytesPerSample(format));
    // A length no file has (libsndfile's for a stream that does not say its length) counts as the most there is
    // rather than wrapping round to a small one.
    if (frames < 0 || static_cast<uint64_t>(frames) > (UINT64_MAX - 4096) / frameBytes)
        return UINT64_MAX;
    const uint64_t data = static_cast<uint64_t>(frames) * frameBytes;
    // A chunk of odd length is followed by a pad byte.
    return headerBytes(container, channels, format) + data + (data & 1);
}

OutputLayout outputLayout(int64_t frames, int channels, AudioSampleFormat format)
{
    const uint64_t wav = outputFileBytes(AudioContainer::Wav, frames, channels, format);
    if (wav <= largestWavFileBytes)
        return {AudioContainer::Wav, wav};
    return {AudioContainer::Rf64, outputFileBytes(AudioContainer::Rf64, frames, channels, format)};
}

const char* containerName(AudioContainer container)
{
    return container == AudioContainer::Rf64 ? "RF64" : "WAV";
}
