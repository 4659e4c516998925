#pragma once

#include <chrono>

// The message loop of a plug-in window on Linux.
// On macOS the host's main run loop dispatches the framework's messages and window events. A Linux host
// runs no loop of ours, so the host's GUI thread lends us time instead: each tick of its GUI timer (every
// 10 to 20 ms while a window is open) runs a bounded batch of what is pending, on that thread, which is
// thereby the framework's message thread. No thread of the plug-in ever paints or touches a component.
namespace kelvane::platform
{
/** Limits of one batch: at most maxPasses passes over the event sources, and no new pass once the budget
    has been spent. A pass runs the posted messages that are waiting (the framework empties its queue, so
    a message posted meanwhile runs in the same pass) and reads the X events of the plug-in's windows that
    have arrived. A batch ends early at the first pass that finds nothing: it never waits for work.
    The bound therefore holds while the window's work per refresh stays below its timer periods (50 ms for
    the face, a display frame for painting); a window slower than that keeps the framework's queue from
    ever running empty, and one pass with it, as it would keep a standalone application busy. */
struct GuiDispatchLimits
{
    int maxPasses = 16;
    std::chrono::milliseconds budget{8};
};

/** Makes the calling thread the framework's message thread and runs one batch of pending messages
    and X events within the limits. Returns the number of passes that found work (0: nothing was
    pending). Does nothing and returns 0 while the framework's message manager does not exist, or when
    a batch is already running (a call from inside a dispatched callback, or from a second thread). */
int dispatchPendingGuiEvents(GuiDispatchLimits limits = {});
} // namespace kelvane::platform
