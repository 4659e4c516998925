#pragma once

#include "RgbImage.h"

#include <string>

// The host's own top-level window on Linux, on the host's own connection to the X display. The plug-in's
// window is created inside it (its X window id is the native view the host's view container hands out).
// Everything here runs on the host's GUI thread.
typedef struct _XDisplay Display;

namespace kelvane::host
{
class X11HostWindow
{
public:
    /** Opens a connection to $DISPLAY and makes the window, not shown yet; throws HostError when
        there is no display. A host is connected before any plug-in's window exists. */
    explicit X11HostWindow(const std::string& title);
    ~X11HostWindow();

    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    /** The X window id, as the plug-in's native view. */
    unsigned long nativeView() const noexcept { return window; }
    Display* display() const noexcept { return connection; }
    int width() const noexcept { return currentWidth; }
    int height() const noexcept { return currentHeight; }

    /** Shows the window at this size and waits until it is on the screen. */
    void show(int width, int height);

    /** The plug-in asks for another size of its view; the host window follows. */
    void resize(int newWidth, int newHeight);

    /** Reads the host window's own events; notes a close request from the desktop. */
    void readEvents();
    bool closeRequested() const noexcept { return closeWasRequested; }

    /** The window's top-left corner on the screen. */
    void screenPosition(int& x, int& y) const;

    /** What the window shows now, the plug-in's window inside it included. */
    RgbImage capture() const;

private:
    Display* connection = nullptr;
    unsigned long window = 0;
    unsigned long deleteWindowAtom = 0;
    int currentWidth = 0;
    int currentHeight = 0;
    bool closeWasRequested = false;
};
} // namespace kelvane::host
