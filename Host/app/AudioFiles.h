// Reading and writing audio files for the host's render command, through libsndfile. Samples cross as
// interleaved 32-bit floats, the host's own sample type.
#pragma once

#include "OutputContainer.h"
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
    // header's own length of the audio data is kept here, where the format lets it be read (WAV, RF64, AIFF
    // with uncompressed samples), so a short file can be told apart. Otherwise frames().
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

// Writes a WAV file through a ReplacingFile, as RF64 when `frames` (the most it will be given) would not fit a
// WAV file's sizes (see outputLayout). The same samples give the same bytes: nothing of the time of writing
// goes into the file.
class AtomicWavWriter
{
public:
    // Throws HostError when the folder cannot take a new file.
    AtomicWavWriter(const std::string& path, int channels, int sampleRate, AudioSampleFormat format, int64_t frames);
    // Writes into `target`, which the caller puts in place.
    AtomicWavWriter(ReplacingFile& target, int channels, int sampleRate, AudioSampleFormat format, int64_t frames);
    ~AtomicWavWriter();

    AtomicWavWriter(const AtomicWavWriter&) = delete;
    AtomicWavWriter& operator=(const AtomicWavWriter&) = delete;

    AudioContainer container() const { return mContainer; }

    // Throws HostError when the samples cannot be written (disk full, ...) or go beyond the frames announced.
    void write(const float* interleaved, int64_t frames);
    // Completes the WAV file; the target is then ready to be put in place. Throws HostError.
    void finish();
    // Completes the file and moves it into place. Throws HostError on failure (the old file stays).
    void commit();

private:
    void open(int channels, int sampleRate, AudioSampleFormat format);
    void blankPeakChunk();

    std::unique_ptr<ReplacingFile> mOwned;
    ReplacingFile& mTarget;
    sf_private_tag* mFile = nullptr;
    AudioContainer mContainer;
    int64_t mFramesLeft;
};

// Parses "float", "pcm16" or "pcm24"; false for anything else.
bool parseAudioSampleFormat(const std::string& text, AudioSampleFormat& format);
