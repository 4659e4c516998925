#pragma once

// The library's entry functions behind the exported ACF... functions (see AAX_Exports.cpp). Apart from
// AAX_Init.h because the exports are compiled inside JUCE's client, which declares the plug-in's description
// routine itself.

#include "AAX.h"
#include "acfunknown.h"

#include <cstdint>

class IACFPluginDefinition;
class IACFComponentDefinition;

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
