// Files that the host's commands replace only once they are complete, and the checks made before any work
// on where they go.
#pragma once

#include <string>
#include <vector>

// A file that replaces whatever is at `path` only once it is complete. It is written as an unnamed file in the
// same folder (O_TMPFILE), which vanishes with the program however it ends, and gets a name only at commit():
// a unique hidden one, renamed over `path` at once. Where the file system has no unnamed files it is written
// under a unique hidden name (`.NAME.partial-XXXXXX`), locked while the program lives. Nothing in a file
// proves that this program made it, so one that a killed program left is never removed by another run, only
// named (leftoverNotices). Destroyed without commit(), it leaves `path` untouched. A symbolic link at `path` is
// followed: the file it points to is replaced and the link stays. An existing file keeps its permissions.
class ReplacingFile
{
public:
    // Throws HostError when `path` cannot be written (see checkWritable) or the folder cannot take a new file.
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();

    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    const std::string& path() const { return mPath; }
    int descriptor() const { return mDescriptor; }
    // Appends `bytes`. Throws HostError.
    void write(const std::vector<char>& bytes);
    // Flushes to the disk. Throws HostError on failure.
    void finish();
    // Finishes and puts the file in place. Throws HostError on failure (the old file stays).
    void commit();

private:
    friend void commitTogether(const std::vector<ReplacingFile*>& files);
    friend std::vector<std::string> leftoverNotices(const std::vector<ReplacingFile*>& files);

    void openNamed(const std::string& path);
    // Gives the unnamed file its hidden name beside the target; false with errno set on failure.
    bool linkUnnamed();

    std::string mPath;
    std::string mTargetPath;    // where the file goes: `path`, or where the link there points
    std::string mTemporaryPath; // the file's hidden name while it has one
    int mDescriptor = -1;
    bool mUnnamed = false;
    bool mFinished = false;
    int mCleanupSlot = -1; // the hidden name, removed should a signal end the program
};

// Finishes every file, then puts them all in place with the stop signals held off, so that a signal leaves
// all of them or none. Throws HostError.
void commitTogether(const std::vector<ReplacingFile*>& files);

// One line for each hidden file beside the files that looks left by a run stopped by force: named as one of
// their temporaries, unchanged for 10 s and locked by no live run; each file once. Asked only once a run's own
// files are in place, so a refused run names none; the files themselves are left where they are.
std::vector<std::string> leftoverNotices(const std::vector<ReplacingFile*>& files);

// Writes `bytes` to `path` through a ReplacingFile. Throws HostError.
void replaceFile(const std::string& path, const std::vector<char>& bytes);
// The whole content of a file. Throws HostError when it cannot be read.
std::vector<char> readWholeFile(const std::string& path);

// Why a call on a file failed, for people, from its errno.
std::string fileErrorText(int error);

// Throws HostError when `path` cannot take a new file: it is a folder or another thing that is not a plain
// file, a loop of symbolic links, a file the user may not write, or its folder is missing or cannot be
// written to. A symbolic link is judged by where it points.
void checkWritable(const std::string& path);

// Whether two paths name one file: the same file when both exist (other paths, symbolic and hard links),
// otherwise the same place once links are followed and the folder made canonical.
bool sameFile(const std::string& first, const std::string& second);

// Whether a file written at `path` lands in `folder` (a resolved path, no trailing slash) or below it, or is
// `folder` itself; links are followed.
bool isWithin(const std::string& path, const std::string& folder);

struct RoleAndPath
{
    std::string role; // "the output", "the saved chunk", ...
    std::string path;
};

// Throws HostError when a file to be written is one that is read, or another one to be written.
void refuseOverwriting(const std::vector<RoleAndPath>& read, const std::vector<RoleAndPath>& written);
