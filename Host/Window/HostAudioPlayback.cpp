#include "HostAudioPlayback.h"

#include "HostInstance.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace kelvane::host
{
HostAudioPlayback::HostAudioPlayback(HostInstance& i, std::mutex& lock, int channelCount, PlaybackSource s, int rate,
                                     int block)
    : instance(i), hostLock(lock), channels(channelCount), source(std::move(s)), sampleRate(rate), blockSize(block)
{
    thread = std::thread([this] { play(); });
}

HostAudioPlayback::HostAudioPlayback(HostInstance& i, std::mutex& lock, std::vector<std::vector<float>> a, int rate,
                                     double fromSeconds, int block)
    : instance(i), hostLock(lock), channels(static_cast<int>(a.size())), sampleRate(rate), blockSize(block)
{
    const std::size_t length = a.front().size();
    std::size_t position = static_cast<std::size_t>(std::llround(fromSeconds * sampleRate)) % length;
    // Shared, so that the function holding it can be copied.
    const auto audio = std::make_shared<const std::vector<std::vector<float>>>(std::move(a));
    source = [audio, position, length](float* const* out, int frames) mutable {
        for (int frame = 0; frame < frames; ++frame)
        {
            for (std::size_t channel = 0; channel < audio->size(); ++channel)
                out[channel][frame] = (*audio)[channel][position];
            position = (position + 1) % length;
        }
    };
    thread = std::thread([this] { play(); });
}

HostAudioPlayback::~HostAudioPlayback()
{
    stop = true;
    thread.join();
}

void HostAudioPlayback::play()
{
    using Clock = std::chrono::steady_clock;
    const auto count = static_cast<std::size_t>(channels);
    std::vector<std::vector<float>> in(count, std::vector<float>(static_cast<std::size_t>(blockSize)));
    std::vector<std::vector<float>> out = in;
    std::vector<float*> inputs;
    std::vector<float*> outputs;

    for (std::size_t channel = 0; channel < count; ++channel)
    {
        inputs.push_back(in[channel].data());
        outputs.push_back(out[channel].data());
    }

    const auto blockTime =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(blockSize) / sampleRate));
    auto next = Clock::now();

    while (!stop)
    {
        // Filled outside the host lock: reading a file must not hold up the window's calls.
        if (source)
        {
            try
            {
                source(inputs.data(), blockSize);
            }
            catch (...)
            {
                // A file that fails under the playback (cut short, a disk error) is not worth ending the host.
                source = nullptr;
                for (auto& channel : in)
                    std::fill(channel.begin(), channel.end(), 0.0f);
            }
        }

        {
            const std::lock_guard<std::mutex> lock(hostLock);
            instance.process(inputs.data(), outputs.data(), blockSize);
        }

        ++blocks;
        next += blockTime;
        std::this_thread::sleep_until(next);
    }
}
} // namespace kelvane::host
