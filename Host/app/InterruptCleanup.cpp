#include "InterruptCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <iterator>
#include <limits.h>
#include <unistd.h>

namespace interrupt_cleanup
{
namespace
{
enum SlotState : int
{
    Free,
    Creating,    // reserved, the file may be being made: the handler leaves it to the program
    Tracked,     // the handler removes the file
    Removing,    // a handler owns it; the program is about to end
    Interrupted, // a signal came while Creating; the program ends by it once the file is known
};

struct Slot
{
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};

enum Phase : int
{
    Running,
    Stopping,      // a handler is removing the files and ending the program
    Committing,    // the files are being renamed into place
    CommitStopped, // as Committing, with a signal noted for after the last rename
};

// The output and every chunk file can be pending at once.
Slot slots[16];
std::atomic<int> lastSignal{0};
std::atomic<int> phase{Running};
std::atomic<int> commitSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// False when the files are being put in place: the signal is then noted for the committer.
bool claimStop(int signal)
{
    for (;;)
    {
        int current = phase.load();
        if (current == CommitStopped)
            return false;
        if (current == Committing)
        {
            commitSignal.store(signal);
            if (phase.compare_exchange_strong(current, CommitStopped))
                return false;
            continue;
        }
        if (current == Stopping || phase.compare_exchange_strong(current, Stopping))
            return true;
    }
}

// Removes every tracked file; true when a file was being created, whose creator then ends the program.
bool removeTrackedFiles()
{
    bool heldBack = false;
    for (Slot& slot : slots)
    {
        int expected = Tracked;
        if (slot.state.compare_exchange_strong(expected, Removing))
            ::unlink(slot.path);
        else if (expected == Creating && slot.state.compare_exchange_strong(expected, Interrupted))
            heldBack = true;
    }
    return heldBack;
}

void removeTrackedFilesAndStop(int signal)
{
    lastSignal.store(signal);
    if (!claimStop(signal) || removeTrackedFiles())
        return;
    // Blocked while the handler runs, the signal is delivered with its default action as the handler returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Leaves a Creating or Tracked slot; a signal held back meanwhile ends the program now, after `path` (if
// any) is removed.
void release(int slot, const char* path, int next)
{
    int expected = slots[slot].state.load();
    while (expected == Creating || expected == Tracked)
        if (slots[slot].state.compare_exchange_weak(expected, next))
            return;
    if (expected == Interrupted)
    {
        if (path != nullptr)
            ::unlink(path);
        endBy(lastSignal.load());
    }
    // Removing: a handler on another thread is removing the file and ending the program.
    for (;;)
        ::pause();
}
} // namespace

void endBy(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    ::_exit(128 + signal);
}

void stopNow(int signal)
{
    removeTrackedFilesAndStop(signal);
}

void beginCommit()
{
    int expected = Running;
    if (phase.compare_exchange_strong(expected, Committing))
        return;
    // A handler got in first and is ending the program.
    for (;;)
        ::pause();
}

void endCommit()
{
    int expected = Committing;
    if (phase.compare_exchange_strong(expected, Running))
        return;
    phase.store(Stopping);
    removeTrackedFiles();
    endBy(commitSignal.load());
}

void install()
{
    onStopSignals(removeTrackedFilesAndStop);
}

void onStopSignals(void (*handler)(int))
{
    for (const int signal : kSignals)
    {
        struct sigaction previous
        {
        };
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action
        {
        };
        action.sa_handler = handler;
        sigfillset(&action.sa_mask); // one handler at a time on a thread, whichever signal came first
        ::sigaction(signal, &action, nullptr);
    }
}

void exitNow(int status)
{
    removeTrackedFiles();
    ::_exit(status);
}

int reserve()
{
    for (int index = 0; index < static_cast<int>(std::size(slots)); ++index)
    {
        int expected = Free;
        if (slots[index].state.compare_exchange_strong(expected, Creating))
            return index;
    }
    return -1;
}

void track(int slot, const char* path)
{
    if (slot < 0)
        return;
    if (std::strlen(path) >= PATH_MAX)
    {
        release(slot, path, Free);
        return;
    }
    std::strcpy(slots[slot].path, path);
    release(slot, path, Tracked);
}

void forget(int slot)
{
    if (slot >= 0)
        release(slot, nullptr, Free);
}
} // namespace interrupt_cleanup
