#include "AAX_Init.h"

#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_Exception.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "CACFUnknown.h"
#include "acfbaseapi.h"

#include <chrono>
#include <exception>
#include <memory>
#include <thread>

AAX_Result AAXRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition)
{
    // A host that gives no place for the definition gets nothing described.
    if (ppPluginDefinition == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;

    std::unique_ptr<AAX_VCollection> collection;
    const char* const caughtFormat = "AAXRegisterPlugin exception caught: %s";
    try
    {
        collection.reset(new AAX_VCollection(pUnkHost));

        AAX_CheckedResult result;
        result = GetEffectDescriptions(collection.get());

        // The host's collection hands out the plug-in definition; its reference goes to the host's caller.
        *ppPluginDefinition = nullptr;
        IACFUnknown* const hostCollection = collection->GetIUnknown();
        const ACFRESULT queryResult =
            hostCollection != nullptr
                ? hostCollection->QueryInterface(IID_IACFPluginDefinition, reinterpret_cast<void**>(ppPluginDefinition))
                : ACF_E_NOINTERFACE;
        // A query that succeeds without a definition registers nothing either; success would mislead the host.
        if (queryResult != ACF_OK || *ppPluginDefinition == nullptr)
            result = AAX_ERROR_NULL_OBJECT;

        // Deletes every descriptor and map of the description; the host's collection lives on through the
        // plug-in definition.
        collection.reset();
        return AAX_SUCCESS;
    }
    catch (const AAX::Exception::ResultError& error)
    {
        collection.reset();
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, caughtFormat, error.What().c_str());
        return error.Result();
    }
    catch (const AAX::Exception::Any& error)
    {
        collection.reset();
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, caughtFormat, error.What().c_str());
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (const std::exception& error)
    {
        collection.reset();
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, caughtFormat, error.what());
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (...)
    {
        collection.reset();
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, caughtFormat, "unknown");
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
}

AAX_Result AAXRegisterComponent(IACFUnknown* /*pUnkHost*/, acfUInt32 /*index*/,
                                IACFComponentDefinition** ppComponentDefinition)
{
    // The bundle registers no separate components.
    if (ppComponentDefinition == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *ppComponentDefinition = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAXGetClassFactory(IACFUnknown* /*pUnkHost*/, const acfCLSID& /*clsid*/, const acfIID& /*iid*/, void** ppOut)
{
    // The bundle offers no class factories.
    if (ppOut != nullptr)
        *ppOut = nullptr;
    return AAX_ERROR_UNIMPLEMENTED;
}

// Weak: a plug-in's own definition takes its place.
__attribute__((weak)) int32_t AAXPlugInThreadsRunning()
{
    return 0;
}

AAX_Result AAXCanUnloadNow(IACFUnknown* /*pUnkHost*/)
{
    // 0 once no object of the plug-in is alive any more and none of its threads runs.
    return CACFUnknown::GetActiveObjectCount() + AAXPlugInThreadsRunning();
}

AAX_Result AAXStartup(IACFUnknown* pUnkHost)
{
    AAX_CHostServices::Set(pUnkHost);
    return AAX_SUCCESS;
}

AAX_Result AAXShutdown(IACFUnknown* /*pUnkHost*/)
{
    // A host may unload the bundle right after this: its threads get a bounded time to end first.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAAXShutdownWaitMilliseconds);
    while (AAXPlugInThreadsRunning() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    AAX_CHostServices::Set(nullptr);
    return AAX_SUCCESS;
}

AAX_Result AAXGetSDKVersion(uint64_t* oSDKVersion)
{
    if (oSDKVersion == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *oSDKVersion = kAAXLibrarySDKVersion;
    return AAX_SUCCESS;
}
