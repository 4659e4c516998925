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

	// Reads up to `frames` frames into `interleaved` (room for frames * channels()); returns the number read,
	// 0 at the end. Throws HostError on a read error.
	int64_t read(float* interleaved, int64_t frames);

private:
	std::string mPath;
	sf_private_tag* mFile = nullptr;
	int mChannels = 0;
	int mSampleRate = 0;
	int64_t mFrames = 0;
};

enum class AudioSampleFormat
{
	Float32,
	Pcm16,
	Pcm24
};

// Writes a WAV file so that the file at `path` is either untouched or complete: the samples go to a
// temporary file in the same folder, which commit() renames over `path`. Until then nothing at `path`
// changes, and a writer destroyed without commit() removes its temporary file.
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
	void discard();

	std::string mPath;
	std::string mTemporaryPath;
	sf_private_tag* mFile = nullptr;
};

// Parses "float", "pcm16" or "pcm24"; false for anything else.
bool parseAudioSampleFormat(const std::string& text, AudioSampleFormat& format);
