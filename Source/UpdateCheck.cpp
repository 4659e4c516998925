#include "UpdateCheck.h"

#include <condition_variable>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#ifndef KELVANE_UPDATE_URL_BASE
#error "KELVANE_UPDATE_URL_BASE must name the maker's web server (set by the build)"
#endif

namespace
{
// The threads in flight. Never destroyed: a thread still running while the process ends must find it, and a
// finished thread still signals it on its way out of the process's code (after it has left ours), so even
// a library that is unloaded leaves it behind (once per loading; the leak checker is told so).
struct ChecksInFlight
{
    std::mutex lock;
    std::condition_variable ended;
    int count = 0;
};

ChecksInFlight& checksInFlight()
{
    static auto& checks = *[] {
        auto* const made = new ChecksInFlight();
#if defined(__SANITIZE_ADDRESS__)
        __lsan_ignore_object(made);
#endif
        return made;
    }();
    return checks;
}

void leaveFlight() noexcept
{
    auto& checks = checksInFlight();
    std::unique_lock<std::mutex> lock(checks.lock);
    --checks.count;

    try
    {
        // The lock is released, and the waiters woken, only once this thread has finished, so that a
        // waiter never sees zero while the thread still runs code of ours.
        std::notify_all_at_thread_exit(checks.ended, std::move(lock));
    }
    catch (...)
    {
        checks.ended.notify_all();
    }
}
} // namespace

void UpdateCheckShare::abandon()
{
    const std::lock_guard<std::mutex> guard(lock);
    abandoned = true;

    if (pendingRequest != nullptr)
        pendingRequest->cancel();
}

juce::String makerServerBase()
{
    return KELVANE_UPDATE_URL_BASE;
}

void runUpdateCheck(UpdateCheckShare& check, const juce::String& serverBase)
{
    juce::WebInputStream request(juce::URL(serverBase + "/kelvane_update.php?v=" + KELVANE_VERSION_TEXT), false);
    request.withConnectionTimeout(3000).withNumRedirectsToFollow(5);

    {
        const std::lock_guard<std::mutex> guard(check.lock);

        if (check.abandoned)
            return;

        check.pendingRequest = &request;
    }

    const auto connected = request.connect(nullptr);

    {
        // The request's state may be read only once the window can no longer cancel it: a cancel tears
        // the connection down from the window's thread, unguarded against the request's own readers.
        const std::lock_guard<std::mutex> guard(check.lock);
        check.pendingRequest = nullptr;

        if (check.abandoned)
            return;
    }

    // Only the status counts: the request is dropped without reading the body.
    if (connected && !request.isError())
        check.isNewVersionAvailable.store(request.getStatusCode() == 202);
}

bool startUpdateCheck(SharedUpdateCheck check, juce::String serverBase)
{
    {
        auto& checks = checksInFlight();
        const std::lock_guard<std::mutex> lock(checks.lock);
        ++checks.count;
    }

    try
    {
        std::thread([check = std::move(check), serverBase = std::move(serverBase)]() mutable noexcept {
            try
            {
                runUpdateCheck(*check, serverBase);
            }
            catch (...)
            {
                // A failed check means no news; nothing may leave this thread.
            }

            check.reset();
            serverBase = {};
            leaveFlight();
        }).detach();
        return true;
    }
    catch (...)
    {
        auto& checks = checksInFlight();
        const std::lock_guard<std::mutex> lock(checks.lock);
        --checks.count;
        checks.ended.notify_all();
        return false;
    }
}

void askMakersServer(SharedUpdateCheck check)
{
    startUpdateCheck(std::move(check), makerServerBase());
}

int updateChecksInFlight()
{
    auto& checks = checksInFlight();
    const std::lock_guard<std::mutex> lock(checks.lock);
    return checks.count;
}

bool waitForUpdateChecksToFinish(int milliseconds)
{
    auto& checks = checksInFlight();
    std::unique_lock<std::mutex> lock(checks.lock);
    return checks.ended.wait_for(lock, std::chrono::milliseconds(juce::jmax(0, milliseconds)),
                                 [&] { return checks.count == 0; });
}
