// A shared object with the seven ACF entry points whose registration fails: a plug-in a host must refuse.
#include <cstdint>

#define ENTRY_POINT extern "C" __attribute__((visibility("default"))) int32_t

ENTRY_POINT ACFRegisterPlugin(void*, void** definition)
{
    return *definition = nullptr, -20004;
}
ENTRY_POINT ACFRegisterComponent(void*, uint32_t, void** definition)
{
    return *definition = nullptr, 0;
}
ENTRY_POINT ACFGetClassFactory(void*, const void*, const void*, void** factory)
{
    return *factory = nullptr, -20009;
}
ENTRY_POINT ACFCanUnloadNow(void*)
{
    return 0;
}
ENTRY_POINT ACFStartup(void*)
{
    return 0;
}
ENTRY_POINT ACFShutdown(void*)
{
    return 0;
}
ENTRY_POINT ACFGetSDKVersion(uint64_t* version)
{
    return *version = 0, 0;
}
