#include "AudioFiles.h"

#include "HostError.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace
{
// Bytes per sample of the uncompressed encodings; 0 for the rest.
int bytesPerSample(int format)
{
    switch (format & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW: return 1;
        case SF_FORMAT_PCM_16: return 2;
        case SF_FORMAT_PCM_24: return 3;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT: return 4;
        case SF_FORMAT_DOUBLE: return 8;
        default: return 0;
    }
}

// The frames the audio data chunk's declared length holds, or -1 when it cannot be told.
int64_t declaredFrames(SNDFILE* file, const SF_INFO& info)
{
    const int frameBytes = bytesPerSample(info.format) * info.channels;
    // The sample data chunks of WAV and AIFF; AIFF's starts with 8 bytes of offset and block size.
    const struct
    {
        const char* id;
        uint32_t header;
    } dataChunks[] = {{"data", 0}, {"SSND", 8}};
    for (const auto& dataChunk : dataChunks)
    {
        SF_CHUNK_INFO wanted{};
        std::strcpy(wanted.id, dataChunk.id);
        wanted.id_size = 4;
        SF_CHUNK_ITERATOR* const chunk = sf_get_chunk_iterator(file, &wanted);
        SF_CHUNK_INFO found{};
        if (frameBytes == 0 || chunk == nullptr || sf_get_chunk_size(chunk, &found) != SF_ERR_NO_ERROR)
            continue;
        // Streamed files leave the length at 0 or all ones; RF64 keeps the real one elsewhere.
        if (found.datalen == 0 || found.datalen == 0xFFFFFFFFu || found.datalen < dataChunk.header)
            return -1;
        return (found.datalen - dataChunk.header) / static_cast<uint32_t>(frameBytes);
    }
    return -1;
}

HostError writeError(const std::string& path, const std::string& reason)
{
    return HostError("cannot write '" + path + "': " + reason);
}

HostError readError(const std::string& path, const std::string& reason)
{
    return HostError("cannot read '" + path + "': " + reason);
}
} // namespace

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path)
{
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0)
        throw readError(path, fileErrorText(errno));
    if (S_ISDIR(status.st_mode))
        throw readError(path, "it is a folder");
    if (S_ISREG(status.st_mode) && status.st_size == 0)
        throw readError(path, "the file is empty");
    SF_INFO info{};
    mFile = sf_open(path.c_str(), SFM_READ, &info);
    if (mFile == nullptr)
    {
        const int error = errno;
        switch (sf_error(nullptr))
        {
            case SF_ERR_UNRECOGNISED_FORMAT:
                throw readError(path, "it is not an audio file (WAV, AIFF, FLAC, Ogg Vorbis, ...)");
            case SF_ERR_SYSTEM: throw readError(path, fileErrorText(error));
            case SF_ERR_UNSUPPORTED_ENCODING: throw readError(path, "its samples are in an encoding that is not read");
            default: throw readError(path, "its header is damaged");
        }
    }
    mChannels = info.channels;
    mSampleRate = info.samplerate;
    mFrames = info.frames;
    mPromisedFrames = std::max<int64_t>(mFrames, declaredFrames(mFile, info));
}

AudioFileReader::~AudioFileReader()
{
    sf_close(mFile);
}

int64_t AudioFileReader::read(float* interleaved, int64_t frames)
{
    const sf_count_t done = sf_readf_float(mFile, interleaved, frames);
    if (done < frames && sf_error(mFile) != SF_ERR_NO_ERROR)
        throw readError(mPath, "it could not be read to its end");
    return done;
}

void AudioFileReader::seek(int64_t frame)
{
    if (sf_seek(mFile, frame, SEEK_SET) != frame)
        throw readError(mPath, "it cannot be read from frame " + std::to_string(frame));
}

namespace
{
int wavFormat(AudioSampleFormat format)
{
    switch (format)
    {
        case AudioSampleFormat::Pcm16: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        case AudioSampleFormat::Pcm24: return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
        case AudioSampleFormat::Float32: break;
    }
    return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}
} // namespace

AtomicWavWriter::AtomicWavWriter(const std::string& path, int channels, int sampleRate, AudioSampleFormat format)
    : mOwned(std::make_unique<ReplacingFile>(path)), mTarget(*mOwned)
{
    open(channels, sampleRate, format);
}

AtomicWavWriter::AtomicWavWriter(ReplacingFile& target, int channels, int sampleRate, AudioSampleFormat format)
    : mTarget(target)
{
    open(channels, sampleRate, format);
}

void AtomicWavWriter::open(int channels, int sampleRate, AudioSampleFormat format)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = wavFormat(format);
    mFile = sf_open_fd(mTarget.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (mFile == nullptr)
        throw writeError(mTarget.path(), "the WAV file could not be started");
    // The peak chunk carries the time of writing: without it, one render gives one file, byte for byte.
    sf_command(mFile, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    // Integer formats clip what lies beyond full scale instead of wrapping it round.
    sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AtomicWavWriter::~AtomicWavWriter()
{
    if (mFile != nullptr)
        sf_close(mFile);
}

void AtomicWavWriter::write(const float* interleaved, int64_t frames)
{
    errno = 0;
    if (sf_writef_float(mFile, interleaved, frames) != frames)
    {
        const int error = errno;
        throw writeError(mTarget.path(), error != 0 ? fileErrorText(error) : "the samples could not be written");
    }
}

void AtomicWavWriter::finish()
{
    const int closed = sf_close(mFile);
    mFile = nullptr;
    if (closed != 0)
        throw writeError(mTarget.path(), "the WAV file could not be completed");
    mTarget.finish();
}

void AtomicWavWriter::commit()
{
    finish();
    mTarget.commit();
}

bool parseAudioSampleFormat(const std::string& text, AudioSampleFormat& format)
{
    if (text == "float")
        format = AudioSampleFormat::Float32;
    else if (text == "pcm16")
        format = AudioSampleFormat::Pcm16;
    else if (text == "pcm24")
        format = AudioSampleFormat::Pcm24;
    else
        return false;
    return true;
}
