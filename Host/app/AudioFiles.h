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

// A file that replaces whatever is at `path` only once it is complete: it is written under a temporary
// name in the same folder and renamed over `path` by commit(). Destroyed without commit(), it removes the
// temporary file and leaves `path` untouched.
class ReplacingFile
{
public:
    // Throws HostError when the folder cannot take a new file.
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();

    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    int descriptor() const { return mDescriptor; }
    // Flushes, closes and renames into place. Throws HostError on failure (the old file stays).
    void commit();

private:
    std::string mPath;
    std::string mTemporaryPath;
    int mDescriptor = -1;
    int mCleanupSlot = -1; // the temporary file, removed should a signal end the program
};

// Writes `bytes` to `path` through a ReplacingFile. Throws HostError.
void replaceFile(const std::string& path, const std::vector<char>& bytes);
// The whole content of a file. Throws HostError when it cannot be read.
std::vector<char> readWholeFile(const std::string& path);

// Writes a WAV file through a ReplacingFile.
class AtomicWavWriter
{
public:
    // Throws HostError when the folder cannot take a new file.
    AtomicWavWriter(const std::string& path, int channels, int sampleRate, AudioSampleFormat format);
    ~AtomicWavWriter();

    AtomicWavWriter(const AtomicWavWriter&) = delete;
    AtomicWavWriter& operator=(const AtomicWavWriter&) = delete;

    // Throws HostError when the samples cannot be written (disk full, ...).
    void write(const float* interleaved, int64_t frames);
    // Completes the file and moves it into place. Throws HostError on failure (the old file stays).
    void commit();

private:
    std::string mPath;
    ReplacingFile mTarget;
    sf_private_tag* mFile = nullptr;
};

// Parses "float", "pcm16" or "pcm24"; false for anything else.
bool parseAudioSampleFormat(const std::string& text, AudioSampleFormat& format);
