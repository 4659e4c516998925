#include "WindowManagerAtoms.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <initializer_list>

namespace kelvane::platform
{
WindowManagerAtoms::WindowManagerAtoms()
{
    if (std::getenv("DISPLAY") == nullptr)
        return;

    auto* connection = XOpenDisplay(nullptr);

    if (connection == nullptr)
        return;

    for (const char* name :
         {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE"})
        XInternAtom(connection, name, False);

    XSync(connection, False);
    display = connection;
}

WindowManagerAtoms::~WindowManagerAtoms()
{
    if (display != nullptr)
        XCloseDisplay(static_cast<Display*>(display));
}
} // namespace kelvane::platform
