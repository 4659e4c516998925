// What the plug-in supplies to the AAX library beyond its description: the library calls these, and they
// reach the window and the platform stand-ins, which the library itself never calls.
#include "AAX_Init.h"
#include "GuiEventDispatch.h"
#include "UpdateCheck.h"

// A window's update check may still run after its window has closed; the bundle must not go before it ends.
int32_t AAXPlugInThreadsRunning()
{
    return updateChecksInFlight();
}

// On Linux the host's GUI timer is what runs the window's message loop.
void AAXPlatformGUITimerWakeup()
{
    kelvane::platform::dispatchPendingGuiEvents();
}
