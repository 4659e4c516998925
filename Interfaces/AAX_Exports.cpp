// The plug-in's exported entry points. Each is a shell around the library function of the same purpose
// that lets no exception reach the host. The plug-in includes this file into exactly one of its own
// translation units (or compiles it as a source); these seven are the only symbols the bundle exports.

#include "AAX_EntryPoints.h"
#include "acfbasetypes.h"

#include <cstdint>

#define AAX_EXPORTED_ENTRY_POINT extern "C" __attribute__((visibility("default")))

namespace
{
// The barrier every entry point stands behind: an exception that escapes the library becomes
// ACF_E_UNEXPECTED instead of unwinding into the host.
template <typename Call>
ACFRESULT AAXExportWithoutExceptions(Call call) noexcept
{
    try
    {
        return call();
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}
} // namespace

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition)
{
    return AAXExportWithoutExceptions([&] { return AAXRegisterPlugin(pUnkHost, ppPluginDefinition); });
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFRegisterComponent(IACFUnknown* pUnkHost, acfUInt32 index,
                                                        IACFComponentDefinition** ppComponentDefinition)
{
    return AAXExportWithoutExceptions([&] { return AAXRegisterComponent(pUnkHost, index, ppComponentDefinition); });
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFGetClassFactory(IACFUnknown* pUnkHost, const acfCLSID& clsid, const acfIID& iid,
                                                      void** ppOut)
{
    return AAXExportWithoutExceptions([&] { return AAXGetClassFactory(pUnkHost, clsid, iid, ppOut); });
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFCanUnloadNow(IACFUnknown* pUnkHost)
{
    return AAXExportWithoutExceptions([&] { return AAXCanUnloadNow(pUnkHost); });
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFStartup(IACFUnknown* pUnkHost)
{
    return AAXExportWithoutExceptions([&] { return AAXStartup(pUnkHost); });
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFShutdown(IACFUnknown* pUnkHost)
{
    return AAXExportWithoutExceptions([&] { return AAXShutdown(pUnkHost); });
}

AAX_EXPORTED_ENTRY_POINT ACFRESULT ACFGetSDKVersion(uint64_t* oSDKVersion)
{
    return AAXExportWithoutExceptions([&] { return AAXGetSDKVersion(oSDKVersion); });
}

#undef AAX_EXPORTED_ENTRY_POINT
