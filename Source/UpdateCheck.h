#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <mutex>

/** What one update check shares with the window that started it. Whichever of the two ends last frees it,
    so a check may outlive its window; its answer then lands here and is dropped with it. */
class UpdateCheckShare
{
public:
    /** Set only by the check: true when the maker's server reports a newer version. */
    std::atomic<bool> isNewVersionAvailable{false};

    /** The window has gone: the check stops waiting for the server and ends without an answer.
        Callable from any thread, any number of times. */
    void abandon();

private:
    friend void runUpdateCheck(UpdateCheckShare&, const juce::String&);

    std::mutex lock;
    juce::WebInputStream* pendingRequest = nullptr;
    bool abandoned = false;
};

using SharedUpdateCheck = std::shared_ptr<UpdateCheckShare>;

/** The maker's web server, fixed when the plug-in is built (scheme and host, no trailing slash). */
juce::String makerServerBase();

/** Asks serverBase + "/kelvane_update.php?v=<version>" once with a GET and, when the server answers, sets
    the flag to whether the status is 202; the body is never read. Blocks until the answer, a failed
    connection (3000 ms time-out, at most 5 redirects) or the check is abandoned. */
void runUpdateCheck(UpdateCheckShare& check, const juce::String& serverBase);

/** Runs runUpdateCheck on a new detached thread that keeps its own share of the check. Never throws:
    when no thread can be started, or the check fails in any way, the check is simply skipped. Returns
    whether the thread was started. */
bool startUpdateCheck(SharedUpdateCheck check, juce::String serverBase);

/** startUpdateCheck against the maker's server: what every window does when it opens. */
void askMakersServer(SharedUpdateCheck check);

/** The update-check threads of the whole process that have started and not yet ended. */
int updateChecksInFlight();

/** Waits up to the given time for every update-check thread to end, and answers whether none is left.
    A thread counts as ended only once it has left this library's code, so after a true answer the code
    may be unloaded. Abandon the checks first (close their windows) or the wait may last as long as a
    server takes to answer. */
bool waitForUpdateChecksToFinish(int milliseconds);
