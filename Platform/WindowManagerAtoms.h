#pragma once

// The framework's X11 layer reads the window-manager atoms once, when it opens its display connection, and only
// if they already exist; on a display without a window manager they do not, and its windows then name atom 0,
// an error that Xlib's default handler answers by ending the process. Interning them before that connection
// opens lets its windows work as on a desktop.
namespace kelvane::platform
{
/** Interns the atoms on a connection of its own to the display the framework opens ($DISPLAY, else :0.0) and
    keeps that connection for its lifetime: the server forgets its atoms when its last client leaves. libX11 is
    loaded at run time, as the framework loads it, so nothing here needs it to be installed; once loaded it stays.
    Does nothing where there is no libX11 or no display, and outside Linux. */
class WindowManagerAtoms
{
public:
    WindowManagerAtoms();
    ~WindowManagerAtoms();

    WindowManagerAtoms(const WindowManagerAtoms&) = delete;
    WindowManagerAtoms& operator=(const WindowManagerAtoms&) = delete;

private:
    [[maybe_unused]] void* display = nullptr;
};
} // namespace kelvane::platform
