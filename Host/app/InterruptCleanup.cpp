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
    Writing, // the program is filling in the path
    Tracked,
    Removing // a signal handler owns it; the program is about to end
};

struct Slot
{
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};

// The output and a chunk file can be pending at once; a few more for safety.
Slot slots[4];
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void removeTrackedFiles(int signal)
{
    for (Slot& slot : slots)
    {
        int expected = Tracked;
        if (slot.state.compare_exchange_strong(expected, Removing))
            ::unlink(slot.path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
} // namespace

void install()
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
        action.sa_handler = removeTrackedFiles;
        sigfillset(&action.sa_mask); // one handler at a time, whichever signal came first
        ::sigaction(signal, &action, nullptr);
    }
}

int track(const char* path)
{
    if (std::strlen(path) >= PATH_MAX)
        return -1;
    for (int index = 0; index < static_cast<int>(std::size(slots)); ++index)
    {
        int expected = Free;
        if (slots[index].state.compare_exchange_strong(expected, Writing))
        {
            std::strcpy(slots[index].path, path);
            slots[index].state.store(Tracked);
            return index;
        }
    }
    return -1;
}

void forget(int slot)
{
    if (slot < 0)
        return;
    int expected = Tracked;
    if (!slots[slot].state.compare_exchange_strong(expected, Free))
        // A handler on another thread is removing the file and ending the program.
        for (;;)
            ::pause();
}
} // namespace interrupt_cleanup
