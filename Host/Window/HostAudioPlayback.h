#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class HostInstance;

namespace kelvane::host
{
// Fills the next block of the audio played: `frames` frames into each channel's array. Called on the audio
// thread and never under the host lock, so it may read a file. If it throws, silence plays from then on.
using PlaybackSource = std::function<void(float* const* channels, int frames)>;

// The host's audio thread while a window is open: plays audio through the instance, one block per block's
// worth of time, as a host plays a track. `hostLock` keeps the blocks apart from the GUI thread's calls that
// change parameters (which deliver packets between blocks).
class HostAudioPlayback
{
public:
    /** Starts playing `channels` channels of `source`; without a source, silence. */
    HostAudioPlayback(HostInstance& instance, std::mutex& hostLock, int channels, PlaybackSource source, int sampleRate,
                      int blockSize);
    /** Starts playing `audio` (one vector per channel, all of one length) in a loop from `fromSeconds` on. */
    HostAudioPlayback(HostInstance& instance, std::mutex& hostLock, std::vector<std::vector<float>> audio,
                      int sampleRate, double fromSeconds, int blockSize);
    /** Stops after the block that is playing. */
    ~HostAudioPlayback();

    HostAudioPlayback(const HostAudioPlayback&) = delete;
    HostAudioPlayback& operator=(const HostAudioPlayback&) = delete;

    /** Blocks played so far. */
    long blocksPlayed() const { return blocks.load(); }

private:
    void play();

    HostInstance& instance;
    std::mutex& hostLock;
    int channels = 0;
    PlaybackSource source;
    int sampleRate;
    int blockSize;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::thread thread;
};
} // namespace kelvane::host
