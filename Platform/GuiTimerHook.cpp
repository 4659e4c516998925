// Ties the host's GUI timer to the window's message loop on Linux (see AAX_PlatformGUITimer.h). Linked into
// the plug-in bundle as an object file, so the definition is always part of it.
#include "AAX_PlatformGUITimer.h"
#include "GuiEventDispatch.h"

extern "C" void AAXPlatformGUITimerWakeup()
{
    kelvane::platform::dispatchPendingGuiEvents();
}
