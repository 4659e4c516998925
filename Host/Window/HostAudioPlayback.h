#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class HostInstance;

namespace kelvane::host
{
// The host's audio thread while a window is open: plays audio in a loop through the instance, one block per
// block's worth of time, as a host plays a track. `hostLock` keeps the blocks apart from the GUI thread's
// calls that change parameters (which deliver packets between blocks).
class HostAudioPlayback
{
public:
    /** Starts playing `audio` (one vector per channel, all of one length) from `fromSeconds` on. */
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
    std::vector<std::vector<float>> audio;
    int sampleRate;
    int blockSize;
    std::size_t position = 0;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::thread thread;
};
} // namespace kelvane::host
