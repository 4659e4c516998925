#include "AudioFiles.h"

#include "HostError.h"
#include "InterruptCleanup.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
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
} // namespace

ReplacingFile::ReplacingFile(const std::string& path) : mPath(path)
{
    const size_t slash = path.find_last_of('/');
    std::string pattern =
        slash == std::string::npos ? "." + path : path.substr(0, slash + 1) + "." + path.substr(slash + 1);
    pattern += ".partial-XXXXXX";
    mCleanupSlot = interrupt_cleanup::reserve();
    mDescriptor = ::mkstemp(pattern.data());
    if (mDescriptor < 0)
    {
        const int error = errno;
        interrupt_cleanup::forget(mCleanupSlot);
        throw writeError(path, std::strerror(error));
    }
    mTemporaryPath = pattern;
    interrupt_cleanup::track(mCleanupSlot, mTemporaryPath.c_str());
    // The finished file gets the permissions of any new file, not the private ones of a temporary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(mDescriptor, 0666 & ~mask);
}

ReplacingFile::~ReplacingFile()
{
    if (mDescriptor >= 0)
        ::close(mDescriptor);
    if (!mTemporaryPath.empty())
        ::unlink(mTemporaryPath.c_str());
    interrupt_cleanup::forget(mCleanupSlot);
}

void ReplacingFile::commit()
{
    const bool synced = ::fsync(mDescriptor) == 0;
    const bool closed = ::close(mDescriptor) == 0;
    mDescriptor = -1;
    if (!synced || !closed || std::rename(mTemporaryPath.c_str(), mPath.c_str()) != 0)
        throw writeError(mPath, std::strerror(errno));
    mTemporaryPath.clear();
    interrupt_cleanup::forget(mCleanupSlot);
    mCleanupSlot = -1;
}

void replaceFile(const std::string& path, const std::vector<char>& bytes)
{
    ReplacingFile file(path);
    size_t written = 0;
    while (written < bytes.size())
    {
        const ssize_t done = ::write(file.descriptor(), bytes.data() + written, bytes.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw writeError(path, std::strerror(errno));
        written += static_cast<size_t>(done);
    }
    file.commit();
}

std::vector<char> readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw HostError("cannot read '" + path + "': " + std::strerror(errno));
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw HostError("cannot read '" + path + "'");
    return bytes;
}

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path)
{
    SF_INFO info{};
    mFile = sf_open(path.c_str(), SFM_READ, &info);
    if (mFile == nullptr)
    {
        struct stat status
        {
        };
        if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0)
            throw HostError("cannot read '" + path + "': the file is empty");
        throw HostError("cannot read '" + path + "': " + sf_strerror(nullptr));
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
        throw HostError("cannot read '" + mPath + "': " + sf_strerror(mFile));
    return done;
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
    : mPath(path), mTarget(path)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = wavFormat(format);
    mFile = sf_open_fd(mTarget.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (mFile == nullptr)
        throw writeError(path, sf_strerror(nullptr));
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
    if (sf_writef_float(mFile, interleaved, frames) != frames)
        throw writeError(mPath, sf_strerror(mFile));
}

void AtomicWavWriter::commit()
{
    const int closed = sf_close(mFile);
    mFile = nullptr;
    if (closed != 0)
        throw writeError(mPath, sf_error_number(closed));
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
