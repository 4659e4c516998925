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

// Loaded once and never unloaded: Xlib keeps process-wide state (its resource database, its locale data) that
// unloading it would strand, as a program linked with it never does.
void* x11Library()
{
    static void* const library = [] {
        void* loaded = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        return loaded != nullptr ? loaded : dlopen("libX11.so", RTLD_LAZY | RTLD_LOCAL);
    }();
    return library;
}

template <typename Function>
Function* x11Function(const char* name)
{
    void* library = x11Library();
    return library != nullptr ? reinterpret_cast<Function*>(dlsym(library, name)) : nullptr;
}
} // namespace

WindowManagerAtoms::WindowManagerAtoms()
{
    auto* openDisplay = x11Function<decltype(XOpenDisplay)>("XOpenDisplay");
    auto* internAtoms = x11Function<decltype(XInternAtoms)>("XInternAtoms");

    if (openDisplay == nullptr || internAtoms == nullptr
        || x11Function<decltype(XCloseDisplay)>("XCloseDisplay") == nullptr)
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
        x11Function<decltype(XCloseDisplay)>("XCloseDisplay")(static_cast<Display*>(display));
}
} // namespace kelvane::platform

#else

namespace kelvane::platform
{
WindowManagerAtoms::WindowManagerAtoms() = default;
WindowManagerAtoms::~WindowManagerAtoms() = default;
} // namespace kelvane::platform

#endif
