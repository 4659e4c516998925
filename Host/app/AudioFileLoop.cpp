#include "AudioFileLoop.h"

#include "HostError.h"

#include <algorithm>
#include <string>

namespace
{
// The most frames read at once; a larger block is read in pieces of this size.
constexpr int64_t pieceFrames = 4096;
} // namespace

AudioFileLoop::AudioFileLoop(std::unique_ptr<AudioFileReader> file, int64_t startFrame)
    : mFile(std::move(file)), mPosition(startFrame)
{
    // Without a frame to play, read() would never fill its block.
    if (mFile->frames() <= 0)
        throw HostError("'" + mFile->path() + "' holds no audio to play");
    mFile->seek(startFrame);
    // Made once here, so that playing takes no memory.
    mInterleaved.resize(static_cast<size_t>(pieceFrames * mFile->channels()));
}

void AudioFileLoop::read(float* const* channels, int frames)
{
    const int channelCount = mFile->channels();
    for (int done = 0; done < frames;)
    {
        if (mPosition >= mFile->frames())
        {
            mFile->seek(0);
            mPosition = 0;
        }
        const int64_t wanted =
            std::min({static_cast<int64_t>(frames - done), mFile->frames() - mPosition, pieceFrames});
        const int64_t got = mFile->read(mInterleaved.data(), wanted);
        if (got != wanted)
            throw HostError("cannot read '" + mFile->path() + "': it ends at frame " + std::to_string(mPosition + got)
                            + ", not at frame " + std::to_string(mFile->frames()) + " as it did");
        for (int64_t frame = 0; frame < wanted; ++frame)
            for (int channel = 0; channel < channelCount; ++channel)
                channels[channel][done + frame] = mInterleaved[static_cast<size_t>(frame * channelCount + channel)];
        done += static_cast<int>(wanted);
        mPosition += wanted;
    }
}
