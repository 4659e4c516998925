#include "AudioFiles.h"

#include "HostError.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

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

uint32_t littleEndian32(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// The length of an RF64 file's audio data, from its "ds64" chunk, which comes first; -1 when it cannot be read.
int64_t rf64DataBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    unsigned char header[36];
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) || std::memcmp(header, "RF64", 4) != 0
        || std::memcmp(header + 12, "ds64", 4) != 0)
        return -1;
    const uint64_t bytes = littleEndian32(header + 28) | uint64_t(littleEndian32(header + 32)) << 32;
    return bytes > uint64_t(std::numeric_limits<int64_t>::max()) ? -1 : static_cast<int64_t>(bytes);
}

// The frames the audio data chunk's declared length holds, or -1 when it cannot be told. `path` is read for
// RF64's length only when it is a plain file: a pipe gives its bytes once, to libsndfile.
int64_t declaredFrames(SNDFILE* file, const SF_INFO& info, const std::string& path, bool plainFile)
{
    const int frameBytes = bytesPerSample(info.format) * info.channels;
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64)
    {
        const int64_t bytes = plainFile && frameBytes > 0 ? rf64DataBytes(path) : -1;
        return bytes < 0 ? -1 : bytes / frameBytes;
    }
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
        // Streamed files leave the length at 0 or all ones.
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
    mPromisedFrames = std::max<int64_t>(mFrames, declaredFrames(mFile, info, path, S_ISREG(status.st_mode)));
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
int sndfileFormat(AudioContainer container, AudioSampleFormat format)
{
    const int type = container == AudioContainer::Rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV;
    switch (format)
    {
        case AudioSampleFormat::Pcm16: return type | SF_FORMAT_PCM_16;
        case AudioSampleFormat::Pcm24: return type | SF_FORMAT_PCM_24;
        case AudioSampleFormat::Float32: break;
    }
    return type | SF_FORMAT_FLOAT;
}
} // namespace

AtomicWavWriter::AtomicWavWriter(const std::string& path, int channels, int sampleRate, AudioSampleFormat format,
                                 int64_t frames)
    : mOwned(std::make_unique<ReplacingFile>(path)), mTarget(*mOwned),
      mContainer(outputLayout(frames, channels, format).container), mFramesLeft(frames)
{
    open(channels, sampleRate, format);
}

AtomicWavWriter::AtomicWavWriter(ReplacingFile& target, int channels, int sampleRate, AudioSampleFormat format,
                                 int64_t frames)
    : mTarget(target), mContainer(outputLayout(frames, channels, format).container), mFramesLeft(frames)
{
    open(channels, sampleRate, format);
}

void AtomicWavWriter::open(int channels, int sampleRate, AudioSampleFormat format)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = sndfileFormat(mContainer, format);
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
    // More than announced could outgrow the container chosen for them.
    if (frames > mFramesLeft)
        throw writeError(mTarget.path(),
                         "more frames than the " + std::string(containerName(mContainer)) + " file was started for");
    mFramesLeft -= frames;
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
    if (mContainer == AudioContainer::Rf64)
        blankPeakChunk();
    mTarget.finish();
}

// libsndfile leaves a float RF64 file's PEAK chunk, and the time of writing in it, however it is told; turned
// into the PAD chunk of the same size that it leaves in a WAV file in its place.
void AtomicWavWriter::blankPeakChunk()
{
    const int descriptor = mTarget.descriptor();
    // The header is written whole at the start; the chunks before the samples lie well inside this.
    constexpr off_t headerLimit = 4096;
    for (off_t offset = 12; offset < headerLimit;)
    {
        unsigned char chunk[8];
        if (::pread(descriptor, chunk, sizeof chunk, offset) != static_cast<ssize_t>(sizeof chunk))
            throw writeError(mTarget.path(), "its header could not be read back");
        if (std::memcmp(chunk, "data", 4) == 0)
            return;
        const uint32_t size = littleEndian32(chunk + 4);
        if (std::memcmp(chunk, "PEAK", 4) == 0)
        {
            std::vector<char> pad(sizeof chunk + size);
            std::memcpy(pad.data(), "PAD ", 4);
            std::memcpy(pad.data() + 4, chunk + 4, 4);
            errno = 0;
            if (::pwrite(descriptor, pad.data(), pad.size(), offset) != static_cast<ssize_t>(pad.size()))
                throw writeError(mTarget.path(), fileErrorText(errno != 0 ? errno : EIO));
            return;
        }
        offset += static_cast<off_t>(sizeof chunk + size + (size & 1));
    }
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
