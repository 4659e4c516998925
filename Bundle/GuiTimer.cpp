// What the bundle adds to the AAX library's GUI base on Linux, where no run loop of the host dispatches the
// window's events: every tick of the host's GUI timer runs what the window has pending, on the host's GUI
// thread (the library never calls the platform layer itself).
#include "AAX_Init.h"
#include "GuiEventDispatch.h"

void AAXPlatformGUITimerWakeup()
{
    kelvane::platform::dispatchPendingGuiEvents();
}
