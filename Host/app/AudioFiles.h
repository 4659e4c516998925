// Reading and writing audio files for the host's render command, through libsndfile. Samples cross as
// interleaved 32-bit floats, the host's own sample type.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

class AudioFileReader
{
public:
    // Throws HostError when the file is missing or not an audio file libsndfile reads.
    explicit AudioFileReader(const std::string& path);
    ~AudioFileReader();

    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    int channels() const { return mChannels; }
    int sampleRate() const { return mSampleRate; }
    int64_t frames() const { return mFrames; }
    // The frames the file's header promises. libsndfile trims frames() to what a cut-off file holds; the
    // header's own length of the audio data is kept here, where the format lets it be read (WAV, AIFF with
    // uncompressed samples), so a short file can be told apart. Otherwise frames().
    int64_t promisedFrames() const { return mPromisedFrames; }

    // Reads up to `frames` frames into `interleaved` (room for frames * channels()); returns the number read,
    // 0 at the end. Throws HostError on a read error.
    int64_t read(float* interleaved, int64_t frames);

private:
    std::string mPath;
    sf_private_tag* mFile = nullptr;
    int mChannels = 0;
    int mSampleRate = 0;
    int64_t mFrames = 0;
    int64_t mPromisedFrames = 0;
};

enum class AudioSampleFormat
{
    Float32,
    Pcm16,
    Pcm24
};

// A file that replaces whatever is at `path` only once it is complete: it is written under a unique
// temporary name in the same folder and renamed over `path` by commit(). Destroyed without commit(), it
// removes the temporary file and leaves `path` untouched. A symbolic link at `path` is followed: the file it
// points to is replaced and the link stays. An existing file keeps its permissions.
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
    // Flushes to the disk and closes. Throws HostError on failure.
    void finish();
    // Finishes and renames into place. Throws HostError on failure (the old file stays).
    void commit();

private:
    friend void commitTogether(const std::vector<ReplacingFile*>& files);

    std::string mPath;
    std::string mTargetPath; // where the file goes: `path`, or where the link there points
    std::string mTemporaryPath;
    int mDescriptor = -1;
    int mCleanupSlot = -1; // the temporary file, removed should a signal end the program
};

// Finishes every file, then renames them all into place with the stop signals held off, so that a signal
// leaves all of them or none. Throws HostError.
void commitTogether(const std::vector<ReplacingFile*>& files);

// Writes `bytes` to `path` through a ReplacingFile. Throws HostError.
void replaceFile(const std::string& path, const std::vector<char>& bytes);
// The whole content of a file. Throws HostError when it cannot be read.
std::vector<char> readWholeFile(const std::string& path);

// Why a call on a file failed, for people, from its errno.
std::string fileErrorText(int error);

// Throws HostError when `path` cannot take a new file: it is a folder or another thing that is not a plain
// file, or its folder is missing or cannot be written to. A symbolic link is judged by where it points.
void checkWritable(const std::string& path);

// Whether two paths name one file: the same file when both exist (other paths, symbolic and hard links),
// otherwise the same place once links are followed and the folder made canonical.
bool sameFile(const std::string& first, const std::string& second);

struct RoleAndPath
{
    std::string role; // "the output", "the saved chunk", ...
    std::string path;
};

// Throws HostError when a file to be written is one that is read, or another one to be written.
void refuseOverwriting(const std::vector<RoleAndPath>& read, const std::vector<RoleAndPath>& written);

// Writes a WAV file through a ReplacingFile. The same samples give the same bytes: nothing of the time of
// writing goes into the file.
class AtomicWavWriter
{
public:
    // Throws HostError when the folder cannot take a new file.
    AtomicWavWriter(const std::string& path, int channels, int sampleRate, AudioSampleFormat format);
    // Writes into `target`, which the caller puts in place.
    AtomicWavWriter(ReplacingFile& target, int channels, int sampleRate, AudioSampleFormat format);
    ~AtomicWavWriter();

    AtomicWavWriter(const AtomicWavWriter&) = delete;
    AtomicWavWriter& operator=(const AtomicWavWriter&) = delete;

    // Throws HostError when the samples cannot be written (disk full, ...).
    void write(const float* interleaved, int64_t frames);
    // Completes the WAV file; the target is then ready to be put in place. Throws HostError.
    void finish();
    // Completes the file and moves it into place. Throws HostError on failure (the old file stays).
    void commit();

private:
    void open(int channels, int sampleRate, AudioSampleFormat format);

    std::unique_ptr<ReplacingFile> mOwned;
    ReplacingFile& mTarget;
    sf_private_tag* mFile = nullptr;
};

// Parses "float", "pcm16" or "pcm24"; false for anything else.
bool parseAudioSampleFormat(const std::string& text, AudioSampleFormat& format);
