#include "GuiEventDispatch.h"

#include <juce_events/juce_events.h>

#include <atomic>

namespace juce
{
// The framework's Linux event loop (juce_linux_Messaging.cpp): one pass over the registered event
// sources; with true it returns false at once when none has anything pending. Its own host-driven
// loop for plug-ins uses it the same way.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace kelvane::platform
{
namespace
{
// The framework's loop must never run on two threads at once, nor inside itself.
std::atomic<bool> batchRunning{false};
} // namespace

int dispatchPendingGuiEvents(GuiDispatchLimits limits)
{
    // Without a message manager there is no event loop, and the framework's pass would wait for one forever.
    auto* messageManager = juce::MessageManager::getInstanceWithoutCreating();

    if (messageManager == nullptr || batchRunning.exchange(true, std::memory_order_acquire))
        return 0;

    messageManager->setCurrentThreadAsMessageThread();

    const auto deadline = std::chrono::steady_clock::now() + limits.budget;
    int passesWithWork = 0;

    for (int pass = 0; pass < limits.maxPasses && std::chrono::steady_clock::now() < deadline; ++pass)
    {
        bool foundWork = false;

        try
        {
            foundWork = juce::dispatchNextMessageOnSystemQueue(true);
        }
        catch (...)
        {
            // A callback's exception ends this batch instead of unwinding into the host's timer.
            break;
        }

        if (!foundWork)
            break;

        ++passesWithWork;
    }

    batchRunning.store(false, std::memory_order_release);
    return passesWithWork;
}
} // namespace kelvane::platform
