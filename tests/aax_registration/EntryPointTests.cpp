// The exported entry points other than registration, and the shells' guarantee that nothing is thrown
// into the host.

#include "RegistrationTestSupport.h"

#include "AAX_CHostServices.h"
#include "AAX_Init.h"
#include "AAX_UIDs.h"
#include "CACFUnknown.h"
#include "acfbaseapi.h"

#include <cstdint>

extern "C"
{
	ACFRESULT ACFRegisterComponent(IACFUnknown* pUnkHost, acfUInt32 index, IACFComponentDefinition** ppComponentDefinition);
	ACFRESULT ACFGetClassFactory(IACFUnknown* pUnkHost, const acfCLSID& clsid, const acfIID& iid, void** ppOut);
	ACFRESULT ACFCanUnloadNow(IACFUnknown* pUnkHost);
	ACFRESULT ACFStartup(IACFUnknown* pUnkHost);
	ACFRESULT ACFShutdown(IACFUnknown* pUnkHost);
	ACFRESULT ACFGetSDKVersion(uint64_t* oSDKVersion);
}

namespace
{
class LiveObject : public CACFUnknown
{
};

void* const kPassedIn = reinterpret_cast<void*>(static_cast<uintptr_t>(0x5a5a));

TEST(EntryPoints, RegisterComponentOffersNothingForAnyIndex)
{
	for (const acfUInt32 index : { 0u, 1u, 7u, 0xFFFFFFFFu })
	{
		auto* definition = static_cast<IACFComponentDefinition*>(kPassedIn);
		EXPECT_EQ(ACFRegisterComponent(nullptr, index, &definition), 0) << index;
		EXPECT_EQ(definition, nullptr) << index;
	}
}

TEST(EntryPoints, GetClassFactoryIsUnimplementedForAnyIdentifiers)
{
	const std::pair<acfCLSID, acfIID> requests[] = { { IID_IACFUnknown, IID_IACFUnknown },
		                                             { AAXCompID_AAXCollection, IID_IACFComponentFactory },
		                                             { IID_IAAXEffectParametersV1, IID_IAAXEffectGUIV1 } };
	for (const auto& [classID, interfaceID] : requests)
	{
		void* factory = kPassedIn;
		EXPECT_EQ(ACFGetClassFactory(nullptr, classID, interfaceID, &factory), AAX_ERROR_UNIMPLEMENTED);
		EXPECT_EQ(factory, nullptr);
	}
}

TEST(EntryPoints, GetSDKVersionReportsTheLibraryVersion)
{
	uint64_t version = 0;
	EXPECT_EQ(ACFGetSDKVersion(&version), 0);
	EXPECT_EQ(version, 0x00000204013449E0ull);
	EXPECT_EQ(version >> 32, 0x00000204u);
	EXPECT_EQ(version & 0xFFFFFFFFu, 20204000u);
}

TEST(EntryPoints, CanUnloadNowFollowsTheLiveObjectCount)
{
	EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
	{
		LiveObject effect;
		EXPECT_EQ(ACFCanUnloadNow(nullptr), 1);
		{
			LiveObject gui;
			EXPECT_EQ(ACFCanUnloadNow(nullptr), 2);
		}
		EXPECT_EQ(ACFCanUnloadNow(nullptr), 1);
	}
	EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);

	// An object the host holds lives until the host's last release.
	auto* const held = new LiveObject;
	IACFUnknown* unknown = nullptr;
	ASSERT_EQ(held->InternalQueryInterface(IID_IACFUnknown, reinterpret_cast<void**>(&unknown)), 0);
	EXPECT_EQ(ACFCanUnloadNow(nullptr), 1);
	EXPECT_EQ(unknown->Release(), 0u);
	EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
}

TEST(EntryPoints, NoPlaceForAnAnswerIsANullObject)
{
	EXPECT_EQ(ACFRegisterComponent(nullptr, 0, nullptr), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(ACFGetSDKVersion(nullptr), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(ACFGetClassFactory(nullptr, IID_IACFUnknown, IID_IACFUnknown, nullptr), AAX_ERROR_UNIMPLEMENTED);
}

class StartupAndShutdown : public HostTest
{
};

TEST_F(StartupAndShutdown, InstallAndRemoveTheHostServices)
{
	HostRef<HostContext> context = makeContext();
	EXPECT_EQ(ACFShutdown(nullptr), 0); // without an earlier start-up: nothing to remove
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "before"), 0);

	EXPECT_EQ(ACFStartup(context->unknown()), 0);
	AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "while started");
	EXPECT_EQ(ACFShutdown(context->unknown()), 0);
	AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "after");

	EXPECT_EQ(HostTraces(host), (std::vector<HostTrace> { { kFailurePriority, "while started" } }));
}

TEST_F(StartupAndShutdown, AnExceptionBecomesUnexpected)
{
	// A factory query that succeeds with nothing makes the host-services proxy throw while it is built.
	host.configuration().answerEmpty(IID_IACFComponentFactory);
	HostRef<HostContext> context = makeContext();
	EXPECT_EQ(ACFStartup(context->unknown()), static_cast<ACFRESULT>(0x8000FFFF));
	AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "nothing installed");
	EXPECT_TRUE(HostTraces(host).empty());
	EXPECT_EQ(ACFShutdown(nullptr), 0);
}
} // namespace
