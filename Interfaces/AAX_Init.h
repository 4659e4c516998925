#pragma once

// The library's entry functions behind the exported ACF... functions (see AAX_Exports.cpp), and the
// description routine that the plug-in supplies.

#include "AAX.h"
#include "acfunknown.h"

#include <cstdint>

class AAX_ICollection;
class IACFPluginDefinition;
class IACFComponentDefinition;

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

AAX_Result AAXRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition);
AAX_Result AAXRegisterComponent(IACFUnknown* pUnkHost, acfUInt32 index,
                                IACFComponentDefinition** ppComponentDefinition);
AAX_Result AAXGetClassFactory(IACFUnknown* pUnkHost, const acfCLSID& clsid, const acfIID& iid, void** ppOut);
AAX_Result AAXCanUnloadNow(IACFUnknown* pUnkHost);
AAX_Result AAXStartup(IACFUnknown* pUnkHost);
AAX_Result AAXShutdown(IACFUnknown* pUnkHost);
AAX_Result AAXGetSDKVersion(uint64_t* oSDKVersion);

// Version of the interface library the plug-in is built with, as reported to the host.
constexpr uint64_t kAAXLibrarySDKVersion = 0x00000204013449E0ull;
