// The window's message loop on Linux as the host's GUI timer runs it: on the calling thread, in batches
// that end on their own, and never waiting for work.

#include "GuiEventDispatch.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
using namespace std::chrono_literals;
using kelvane::platform::dispatchPendingGuiEvents;
using Clock = std::chrono::steady_clock;

TEST (GuiDispatch, WithoutTheFrameworkRunningReturnsAtOnce)
{
    ASSERT_EQ (juce::MessageManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ (dispatchPendingGuiEvents(), 0);
}

TEST (GuiDispatch, RunsPendingMessagesOnTheHostsThreadAndNothingFromInsideABatch)
{
    const juce::ScopedJuceInitialiser_GUI framework;
    std::thread::id ranOn;
    int nestedPasses = -1;
    juce::MessageManager::callAsync ([&] {
        ranOn = std::this_thread::get_id();
        nestedPasses = dispatchPendingGuiEvents();
    });

    std::thread hostGuiThread ([] { dispatchPendingGuiEvents(); });
    const auto hostGuiThreadID = hostGuiThread.get_id();
    hostGuiThread.join();

    EXPECT_EQ (ranOn, hostGuiThreadID);
    EXPECT_EQ (nestedPasses, 0);
    const auto start = Clock::now();
    EXPECT_EQ (dispatchPendingGuiEvents(), 0) << "nothing was left";
    EXPECT_LT (Clock::now() - start, 50ms) << "it waited for more";
}

TEST (GuiDispatch, ABatchEndsPromptlyWhileMessagesKeepArriving)
{
    const juce::ScopedJuceInitialiser_GUI framework;
    std::atomic<bool> stop { false };
    std::atomic<int> delivered { 0 };
    std::thread sender ([&] {
        while (! stop)
        {
            juce::MessageManager::callAsync ([&] { ++delivered; });
            std::this_thread::sleep_for (200us);
        }
    });

    std::this_thread::sleep_for (20ms);
    const auto start = Clock::now();
    const int passes = dispatchPendingGuiEvents ({ 1000, 8ms });
    const auto took = Clock::now() - start;
    stop = true;
    sender.join();

    EXPECT_GT (passes, 0);
    EXPECT_GT (delivered.load(), 0);
    EXPECT_LT (took, 100ms) << "the host's GUI thread was kept";
    while (dispatchPendingGuiEvents() > 0) {}
}
} // namespace
