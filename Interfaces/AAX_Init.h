#pragma once

// The library's entry functions (AAX_EntryPoints.h) and what the plug-in supplies to them: the description
// routine and the optional hooks below.

#include "AAX_EntryPoints.h"

class AAX_ICollection;

// Supplied by the plug-in: describes every effect of the bundle through inCollection; 0 on success.
AAX_Result GetEffectDescriptions(AAX_ICollection* inCollection);

// May be supplied by a plug-in whose own threads can still run its code after the host has released every
// object (a request in the background, for example): how many such threads run now. ACFCanUnloadNow counts
// them with the live objects, so that the host does not unload the bundle under them, and ACFShutdown waits
// for them, at most kAAXShutdownWaitMilliseconds. Without one the library's own answers 0.
int32_t AAXPlugInThreadsRunning();
constexpr int kAAXShutdownWaitMilliseconds = 5000;

// May be supplied by a plug-in where no run loop of the host dispatches its window's events (Linux): the GUI
// base's TimerWakeup calls it on every tick of the host's GUI timer, on the host's GUI thread, to run what the
// window has pending. Without one the library's own does nothing.
void AAXPlatformGUITimerWakeup();
