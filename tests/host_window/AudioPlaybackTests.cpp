// The host's audio thread fills each block from its source before it takes the host lock, so a slow read of
// the track never holds up the GUI thread; a source that fails leaves it playing silence.
#include "HostWindowTestSupport.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace host_window_test
{
namespace
{
bool within5s(const std::function<bool()>& done)
{
    for (auto end = std::chrono::steady_clock::now() + 5s; !done() && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(1ms);
    return done();
}

TEST_F(HostWindowTest, AudioIsFilledOutsideTheHostLockAndPlaysOnWhenItsSourceFails)
{
    std::atomic<int> fills{0};
    std::atomic<bool> failing{false};
    const auto source = [&](float* const*, int) {
        ++fills;
        if (failing)
            throw std::runtime_error("the track was cut short");
    };
    audio = std::make_unique<kelvane::host::HostAudioPlayback>(*instance, hostLock, 2, source, 48000, 64);
    {
        // The GUI thread holds the lock: the next block is still filled, then waits for the lock.
        const std::lock_guard<std::mutex> lock(hostLock);
        const int before = fills;
        EXPECT_TRUE(within5s([&] { return fills > before; })) << "the source was called only under the host lock";
    }
    failing = true;
    const long blocks = audio->blocksPlayed();
    EXPECT_TRUE(within5s([&] { return audio->blocksPlayed() > blocks + 20; })) << "the playback stopped";
    const int fillsAfter = fills;
    EXPECT_TRUE(within5s([&] { return audio->blocksPlayed() > blocks + 40; }));
    EXPECT_EQ(fills, fillsAfter) << "a source that threw was called again";
}
} // namespace
} // namespace host_window_test
