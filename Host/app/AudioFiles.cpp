#include "AudioFiles.h"

#include "HostError.h"
#include "InterruptCleanup.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <limits.h>
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

// The folder part of a path ("." for a bare name) and its last name.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a file written at `path` ends up: symbolic links followed, even to a target that does not exist yet.
std::string linkTarget(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops)
    {
        struct stat status
        {
        };
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        char target[PATH_MAX];
        const ssize_t size = ::readlink(current.c_str(), target, sizeof target - 1);
        if (size <= 0)
            return current;
        const std::string next(target, static_cast<size_t>(size));
        current = next[0] == '/' ? next : folderOf(current) + "/" + next;
    }
    return current;
}

// The place `path` names, made comparable: links followed and the folder canonical where it exists.
std::string canonicalPlace(const std::string& path)
{
    const std::string target = linkTarget(path);
    char folder[PATH_MAX];
    if (::realpath(folderOf(target).c_str(), folder) == nullptr)
        return target;
    return std::string(folder) + (folder[1] == '\0' ? "" : "/") + nameOf(target);
}

void writeAll(int descriptor, const char* bytes, size_t size, const std::string& path)
{
    size_t written = 0;
    while (written < size)
    {
        const ssize_t done = ::write(descriptor, bytes + written, size - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw writeError(path, fileErrorText(done < 0 ? errno : ENOSPC));
        written += static_cast<size_t>(done);
    }
}
} // namespace

std::string fileErrorText(int error)
{
    switch (error)
    {
        case ENOENT: return "there is no such file";
        case ENOTDIR: return "a part of the path is not a folder";
        case EISDIR: return "it is a folder";
        case EACCES:
        case EPERM: return "permission denied";
        case ENOSPC: return "the disk is full";
        case EDQUOT: return "the disk quota is used up";
        case EROFS: return "the file system is read-only";
        case ENAMETOOLONG: return "the name is too long";
        case ELOOP: return "too many symbolic links";
        case EIO: return "an input/output error of the disk";
        default: return "error " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

void checkWritable(const std::string& path)
{
    const std::string target = linkTarget(path);
    struct stat status
    {
    };
    if (::stat(target.c_str(), &status) == 0)
    {
        if (S_ISDIR(status.st_mode))
            throw writeError(path, "it is a folder");
        // A device or a pipe would be replaced by a plain file, not written to.
        if (!S_ISREG(status.st_mode))
            throw writeError(path, "it is not a plain file");
    }
    const std::string folder = folderOf(target);
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        throw writeError(path, "there is no folder '" + folder + "'");
    if (::access(folder.c_str(), W_OK) != 0)
        throw writeError(path, "the folder '" + folder + "' cannot be written to");
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a
    {
    };
    struct stat b
    {
    };
    if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return canonicalPlace(first) == canonicalPlace(second);
}

void refuseOverwriting(const std::vector<RoleAndPath>& read, const std::vector<RoleAndPath>& written)
{
    for (size_t i = 0; i < written.size(); ++i)
    {
        const auto& [role, path] = written[i];
        // A file read must exist; one that does not is reported as missing when it is read.
        struct stat status
        {
        };
        for (const auto& [readRole, readPath] : read)
            if (::stat(readPath.c_str(), &status) == 0 && sameFile(path, readPath))
                throw HostError("refusing to write " + role + " '" + path + "': it is " + readRole + " '" + readPath
                                + "'");
        for (size_t j = 0; j < i; ++j)
            if (sameFile(path, written[j].path))
                throw HostError("refusing to write " + role + " '" + path + "': it is also " + written[j].role + " '"
                                + written[j].path + "'");
    }
}

ReplacingFile::ReplacingFile(const std::string& path) : mPath(path), mTargetPath(linkTarget(path))
{
    checkWritable(path);
    std::string pattern = folderOf(mTargetPath) + "/." + nameOf(mTargetPath) + ".partial-XXXXXX";
    if (mTargetPath.find('/') == std::string::npos)
        pattern = "." + mTargetPath + ".partial-XXXXXX";
    struct stat existing
    {
    };
    const bool replaces = ::stat(mTargetPath.c_str(), &existing) == 0;
    mCleanupSlot = interrupt_cleanup::reserve();
    mDescriptor = ::mkstemp(pattern.data());
    if (mDescriptor < 0)
    {
        const int error = errno;
        interrupt_cleanup::forget(mCleanupSlot);
        throw writeError(path, fileErrorText(error));
    }
    mTemporaryPath = pattern;
    interrupt_cleanup::track(mCleanupSlot, mTemporaryPath.c_str());
    // The finished file keeps the permissions of the file it replaces, or gets those of any new file rather
    // than the private ones of a temporary file.
    mode_t mode = existing.st_mode & 07777;
    if (!replaces)
    {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(mDescriptor, mode);
}

ReplacingFile::~ReplacingFile()
{
    if (mDescriptor >= 0)
        ::close(mDescriptor);
    if (!mTemporaryPath.empty())
        ::unlink(mTemporaryPath.c_str());
    interrupt_cleanup::forget(mCleanupSlot);
}

void ReplacingFile::write(const std::vector<char>& bytes)
{
    writeAll(mDescriptor, bytes.data(), bytes.size(), mPath);
}

void ReplacingFile::finish()
{
    if (mDescriptor < 0)
        return;
    const bool synced = ::fsync(mDescriptor) == 0;
    const int error = errno;
    const bool closed = ::close(mDescriptor) == 0;
    mDescriptor = -1;
    if (!synced || !closed)
        throw writeError(mPath, fileErrorText(synced ? errno : error));
}

void ReplacingFile::commit()
{
    commitTogether({this});
}

void commitTogether(const std::vector<ReplacingFile*>& files)
{
    for (ReplacingFile* file : files)
    {
        file->finish();
        // What took the place of a file meanwhile is found before anything is renamed.
        struct stat status
        {
        };
        if (::stat(file->mTargetPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            throw writeError(file->mPath, "it is a folder");
    }
    interrupt_cleanup::beginCommit();
    std::string failure;
    for (ReplacingFile* file : files)
    {
        if (std::rename(file->mTemporaryPath.c_str(), file->mTargetPath.c_str()) != 0)
        {
            failure = "cannot write '" + file->mPath + "': " + fileErrorText(errno);
            break;
        }
        file->mTemporaryPath.clear();
        interrupt_cleanup::forget(file->mCleanupSlot);
        file->mCleanupSlot = -1;
    }
    interrupt_cleanup::endCommit();
    if (!failure.empty())
        throw HostError(failure);
}

void replaceFile(const std::string& path, const std::vector<char>& bytes)
{
    ReplacingFile file(path);
    file.write(bytes);
    file.commit();
}

std::vector<char> readWholeFile(const std::string& path)
{
    // POSIX calls, so that every failure has its reason.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        throw readError(path, fileErrorText(errno));
    // A folder opens, and its read fails with EISDIR.
    std::vector<char> bytes;
    int error = 0;
    char buffer[65536];
    for (;;)
    {
        const ssize_t done = ::read(descriptor, buffer, sizeof buffer);
        if (done > 0)
            bytes.insert(bytes.end(), buffer, buffer + done);
        else if (done == 0)
            break;
        else if (errno != EINTR)
        {
            error = errno;
            break;
        }
    }
    ::close(descriptor);
    if (error != 0)
        throw readError(path, fileErrorText(error));
    return bytes;
}

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
