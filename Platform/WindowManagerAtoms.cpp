#include "WindowManagerAtoms.h"

#if defined(__linux__)

#include <X11/Xlib.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace kelvane::platform
{
namespace
{
// Every atom the framework's X11 layer looks up only if it exists when it opens its display.
const char* const atomNames[] = {"WM_PROTOCOLS",        "WM_TAKE_FOCUS",   "WM_DELETE_WINDOW",
                                 "_NET_WM_PING",        "WM_CHANGE_STATE", "WM_STATE",
                                 "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE",   "_NET_WM_STATE_HIDDEN"};

template <typename Function>
Function* symbol(void* library, const char* name)
{
    return reinterpret_cast<Function*>(dlsym(library, name));
}
} // namespace

WindowManagerAtoms::WindowManagerAtoms()
{
    library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);

    if (library == nullptr)
        library = dlopen("libX11.so", RTLD_LAZY | RTLD_LOCAL);

    if (library == nullptr)
        return;

    auto* openDisplay = symbol<decltype(XOpenDisplay)>(library, "XOpenDisplay");
    auto* internAtoms = symbol<decltype(XInternAtoms)>(library, "XInternAtoms");

    if (openDisplay == nullptr || internAtoms == nullptr
        || symbol<decltype(XCloseDisplay)>(library, "XCloseDisplay") == nullptr)
        return;

    // The same display the framework opens.
    const char* name = std::getenv("DISPLAY");
    auto* connection = openDisplay(name != nullptr && std::strlen(name) > 0 ? name : ":0.0");

    if (connection == nullptr)
        return;

    char* names[std::size(atomNames)];
    Atom atoms[std::size(atomNames)];

    for (std::size_t i = 0; i < std::size(atomNames); ++i)
        names[i] = const_cast<char*>(atomNames[i]);

    // Waits for the server's answer, so the atoms exist once this returns.
    internAtoms(connection, names, static_cast<int>(std::size(atomNames)), False, atoms);
    display = connection;
}

WindowManagerAtoms::~WindowManagerAtoms()
{
    if (display != nullptr)
        symbol<decltype(XCloseDisplay)>(library, "XCloseDisplay")(static_cast<Display*>(display));

    if (library != nullptr)
        dlclose(library);
}
} // namespace kelvane::platform

#else

namespace kelvane::platform
{
WindowManagerAtoms::WindowManagerAtoms() = default;
WindowManagerAtoms::~WindowManagerAtoms() = default;
} // namespace kelvane::platform

#endif
