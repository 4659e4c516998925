// Registration end to end: ACFRegisterPlugin against the host stand-in, with a description routine
// supplied by each test.

#include "RegistrationTestSupport.h"

#include "AAX_Exception.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IDescriptionHost.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_IFeatureInfo.h"
#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "HostCollection.h"
#include "HostComponentDescriptor.h"
#include "HostEffectDescriptor.h"
#include "HostFeatureInfo.h"
#include "HostPropertyMap.h"
#include "acfbaseapi.h"

#include <memory>
#include <stdexcept>

extern "C" ACFRESULT ACFRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition);

namespace
{
struct Context
{
	int sample = 0;
};

void ProcessBlocks(Context* const[], const void*) {}
int32_t InitInstance(const Context*, AAX_EComponentInstanceInitAction)
{
	return 0;
}
void* CreateEffect()
{
	return nullptr;
}
void* CreateGUI()
{
	return nullptr;
}

// Describes one effect the way the plug-in's client does: asks about stem formats, names, category, the
// two creation functions, one component with its fields, properties and processing procedure.
AAX_Result DescribeOneEffect(AAX_ICollection* collection)
{
	std::unique_ptr<const AAX_IFeatureInfo> stemFormats;
	if (const auto* descriptionHost = collection->DescriptionHost())
		stemFormats.reset(descriptionHost->AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	if (stemFormats)
	{
		AAX_ESupportLevel level {};
		if (stemFormats->SupportLevel(level) == 0 && level == AAX_eSupportLevel_ByProperty)
		{
			std::unique_ptr<const AAX_IPropertyMap> formats(stemFormats->AcquireProperties());
			AAX_CPropertyValue stereo = 0;
			if (!formats || !formats->GetProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Stereo), &stereo)
			    || stereo != AAX_eSupportLevel_Supported)
				return -1;
		}
	}

	AAX_IEffectDescriptor* const descriptor = collection->NewDescriptor();
	if (descriptor == nullptr)
		return AAX_ERROR_NULL_OBJECT;
	descriptor->AddName("Kelvane");
	descriptor->AddName("Klvn");
	descriptor->AddCategory(2);
	descriptor->AddProcPtr(reinterpret_cast<void*>(&CreateGUI), kAAX_ProcPtrID_Create_EffectGUI);
	descriptor->AddProcPtr(reinterpret_cast<void*>(&CreateEffect), kAAX_ProcPtrID_Create_EffectParameters);

	AAX_IComponentDescriptor* const component = descriptor->NewComponentDescriptor();
	component->AddAudioIn(0);
	component->AddAudioOut(1);
	component->AddDataInPort(3, sizeof(int32_t));
	component->AddPrivateData(4, 16);
	AAX_IPropertyMap* const properties = component->NewPropertyMap();
	properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Yess');
	properties->AddProperty(AAX_eProperty_InputStemFormat, AAX_eStemFormat_Stereo);
	component->AddProcessProc_Native(ProcessBlocks, properties, InitInstance);
	descriptor->AddComponent(component);

	collection->AddEffect("com.zelvo.kelvane", descriptor);
	collection->SetManufacturerName("ZELVO-AUDIO");
	collection->AddPackageName("Kelvane");
	collection->AddPackageName("Klvn");
	collection->SetPackageVersion(0x00020504);
	return AAX_SUCCESS;
}

template <class T>
size_t LiveCount(const HostEnvironment& host)
{
	return host.objectsOfType<T>().size();
}

class Registration : public DescriptionTest
{
};

TEST_F(Registration, HandsTheHostItsDefinitionAndKeepsNothing)
{
	startHostServices();
	SetDescriptionRoutine(DescribeOneEffect);

	IACFPluginDefinition* definition = nullptr;
	ASSERT_EQ(ACFRegisterPlugin(context->unknown(), &definition), 0);
	ASSERT_NE(definition, nullptr);
	EXPECT_EQ(DescriptionRoutineCalls(), 1);
	EXPECT_TRUE(HostTraces(host).empty());

	const std::vector<HostCollection*> collections = host.objectsOfType<HostCollection>();
	ASSERT_EQ(collections.size(), 1u);
	HostCollection& collection = *collections.front();
	EXPECT_TRUE(collection.hasInterface(definition));
	// Every proxy has released what it held: the definition handed out is the only reference from outside
	// the host, and each description object is held once, by the host object it was added to.
	EXPECT_EQ(collection.referenceCount(), 1u);
	ASSERT_EQ(collection.effects().size(), 1u);
	const HostEffectDescriptor& effect = *collection.effects()[0].descriptor;
	EXPECT_EQ(effect.referenceCount(), 1u);
	ASSERT_EQ(effect.components().size(), 1u);
	const HostComponentDescriptor& component = *effect.components()[0];
	EXPECT_EQ(component.referenceCount(), 1u);
	ASSERT_EQ(component.nativeProcedures().size(), 1u);
	EXPECT_EQ(component.nativeProcedures()[0].properties->referenceCount(), 1u);
	EXPECT_EQ(LiveCount<HostFeatureInfo>(host), 0u);
	EXPECT_EQ(LiveCount<HostPropertyMap>(host), 1u);

	// What the host keeps of the description.
	EXPECT_EQ(collection.effects()[0].effectID, "com.zelvo.kelvane");
	EXPECT_EQ(collection.manufacturerName(), "ZELVO-AUDIO");
	EXPECT_EQ(collection.packageNames(), (std::vector<std::string> { "Kelvane", "Klvn" }));
	EXPECT_EQ(collection.packageVersion(), 0x00020504u);
	EXPECT_EQ(effect.names(), (std::vector<std::string> { "Kelvane", "Klvn" }));
	EXPECT_EQ(effect.categories(), (std::vector<uint32_t> { 2 }));
	EXPECT_EQ(effect.procPtr(kAAX_ProcPtrID_Create_EffectParameters), reinterpret_cast<void*>(&CreateEffect));
	EXPECT_EQ(effect.procPtr(kAAX_ProcPtrID_Create_EffectGUI), reinterpret_cast<void*>(&CreateGUI));
	ASSERT_EQ(component.fields().size(), 4u);
	EXPECT_EQ(component.fields()[0].method, 5);
	EXPECT_EQ(component.fields()[1].method, 6);
	EXPECT_EQ(component.fields()[2].values, (std::vector<int64_t> { 4, AAX_eDataInPortType_Buffered }));
	EXPECT_EQ(component.fields()[3].values, (std::vector<int64_t> { 16, 0 }));
	const HostComponentDescriptor::NativeProcedure& procedure = component.nativeProcedures()[0];
	EXPECT_EQ(procedure.processProc, reinterpret_cast<AAX_CProcessProc>(&ProcessBlocks));
	EXPECT_EQ(procedure.instanceInitProc, reinterpret_cast<AAX_CInstanceInitProc>(&InitInstance));
	EXPECT_EQ(procedure.backgroundProc, nullptr);
	EXPECT_EQ(procedure.properties->property(AAX_eProperty_PlugInID_Native), static_cast<int32_t>('Yess'));
	EXPECT_EQ(procedure.properties->property(AAX_eProperty_InputStemFormat), AAX_eStemFormat_Stereo);

	// The host's release of the definition frees the whole description.
	EXPECT_EQ(definition->Release(), 0u);
	EXPECT_EQ(LiveCount<HostCollection>(host), 0u);
	EXPECT_EQ(LiveCount<HostEffectDescriptor>(host), 0u);
	EXPECT_EQ(LiveCount<HostComponentDescriptor>(host), 0u);
	EXPECT_EQ(LiveCount<HostPropertyMap>(host), 0u);
}

TEST_F(Registration, WorksBeforeStartupWithoutTraces)
{
	SetDescriptionRoutine([](AAX_ICollection*) { return AAX_ERROR_NULL_OBJECT; });
	IACFPluginDefinition* definition = nullptr;
	EXPECT_EQ(ACFRegisterPlugin(context->unknown(), &definition), AAX_ERROR_NULL_OBJECT);

	SetDescriptionRoutine(nullptr);
	ASSERT_EQ(ACFRegisterPlugin(context->unknown(), &definition), 0);
	ASSERT_NE(definition, nullptr);
	definition->Release();
	EXPECT_TRUE(HostTraces(host).empty());
}

TEST_F(Registration, WithoutAPlaceForTheDefinitionNothingIsDescribed)
{
	EXPECT_EQ(ACFRegisterPlugin(context->unknown(), nullptr), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(DescriptionRoutineCalls(), 0);
	EXPECT_EQ(LiveCount<HostCollection>(host), 0u);
}

// One way for registration to fail: what the host lacks, what the routine does, and what must follow.
struct FailureCase
{
	const char* name;
	std::function<void(HostConfiguration&)> configureHost;
	DescriptionRoutine routine;
	AAX_Result expectedResult;
	std::vector<HostTrace> expectedTraces;
	bool outArgumentCleared; // false: left exactly as the host passed it
	int expectedRoutineCalls;
};

void PrintTo(const FailureCase& failure, std::ostream* stream)
{
	*stream << failure.name;
}

// Every failing routine first makes a descriptor, a component and a map, which must all be freed.
DescriptionRoutine StartThen(std::function<AAX_Result()> finish)
{
	return [finish](AAX_ICollection* collection) {
		AAX_IEffectDescriptor* const descriptor = collection->NewDescriptor();
		if (descriptor != nullptr)
		{
			descriptor->NewComponentDescriptor()->NewPropertyMap();
			descriptor->NewPropertyMap();
		}
		collection->NewPropertyMap();
		return finish();
	};
}

const std::string kCaught = "AAXRegisterPlugin exception caught: ";
const std::string kNullObjectText = "AAX_ERROR_NULL_OBJECT (-20004)";

const FailureCase kFailureCases[] = {
	{ "RoutineReturnsAnError", nullptr, StartThen([] { return AAX_ERROR_NULL_OBJECT; }), AAX_ERROR_NULL_OBJECT,
	  { { kCheckedResultPriority, "AAX_CheckedResult - throwing " + kNullObjectText },
	    { kFailurePriority, kCaught + kNullObjectText } },
	  false, 1 },
	{ "RoutineThrowsResultError", nullptr,
	  StartThen([]() -> AAX_Result { throw AAX::Exception::ResultError(AAX_ERROR_NULL_OBJECT); }), AAX_ERROR_NULL_OBJECT,
	  { { kFailurePriority, kCaught + kNullObjectText } }, false, 1 },
	{ "RoutineThrowsOtherLibraryException", nullptr,
	  StartThen([]() -> AAX_Result { throw AAX::Exception::Any("description failed", "Describe", "12"); }),
	  AAX_ERROR_UNKNOWN_EXCEPTION, { { kFailurePriority, kCaught + "description failed func:Describe line:12" } }, false,
	  1 },
	{ "RoutineThrowsStandardException", nullptr,
	  StartThen([]() -> AAX_Result { throw std::runtime_error("out of memory for names"); }), AAX_ERROR_UNKNOWN_EXCEPTION,
	  { { kFailurePriority, kCaught + "out of memory for names" } }, false, 1 },
	{ "RoutineThrowsInteger", nullptr, StartThen([]() -> AAX_Result { throw 42; }), AAX_ERROR_UNKNOWN_EXCEPTION,
	  { { kFailurePriority, kCaught + "unknown" } }, false, 1 },
	{ "HostMakesNoCollection", [](HostConfiguration& configuration) { configuration.refuseInterface(IID_IAAXCollectionV1); },
	  StartThen([] { return AAX_SUCCESS; }), AAX_ERROR_NULL_OBJECT,
	  { { kCheckedResultPriority, "AAX_CheckedResult - throwing " + kNullObjectText },
	    { kFailurePriority, kCaught + kNullObjectText } },
	  true, 1 },
	{ "CollectionIsNoPluginDefinition",
	  [](HostConfiguration& configuration) { configuration.refuseInterface(IID_IACFPluginDefinition); },
	  StartThen([] { return AAX_SUCCESS; }), AAX_ERROR_NULL_OBJECT,
	  { { kCheckedResultPriority, "AAX_CheckedResult - throwing " + kNullObjectText },
	    { kFailurePriority, kCaught + kNullObjectText } },
	  true, 1 },
	{ "CollectionAnswersSuccessWithoutADefinition",
	  [](HostConfiguration& configuration) { configuration.answerEmpty(IID_IACFPluginDefinition); },
	  StartThen([] { return AAX_SUCCESS; }), AAX_ERROR_NULL_OBJECT,
	  { { kCheckedResultPriority, "AAX_CheckedResult - throwing " + kNullObjectText },
	    { kFailurePriority, kCaught + kNullObjectText } },
	  true, 1 },
	{ "FactoryAnswersSuccessWithNothing",
	  [](HostConfiguration& configuration) { configuration.answerEmpty(IID_IACFComponentFactory); },
	  StartThen([] { return AAX_SUCCESS; }), AAX_ERROR_UNKNOWN_EXCEPTION, { { kFailurePriority, kCaught + "unknown" } },
	  false, 0 },
};

class RegistrationFailure : public DescriptionTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(RegistrationFailure, GivesTheResultTracesAndFreesEverything)
{
	const FailureCase& failure = GetParam();
	startHostServices();
	if (failure.configureHost)
		failure.configureHost(host.configuration());
	SetDescriptionRoutine(failure.routine);

	auto* const passedIn = reinterpret_cast<IACFPluginDefinition*>(static_cast<uintptr_t>(0x5a5a));
	IACFPluginDefinition* definition = passedIn;
	EXPECT_EQ(ACFRegisterPlugin(context->unknown(), &definition), failure.expectedResult);
	EXPECT_EQ(definition, failure.outArgumentCleared ? nullptr : passedIn);
	EXPECT_EQ(DescriptionRoutineCalls(), failure.expectedRoutineCalls);
	EXPECT_EQ(HostTraces(host), failure.expectedTraces);

	// The collection proxy is gone, down to its reference to the host, before the failure is traced.
	const std::vector<HostCall> calls = host.log().all();
	size_t lastHostRelease = 0;
	size_t caughtTrace = 0;
	for (size_t i = 0; i < calls.size(); ++i)
	{
		if (calls[i].component == "HostContext" && calls[i].method == 2)
			lastHostRelease = i + 1;
		if (calls[i].component == "HostServices" && calls[i].method == 4 && calls[i].arguments.size() == 2
		    && calls[i].arguments[1].rfind(kCaught, 0) == 0)
			caughtTrace = i + 1;
	}
	EXPECT_NE(lastHostRelease, 0u);
	EXPECT_GT(caughtTrace, lastHostRelease);

	EXPECT_EQ(LiveCount<HostCollection>(host), 0u);
	EXPECT_EQ(LiveCount<HostEffectDescriptor>(host), 0u);
	EXPECT_EQ(LiveCount<HostComponentDescriptor>(host), 0u);
	EXPECT_EQ(LiveCount<HostPropertyMap>(host), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryFailure, RegistrationFailure, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });
} // namespace
