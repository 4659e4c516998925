#include "HostAudioPlayback.h"

#include "HostInstance.h"

#include <chrono>
#include <cmath>

namespace kelvane::host
{
HostAudioPlayback::HostAudioPlayback(HostInstance& i, std::mutex& lock, std::vector<std::vector<float>> a, int rate,
                                     double fromSeconds, int block)
    : instance(i), hostLock(lock), audio(std::move(a)), sampleRate(rate), blockSize(block)
{
    position = static_cast<std::size_t>(std::llround(fromSeconds * sampleRate)) % audio.front().size();
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
    const std::size_t channels = audio.size();
    const auto frames = static_cast<std::size_t>(blockSize);
    std::vector<std::vector<float>> in(channels, std::vector<float>(frames));
    std::vector<std::vector<float>> out = in;
    std::vector<const float*> inputs;
    std::vector<float*> outputs;

    for (std::size_t channel = 0; channel < channels; ++channel)
    {
        inputs.push_back(in[channel].data());
        outputs.push_back(out[channel].data());
    }

    const auto blockTime =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(blockSize) / sampleRate));
    auto next = Clock::now();

    while (!stop)
    {
        for (std::size_t frame = 0; frame < frames; ++frame)
        {
            for (std::size_t channel = 0; channel < channels; ++channel)
                in[channel][frame] = audio[channel][position];

            position = (position + 1) % audio.front().size();
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
