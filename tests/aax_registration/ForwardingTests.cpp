// Every forwarding operation of the description proxies: with the host's interface version present it
// reaches the stated host method, through that version, with its arguments unchanged, and returns the
// host's answer unchanged; with the version missing it answers a fixed value and calls nothing.

#include "RegistrationTestSupport.h"

#include "AAX_IFeatureInfo.h"
#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VDescriptionHost.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "HostPropertyMap.h"

#include <memory>

namespace
{
void CreationFunction() {}

const AAX_CTypeID kMeterIDs[] = { 'Mtr1', 'Mtr2' };
const AAX_SPlugInIdentifierTriad kTriads[] = { { 'Manu', 'Prod', 'Plg1' }, { 'Manu', 'Prod', 'Plg2' } };
const char* const kPointerValue = "pointer property";

// One of each proxy, built against the same host.
struct Proxies
{
	explicit Proxies(IACFUnknown* host)
	    : collection(host), effect(host), component(host), map(AAX_VPropertyMap::Create(host))
	{
		const AAX_VDescriptionHost descriptionHost(host);
		feature.reset(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	}

	std::string mapArg() const { return hostAddressArg(map->GetIUnknown()); }

	AAX_VCollection collection;
	AAX_VEffectDescriptor effect;
	AAX_VComponentDescriptor component;
	std::unique_ptr<AAX_IPropertyMap> map;
	std::unique_ptr<AAX_IFeatureInfo> feature;
	uint32_t procID = 0;
	AAX_ESupportLevel supportLevel {};
	AAX_CPropertyValue value = 0;
	const void* pointer = nullptr;
	const AAX_SPlugInIdentifierTriad* triads = nullptr;
	uint32_t triadCount = 0;
};

struct ForwardingRow
{
	const char* name;
	const char* component;     // host component
	const char* interfaceName; // the version the call must come through
	int method;
	_acfUID version; // the interface version the operation needs
	int64_t missingAnswer;
	std::function<int64_t(Proxies&)> invoke;
	std::function<std::vector<std::string>(Proxies&)> arguments;
	// Boolean questions: puts the answer in the host first (the host then says true); result operations get
	// an injected host result instead, which must come back unchanged.
	std::function<void(Proxies&, HostEnvironment&)> prepareTrueAnswer = nullptr;
};

void PrintTo(const ForwardingRow& row, std::ostream* stream)
{
	*stream << row.name;
}

constexpr AAX_Result kInjected = -12345;
const std::string kOut = "<pointer>"; // an out argument as the host logs it

std::string Int(int64_t value)
{
	return std::to_string(value);
}

HostPropertyMap& HostMapOf(Proxies& p, HostEnvironment& host)
{
	return *hostObjectBehind<HostPropertyMap>(host, p.map->GetIUnknown());
}

const ForwardingRow kRows[] = {
	// Collection
	{ "CollectionAddEffect", "Collection", "IAAXCollectionV1", 7, IID_IAAXCollectionV1, -20004,
	  [](Proxies& p) { return p.collection.AddEffect("com.test.effect", &p.effect); },
	  [](Proxies& p) { return std::vector<std::string> { "com.test.effect", hostAddressArg(p.effect.GetIUnknown()) }; } },
	{ "CollectionSetManufacturerName", "Collection", "IAAXCollectionV1", 8, IID_IAAXCollectionV1, -20004,
	  [](Proxies& p) { return p.collection.SetManufacturerName("Maker"); },
	  [](Proxies&) { return std::vector<std::string> { "Maker" }; } },
	{ "CollectionAddPackageName", "Collection", "IAAXCollectionV1", 9, IID_IAAXCollectionV1, -20004,
	  [](Proxies& p) { return p.collection.AddPackageName("Package"); },
	  [](Proxies&) { return std::vector<std::string> { "Package" }; } },
	{ "CollectionSetPackageVersion", "Collection", "IAAXCollectionV1", 10, IID_IAAXCollectionV1, -20004,
	  [](Proxies& p) { return p.collection.SetPackageVersion(0xFFFFFFFEu); },
	  [](Proxies&) { return std::vector<std::string> { "4294967294" }; } },
	{ "CollectionSetProperties", "Collection", "IAAXCollectionV1", 11, IID_IAAXCollectionV1, -20004,
	  [](Proxies& p) { return p.collection.SetProperties(p.map.get()); },
	  [](Proxies& p) { return std::vector<std::string> { p.mapArg() }; } },
	// Effect descriptor
	{ "EffectAddComponent", "EffectDescriptor", "IAAXEffectDescriptorV1", 3, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.AddComponent(&p.component); },
	  [](Proxies& p) { return std::vector<std::string> { hostAddressArg(p.component.GetIUnknown()) }; } },
	{ "EffectAddName", "EffectDescriptor", "IAAXEffectDescriptorV1", 4, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.AddName("Long Name"); },
	  [](Proxies&) { return std::vector<std::string> { "Long Name" }; } },
	{ "EffectAddCategory", "EffectDescriptor", "IAAXEffectDescriptorV1", 5, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.AddCategory(0x80000002u); },
	  [](Proxies&) { return std::vector<std::string> { "2147483650" }; } },
	{ "EffectAddCategoryBypassParameter", "EffectDescriptor", "IAAXEffectDescriptorV1", 6, IID_IAAXEffectDescriptorV1,
	  -20004, [](Proxies& p) { return p.effect.AddCategoryBypassParameter(2, "dbEnable"); },
	  [](Proxies&) { return std::vector<std::string> { "2", "dbEnable" }; } },
	{ "EffectAddProcPtr", "EffectDescriptor", "IAAXEffectDescriptorV1", 7, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.AddProcPtr(reinterpret_cast<void*>(&CreationFunction), 77); },
	  [](Proxies&) { return std::vector<std::string> { hostFunctionArg(&CreationFunction), "77" }; } },
	{ "EffectSetProperties", "EffectDescriptor", "IAAXEffectDescriptorV1", 8, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.SetProperties(p.map.get()); },
	  [](Proxies& p) { return std::vector<std::string> { p.mapArg() }; } },
	{ "EffectAddResourceInfo", "EffectDescriptor", "IAAXEffectDescriptorV1", 9, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.AddResourceInfo(AAX_eResourceType_PageTableDir, "pages.xml"); },
	  [](Proxies&) { return std::vector<std::string> { "2", "pages.xml" }; } },
	{ "EffectAddMeterDescription", "EffectDescriptor", "IAAXEffectDescriptorV1", 10, IID_IAAXEffectDescriptorV1, -20004,
	  [](Proxies& p) { return p.effect.AddMeterDescription('Metr', "Input", p.map.get()); },
	  [](Proxies& p) { return std::vector<std::string> { Int('Metr'), "Input", p.mapArg() }; } },
	{ "EffectAddControlMIDINode", "EffectDescriptor", "IAAXEffectDescriptorV2", 11, IID_IAAXEffectDescriptorV2, -20009,
	  [](Proxies& p) { return p.effect.AddControlMIDINode('Node', AAX_eMIDINodeType_Global, "Control", 0xFFFF); },
	  [](Proxies&) { return std::vector<std::string> { Int('Node'), "2", "Control", "65535" }; } },
	// Feature information
	{ "FeatureSupportLevel", "FeatureInfo", "IAAXFeatureInfoV1", 3, IID_IAAXFeatureInfoV1, -20004,
	  [](Proxies& p) { return p.feature->SupportLevel(p.supportLevel); },
	  [](Proxies&) { return std::vector<std::string> { kOut }; } },
	// Component descriptor
	{ "ComponentClear", "ComponentDescriptor", "IAAXComponentDescriptorV1", 3, IID_IAAXComponentDescriptorV1, -20004,
	  [](Proxies& p) { return p.component.Clear(); }, [](Proxies&) { return std::vector<std::string> {}; } },
	{ "ComponentAddReservedField", "ComponentDescriptor", "IAAXComponentDescriptorV1", 4, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddReservedField(5, 0xABCDu); },
	  [](Proxies&) { return std::vector<std::string> { "5", "43981" }; } },
	{ "ComponentAddAudioIn", "ComponentDescriptor", "IAAXComponentDescriptorV1", 5, IID_IAAXComponentDescriptorV1, -20004,
	  [](Proxies& p) { return p.component.AddAudioIn(11); }, [](Proxies&) { return std::vector<std::string> { "11" }; } },
	{ "ComponentAddAudioOut", "ComponentDescriptor", "IAAXComponentDescriptorV1", 6, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddAudioOut(12); },
	  [](Proxies&) { return std::vector<std::string> { "12" }; } },
	{ "ComponentAddAudioBufferLength", "ComponentDescriptor", "IAAXComponentDescriptorV1", 7,
	  IID_IAAXComponentDescriptorV1, -20004, [](Proxies& p) { return p.component.AddAudioBufferLength(13); },
	  [](Proxies&) { return std::vector<std::string> { "13" }; } },
	{ "ComponentAddSampleRate", "ComponentDescriptor", "IAAXComponentDescriptorV1", 8, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddSampleRate(14); },
	  [](Proxies&) { return std::vector<std::string> { "14" }; } },
	{ "ComponentAddClock", "ComponentDescriptor", "IAAXComponentDescriptorV1", 9, IID_IAAXComponentDescriptorV1, -20004,
	  [](Proxies& p) { return p.component.AddClock(15); }, [](Proxies&) { return std::vector<std::string> { "15" }; } },
	{ "ComponentAddSideChainIn", "ComponentDescriptor", "IAAXComponentDescriptorV1", 10, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddSideChainIn(-16); },
	  [](Proxies&) { return std::vector<std::string> { "-16" }; } },
	{ "ComponentAddDataInPort", "ComponentDescriptor", "IAAXComponentDescriptorV1", 11, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddDataInPort(17, 8, AAX_eDataInPortType_Incremental); },
	  [](Proxies&) { return std::vector<std::string> { "17", "8", "2" }; } },
	{ "ComponentAddAuxOutputStem", "ComponentDescriptor", "IAAXComponentDescriptorV1", 12, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddAuxOutputStem(18, AAX_eStemFormat_Stereo, "Aux Out"); },
	  [](Proxies&) { return std::vector<std::string> { "18", Int(AAX_eStemFormat_Stereo), "Aux Out" }; } },
	{ "ComponentAddPrivateData", "ComponentDescriptor", "IAAXComponentDescriptorV1", 13, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddPrivateData(19, 640, 3); },
	  [](Proxies&) { return std::vector<std::string> { "19", "640", "3" }; } },
	{ "ComponentAddDmaInstance", "ComponentDescriptor", "IAAXComponentDescriptorV1", 14, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddDmaInstance(20, AAX_IDma::eMode_Gather); },
	  [](Proxies&) { return std::vector<std::string> { "20", "2" }; } },
	{ "ComponentAddMIDINode", "ComponentDescriptor", "IAAXComponentDescriptorV1", 15, IID_IAAXComponentDescriptorV1,
	  -20004, [](Proxies& p) { return p.component.AddMIDINode(21, AAX_eMIDINodeType_LocalOutput, "MIDI Out", 0x00FF); },
	  [](Proxies&) { return std::vector<std::string> { "21", "1", "MIDI Out", "255" }; } },
	{ "ComponentAddProcessProcNative", "ComponentDescriptor", "IAAXComponentDescriptorV1", 16,
	  IID_IAAXComponentDescriptorV1, -20004,
	  [](Proxies& p) {
		  return p.component.AddProcessProc_Native(&ProcessProc, p.map.get(), &InstanceInitProc, &BackgroundProc, &p.procID);
	  },
	  [](Proxies& p) {
		  return std::vector<std::string> { hostFunctionArg(&ProcessProc), p.mapArg(), hostFunctionArg(&InstanceInitProc),
			                                hostFunctionArg(&BackgroundProc), kOut };
	  } },
	{ "ComponentAddProcessProcTI", "ComponentDescriptor", "IAAXComponentDescriptorV1", 17, IID_IAAXComponentDescriptorV1,
	  -20004,
	  [](Proxies& p) {
		  return p.component.AddProcessProc_TI("dsp.dll", "Process", p.map.get(), "Init", "Background", &p.procID);
	  },
	  [](Proxies& p) { return std::vector<std::string> { "dsp.dll", "Process", p.mapArg(), "Init", "Background", kOut }; } },
	{ "ComponentAddMeters", "ComponentDescriptor", "IAAXComponentDescriptorV1", 18, IID_IAAXComponentDescriptorV1, -20004,
	  [](Proxies& p) { return p.component.AddMeters(22, kMeterIDs, 2); },
	  [](Proxies&) { return std::vector<std::string> { "22", hostAddressArg(kMeterIDs), "2" }; } },
	{ "ComponentAddTemporaryData", "ComponentDescriptor", "IAAXComponentDescriptorV2", 19, IID_IAAXComponentDescriptorV2,
	  -20009, [](Proxies& p) { return p.component.AddTemporaryData(23, 4096); },
	  [](Proxies&) { return std::vector<std::string> { "23", "4096" }; } },
	// Property map
	{ "MapGetProperty", "PropertyMap", "IAAXPropertyMapV1", 3, IID_IAAXPropertyMapV1, false,
	  [](Proxies& p) { return p.map->GetProperty(static_cast<AAX_EProperty>(20), &p.value); },
	  [](Proxies&) { return std::vector<std::string> { "20", kOut }; },
	  [](Proxies& p, HostEnvironment& host) { HostMapOf(p, host).setProperty(static_cast<AAX_EProperty>(20), 99); } },
	{ "MapAddProperty", "PropertyMap", "IAAXPropertyMapV1", 4, IID_IAAXPropertyMapV1, -20004,
	  [](Proxies& p) { return p.map->AddProperty(static_cast<AAX_EProperty>(20), -7); },
	  [](Proxies&) { return std::vector<std::string> { "20", "-7" }; } },
	{ "MapRemoveProperty", "PropertyMap", "IAAXPropertyMapV1", 5, IID_IAAXPropertyMapV1, -20004,
	  [](Proxies& p) { return p.map->RemoveProperty(static_cast<AAX_EProperty>(20)); },
	  [](Proxies&) { return std::vector<std::string> { "20" }; } },
	{ "MapAddPropertyWithIDArray", "PropertyMap", "IAAXPropertyMapV2", 6, IID_IAAXPropertyMapV2, -20009,
	  [](Proxies& p) { return p.map->AddPropertyWithIDArray(static_cast<AAX_EProperty>(21), kTriads, 2); },
	  [](Proxies&) { return std::vector<std::string> { "21", hostAddressArg(kTriads), "2" }; } },
	{ "MapGetPropertyWithIDArray", "PropertyMap", "IAAXPropertyMapV2", 7, IID_IAAXPropertyMapV2, false,
	  [](Proxies& p) { return p.map->GetPropertyWithIDArray(static_cast<AAX_EProperty>(21), &p.triads, &p.triadCount); },
	  [](Proxies&) { return std::vector<std::string> { "21", kOut, kOut }; },
	  [](Proxies& p, HostEnvironment&) { p.map->AddPropertyWithIDArray(static_cast<AAX_EProperty>(21), kTriads, 2); } },
	{ "MapGetPointerProperty", "PropertyMap", "IAAXPropertyMapV3", 8, IID_IAAXPropertyMapV3, false,
	  [](Proxies& p) { return p.map->GetPointerProperty(static_cast<AAX_EProperty>(30), &p.pointer); },
	  [](Proxies&) { return std::vector<std::string> { "30", kOut }; },
	  [](Proxies& p, HostEnvironment& host) {
		  HostMapOf(p, host).setPointerProperty(static_cast<AAX_EProperty>(30), kPointerValue);
	  } },
	{ "MapAddPointerProperty", "PropertyMap", "IAAXPropertyMapV3", 9, IID_IAAXPropertyMapV3, -20009,
	  [](Proxies& p) { return p.map->AddPointerProperty(static_cast<AAX_EProperty>(30), static_cast<const void*>(kPointerValue)); },
	  [](Proxies&) { return std::vector<std::string> { "30", hostAddressArg(kPointerValue) }; } },
};

class Forwarding : public DescriptionTest, public ::testing::WithParamInterface<ForwardingRow>
{
};

TEST_P(Forwarding, ReachesTheHostMethodWithArgumentsAndResultUnchanged)
{
	const ForwardingRow& row = GetParam();
	Proxies proxies(context->unknown());
	int64_t expectedResult = kInjected;
	if (row.prepareTrueAnswer)
	{
		row.prepareTrueAnswer(proxies, host);
		expectedResult = 1;
	}
	else
	{
		host.configuration().injectResult(row.component, row.method, kInjected);
	}
	host.log().clear();

	EXPECT_EQ(row.invoke(proxies), expectedResult);
	const std::vector<HostCall> expected { { row.component, row.interfaceName, row.method, row.arguments(proxies) } };
	EXPECT_EQ(MethodCallsTo(host, row.component), expected);
}

TEST_P(Forwarding, AnswersAFixedValueWithoutCallingWhenTheVersionIsMissing)
{
	const ForwardingRow& row = GetParam();
	host.configuration().refuseInterface(row.version);
	Proxies proxies(context->unknown());
	host.log().clear();

	EXPECT_EQ(row.invoke(proxies), row.missingAnswer);
	EXPECT_EQ(host.log().all(), std::vector<HostCall>());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, Forwarding, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ForwardingRow>& info) { return std::string(info.param.name); });

TEST_F(DescriptionTest, AHostWithoutVersionTwoStillTakesVersionOneCalls)
{
	host.configuration().refuseInterface(IID_IAAXEffectDescriptorV2);
	AAX_VEffectDescriptor effect(context->unknown());
	EXPECT_EQ(effect.AddControlMIDINode('Node', AAX_eMIDINodeType_Global, "Control", 1), AAX_ERROR_UNIMPLEMENTED);
	EXPECT_EQ(effect.AddName("Still named"), 0);
	EXPECT_EQ(MethodCallsTo(host, "EffectDescriptor"),
	          (std::vector<HostCall> { { "EffectDescriptor", "IAAXEffectDescriptorV1", 4, { "Still named" } } }));
}
} // namespace
