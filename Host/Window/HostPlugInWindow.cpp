#include "HostPlugInWindow.h"

#include "AAX_Enums.h"
#include "HostError.h"
#include "HostInstance.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace kelvane::host
{
namespace
{
int pixels(float size)
{
    return static_cast<int>(std::lround(size));
}
} // namespace

int32_t x11ViewContainerType()
{
    // Off macOS, JUCE's AAX client attaches its window to a native view of the type it knows as a window
    // handle; on this platform that handle is an X11 window id.
    return AAX_eViewContainer_Type_HWND;
}

HostPlugInWindow::HostPlugInWindow(const HostPlugIn& plugIn, HostInstance& i, std::mutex& lock,
                                   const std::string& title)
    : instance(i), hostLock(lock), window(title), effectGUI(plugIn, instance)
{
    const AAX_Point size = effectGUI.viewSize();

    if (pixels(size.horz) <= 0 || pixels(size.vert) <= 0)
        throw HostError("the plug-in's GUI gives no view size");

    window.show(pixels(size.horz), pixels(size.vert));
    effectGUI.attach(x11ViewContainerType(), reinterpret_cast<void*>(window.nativeView()));
}

HostPlugInWindow::~HostPlugInWindow()
{
    // The plug-in's window leaves the host window before the host window goes.
    effectGUI.detach();
}

void HostPlugInWindow::tick()
{
    {
        const std::lock_guard<std::mutex> lock(hostLock);
        instance.settle();
    }

    effectGUI.timerWakeup();

    if (auto* container = effectGUI.container())
    {
        const AAX_Point asked = container->viewSize();

        if (pixels(asked.horz) > 0 && pixels(asked.vert) > 0
            && (pixels(asked.horz) != window.width() || pixels(asked.vert) != window.height()))
            window.resize(pixels(asked.horz), pixels(asked.vert));
    }

    window.readEvents();
}

void HostPlugInWindow::runFor(std::chrono::milliseconds duration, std::chrono::milliseconds period)
{
    const auto end = duration == std::chrono::milliseconds::max() ? std::chrono::steady_clock::time_point::max()
                                                                  : std::chrono::steady_clock::now() + duration;
    auto next = std::chrono::steady_clock::now();

    while (!closeRequested() && std::chrono::steady_clock::now() < end)
    {
        tick();
        // A tick that took long (a modal dialog ran inside it) is not made up for by a burst of ticks.
        next = std::max(next + period, std::chrono::steady_clock::now());
        std::this_thread::sleep_until(next);
    }
}
} // namespace kelvane::host
