// The plug-in's exported entry points. Each is a shell around the library function of the same purpose
// that lets no exception reach the host. The plug-in includes this file into exactly one of its own
// translation units (or compiles it as a source); these seven are the only symbols the bundle exports.

#include "AAX_Init.h"
#include "acfbasetypes.h"

#include <cstdint>

#define AAX_EXPORTED_ENTRY_POINT extern "C" __attribute__((visibility("default")))

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition)
{
    try
    {
        return AAXRegisterPlugin(pUnkHost, ppPluginDefinition);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFRegisterComponent(IACFUnknown* pUnkHost, acfUInt32 index,
                                                        IACFComponentDefinition** ppComponentDefinition)
{
    try
    {
        return AAXRegisterComponent(pUnkHost, index, ppComponentDefinition);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFGetClassFactory(IACFUnknown* pUnkHost, const acfCLSID& clsid, const acfIID& iid,
                                                      void** ppOut)
{
    try
    {
        return AAXGetClassFactory(pUnkHost, clsid, iid, ppOut);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFCanUnloadNow(IACFUnknown* pUnkHost)
{
    try
    {
        return AAXCanUnloadNow(pUnkHost);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFStartup(IACFUnknown* pUnkHost)
{
    try
    {
        return AAXStartup(pUnkHost);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFShutdown(IACFUnknown* pUnkHost)
{
    try
    {
        return AAXShutdown(pUnkHost);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFGetSDKVersion(uint64_t* oSDKVersion)
{
    try
    {
        return AAXGetSDKVersion(oSDKVersion);
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

#undef AAX_EXPORTED_ENTRY_POINT
