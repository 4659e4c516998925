// Procedure registration from a property map, done by hand for hosts without component-descriptor version 3;
// property maps: the stem-format rule, duplication, and which host interface a map stands for.
#include "RegistrationTestSupport.h"

#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "HostComponentDescriptor.h"
#include "HostPropertyMap.h"

#include <iterator>
#include <memory>
#include <set>
#include <sstream>

namespace
{
constexpr uint32_t kUntouched = 0xEEEEEEEE;
const std::string kMissing = "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_";

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream stream(text);
    return {std::istream_iterator<std::string>(stream), std::istream_iterator<std::string>()};
}

struct ManualCase
{
    const char* name;
    std::set<int> types;      // 13 native, 14 AudioSuite, 15 TI, 54 native buffer length
    std::set<int> procedures; // 36, 37, 39, 40, 41
    int failingMethod;        // the registration the host refuses with -20004 (16 native, 17 TI), or 0
    int32_t capacity;         // of the procedure-ID array
    AAX_Result result;
    const char* ids;     // "native", "TI", "0", or "-" for untouched
    const char* methods; // the registrations that reached the host
    const char* missing; // the procedures traced as missing
};

void PrintTo(const ManualCase& manualCase, std::ostream* stream)
{
    *stream << manualCase.name;
}

const ManualCase kManualCases[] = {
    {"OneNativeProcedure", {13}, {36, 37}, 0, 2, 0, "native 0", "16", ""},
    {"NoRoomForTheEndingZero", {13}, {36}, 0, 1, -20046, "-", "16", ""},
    {"AudioSuiteAsksForANativeProcedure", {14}, {36}, 0, 2, 0, "native 0", "16", ""},
    {"NothingAsked", {}, {}, 0, 1, 0, "0", "", ""},
    {"NothingAskedAndNoRoom", {}, {}, 0, 0, -20046, "-", "", ""},
    {"NativeThenTI", {13, 15, 54}, {36, 39, 40, 41}, 0, 3, 0, "native TI 0", "16 17", ""},
    {"FailedNativeRegistrationEndsIt", {13, 15}, {36, 39, 40}, 16, 3, -20004, "- - -", "16", ""},
    {"FailedTIRegistrationGivesItsResult", {15}, {39, 40}, 17, 2, -20004, "- -", "17", ""},
    {"MissingProcessProcIsTraced", {13}, {}, 0, 2, 0, "native 0", "16", "NativeProcessProc"},
    {"MissingTINamesAreTraced", {15}, {}, 0, 2, 0, "TI 0", "17", "TIDLLFileName TIProcessProc"},
};

// A host without component-descriptor version 3 and without property-map version 3: the procedure
// pointers live in the map proxies and the library registers them itself.
class ManualRegistration : public DescriptionTest, public ::testing::WithParamInterface<ManualCase>
{
};

TEST_P(ManualRegistration, RegistersWhatTheMapAsksForAndWritesTheIDs)
{
    const ManualCase& testCase = GetParam();
    host.configuration().refuseInterface(IID_IAAXComponentDescriptorV3);
    host.configuration().refuseInterface(IID_IAAXPropertyMapV3);
    startHostServices();
    AAX_VComponentDescriptor component(context->unknown());
    AAX_IPropertyMap* const properties = component.NewPropertyMap();
    for (int type : testCase.types)
        properties->AddProperty(AAX_EProperty(type), 'Type');
    const char* const names[] = {"dsp.dll", "Run", "Init"}; // TI: module, procedure, instance initialisation
    for (int number : testCase.procedures)
        properties->AddPointerProperty(AAX_EProperty(number), number == 36 ? reinterpret_cast<const void*>(&ProcessProc)
                                                              : number == 37
                                                                  ? reinterpret_cast<const void*>(&InstanceInitProc)
                                                                  : names[number - 39]);
    if (testCase.failingMethod != 0)
        host.configuration().injectResult("ComponentDescriptor", testCase.failingMethod, -20004);
    host.log().clear();
    std::vector<uint32_t> ids(Words(testCase.ids).size(), kUntouched);
    EXPECT_EQ(component.AddProcessProc(properties, ids.data(), testCase.capacity), testCase.result);

    const auto& hostComponent = *hostObjectBehind<HostComponentDescriptor>(host, component.GetIUnknown());
    const auto& natives = hostComponent.nativeProcedures();
    std::vector<std::string> methods, idNames;
    for (const HostCall& call : MethodCallsTo(host, "ComponentDescriptor"))
        methods.push_back(std::to_string(call.method));
    EXPECT_EQ(methods, Words(testCase.methods));
    for (uint32_t id : ids)
        idNames.push_back(id == kUntouched                          ? "-"
                          : id == 0                                 ? "0"
                          : !natives.empty() && id == natives[0].id ? "native"
                                                                    : "TI");
    EXPECT_EQ(idNames, Words(testCase.ids));
    std::vector<std::vector<std::string>> traces;
    for (const std::string& procedure : Words(testCase.missing))
        traces.push_back({kFailurePriority, kMissing + procedure});
    EXPECT_EQ(HostTraces(host), traces);

    // The native procedure gets a copy of the map without the buffer length; the TI one the caller's map.
    const HostPropertyMap* const callersMap = hostObjectBehind<HostPropertyMap>(host, properties->GetIUnknown());
    for (const auto& native : natives)
    {
        EXPECT_EQ(native.processProc, testCase.procedures.count(36) ? &ProcessProc : nullptr);
        EXPECT_EQ(native.properties.get() == callersMap, testCase.types.count(54) == 0);
        EXPECT_FALSE(native.properties->hasProperty(AAX_eProperty_NativeAudioBufferLength));
    }
    for (const auto& ti : hostComponent.tiProcedures())
        EXPECT_EQ(ti.properties.get(), callersMap);
}

INSTANTIATE_TEST_SUITE_P(Cases, ManualRegistration, ::testing::ValuesIn(kManualCases),
                         [](const ::testing::TestParamInfo<ManualCase>& row) { return std::string(row.param.name); });

using ProcessProcRegistration = DescriptionTest;

// The copy is checked; a failed check is reported to the host with its line and registration goes on.
TEST_F(ProcessProcRegistration, AFailedCopyIsReportedWithTheAssertionsPlace)
{
    host.configuration().refuseInterface(IID_IAAXComponentDescriptorV3);
    startHostServices();
    for (const auto& [failingMapMethod, line, condition] :
         {std::tuple<int, const char*, const char*>{4, "89", "0 != gotPropertySuccess"},
          {5, "93", "AAX_SUCCESS == removeNativeAudioBufferLengthResult"}})
    {
        AAX_VComponentDescriptor component(context->unknown());
        AAX_IPropertyMap* const properties = component.NewPropertyMap();
        properties->AddProperty(AAX_eProperty_PlugInID_Native, 'Type');
        properties->AddProperty(AAX_eProperty_NativeAudioBufferLength, 256);
        host.configuration().injectResult("PropertyMap", failingMapMethod, -20001);
        host.log().clear();
        EXPECT_EQ(component.AddProcessProc(properties), 0);
        host.configuration().injectResult("PropertyMap", failingMapMethod, 0);
        std::vector<HostCall> calls;
        for (const HostCall& call : MethodCallsTo(host, "HostServices"))
            if (call.method == 6)
                calls.push_back(call);
        ASSERT_EQ(calls.size(), 1u) << line;
        const std::string file = calls[0].arguments.at(0);
        const std::string source = "Libs/AAXLibrary/source/AAX_VComponentDescriptor.cpp";
        EXPECT_EQ(file.substr(file.size() - source.size()), source);
        EXPECT_NE(file.front(), '/') << "a path of the build machine: " << file;
        EXPECT_EQ(calls[0], (HostCall{"HostServices", "IAAXHostServicesV3", 6, {file, line, condition, "1"}}));
    }
}

const char kValueA[] = "a";

using PropertyMap = DescriptionTest;

// Which stem-format values a map without a description host sends on.
TEST_F(PropertyMap, WithoutADescriptionHostHighStemFormatsAreRefused)
{
    const struct
    {
        int32_t property;
        uint32_t value;
        bool reachesHost;
    } cases[] = {
        {51, 0x000D0000u, false}, {52, 0x000D0000u, false}, {51, 0x7FFFFFFFu, false}, {52, 0x80000000u, false},
        {51, 0x000CFFFFu, true},  {51, 0u, true},           {52, 0xFFFF0000u, true},  {52, 0xFF9C0000u, true},
        {53, 0x000D0000u, true},  {50, 0x000D0000u, true},
    };
    std::unique_ptr<AAX_IPropertyMap> withHost(AAX_VPropertyMap::Create(context->unknown()));
    host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
    std::unique_ptr<AAX_IPropertyMap> withoutHost(AAX_VPropertyMap::Create(context->unknown()));
    for (const auto& testCase : cases)
    {
        host.log().clear();
        EXPECT_EQ(withoutHost->AddProperty(AAX_EProperty(testCase.property), AAX_CPropertyValue(testCase.value)),
                  testCase.reachesHost ? 0 : AAX_ERROR_PROPERTY_UNDEFINED)
            << testCase.property << " " << std::hex << testCase.value;
        EXPECT_EQ(MethodCallsTo(host, "PropertyMap").size(), testCase.reachesHost ? 1u : 0u);
        EXPECT_EQ(withHost->AddProperty(AAX_EProperty(testCase.property), AAX_CPropertyValue(testCase.value)), 0);
    }
}

TEST_F(PropertyMap, DuplicationCopiesTenToFourHundredOneAndPrefersIntegers)
{
    AAX_VComponentDescriptor component(context->unknown());
    AAX_IPropertyMap* const source = component.NewPropertyMap();
    for (const int32_t number : {9, 10, 200, 401, 402})
        source->AddProperty(AAX_EProperty(number), number * 3);
    for (const int32_t number : {8, 11, 200, 400, 403})
        source->AddPointerProperty(AAX_EProperty(number), static_cast<const void*>(kValueA));
    AAX_IPropertyMap* const copy = component.DuplicatePropertyMap(source);
    ASSERT_NE(copy, nullptr);
    const HostPropertyMap* const hostCopy = hostObjectBehind<HostPropertyMap>(host, copy->GetIUnknown());
    ASSERT_NE(hostCopy, nullptr);
    EXPECT_EQ(hostCopy->properties(),
              (std::map<AAX_EProperty, AAX_CPropertyValue>{
                  {AAX_EProperty(10), 30}, {AAX_EProperty(200), 600}, {AAX_EProperty(401), 1203}}));
    EXPECT_EQ(hostCopy->pointerProperties(),
              (std::map<AAX_EProperty, const void*>{{AAX_EProperty(11), kValueA}, {AAX_EProperty(400), kValueA}}));
    EXPECT_EQ(AAX_VComponentDescriptor(nullptr).DuplicatePropertyMap(source), nullptr); // no host, no copy
}

TEST_F(PropertyMap, StandsForTheNewestHostVersion)
{
    for (const _acfUID* refused : {&IID_IAAXPropertyMapV3, &IID_IAAXPropertyMapV2})
    {
        host.configuration().refuseInterface(*refused);
        std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
        const bool hasV2 = refused == &IID_IAAXPropertyMapV3;
        void* newest = nullptr;
        HostPropertyMap* const hostMap = host.objectsOfType<HostPropertyMap>().front();
        ASSERT_EQ(hostMap->queryInterface(hasV2 ? IID_IAAXPropertyMapV2 : IID_IAAXPropertyMapV1, &newest), 0);
        EXPECT_EQ(map->GetIUnknown(), static_cast<IACFUnknown*>(static_cast<AAX_IACFPropertyMap*>(newest)));
        hostMap->releaseReference();
    }
}
} // namespace
