#pragma once

#include "HostEffectGUI.h"
#include "X11HostWindow.h"

#include <chrono>
#include <mutex>
#include <string>

class HostPlugIn;
class HostInstance;

// The plug-in's window opened by the host on Linux, the way a host opens it: the GUI object made and
// initialised, its view size asked, an X11 host window of that size made, and the window id handed over
// as the native view of an X11 view container; then the host's GUI timer wakes the GUI object. Closing
// takes the container away before the host window goes, then uninitialises and releases the GUI object.
// Everything here runs on the host's GUI thread.
namespace kelvane::host
{
/** The view container type under which the plug-in accepts an X11 window id as its native view. */
int32_t x11ViewContainerType();

class HostPlugInWindow
{
public:
    /** Throws HostError when there is no display, or the GUI cannot be made or gives no size.
        `hostLock` is the lock the host's audio thread holds around each block of the instance. */
    HostPlugInWindow(const HostPlugIn& plugIn, HostInstance& instance, std::mutex& hostLock, const std::string& title);
    ~HostPlugInWindow();

    /** One tick of the host's GUI timer: the values the window asked for are confirmed (between blocks);
        TimerWakeup; then the host window takes the size the plug-in last asked for and reads its own events. */
    void tick();

    /** Ticks every period until the time is up (never for duration::max()) or the window is closed on the desktop. */
    void runFor(std::chrono::milliseconds duration, std::chrono::milliseconds period = std::chrono::milliseconds(15));

    bool closeRequested() const { return window.closeRequested(); }
    RgbImage capture() const { return window.capture(); }
    X11HostWindow& hostWindow() { return window; }
    HostEffectGUI& gui() { return effectGUI; }

private:
    HostInstance& instance;
    std::mutex& hostLock;
    X11HostWindow window; // connected before the GUI object exists, gone after it
    HostEffectGUI effectGUI;
};
} // namespace kelvane::host
