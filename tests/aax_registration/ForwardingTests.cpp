// The description proxies. Every forwarding operation, one table per proxy: with the host's interface version
// present it reaches the stated host method through that version, with its arguments and the host's answer
// unchanged; with the version missing it answers a fixed value and calls nothing. Then what they refuse, and
// what they answer for a host that fails.
#include "RegistrationTestSupport.h"

#include "AAX_IFeatureInfo.h"
#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VDescriptionHost.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "HostDescriptionHost.h"
#include "HostEffectDescriptor.h"
#include "HostFeatureInfo.h"
#include "HostIdentifiers.h"
#include "HostPropertyMap.h"

#include <memory>

namespace
{
const AAX_CTypeID kMeterIDs[] = {'Mtr1', 'Mtr2'};
const AAX_SPlugInIdentifierTriad kTriads[] = {{'Manu', 'Prod', 'Plg1'}, {'Manu', 'Prod', 'Plg2'}};
const char* const kPointer = "pointer property";

// One of each proxy, built against the same host, and places for their out arguments.
struct Proxies
{
    explicit Proxies(IACFUnknown* host)
        : collection(host), effect(host), component(host), map(AAX_VPropertyMap::Create(host)),
          feature(AAX_VDescriptionHost(host).AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat))
    {
    }
    AAX_VCollection collection;
    AAX_VEffectDescriptor effect;
    AAX_VComponentDescriptor component;
    std::unique_ptr<AAX_IPropertyMap> map;
    std::unique_ptr<AAX_IFeatureInfo> feature;
    uint32_t procID = 0;
    AAX_ESupportLevel level{};
    AAX_CPropertyValue value = 0;
    const void* pointer = nullptr;
    const AAX_SPlugInIdentifierTriad* triads = nullptr;
    uint32_t count = 0;
};

struct Row
{
    const char* name;
    int method;
    _acfUID version; // the host interface version the operation needs
    int64_t missingAnswer;
    std::function<int64_t(Proxies&)> invoke;
    // As the host logs them; "map", "effect" and "component" stand for the host interface of that proxy.
    std::vector<std::string> arguments;
    // Questions answer true where the host has the answer (put there first); operations return an injected
    // host result unchanged.
    std::function<void(Proxies&)> prepareTrueAnswer = nullptr;
};

Row R(const char* name, int method, const _acfUID& version, int64_t missingAnswer,
      std::function<int64_t(Proxies&)> invoke, std::vector<std::string> arguments,
      std::function<void(Proxies&)> prepareTrueAnswer = nullptr)
{
    return {
        name, method, version, missingAnswer, std::move(invoke), std::move(arguments), std::move(prepareTrueAnswer)};
}

void PrintTo(const Row& row, std::ostream* stream)
{
    *stream << row.name;
}

const std::string kOut = "<pointer>"; // an out argument
// The operation of a row, called on the proxies.
#define OP(call) [](Proxies& p) -> int64_t { return p.call; }

const _acfUID& kCO = IID_IAAXCollectionV1;
const _acfUID& kED1 = IID_IAAXEffectDescriptorV1;
const _acfUID& kCD1 = IID_IAAXComponentDescriptorV1;

const Row kCollectionRows[] = {
    R("AddEffect", 7, kCO, -20004, OP(collection.AddEffect("com.test", &p.effect)), {"com.test", "effect"}),
    R("SetManufacturerName", 8, kCO, -20004, OP(collection.SetManufacturerName("M")), {"M"}),
    R("AddPackageName", 9, kCO, -20004, OP(collection.AddPackageName("P")), {"P"}),
    R("SetPackageVersion", 10, kCO, -20004, OP(collection.SetPackageVersion(0xFFFFFFFEu)), {"4294967294"}),
    R("SetProperties", 11, kCO, -20004, OP(collection.SetProperties(p.map.get())), {"map"}),
};

const Row kEffectDescriptorRows[] = {
    R("AddComponent", 3, kED1, -20004, OP(effect.AddComponent(&p.component)), {"component"}),
    R("AddName", 4, kED1, -20004, OP(effect.AddName("Long Name")), {"Long Name"}),
    R("AddCategory", 5, kED1, -20004, OP(effect.AddCategory(0x80000002u)), {"2147483650"}),
    R("AddCategoryBypassParameter", 6, kED1, -20004, OP(effect.AddCategoryBypassParameter(2, "dbEnable")),
      {"2", "dbEnable"}),
    R("AddProcPtr", 7, kED1, -20004, OP(effect.AddProcPtr(reinterpret_cast<void*>(&BackgroundProc), 77)),
      {hostFunctionArg(&BackgroundProc), "77"}),
    R("SetProperties", 8, kED1, -20004, OP(effect.SetProperties(p.map.get())), {"map"}),
    R("AddResourceInfo", 9, kED1, -20004, OP(effect.AddResourceInfo(AAX_eResourceType_PageTableDir, "pages.xml")),
      {"2", "pages.xml"}),
    R("AddMeterDescription", 10, kED1, -20004, OP(effect.AddMeterDescription(77, "Input", p.map.get())),
      {"77", "Input", "map"}),
    R("AddControlMIDINode", 11, IID_IAAXEffectDescriptorV2, -20009,
      OP(effect.AddControlMIDINode(78, AAX_eMIDINodeType_Global, "Control", 0xFFFF)), {"78", "2", "Control", "65535"}),
    R("FeatureSupportLevel", 3, IID_IAAXFeatureInfoV1, -20004, OP(feature->SupportLevel(p.level)), {kOut}),
};

const Row kComponentDescriptorRows[] = {
    R("Clear", 3, kCD1, -20004, OP(component.Clear()), {}),
    R("AddReservedField", 4, kCD1, -20004, OP(component.AddReservedField(5, 0xABCD)), {"5", "43981"}),
    R("AddAudioIn", 5, kCD1, -20004, OP(component.AddAudioIn(11)), {"11"}),
    R("AddAudioOut", 6, kCD1, -20004, OP(component.AddAudioOut(12)), {"12"}),
    R("AddAudioBufferLength", 7, kCD1, -20004, OP(component.AddAudioBufferLength(13)), {"13"}),
    R("AddSampleRate", 8, kCD1, -20004, OP(component.AddSampleRate(14)), {"14"}),
    R("AddClock", 9, kCD1, -20004, OP(component.AddClock(15)), {"15"}),
    R("AddSideChainIn", 10, kCD1, -20004, OP(component.AddSideChainIn(-16)), {"-16"}),
    R("AddDataInPort", 11, kCD1, -20004, OP(component.AddDataInPort(17, 8, AAX_eDataInPortType_Incremental)),
      {"17", "8", "2"}),
    R("AddAuxOutputStem", 12, kCD1, -20004, OP(component.AddAuxOutputStem(18, 5, "Aux")), {"18", "5", "Aux"}),
    R("AddPrivateData", 13, kCD1, -20004, OP(component.AddPrivateData(19, 640, 3)), {"19", "640", "3"}),
    R("AddDmaInstance", 14, kCD1, -20004, OP(component.AddDmaInstance(20, AAX_IDma::eMode_Gather)), {"20", "2"}),
    R("AddMIDINode", 15, kCD1, -20004, OP(component.AddMIDINode(21, AAX_eMIDINodeType_LocalOutput, "Out", 0xFF)),
      {"21", "1", "Out", "255"}),
    R("AddProcessProcNative", 16, kCD1, -20004,
      OP(component.AddProcessProc_Native(ProcessProc, p.map.get(), InstanceInitProc, BackgroundProc, &p.procID)),
      {hostFunctionArg(&ProcessProc), "map", hostFunctionArg(&InstanceInitProc), hostFunctionArg(&BackgroundProc),
       kOut}),
    R("AddProcessProcTI", 17, kCD1, -20004,
      OP(component.AddProcessProc_TI("dsp", "Run", p.map.get(), "Init", "Idle", &p.procID)),
      {"dsp", "Run", "map", "Init", "Idle", kOut}),
    R("AddMeters", 18, kCD1, -20004, OP(component.AddMeters(22, kMeterIDs, 2)), {"22", hostAddressArg(kMeterIDs), "2"}),
    R("AddProcessProc", 20, IID_IAAXComponentDescriptorV3, -20004, OP(component.AddProcessProc(nullptr, &p.procID, 3)),
      {"<null>", kOut, "3"}),
    R("AddTemporaryData", 19, IID_IAAXComponentDescriptorV2, -20009, OP(component.AddTemporaryData(23, 4096)),
      {"23", "4096"}),
};

const Row kPropertyMapRows[] = {
    R("GetProperty", 3, IID_IAAXPropertyMapV1, false, OP(map->GetProperty(AAX_EProperty(20), &p.value)), {"20", kOut},
      [](Proxies& p) { p.map->AddProperty(AAX_EProperty(20), 99); }),
    R("AddProperty", 4, IID_IAAXPropertyMapV1, -20004, OP(map->AddProperty(AAX_EProperty(20), -7)), {"20", "-7"}),
    R("RemoveProperty", 5, IID_IAAXPropertyMapV1, -20004, OP(map->RemoveProperty(AAX_EProperty(20))), {"20"}),
    R("AddPropertyWithIDArray", 6, IID_IAAXPropertyMapV2, -20009,
      OP(map->AddPropertyWithIDArray(AAX_EProperty(21), kTriads, 2)), {"21", hostAddressArg(kTriads), "2"}),
    R("GetPropertyWithIDArray", 7, IID_IAAXPropertyMapV2, false,
      OP(map->GetPropertyWithIDArray(AAX_EProperty(21), &p.triads, &p.count)), {"21", kOut, kOut},
      [](Proxies& p) { p.map->AddPropertyWithIDArray(AAX_EProperty(21), kTriads, 2); }),
    R("GetPointerProperty", 8, IID_IAAXPropertyMapV3, false, OP(map->GetPointerProperty(AAX_EProperty(30), &p.pointer)),
      {"30", kOut}, [](Proxies& p) { p.map->AddPointerProperty(AAX_EProperty(30), kPointer); }),
    R("AddPointerProperty", 9, IID_IAAXPropertyMapV3, -20009,
      OP(map->AddPointerProperty(AAX_EProperty(30), static_cast<const void*>(kPointer))),
      {"30", hostAddressArg(kPointer)}),
};

class Forwarding : public DescriptionTest, public ::testing::WithParamInterface<Row>
{
};

TEST_P(Forwarding, ReachesItsHostMethodWithArgumentsAndAnswerUnchanged)
{
    const Row& row = GetParam();
    const std::string interfaceName = hostIdentifierName(row.version).substr(4); // "IAAXCollectionV1"
    const std::string component = interfaceName.substr(4, interfaceName.size() - 6);
    Proxies proxies(context->unknown());
    const int64_t answer = row.prepareTrueAnswer ? 1 : -12345;
    if (row.prepareTrueAnswer)
        row.prepareTrueAnswer(proxies);
    else
        host.configuration().injectResult(component, row.method, -12345);
    host.log().clear();
    EXPECT_EQ(row.invoke(proxies), answer);

    std::vector<std::string> arguments = row.arguments;
    for (std::string& argument : arguments)
        if (argument == "map" || argument == "effect" || argument == "component")
            argument = hostAddressArg(argument == "map"      ? proxies.map->GetIUnknown()
                                      : argument == "effect" ? proxies.effect.GetIUnknown()
                                                             : proxies.component.GetIUnknown());
    EXPECT_EQ(MethodCallsTo(host, component),
              (std::vector<HostCall>{{component, interfaceName, row.method, arguments}}));
}

TEST_P(Forwarding, AnswersAFixedValueWithoutCallingWhenTheVersionIsMissing)
{
    host.configuration().refuseInterface(GetParam().version);
    Proxies proxies(context->unknown());
    host.log().clear();
    EXPECT_EQ(GetParam().invoke(proxies), GetParam().missingAnswer);
    EXPECT_EQ(host.log().all(), std::vector<HostCall>());
}

const auto kName = [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); };
INSTANTIATE_TEST_SUITE_P(Collection, Forwarding, ::testing::ValuesIn(kCollectionRows), kName);
INSTANTIATE_TEST_SUITE_P(EffectDescriptor, Forwarding, ::testing::ValuesIn(kEffectDescriptorRows), kName);
INSTANTIATE_TEST_SUITE_P(ComponentDescriptor, Forwarding, ::testing::ValuesIn(kComponentDescriptorRows), kName);
INSTANTIATE_TEST_SUITE_P(PropertyMap, Forwarding, ::testing::ValuesIn(kPropertyMapRows), kName);
#undef OP

using DescriptionProxies = DescriptionTest;

TEST_F(DescriptionProxies, AddEffectRefusesANullDescriptorWhileAddComponentPassesNullOn)
{
    AAX_VCollection collection(context->unknown());
    AAX_VEffectDescriptor effect(context->unknown());
    host.log().clear();
    EXPECT_EQ(collection.AddEffect("id", nullptr), AAX_ERROR_NULL_OBJECT);
    effect.AddComponent(nullptr);
    EXPECT_EQ(host.log().methodCalls(),
              (std::vector<HostCall>{{"EffectDescriptor", "IAAXEffectDescriptorV1", 3, {"<null>"}}}));
}

TEST_F(DescriptionProxies, AFactoryThatAnswersNothingMakesTheProxiesThrowAndGiveEverythingBack)
{
    AAX_VCollection collection(context->unknown());
    AAX_IEffectDescriptor* const effect = collection.NewDescriptor();
    const uint32_t hostReferences = context->referenceCount();
    host.configuration().answerEmpty(IID_IACFComponentFactory);
    EXPECT_THROW(AAX_VCollection{context->unknown()}, ACFRESULT);
    EXPECT_THROW(collection.NewDescriptor(), ACFRESULT);
    EXPECT_THROW(effect->NewComponentDescriptor(), ACFRESULT);
    EXPECT_EQ(context->referenceCount(), hostReferences);
    EXPECT_EQ(LiveCount<HostEffectDescriptor>(host), 1u);
}

TEST_F(DescriptionProxies, NoFeatureAndNoPropertiesWhenTheHostFailsOrHasNone)
{
    const AAX_VDescriptionHost descriptionHost(context->unknown());
    const _acfUID unknownFeature = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(descriptionHost.AcquireFeatureProperties(unknownFeature), nullptr);
    context->component<HostDescriptionHost>(HostDescriptionHost::kName)
        ->setFeature(AAXATTR_ClientFeature_StemFormat, {AAX_eSupportLevel_Supported, std::nullopt});
    std::unique_ptr<AAX_IFeatureInfo> feature(
        descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(feature->AcquireProperties(), nullptr);
    host.configuration().injectResult(HostDescriptionHost::kName, 3, AAX_ERROR_UNIMPLEMENTED);
    EXPECT_EQ(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat), nullptr);
    EXPECT_EQ(LiveCount<HostFeatureInfo>(host), 1u);
}
} // namespace
