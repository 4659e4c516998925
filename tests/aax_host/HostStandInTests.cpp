// The host stand-in itself: method numbers of its interfaces, reference counting, configuration, leak check.
#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFHostServices.h"
#include "AAX_UIDs.h"
#include "ACF/ACFPtr.h"
#include "ACF/acfbaseapi.h"
#include "HostAutomationDelegate.h"
#include "HostIdentifiers.h"
#include "HostServices.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Calls entry `slot` of the table of functions of an interface pointer directly, the way a caller built
// against the numbered host interface does (Itanium C++ ABI: the object starts with the table's address).
template <class Result, class... Args>
Result callSlot(void* interfacePointer, int slot, Args... args)
{
	void** const table = *static_cast<void***>(interfacePointer);
	return reinterpret_cast<Result (*)(void*, Args...)>(table[slot])(interfacePointer, args...);
}

struct KnownIdentifier
{
	const _acfUID* identifier;
	const char* name;
	const char* text;
};

const KnownIdentifier kIdentifiers[] = {
	{ &IID_IACFUnknown, "IID_IACFUnknown", "00000000-0000-0000-C000-000000000046" },
	{ &IID_IACFDefinition, "IID_IACFDefinition", "E51741F1-7FCF-11D6-AAC3-00306542A024" },
	{ &IID_IACFPluginDefinition, "IID_IACFPluginDefinition", "00EEF015-7FD0-11D6-8485-00306542A024" },
	{ &IID_IACFComponentFactory, "IID_IACFComponentFactory", "382B6A96-7FD0-11D6-BCFE-00306542A024" },
	{ &AAXCompID_HostServices, "AAXCompID_HostServices", "88882C2D-EBBC-42EF-C0AB-8981B0BD0CCA" },
	{ &IID_IAAXHostServicesV1, "IID_IAAXHostServicesV1", "96D42C2D-EBBC-41EF-B0AB-9991A0ED0CCA" },
	{ &IID_IAAXHostServicesV2, "IID_IAAXHostServicesV2", "A207EE9E-B442-11E4-A71E-12E3F512A338" },
	{ &IID_IAAXHostServicesV3, "IID_IAAXHostServicesV3", "12BEA399-9A4F-4353-8098-3916FA71898D" },
	{ &AAXCompID_AAXCollection, "AAXCompID_AAXCollection", "89882C2D-77BC-42EF-707B-7981B7BD0CCA" },
	{ &IID_IAAXCollectionV1, "IID_IAAXCollectionV1", "96D42C2D-EBBC-41DF-B1AB-9991A2EE0CCA" },
	{ &AAXCompID_AAXEffectDescriptor, "AAXCompID_AAXEffectDescriptor", "89872C2D-75BC-423F-401B-F9A1BAAD0CCA" },
	{ &IID_IAAXEffectDescriptorV1, "IID_IAAXEffectDescriptorV1", "96D42C2D-EBBC-41EF-D1CB-499442E40FDA" },
	{ &IID_IAAXEffectDescriptorV2, "IID_IAAXEffectDescriptorV2", "41ECCC52-416B-4072-84BD-40B05210A74C" },
	{ &AAXCompID_AAXComponentDescriptor, "AAXCompID_AAXComponentDescriptor", "94872C3D-95BC-413D-D0DB-D9B12AAD0CCA" },
	{ &IID_IAAXComponentDescriptorV1, "IID_IAAXComponentDescriptorV1", "96E42C2D-E2BC-51EF-61C7-48994AEB0CDA" },
	{ &IID_IAAXComponentDescriptorV2, "IID_IAAXComponentDescriptorV2", "1895259E-AAA9-4F0F-A985-149837B76F89" },
	{ &IID_IAAXComponentDescriptorV3, "IID_IAAXComponentDescriptorV3", "979CFCD4-2BCB-43AE-9CD0-2D0ECD2ADCD5" },
	{ &AAXCompID_AAXPropertyMap, "AAXCompID_AAXPropertyMap", "A587AD3D-D53C-4ADC-D0DD-D9D12DDDDCDA" },
	{ &IID_IAAXPropertyMapV1, "IID_IAAXPropertyMapV1", "96EE2C2D-EECC-5EFF-E2D7-E849E3E2EEEE" },
	{ &IID_IAAXPropertyMapV2, "IID_IAAXPropertyMapV2", "7177DF80-7C9C-11E2-B92A-0800200C9A66" },
	{ &IID_IAAXPropertyMapV3, "IID_IAAXPropertyMapV3", "6D4AB208-D34B-4368-B4F1-58BC243F45C9" },
	{ &IID_IAAXDescriptionHostV1, "IID_IAAXDescriptionHostV1", "E5BC71DF-4C1F-4CC4-814A-5A7DD0E70EF5" },
	{ &IID_IAAXFeatureInfoV1, "IID_IAAXFeatureInfoV1", "24545609-A7C4-44D4-ABB8-CF13EA9D0BDF" },
	{ &AAXATTR_ClientFeature_StemFormat, "AAXATTR_ClientFeature_StemFormat", "729DD3E6-D3DC-484C-9169-F064A012601D" },
	{ &IID_IAAXAutomationDelegateV1, "IID_IAAXAutomationDelegateV1", "9D5E3D3D-42DC-5EFA-2217-EEE2E8E53E2E" },
	{ &IID_IAAXControllerV1, "IID_IAAXControllerV1", "9D5E3E3D-52DC-5EFB-2018-DE1DE2E63F4E" },
	{ &IID_IAAXControllerV2, "IID_IAAXControllerV2", "4C59AA0E-D7C0-4205-8B6C-32468D42D202" },
	{ &IID_IAAXControllerV3, "IID_IAAXControllerV3", "DD6F168C-DA86-44F8-B864-D6CD221926E7" },
	{ &IID_IAAXPageTableController, "IID_IAAXPageTableController", "2E9D35FB-BACC-4B2C-B5D7-C6E851F569BD" },
	{ &IID_IAAXPageTableControllerV2, "IID_IAAXPageTableControllerV2", "06C6B83E-9D87-4938-8A38-F8E45B10A24A" },
	{ &AAXCompID_PageTable, "AAXCompID_PageTable", "DBC22879-A24E-4AC6-9721-938B72D8E81B" },
	{ &IID_IAAXPageTableV1, "IID_IAAXPageTableV1", "33C9E5BE-1CE3-4085-91A7-09D6F8EE4B64" },
	{ &IID_IAAXPageTableV2, "IID_IAAXPageTableV2", "D0F25D1B-9C5B-4D2E-8F1F-45BC934732F7" },
	{ &IID_IAAXViewContainerV1, "IID_IAAXViewContainerV1", "22DA0BBC-D550-4D5E-8CC6-734483B8837F" },
	{ &IID_IAAXViewContainerV2, "IID_IAAXViewContainerV2", "9143A0BE-7A79-4D02-AE25-AADBA76A50B2" },
	{ &IID_IAAXTransportV1, "IID_IAAXTransportV1", "5CEE4EF4-6337-4359-B63B-FE58DC36543A" },
	{ &IID_IAAXTransportV2, "IID_IAAXTransportV2", "203CBD9F-982C-4FE6-A827-07480257AEC3" },
	{ &IID_IAAXTransportV3, "IID_IAAXTransportV3", "AF79E815-ECFE-1FB4-8A2E-24AB0EC08EF0" },
	{ &IID_IAAXEffectParametersV1, "IID_IAAXEffectParametersV1", "964E333D-334C-533F-C2C7-3834C3C23E3E" },
	{ &IID_IAAXEffectParametersV2, "IID_IAAXEffectParametersV2", "F1F47D06-308F-4CC5-9C7C-50A83F8AB813" },
	{ &IID_IAAXEffectParametersV3, "IID_IAAXEffectParametersV3", "D2540E9D-9163-42BB-A6FD-81E10EA32498" },
	{ &IID_IAAXEffectParametersV4, "IID_IAAXEffectParametersV4", "2E485536-31A3-4697-9C16-E59BF6B28A41" },
	{ &IID_IAAXEffectGUIV1, "IID_IAAXEffectGUIV1", "964E323D-424C-5E1A-2227-282423222E1E" },
};

TEST(HostIdentifiers, ValuesReadBackAsTheirTextualForms)
{
	for (const KnownIdentifier& known : kIdentifiers)
	{
		EXPECT_EQ(hostIdentifierText(*known.identifier), known.text) << known.name;
		EXPECT_EQ(hostIdentifierName(*known.identifier), known.name);
	}
	_acfUID other = IID_IACFUnknown;
	other.Data1 = 0x01020304;
	EXPECT_EQ(hostIdentifierName(other), "01020304-0000-0000-C000-000000000046");
}

class HostStandIn : public HostTest
{
};

TEST_F(HostStandIn, HostServicesMethodsSitAtTheirNumbers)
{
	auto context = makeContext();
	void* factory = nullptr;
	ASSERT_EQ(callSlot<ACFRESULT>(context->unknown(), 0, &IID_IACFComponentFactory, &factory), ACF_OK);
	void* services = nullptr;
	ASSERT_EQ((callSlot<ACFRESULT>(factory, 3, &AAXCompID_HostServices, static_cast<IACFUnknown*>(nullptr),
	                                &IID_IAAXHostServicesV3, &services)),
	          ACF_OK);
	host.log().clear();

	callSlot<AAX_Result>(services, 3, "file", int32_t(1), "note");
	callSlot<AAX_Result>(services, 4, int32_t(2), "trace");
	callSlot<AAX_Result>(services, 5, int32_t(3), int32_t(4), "stack");
	callSlot<AAX_Result>(services, 6, "file", int32_t(5), "note", int32_t(1));
	EXPECT_EQ(callSlot<acfUInt32>(services, 1), 2u);
	EXPECT_EQ(callSlot<acfUInt32>(services, 2), 1u);
	EXPECT_EQ(callSlot<acfUInt32>(services, 2), 0u);
	EXPECT_EQ(callSlot<acfUInt32>(factory, 2), 1u); // the context keeps its factory

	const std::vector<HostCall> expected = {
		{ "HostServices", "IAAXHostServicesV3", 3, { "file", "1", "note" } },
		{ "HostServices", "IAAXHostServicesV3", 4, { "2", "trace" } },
		{ "HostServices", "IAAXHostServicesV3", 5, { "3", "4", "stack" } },
		{ "HostServices", "IAAXHostServicesV3", 6, { "file", "5", "note", "1" } },
		{ "HostServices", "IAAXHostServicesV3", 1, {} },
		{ "HostServices", "IAAXHostServicesV3", 2, {} },
		{ "HostServices", "IAAXHostServicesV3", 2, {} },
		{ "ComponentFactory", "IACFComponentFactory", 2, {} },
	};
	EXPECT_EQ(host.log().all(), expected);
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty());
}

TEST_F(HostStandIn, AutomationDelegateMethodsSitAtTheirNumbers)
{
	auto context = makeContext();
	void* delegate = nullptr;
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IAAXAutomationDelegateV1, &delegate), ACF_OK);
	host.log().clear();

	AAX_CBoolean touched = 5;
	callSlot<AAX_Result>(delegate, 3, "p3");
	callSlot<AAX_Result>(delegate, 4, "p4");
	callSlot<AAX_Result>(delegate, 5, "p5", 0.5);
	callSlot<AAX_Result>(delegate, 6, "p6", 0.75);
	callSlot<AAX_Result>(delegate, 7, "p7");
	callSlot<AAX_Result>(delegate, 8, "p8");
	callSlot<AAX_Result>(delegate, 9, "p9", &touched);
	callSlot<acfUInt32>(delegate, 2);

	const std::vector<HostCall> expected = {
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 3, { "p3" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 4, { "p4" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 5, { "p5", "0.5" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 6, { "p6", "0.75" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 7, { "p7" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 8, { "p8" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 9, { "p9", "<pointer>" } },
		{ "AutomationDelegate", "IAAXAutomationDelegateV1", 2, {} },
	};
	EXPECT_EQ(host.log().all(), expected);
	EXPECT_EQ(touched, 0);
}

TEST_F(HostStandIn, VersionsShareOneCountAndTheLastReleaseFrees)
{
	auto context = makeContext();
	ACFPtr<IACFComponentFactory> factory;
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IACFComponentFactory, factory.outArgument()), ACF_OK);
	ACFPtr<AAX_IACFHostServices> v1;
	ACFPtr<AAX_IACFHostServices_V2> v2;
	ASSERT_EQ(factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV1, v1.outArgument()), ACF_OK);
	auto created = host.objectsOfType<HostServices>();
	ASSERT_EQ(created.size(), 1u);
	// A second version of the same component, asked of the component itself.
	ASSERT_EQ(v1->QueryInterface(IID_IAAXHostServicesV2, v2.outArgument()), ACF_OK);
	EXPECT_NE(static_cast<void*>(v1.get()), static_cast<void*>(v2.get()));
	EXPECT_EQ(created[0]->referenceCount(), 2u);
	EXPECT_EQ(host.objectsOfType<HostServices>().size(), 1u);

	v1.reset();
	EXPECT_EQ(host.objectsOfType<HostServices>().size(), 1u);
	v2.reset();
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty());
}

TEST_F(HostStandIn, IdentityIsStableAndUnknownInterfacesAreRefused)
{
	auto context = makeContext();
	void* first = nullptr;
	void* second = nullptr;
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IACFUnknown, &first), ACF_OK);
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IACFUnknown, &second), ACF_OK);
	EXPECT_EQ(first, second);
	EXPECT_EQ(first, static_cast<void*>(context->unknown()));
	static_cast<IACFUnknown*>(first)->Release();
	static_cast<IACFUnknown*>(second)->Release();

	void* out = &out;
	EXPECT_EQ(context->unknown()->QueryInterface(IID_IAAXEffectParametersV1, &out), ACF_E_NOINTERFACE);
	EXPECT_EQ(out, nullptr);

	// The context offers one automation delegate, whichever way it is reached.
	void* a = nullptr;
	void* b = nullptr;
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IAAXAutomationDelegateV1, &a), ACF_OK);
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IAAXAutomationDelegateV1, &b), ACF_OK);
	EXPECT_EQ(a, b);
	static_cast<IACFUnknown*>(a)->Release();
	static_cast<IACFUnknown*>(b)->Release();
}

TEST_F(HostStandIn, FactoryAnswersFollowTheConfiguration)
{
	host.configuration().refuseInterface(IID_IAAXHostServicesV2);
	auto context = makeContext();
	ACFPtr<IACFComponentFactory> factory;
	ASSERT_EQ(context->unknown()->QueryInterface(IID_IACFComponentFactory, factory.outArgument()), ACF_OK);

	_acfUID unknownComponent = AAXCompID_HostServices;
	unknownComponent.Data4[7] ^= 1;
	void* out = &out;
	EXPECT_EQ(factory->CreateComponent(unknownComponent, nullptr, IID_IAAXHostServicesV1, &out), ACF_E_NOINTERFACE);
	EXPECT_EQ(out, nullptr);

	out = &out;
	EXPECT_EQ(factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV2, &out), ACF_E_NOINTERFACE);
	EXPECT_EQ(out, nullptr);
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty()) << "a refused component is freed again";

	host.configuration().injectResult("ComponentFactory", 3, -20012);
	out = &out;
	EXPECT_EQ(factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV1, &out), -20012);
	EXPECT_EQ(out, nullptr);
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty());

	host.configuration().injectResult("ComponentFactory", 3, 0);
	host.configuration().answerEmpty(IID_IAAXHostServicesV1);
	out = &out;
	EXPECT_EQ(factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV1, &out), ACF_OK);
	EXPECT_EQ(out, nullptr);
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty());
}

TEST_F(HostStandIn, LiveObjectsAreListedUntilReleased)
{
	auto services = makeHostObject<HostServices>(host);
	auto context = makeContext();
	EXPECT_EQ(host.liveObjects(), (std::vector<std::string> { "HostServices (references: 1)", "HostContext (references: 1)",
	                                                          "ComponentFactory (references: 1)" }));
	services.reset();
	context.reset();
	EXPECT_EQ(host.liveObjectCount(), 0u);
}

TEST(HostEnvironmentDeathTest, LeakedHostObjectsEndTheProgram)
{
	EXPECT_DEATH(
	    {
		    HostEnvironment environment;
		    (new HostServices(environment))->addReference();
	    },
	    "HostServices \\(references: 1\\)");
}
} // namespace
