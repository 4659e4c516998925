// Procedure registration from a property map: forwarded to hosts with component-descriptor version 3,
// done by hand for the others.

#include "RegistrationTestSupport.h"

#include "AAX_IFeatureInfo.h"
#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "HostComponentDescriptor.h"
#include "HostPropertyMap.h"

namespace
{
const std::string kNoNativeProcTrace =
    "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_NativeProcessProc";
const std::string kNoDllTrace =
    "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_TIDLLFileName";
const std::string kNoTIProcTrace =
    "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_TIProcessProc";
constexpr uint32_t kUntouched = 0xEEEEEEEE;

// A host without component-descriptor version 3 and without property-map version 3, so the procedure
// pointers live in the map proxies and the library registers them itself.
class ManualProcessProcRegistration : public DescriptionTest
{
protected:
	void SetUp() override
	{
		DescriptionTest::SetUp();
		host.configuration().refuseInterface(IID_IAAXComponentDescriptorV3);
		host.configuration().refuseInterface(IID_IAAXPropertyMapV3);
		startHostServices();
		component = std::make_unique<AAX_VComponentDescriptor>(context->unknown());
		properties = component->NewPropertyMap();
		ASSERT_NE(properties, nullptr);
	}

	void TearDown() override
	{
		component.reset();
		DescriptionTest::TearDown();
	}

	void AddNativeProcedure()
	{
		properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Nat1');
		properties->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&ProcessProc));
		properties->AddPointerProperty(AAX_eProperty_NativeInstanceInitProc, reinterpret_cast<const void*>(&InstanceInitProc));
		properties->AddPointerProperty(AAX_eProperty_NativeBackgroundProc, reinterpret_cast<const void*>(&BackgroundProc));
	}

	void AddTIProcedure()
	{
		properties->AddProperty(AAX_eProperty_PlugInID_TI, 'TI_1');
		properties->AddPointerProperty(AAX_eProperty_TIDLLFileName, "dsp.dll");
		properties->AddPointerProperty(AAX_eProperty_TIProcessProc, "Process");
		properties->AddPointerProperty(AAX_eProperty_TIInstanceInitProc, "Init");
	}

	HostComponentDescriptor& hostComponent() const
	{
		return *hostObjectBehind<HostComponentDescriptor>(host, component->GetIUnknown());
	}
	HostPropertyMap* hostMap(const AAX_IPropertyMap* map) const
	{
		return hostObjectBehind<HostPropertyMap>(host, map->GetIUnknown());
	}

	std::vector<int> registrationMethods() const
	{
		std::vector<int> methods;
		for (const HostCall& call : MethodCallsTo(host, "ComponentDescriptor"))
			methods.push_back(call.method);
		return methods;
	}

	std::unique_ptr<AAX_VComponentDescriptor> component;
	AAX_IPropertyMap* properties = nullptr;
};

TEST_F(ManualProcessProcRegistration, OneNativeProcedureWithRoomForItsID)
{
	AddNativeProcedure();
	uint32_t ids[2] = { kUntouched, kUntouched };
	EXPECT_EQ(component->AddProcessProc(properties, ids, 2), 0);

	ASSERT_EQ(hostComponent().nativeProcedures().size(), 1u);
	const HostComponentDescriptor::NativeProcedure& procedure = hostComponent().nativeProcedures()[0];
	EXPECT_EQ(ids[0], procedure.id);
	EXPECT_EQ(ids[1], 0u);
	EXPECT_EQ(procedure.processProc, &ProcessProc);
	EXPECT_EQ(procedure.instanceInitProc, &InstanceInitProc);
	EXPECT_EQ(procedure.backgroundProc, &BackgroundProc);
	EXPECT_EQ(procedure.properties.get(), hostMap(properties));
	EXPECT_EQ(registrationMethods(), std::vector<int> { 16 });
	EXPECT_TRUE(HostTraces(host).empty());
}

TEST_F(ManualProcessProcRegistration, NoRoomForTheTerminatorOverflowsAndLeavesTheArray)
{
	AddNativeProcedure();
	uint32_t ids[1] = { kUntouched };
	EXPECT_EQ(component->AddProcessProc(properties, ids, 1), AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW);
	EXPECT_EQ(ids[0], kUntouched);
	EXPECT_EQ(hostComponent().nativeProcedures().size(), 1u); // the host has registered it all the same
}

TEST_F(ManualProcessProcRegistration, NoProcedureTypeRegistersNothing)
{
	uint32_t ids[1] = { kUntouched };
	EXPECT_EQ(component->AddProcessProc(properties, ids, 1), 0);
	EXPECT_EQ(ids[0], 0u);
	EXPECT_EQ(component->AddProcessProc(properties, ids, 0), AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW);
	EXPECT_EQ(component->AddProcessProc(properties, nullptr, 0), 0);
	EXPECT_EQ(registrationMethods(), std::vector<int> {});
}

TEST_F(ManualProcessProcRegistration, AudioSuiteTypeAlsoAsksForANativeProcedure)
{
	properties->AddProperty(AAX_eProperty_PlugInID_AudioSuite, 'ASui');
	properties->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&ProcessProc));
	EXPECT_EQ(component->AddProcessProc(properties), 0);
	EXPECT_EQ(registrationMethods(), std::vector<int> { 16 });
}

TEST_F(ManualProcessProcRegistration, NativeThenTIWithIDsInThatOrder)
{
	AddNativeProcedure();
	AddTIProcedure();
	uint32_t ids[3] = { kUntouched, kUntouched, kUntouched };
	EXPECT_EQ(component->AddProcessProc(properties, ids, 3), 0);
	ASSERT_EQ(hostComponent().nativeProcedures().size(), 1u);
	ASSERT_EQ(hostComponent().tiProcedures().size(), 1u);
	const HostComponentDescriptor::TIProcedure& ti = hostComponent().tiProcedures()[0];
	EXPECT_EQ(ids[0], hostComponent().nativeProcedures()[0].id);
	EXPECT_EQ(ids[1], ti.id);
	EXPECT_EQ(ids[2], 0u);
	EXPECT_EQ(ti.dllFileName, "dsp.dll");
	EXPECT_EQ(ti.processProcName, "Process");
	EXPECT_EQ(ti.instanceInitProcName, "Init");
	EXPECT_EQ(ti.backgroundProcName, std::nullopt);
	EXPECT_EQ(registrationMethods(), (std::vector<int> { 16, 17 }));
}

TEST_F(ManualProcessProcRegistration, AFailingNativeRegistrationEndsItBeforeTI)
{
	AddNativeProcedure();
	AddTIProcedure();
	host.configuration().injectResult("ComponentDescriptor", 16, AAX_ERROR_NULL_OBJECT);
	uint32_t ids[3] = { kUntouched, kUntouched, kUntouched };
	EXPECT_EQ(component->AddProcessProc(properties, ids, 3), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(registrationMethods(), std::vector<int> { 16 });
	EXPECT_EQ(ids[0], kUntouched);
}

TEST_F(ManualProcessProcRegistration, AFailingTIRegistrationGivesItsResult)
{
	AddTIProcedure();
	host.configuration().injectResult("ComponentDescriptor", 17, AAX_ERROR_UNIMPLEMENTED);
	uint32_t ids[2] = { kUntouched, kUntouched };
	EXPECT_EQ(component->AddProcessProc(properties, ids, 2), AAX_ERROR_UNIMPLEMENTED);
	EXPECT_EQ(ids[0], kUntouched);
}

TEST_F(ManualProcessProcRegistration, BufferLengthIsTakenAwayFromTheNativeMapOnly)
{
	AddNativeProcedure();
	AddTIProcedure();
	properties->AddProperty(AAX_eProperty_NativeAudioBufferLength, 256);
	properties->AddProperty(AAX_eProperty_ManufacturerID, 'Manu');
	EXPECT_EQ(component->AddProcessProc(properties, nullptr, 0), 0);

	ASSERT_EQ(hostComponent().nativeProcedures().size(), 1u);
	ASSERT_EQ(hostComponent().tiProcedures().size(), 1u);
	const HostPropertyMap* const nativeMap = hostComponent().nativeProcedures()[0].properties.get();
	const HostPropertyMap* const tiMap = hostComponent().tiProcedures()[0].properties.get();
	ASSERT_NE(nativeMap, nullptr);
	EXPECT_NE(nativeMap, hostMap(properties));
	EXPECT_FALSE(nativeMap->hasProperty(AAX_eProperty_NativeAudioBufferLength));
	EXPECT_EQ(nativeMap->property(AAX_eProperty_ManufacturerID), static_cast<int32_t>('Manu'));
	EXPECT_EQ(nativeMap->property(AAX_eProperty_PlugInID_Native), static_cast<int32_t>('Nat1'));
	EXPECT_EQ(tiMap, hostMap(properties));
	EXPECT_TRUE(tiMap->hasProperty(AAX_eProperty_NativeAudioBufferLength));
	EXPECT_TRUE(HostAssertions(host).empty());
	// The procedure pointers live only in the proxies, so the host's copy has none of them.
	EXPECT_TRUE(nativeMap->pointerProperties().empty());
}

TEST_F(ManualProcessProcRegistration, AMissingProcessProcIsTracedOnceAndRegisteredAsNull)
{
	properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Nat1');
	EXPECT_EQ(component->AddProcessProc(properties), 0);
	EXPECT_EQ(HostTraces(host), (std::vector<HostTrace> { { kFailurePriority, kNoNativeProcTrace } }));
	ASSERT_EQ(hostComponent().nativeProcedures().size(), 1u);
	EXPECT_EQ(hostComponent().nativeProcedures()[0].processProc, nullptr);
	EXPECT_EQ(hostComponent().nativeProcedures()[0].instanceInitProc, nullptr);
}

TEST_F(ManualProcessProcRegistration, MissingTINamesAreTracedAndRegisteredAsNull)
{
	properties->AddProperty(AAX_eProperty_PlugInID_TI, 'TI_1');
	EXPECT_EQ(component->AddProcessProc(properties), 0);
	EXPECT_EQ(HostTraces(host), (std::vector<HostTrace> { { kFailurePriority, kNoDllTrace }, { kFailurePriority, kNoTIProcTrace } }));
	ASSERT_EQ(hostComponent().tiProcedures().size(), 1u);
	EXPECT_EQ(hostComponent().tiProcedures()[0].dllFileName, std::nullopt);
}

TEST_F(ManualProcessProcRegistration, NoDescriptorOrNoMapIsANullObject)
{
	EXPECT_EQ(component->AddProcessProc(nullptr), AAX_ERROR_NULL_OBJECT);

	host.configuration().refuseInterface(IID_IAAXComponentDescriptorV1);
	AAX_VComponentDescriptor withoutHost(context->unknown());
	AddNativeProcedure();
	EXPECT_EQ(withoutHost.AddProcessProc(properties), AAX_ERROR_NULL_OBJECT);
}

// A descriptor whose registrations are overridden, as a client's subclass might: the manual path must
// reach the overrides, not the proxy's own forwarding.
class OverridingComponent : public AAX_VComponentDescriptor
{
public:
	using AAX_VComponentDescriptor::AAX_VComponentDescriptor;
	using AAX_VComponentDescriptor::AddProcessProc_Native;

	AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, AAX_IPropertyMap* properties, AAX_CInstanceInitProc,
	                                 AAX_CBackgroundProc, uint32_t* procID) override
	{
		nativeCalls.push_back({ reinterpret_cast<const void*>(processProc), properties });
		*procID = 500;
		return 0;
	}
	AAX_Result AddProcessProc_TI(const char dllFileName[], const char*, AAX_IPropertyMap* properties, const char*,
	                             const char*, uint32_t* procID) override
	{
		tiCalls.push_back({ dllFileName, properties });
		*procID = 600;
		return 0;
	}

	std::vector<std::pair<const void*, AAX_IPropertyMap*>> nativeCalls, tiCalls;
};

TEST_F(ManualProcessProcRegistration, RegistersThroughTheVirtualOperations)
{
	OverridingComponent overriding(context->unknown());
	AAX_IPropertyMap* const map = overriding.NewPropertyMap();
	map->AddProperty(AAX_eProperty_PlugInID_Native, 'Nat1');
	map->AddProperty(AAX_eProperty_PlugInID_TI, 'TI_1');
	map->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&ProcessProc));
	map->AddPointerProperty(AAX_eProperty_TIDLLFileName, "dsp.dll");
	map->AddPointerProperty(AAX_eProperty_TIProcessProc, "Process");
	host.log().clear();

	uint32_t ids[3] = { kUntouched, kUntouched, kUntouched };
	EXPECT_EQ(overriding.AddProcessProc(map, ids, 3), 0);
	EXPECT_EQ(overriding.nativeCalls,
	          (std::vector<std::pair<const void*, AAX_IPropertyMap*>> { { reinterpret_cast<const void*>(&ProcessProc), map } }));
	ASSERT_EQ(overriding.tiCalls.size(), 1u);
	EXPECT_STREQ(static_cast<const char*>(overriding.tiCalls[0].first), "dsp.dll");
	EXPECT_EQ(overriding.tiCalls[0].second, map);
	EXPECT_EQ(ids[0], 500u);
	EXPECT_EQ(ids[1], 600u);
	EXPECT_EQ(ids[2], 0u);
	EXPECT_EQ(MethodCallsTo(host, "ComponentDescriptor"), std::vector<HostCall>());
}

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(ManualProcessProcRegistration, ACopyThatLostTheBufferLengthIsReportedAndNotUsed)
{
	AddNativeProcedure();
	properties->AddProperty(AAX_eProperty_NativeAudioBufferLength, 256);
	host.configuration().injectResult("PropertyMap", 4, AAX_ERROR_INVALID_PARAMETER_ID); // the copy stays empty
	EXPECT_EQ(component->AddProcessProc(properties), 0);

	const std::vector<HostCall> assertions = HostAssertions(host);
	ASSERT_EQ(assertions.size(), 1u);
	EXPECT_TRUE(EndsWith(assertions[0].arguments[0], "Libs/AAXLibrary/source/AAX_VComponentDescriptor.cpp"))
	    << assertions[0].arguments[0];
	EXPECT_EQ(assertions[0].arguments[1], "89");
	EXPECT_EQ(assertions[0].arguments[2], "0 != gotPropertySuccess");
	EXPECT_EQ(assertions[0].arguments[3], "1");
	EXPECT_EQ(hostComponent().nativeProcedures()[0].properties.get(), hostMap(properties));
}

TEST_F(ManualProcessProcRegistration, AFailedRemovalIsReportedAndTheCopyUsed)
{
	AddNativeProcedure();
	properties->AddProperty(AAX_eProperty_NativeAudioBufferLength, 256);
	host.configuration().injectResult("PropertyMap", 5, AAX_ERROR_INVALID_PARAMETER_ID);
	EXPECT_EQ(component->AddProcessProc(properties), 0);

	const std::vector<HostCall> assertions = HostAssertions(host);
	ASSERT_EQ(assertions.size(), 1u);
	EXPECT_EQ(assertions[0].arguments[1], "93");
	EXPECT_EQ(assertions[0].arguments[2], "AAX_SUCCESS == removeNativeAudioBufferLengthResult");
	const HostPropertyMap* const nativeMap = hostComponent().nativeProcedures()[0].properties.get();
	EXPECT_NE(nativeMap, hostMap(properties));
	EXPECT_TRUE(nativeMap->hasProperty(AAX_eProperty_NativeAudioBufferLength));
}

using ProcessProcRegistrationByTheHost = DescriptionTest;

TEST_F(ProcessProcRegistrationByTheHost, ForwardsUnchangedWithoutReadingTheMap)
{
	AAX_VComponentDescriptor component(context->unknown());
	AAX_IPropertyMap* const properties = component.NewPropertyMap();
	properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Nat1');
	properties->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&ProcessProc));
	host.configuration().injectResult("ComponentDescriptor", 20, -777);
	host.log().clear();

	uint32_t ids[3] = {};
	EXPECT_EQ(component.AddProcessProc(properties, ids, 3), -777);
	EXPECT_EQ(MethodCallsTo(host, "ComponentDescriptor"),
	          (std::vector<HostCall> { { "ComponentDescriptor", "IAAXComponentDescriptorV3", 20,
	                                     { hostAddressArg(properties->GetIUnknown()), "<pointer>", "3" } } }));
	EXPECT_EQ(MethodCallsTo(host, "PropertyMap"), std::vector<HostCall>());
}

TEST_F(ProcessProcRegistrationByTheHost, TheHostRegistersWhatTheMapNames)
{
	AAX_VComponentDescriptor component(context->unknown());
	AAX_IPropertyMap* const properties = component.NewPropertyMap();
	properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Nat1');
	properties->AddPointerProperty(AAX_eProperty_NativeProcessProc, reinterpret_cast<const void*>(&ProcessProc));
	uint32_t ids[2] = { kUntouched, kUntouched };
	EXPECT_EQ(component.AddProcessProc(properties, ids, 2), 0);
	auto* const hostComponent = hostObjectBehind<HostComponentDescriptor>(host, component.GetIUnknown());
	ASSERT_EQ(hostComponent->nativeProcedures().size(), 1u);
	EXPECT_EQ(hostComponent->nativeProcedures()[0].processProc, &ProcessProc);
	EXPECT_EQ(ids[0], hostComponent->nativeProcedures()[0].id);
	EXPECT_EQ(ids[1], 0u);
}

TEST_F(ProcessProcRegistrationByTheHost, TypedNativeRegistrationTakesTheClientsContextType)
{
	struct ClientContext
	{
		float* inputs;
	};
	struct Client
	{
		static void Process(ClientContext* const[], const void* const) {}
	};
	AAX_VComponentDescriptor component(context->unknown());
	AAX_IPropertyMap* const properties = component.NewPropertyMap();
	AAX_IComponentDescriptor& asInterface = component;
	EXPECT_EQ(asInterface.AddProcessProc_Native(Client::Process, properties), 0);
	auto* const hostComponent = hostObjectBehind<HostComponentDescriptor>(host, component.GetIUnknown());
	ASSERT_EQ(hostComponent->nativeProcedures().size(), 1u);
	EXPECT_EQ(reinterpret_cast<const void*>(hostComponent->nativeProcedures()[0].processProc),
	          reinterpret_cast<const void*>(&Client::Process));
	EXPECT_EQ(hostComponent->nativeProcedures()[0].properties.get(),
	          hostObjectBehind<HostPropertyMap>(host, properties->GetIUnknown()));
}
} // namespace
