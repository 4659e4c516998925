// The window's message loop on Linux as the host's GUI timer runs it: on the calling thread, never from
// inside itself, and never waiting for work.

#include "GuiEventDispatch.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <chrono>
#include <thread>

namespace
{
using namespace std::chrono_literals;
using kelvane::platform::dispatchPendingGuiEvents;
using Clock = std::chrono::steady_clock;

TEST(GuiDispatch, WithoutTheFrameworkRunningReturnsAtOnce)
{
    ASSERT_EQ(juce::MessageManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(dispatchPendingGuiEvents(), 0);
}

TEST(GuiDispatch, RunsPendingMessagesOnTheHostsThreadAndNothingFromInsideABatch)
{
    const juce::ScopedJuceInitialiser_GUI framework;
    std::thread::id ranOn;
    int nestedPasses = -1;
    juce::MessageManager::callAsync([&] {
        ranOn = std::this_thread::get_id();
        nestedPasses = dispatchPendingGuiEvents();
    });

    std::thread hostGuiThread([] { dispatchPendingGuiEvents(); });
    const auto hostGuiThreadID = hostGuiThread.get_id();
    hostGuiThread.join();

    EXPECT_EQ(ranOn, hostGuiThreadID);
    EXPECT_EQ(nestedPasses, 0);
    const auto start = Clock::now();
    EXPECT_EQ(dispatchPendingGuiEvents(), 0) << "nothing was left";
    EXPECT_LT(Clock::now() - start, 50ms) << "it waited for more";
}
} // namespace
