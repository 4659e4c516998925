// Temporary files that must not outlive the program: when SIGINT, SIGTERM or SIGHUP stops it, the signal
// handler removes every file still tracked, then the signal takes its default course, so the exit status is
// the signal's own (128 + N in a shell). Only async-signal-safe calls run in the handler: the paths live in
// preallocated slots claimed through lock-free atomics. The plug-in's threads may take a signal meant for the
// process, so the handler coordinates with the program through those atomics rather than signal masks.
#pragma once

namespace interrupt_cleanup
{
// Installs the handlers for the three signals; one that was ignored when the program started (nohup) stays
// ignored.
void install();

// Installs handler for SIGINT, SIGTERM and SIGHUP, except a signal ignored when the program started; all
// three are held back while the handler runs.
void onStopSignals(void (*handler)(int));

// What install()'s handler does, for another handler that decides to stop the program now: removes the
// tracked files and ends the program by `signal`, unless a file is being created or renamed into place,
// in which case it returns and the program ends by the signal once that is done. Async-signal-safe.
void stopNow(int signal);

// Removes the tracked files and ends the program at once with `status`, running nothing else: for a library's
// fatal callback, where the program's other threads may still be using what exit() would destroy.
[[noreturn]] void exitNow(int status);

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

// Bracket the renames that put a run's files in place, so a stop signal leaves either all of them or none.
// beginCommit() does not return when a signal is already removing the files: nothing may be renamed then.
// Between the two, a stop signal is only noted; endCommit() ends the program by it after the last rename.
void beginCommit();
void endCommit();
} // namespace interrupt_cleanup
