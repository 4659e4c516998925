// Which container an output of known length is written in, and how long the file libsndfile writes is: WAV's
// RIFF and data sizes are 32-bit, so a file that does not fit them is written as RF64 instead, whose 64-bit
// sizes every reader of RF64 takes. Decided before the first byte, so every output that fits stays a plain WAV.
#pragma once

#include <cstdint>

enum class AudioSampleFormat
{
    Float32,
    Pcm16,
    Pcm24
};

enum class AudioContainer
{
    Wav,
    Rf64
};

struct OutputLayout
{
    AudioContainer container = AudioContainer::Wav;
    // The whole file: header, samples and the pad byte after an odd number of bytes of them.
    uint64_t bytes = 0;
};

// The largest file a WAV header describes: its RIFF size counts everything after the first 8 bytes.
constexpr uint64_t largestWavFileBytes = 0xFFFFFFFFull + 8;

int bytesPerSample(AudioSampleFormat format);

// The length of the file libsndfile writes of `frames` frames of `channels` channels (1 or 2) in `format` and
// `container`, with the PEAK chunk turned off as kelvane_host writes it.
uint64_t outputFileBytes(AudioContainer container, int64_t frames, int channels, AudioSampleFormat format);

// The container kelvane_host writes such an output in, and the file's length: WAV while it fits.
OutputLayout outputLayout(int64_t frames, int channels, AudioSampleFormat format);

// "WAV" or "RF64".
const char* containerName(AudioContainer container);
