// Temporary files that must not outlive the program: when SIGINT, SIGTERM or SIGHUP stops it, the signal
// handler removes every file still tracked, then the signal takes its default course, so the exit status is
// the signal's own (128 + N in a shell). Only async-signal-safe calls run in the handler: the paths live in
// preallocated slots claimed through lock-free atomics.
#pragma once

namespace interrupt_cleanup
{
// Installs the handlers for the three signals; one that was ignored when the program started (nohup) stays
// ignored.
void install();

// Installs handler for SIGINT, SIGTERM and SIGHUP, except a signal ignored when the program started; all
// three are held back while the handler runs.
void onStopSignals(void (*handler)(int));

// Ends the program by `signal`, with its default action, from outside a handler (where it is not blocked).
[[noreturn]] void endBy(int signal);

// A slot for a file about to be created, or -1 when every slot is taken (the file is then simply not removed
// on a signal). A signal that comes before track() is held back until track() or forget(), so a file made
// in between is not missed.
int reserve();
// Tracks the file just created for removal on a signal.
void track(int slot, const char* path);
// Stops tracking: the file was renamed into place or removed, or never made. Ignores -1.
void forget(int slot);
} // namespace interrupt_cleanup
