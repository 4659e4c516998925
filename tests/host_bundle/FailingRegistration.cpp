// A shared object with the seven ACF entry points whose registration fails: a plug-in a host must refuse.
#include <cstdint>

#define ENTRY_POINT extern "C" __attribute__((visibility("default")))

ENTRY_POINT int32_t ACFRegisterPlugin(void*, void** definition)
{
	*definition = nullptr;
	return -20004;
}
ENTRY_POINT int32_t ACFRegisterComponent(void*, uint32_t, void** definition)
{
	*definition = nullptr;
	return 0;
}
ENTRY_POINT int32_t ACFGetClassFactory(void*, const void*, const void*, void** factory)
{
	*factory = nullptr;
	return -20009;
}
ENTRY_POINT int32_t ACFCanUnloadNow(void*) { return 0; }
ENTRY_POINT int32_t ACFStartup(void*) { return 0; }
ENTRY_POINT int32_t ACFShutdown(void*) { return 0; }
ENTRY_POINT int32_t ACFGetSDKVersion(uint64_t* version)
{
	*version = 0;
	return 0;
}
