// Registration end to end: ACFRegisterPlugin against the host stand-in, with a description routine supplied
// by each test: what reaches the host, in which order, and what every failure gives back.
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
// Describes one effect the way the plug-in's client does: asks about stem formats, then names the effect,
// and adds one component with its field, properties and processing procedure.
AAX_Result DescribeOneEffect(AAX_ICollection* collection)
{
    std::unique_ptr<const AAX_IFeatureInfo> stemFormats(
        collection->DescriptionHost()->AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
    std::unique_ptr<const AAX_IPropertyMap> formats(stemFormats ? stemFormats->AcquireProperties() : nullptr);
    AAX_CPropertyValue stereo = 0;
    if (!formats || !formats->GetProperty(AAX_EProperty(AAX_eStemFormat_Stereo), &stereo))
        return -1;
    AAX_IEffectDescriptor* const descriptor = collection->NewDescriptor();
    descriptor->AddName("Kelvane");
    AAX_IComponentDescriptor* const component = descriptor->NewComponentDescriptor();
    component->AddAudioIn(0);
    AAX_IPropertyMap* const properties = component->NewPropertyMap();
    properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Yess');
    component->AddProcessProc_Native(ProcessProc, properties, InstanceInitProc);
    descriptor->AddComponent(component);
    collection->AddEffect("com.zelvo.kelvane", descriptor);
    collection->SetManufacturerName("ZELVO-AUDIO");
    collection->AddPackageName("Kelvane");
    collection->SetPackageVersion(0x00020504);
    return AAX_SUCCESS;
}

size_t LiveDescriptionObjects(const HostEnvironment& host)
{
    return LiveCount<HostCollection>(host) + LiveCount<HostEffectDescriptor>(host)
           + LiveCount<HostComponentDescriptor>(host) + LiveCount<HostPropertyMap>(host)
           + LiveCount<HostFeatureInfo>(host);
}

using Registration = DescriptionTest;

TEST_F(Registration, DescribesThroughTheHostsObjectsThenHandsOverTheDefinitionAndKeepsNothing)
{
    startHostServices();
    SetDescriptionRoutine(DescribeOneEffect);
    IACFPluginDefinition* definition = nullptr;
    ASSERT_EQ(ACFRegisterPlugin(context->unknown(), &definition), 0);
    ASSERT_NE(definition, nullptr);
    EXPECT_TRUE(HostTraces(host).empty());

    // The definition is asked for once the description is complete.
    std::vector<int> collectionCalls;
    for (const HostCall& call : host.log().callsTo("Collection"))
        if (call.method >= 3 || (call.method == 0 && call.arguments.at(0) == "IID_IACFPluginDefinition"))
            collectionCalls.push_back(call.method);
    EXPECT_EQ(collectionCalls, (std::vector<int>{7, 8, 9, 10, 0}));

    // Each description object is held once, by the host object it was added to.
    HostCollection& collection = *host.objectsOfType<HostCollection>().at(0);
    EXPECT_TRUE(collection.hasInterface(definition));
    EXPECT_EQ(collection.effects().at(0).effectID, "com.zelvo.kelvane");
    const HostEffectDescriptor& effect = *collection.effects()[0].descriptor;
    EXPECT_EQ(effect.names(), std::vector<std::string>{"Kelvane"});
    const HostComponentDescriptor& component = *effect.components().at(0);
    EXPECT_EQ(component.nativeProcedures().at(0).properties->property(AAX_eProperty_PlugInID_Native), int32_t('Yess'));
    EXPECT_EQ(collection.referenceCount() + effect.referenceCount() + component.referenceCount(), 3u);
    // The host's release of the definition frees the whole description.
    EXPECT_EQ(definition->Release(), 0u);
    EXPECT_EQ(LiveDescriptionObjects(host), 0u);
}

// One way for registration to fail: what the host lacks, how the routine ends, and what must follow.
struct Failure
{
    const char* name;
    const _acfUID* refused;       // an interface the host refuses
    const _acfUID* answeredEmpty; // an interface the host answers with success and nothing
    char ending;                  // the routine returns -20004 ('r') or 0 ('0'), or throws a ResultError ('e'),
                                  // another library exception ('a'), a standard one ('s') or an integer ('i')
    AAX_Result result;
    bool checkedResultTrace; // the result was checked and thrown before it was caught
    const char* caught;      // the text of the trace when caught
    bool definitionCleared;  // else left exactly as the host passed it
};

void PrintTo(const Failure& failure, std::ostream* stream)
{
    *stream << failure.name;
}

const char* const kNullObject = "AAX_ERROR_NULL_OBJECT (-20004)";
const Failure kFailures[] = {
    {"RoutineReturnsAnError", nullptr, nullptr, 'r', -20004, true, kNullObject, false},
    {"RoutineThrowsResultError", nullptr, nullptr, 'e', -20004, false, kNullObject, false},
    {"RoutineThrowsOtherLibraryException", nullptr, nullptr, 'a', -20042, false, "failed func:Describe line:12", false},
    {"RoutineThrowsStandardException", nullptr, nullptr, 's', -20042, false, "no memory", false},
    {"RoutineThrowsInteger", nullptr, nullptr, 'i', -20042, false, "unknown", false},
    {"HostMakesNoCollection", &IID_IAAXCollectionV1, nullptr, '0', -20004, true, kNullObject, true},
    {"CollectionIsNoPluginDefinition", &IID_IACFPluginDefinition, nullptr, '0', -20004, true, kNullObject, true},
    {"NoDefinitionDespiteSuccess", nullptr, &IID_IACFPluginDefinition, '0', -20004, true, kNullObject, true},
    {"FactoryAnswersSuccessWithNothing", nullptr, &IID_IACFComponentFactory, '0', -20042, false, "unknown", false},
};

class RegistrationFailure : public DescriptionTest, public ::testing::WithParamInterface<Failure>
{
};

TEST_P(RegistrationFailure, GivesTheResultAndTracesAndFreesEverything)
{
    const Failure& failure = GetParam();
    startHostServices();
    if (failure.refused != nullptr)
        host.configuration().refuseInterface(*failure.refused);
    if (failure.answeredEmpty != nullptr)
        host.configuration().answerEmpty(*failure.answeredEmpty);
    // Every routine first makes a descriptor, a component and maps, which must all be freed again.
    SetDescriptionRoutine([&failure](AAX_ICollection* collection) -> AAX_Result {
        collection->NewDescriptor()->NewComponentDescriptor()->NewPropertyMap();
        collection->NewPropertyMap();
        switch (failure.ending)
        {
            case 'r': return -20004;
            case 'e': throw AAX::Exception::ResultError(-20004);
            case 'a': throw AAX::Exception::Any("failed", "Describe", "12");
            case 's': throw std::runtime_error("no memory");
            case 'i': throw 42;
            default: return 0;
        }
    });
    auto* const passedIn = reinterpret_cast<IACFPluginDefinition*>(uintptr_t(0x5a5a));
    IACFPluginDefinition* definition = passedIn;
    EXPECT_EQ(ACFRegisterPlugin(context->unknown(), &definition), failure.result);
    EXPECT_EQ(definition, failure.definitionCleared ? nullptr : passedIn);
    std::vector<std::vector<std::string>> traces;
    if (failure.checkedResultTrace)
        traces.push_back({kCheckedResultPriority, std::string("AAX_CheckedResult - throwing ") + failure.caught});
    traces.push_back({kFailurePriority, std::string("AAXRegisterPlugin exception caught: ") + failure.caught});
    EXPECT_EQ(HostTraces(host), traces);
    EXPECT_EQ(LiveDescriptionObjects(host), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryFailure, RegistrationFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<Failure>& row) { return std::string(row.param.name); });
} // namespace
