// Reading and writing audio files for the host's render command, through libsndfile. Samples cross as
// interleaved 32-bit floats, the host's own sample type.
#pragma once

#include "ReplacingFiles.h"

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

    const std::string& path() const { return mPath; }
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
    // Moves to `frame` (0 to frames()), where the next read starts. Throws HostError when the file cannot go there.
    void seek(int64_t frame);

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
