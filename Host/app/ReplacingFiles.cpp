#include "ReplacingFiles.h"

#include "HostError.h"
#include "InterruptCleanup.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A named temporary file unchanged for this long and unlocked belongs to no live run: a run locks it right
// after making it.
constexpr time_t kStaleSeconds = 10;

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

// The hidden name of a file being written to `target`, without its six random characters.
std::string temporaryPrefix(const std::string& target)
{
    const std::string hidden = "." + nameOf(target) + ".partial-";
    return target.find('/') == std::string::npos ? hidden : folderOf(target) + "/" + hidden;
}

bool isTemporaryName(const std::string& name, const std::string& prefix)
{
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (size_t i = prefix.size(); i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

std::string randomSuffix()
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i)
        suffix += kLetters[pick(device)];
    return suffix;
}

// Whether the hidden file `name` in `folder` looks left by a run stopped by force: a plain file, locked by no
// live run. Its lock is tried only once it is past the instant in which a live run locks its own, and only a
// shared one, which no other reader is kept from. Nothing is changed.
bool looksLeftBehind(int folder, const char* name, time_t now, struct stat& named)
{
    if (::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode)
        || now - named.st_mtime < kStaleSeconds)
        return false;
    const int descriptor = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool unlocked = ::flock(descriptor, LOCK_SH | LOCK_NB) == 0;
    ::close(descriptor);
    return unlocked;
}

// A test aid: KELVANE_HOST_NO_TMPFILE=1 makes every file take the path of a file system without unnamed files.
bool unnamedFilesDisabled()
{
    static const bool disabled = [] {
        const char* const value = std::getenv("KELVANE_HOST_NO_TMPFILE");
        return value != nullptr && std::strcmp(value, "1") == 0;
    }();
    return disabled;
}

// The errors of a file system (or kernel) that cannot make an unnamed file in a folder.
bool lacksUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

std::string descriptorPath(int descriptor)
{
    return "/proc/self/fd/" + std::to_string(descriptor);
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
        case ENOSPC: return "no space left on device";
        case EDQUOT: return "the disk quota is used up";
        case EROFS: return "the file system is read-only";
        case ENAMETOOLONG: return "the name is too long";
        case ELOOP: return "too many levels of symbolic links";
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
        // The rename would replace it all the same; cp refuses, and so do we. The superuser may write it.
        if (::access(target.c_str(), W_OK) != 0 && errno == EACCES)
            throw writeError(path, "it is write-protected");
    }
    // A missing file is made; a loop of links or an unreachable path is not.
    else if (errno != ENOENT && errno != ENOTDIR)
        throw writeError(path, fileErrorText(errno));
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

bool isWithin(const std::string& path, const std::string& folder)
{
    const std::string place = canonicalPlace(path);
    return place == folder || place.compare(0, folder.size() + 1, folder + "/") == 0;
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
    struct stat existing
    {
    };
    const bool replaces = ::stat(mTargetPath.c_str(), &existing) == 0;
    if (!unnamedFilesDisabled())
    {
        mDescriptor = ::open(folderOf(mTargetPath).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (mDescriptor < 0 && !lacksUnnamedFiles(errno))
            throw writeError(path, fileErrorText(errno));
        // The name is given through /proc at commit; without it, the file could never be put in place.
        if (mDescriptor >= 0 && ::access(descriptorPath(mDescriptor).c_str(), F_OK) != 0)
        {
            ::close(mDescriptor);
            mDescriptor = -1;
        }
        mUnnamed = mDescriptor >= 0;
    }
    if (!mUnnamed)
        openNamed(path);
    // Held while the program lives, so that another run never names the file, once it has a name, as one that
    // a killed run left.
    ::flock(mDescriptor, LOCK_EX | LOCK_NB);
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

void ReplacingFile::openNamed(const std::string& path)
{
    std::string pattern = temporaryPrefix(mTargetPath) + "XXXXXX";
    mCleanupSlot = interrupt_cleanup::reserve();
    mDescriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (mDescriptor < 0)
    {
        const int error = errno;
        interrupt_cleanup::forget(mCleanupSlot);
        mCleanupSlot = -1;
        throw writeError(path, fileErrorText(error));
    }
    mTemporaryPath = pattern;
    interrupt_cleanup::track(mCleanupSlot, mTemporaryPath.c_str());
}

bool ReplacingFile::linkUnnamed()
{
    mCleanupSlot = interrupt_cleanup::reserve();
    const std::string source = descriptorPath(mDescriptor);
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const std::string name = temporaryPrefix(mTargetPath) + randomSuffix();
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        {
            mTemporaryPath = name;
            interrupt_cleanup::track(mCleanupSlot, mTemporaryPath.c_str());
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    interrupt_cleanup::forget(mCleanupSlot);
    mCleanupSlot = -1;
    errno = error;
    return false;
}

ReplacingFile::~ReplacingFile()
{
    // The name goes while the lock is still held.
    if (!mTemporaryPath.empty())
        ::unlink(mTemporaryPath.c_str());
    if (mDescriptor >= 0)
        ::close(mDescriptor);
    interrupt_cleanup::forget(mCleanupSlot);
}

void ReplacingFile::write(const std::vector<char>& bytes)
{
    writeAll(mDescriptor, bytes.data(), bytes.size(), mPath);
}

void ReplacingFile::finish()
{
    if (mFinished)
        return;
    mFinished = true;
    if (::fsync(mDescriptor) != 0)
        throw writeError(mPath, fileErrorText(errno));
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
        if ((file->mUnnamed && !file->linkUnnamed())
            || std::rename(file->mTemporaryPath.c_str(), file->mTargetPath.c_str()) != 0)
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

std::vector<std::string> leftoverNotices(const std::vector<ReplacingFile*>& files)
{
    std::vector<std::string> notices;
    std::set<std::pair<dev_t, ino_t>> named;
    const time_t now = std::time(nullptr);
    for (const ReplacingFile* file : files)
    {
        DIR* const folder = ::opendir(folderOf(file->mTargetPath).c_str());
        if (folder == nullptr)
            continue;
        const std::string prefix = "." + nameOf(file->mTargetPath) + ".partial-";
        while (const dirent* entry = ::readdir(folder))
        {
            struct stat status
            {
            };
            if (isTemporaryName(entry->d_name, prefix) && looksLeftBehind(::dirfd(folder), entry->d_name, now, status)
                && named.insert({status.st_dev, status.st_ino}).second)
                notices.push_back("'" + std::string(entry->d_name) + "' beside '" + file->mPath
                                  + "' looks left by a run stopped by force; remove it if it is not yours");
        }
        ::closedir(folder);
    }
    return notices;
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
