#pragma once

// A bare X server (a virtual display without a window manager) lacks the window-manager atoms that the
// framework looks up and then uses, unchecked, when it creates a window. Interning them first lets windows
// open as on a desktop.
namespace kelvane::platform
{
/** Interns the atoms on the display named by DISPLAY and keeps a connection open for its lifetime, because
    the server forgets its atoms when its last client leaves. Does nothing where there is no display. */
class WindowManagerAtoms
{
public:
    WindowManagerAtoms();
    ~WindowManagerAtoms();

    WindowManagerAtoms(const WindowManagerAtoms&) = delete;
    WindowManagerAtoms& operator=(const WindowManagerAtoms&) = delete;

private:
    void* display = nullptr;
};
} // namespace kelvane::platform
