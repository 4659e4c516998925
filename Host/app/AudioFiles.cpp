#include "AudioFiles.h"

#include "HostBundle.h"

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path)
{
	SF_INFO info {};
	mFile = sf_open(path.c_str(), SFM_READ, &info);
	if (mFile == nullptr)
		throw HostError("cannot read '" + path + "': " + sf_strerror(nullptr));
	mChannels = info.channels;
	mSampleRate = info.samplerate;
	mFrames = info.frames;
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
    : mPath(path)
{
	const size_t slash = path.find_last_of('/');
	const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
	const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
	std::string pattern = (slash == std::string::npos ? "" : folder) + "." + name + ".partial-XXXXXX";

	const int descriptor = ::mkstemp(pattern.data());
	if (descriptor < 0)
		throw HostError("cannot write '" + path + "': " + std::strerror(errno));
	mTemporaryPath = pattern;
	// The finished file gets the permissions of any new file, not the private ones of a temporary file.
	const mode_t mask = ::umask(0);
	::umask(mask);
	::fchmod(descriptor, 0666 & ~mask);

	SF_INFO info {};
	info.channels = channels;
	info.samplerate = sampleRate;
	info.format = wavFormat(format);
	mFile = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
	if (mFile == nullptr)
	{
		const std::string reason = sf_strerror(nullptr);
		::close(descriptor);
		discard();
		throw HostError("cannot write '" + path + "': " + reason);
	}
	// Integer formats clip what lies beyond full scale instead of wrapping it round.
	sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AtomicWavWriter::~AtomicWavWriter()
{
	discard();
}

void AtomicWavWriter::write(const float* interleaved, int64_t frames)
{
	if (sf_writef_float(mFile, interleaved, frames) != frames)
		throw HostError("cannot write '" + mPath + "': " + sf_strerror(mFile));
}

void AtomicWavWriter::commit()
{
	sf_write_sync(mFile);
	const int closed = sf_close(mFile);
	mFile = nullptr;
	if (closed != 0)
		throw HostError("cannot write '" + mPath + "': " + sf_error_number(closed));
	if (std::rename(mTemporaryPath.c_str(), mPath.c_str()) != 0)
		throw HostError("cannot write '" + mPath + "': " + std::strerror(errno));
	mTemporaryPath.clear();
}

void AtomicWavWriter::discard()
{
	if (mFile != nullptr)
		sf_close(mFile);
	mFile = nullptr;
	if (!mTemporaryPath.empty())
		std::remove(mTemporaryPath.c_str());
	mTemporaryPath.clear();
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
