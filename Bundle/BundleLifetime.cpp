// What the bundle adds to the library's entry points for the window's update checks. A check runs on a
// detached thread of the plug-in and may outlive the window that started it; while one runs, the bundle must
// stay mapped and its statics whole.
#include "AAX_Init.h"
#include "UpdateCheck.h"

// The host must not unload the bundle while a check's thread still runs its code; ACFShutdown waits for them.
int32_t AAXPlugInThreadsRunning()
{
    return updateChecksInFlight();
}

namespace
{
// Ending the process destroys the bundle's statics in the reverse order of their making, and a check still
// waiting for a server would then run into what is gone: the network layer's lock among them, which is made
// at that layer's first use. This object uses the network layer once while it is made, so it is destroyed
// before that lock, and its destructor waits (bounded) for the checks still running. (Unloading the bundle
// runs the same destructors, but only once ACFCanUnloadNow has seen no check running.)
struct ChecksEndBeforeTheStatics
{
    ChecksEndBeforeTheStatics() { const juce::WebInputStream unused(juce::URL(), false); }

    ~ChecksEndBeforeTheStatics() { waitForUpdateChecksToFinish(kAAXShutdownWaitMilliseconds); }
};

const ChecksEndBeforeTheStatics checksEndBeforeTheStatics;
} // namespace
