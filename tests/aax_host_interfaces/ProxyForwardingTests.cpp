// Every operation of the per-instance proxies, against a host that offers all interface versions, only the
// first ones, or nothing: where the version is there the operation reaches its host method through that
// version with its arguments unchanged (pointers logged by address) and returns the host's answer
// unchanged; where it is missing it answers a fixed value and calls nothing.

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "AAX_VController.h"
#include "AAX_VPageTable.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"
#include "HostDescriptionSupport.h"
#include "HostPageTable.h"
#include "HostPageTableController.h"
#include "HostTestSupport.h"
#include "HostViewContainer.h"

#include <functional>
#include <memory>
#include <tuple>

namespace
{
constexpr AAX_Result kInjected = -12345;

const auto A = hostAddressArg;

int kNativeView = 0;

// One proxy of each kind on one host, and room for every out argument.
struct Proxies
{
    Proxies(IACFUnknown* host, IACFUnknown* pageTable, IACFUnknown* container)
        : controller(host), table(pageTable), transport(host), view(container)
    {
    }

    // Every out value, to see that a call that reaches no host writes none.
    auto outs() const
    {
        return std::make_tuple(std::string(text.Get()), rate, stem, i32, i64, u32, flag, tempo, yes, frames, feet);
    }

    AAX_VController controller;
    AAX_VPageTable table;
    AAX_VTransport transport;
    AAX_VViewContainer view;
    AAX_CString text{"unchanged"};
    AAX_CSampleRate rate = 1;
    AAX_EStemFormat stem = AAX_eStemFormat_Quad;
    int32_t i32 = 2;
    int64_t i64 = 3;
    uint32_t u32 = 4;
    AAX_CBoolean flag = 5;
    double tempo = 6;
    bool yes = true;
    AAX_EFrameRate frames = AAX_eFrameRate_24Frame;
    AAX_EFeetFramesRate feet = AAX_eFeetFramesRate_23976;
    AAX_CParamID ids[2] = {"dbMain", "dbVocal"};
    AAX_EProperty properties[2] = {AAX_eProperty_InputStemFormat, AAX_eProperty_OutputStemFormat};
    AAX_CPropertyValue values[2] = {7, 8};
    AAX_Point size{480, 256};
};

using Outcome = std::pair<int64_t, std::vector<std::string>>; // result, arguments as the host logs them

struct Row
{
    const char* name;
    const char* component;
    const char* interfaceName;
    int method;
    bool firstVersion;
    int64_t missingAnswer;
    std::function<Outcome(Proxies&)> call;
};

void PrintTo(const Row& row, std::ostream* stream)
{
    *stream << row.name;
}

using P = Proxies;
const char* const kC = "Controller";
const char* const kT = "PageTable";
const char* const kX = "Transport";
const char* const kV = "ViewContainer";

const Row kRows[] = {
    {"GetEffectID", kC, "IAAXControllerV1", 3, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetEffectID(&p.text), {A(&p.text)}};
     }},
    {"GetSampleRate", kC, "IAAXControllerV1", 4, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetSampleRate(&p.rate), {A(&p.rate)}};
     }},
    {"GetInputStemFormat", kC, "IAAXControllerV1", 5, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetInputStemFormat(&p.stem), {A(&p.stem)}};
     }},
    {"GetOutputStemFormat", kC, "IAAXControllerV1", 6, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetOutputStemFormat(&p.stem), {A(&p.stem)}};
     }},
    {"GetSignalLatency", kC, "IAAXControllerV1", 7, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetSignalLatency(&p.i32), {A(&p.i32)}};
     }},
    {"GetCycleCount", kC, "IAAXControllerV1", 8, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetCycleCount(AAX_eProperty_InputStemFormat, &p.i32), {"51", A(&p.i32)}};
     }},
    {"GetTODLocation", kC, "IAAXControllerV1", 9, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetTODLocation(&p.i64), {A(&p.i64)}};
     }},
    {"SetSignalLatency", kC, "IAAXControllerV1", 10, true, -20004,
     [](P& p) {
         return Outcome{p.controller.SetSignalLatency(-3), {"-3"}};
     }},
    {"SetCycleCount", kC, "IAAXControllerV1", 11, true, -20004,
     [](P& p) {
         return Outcome{p.controller.SetCycleCount(p.properties, p.values, 2), {A(p.properties), A(p.values), "2"}};
     }},
    {"PostPacket", kC, "IAAXControllerV1", 12, true, -20004,
     [](P& p) {
         return Outcome{p.controller.PostPacket(3, &p.rate, 4), {"3", A(&p.rate), "4"}};
     }},
    {"SendNotification", kC, "IAAXControllerV2", 20, false, -20009,
     [](P& p) {
         return Outcome{p.controller.SendNotification('ntfy', &p.u32, 4), {std::to_string('ntfy'), A(&p.u32), "4"}};
     }},
    {"SendNotificationWithoutData", kC, "IAAXControllerV2", 20, false, -20009,
     [](P& p) {
         return Outcome{p.controller.SendNotification('ntfy'), {std::to_string('ntfy'), "<null>", "0"}};
     }},
    {"GetCurrentMeterValue", kC, "IAAXControllerV1", 13, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetCurrentMeterValue(5, &p.rate), {"5", A(&p.rate)}};
     }},
    {"GetMeterPeakValue", kC, "IAAXControllerV1", 14, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetMeterPeakValue(5, &p.rate), {"5", A(&p.rate)}};
     }},
    {"ClearMeterPeakValue", kC, "IAAXControllerV1", 15, true, -20004,
     [](P& p) {
         return Outcome{p.controller.ClearMeterPeakValue(5), {"5"}};
     }},
    {"GetMeterCount", kC, "IAAXControllerV1", 18, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetMeterCount(&p.u32), {A(&p.u32)}};
     }},
    {"GetMeterClipped", kC, "IAAXControllerV1", 16, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetMeterClipped(5, &p.flag), {"5", A(&p.flag)}};
     }},
    {"ClearMeterClipped", kC, "IAAXControllerV1", 17, true, -20004,
     [](P& p) {
         return Outcome{p.controller.ClearMeterClipped(5), {"5"}};
     }},
    {"GetNextMIDIPacket", kC, "IAAXControllerV1", 19, true, -20004,
     [](P& p) {
         return Outcome{p.controller.GetNextMIDIPacket(&p.i32, nullptr), {A(&p.i32), "<null>"}};
     }},
    {"GetHybridSignalLatency", kC, "IAAXControllerV2", 21, false, -20009,
     [](P& p) {
         return Outcome{p.controller.GetHybridSignalLatency(&p.i32), {A(&p.i32)}};
     }},
    {"GetCurrentAutomationTimestamp", kC, "IAAXControllerV2", 22, false, -20009,
     [](P& p) {
         return Outcome{p.controller.GetCurrentAutomationTimestamp(&p.i64), {A(&p.i64)}};
     }},
    {"GetHostName", kC, "IAAXControllerV2", 23, false, -20009,
     [](P& p) {
         return Outcome{p.controller.GetHostName(&p.text), {A(&p.text)}};
     }},
    {"GetPlugInTargetPlatform", kC, "IAAXControllerV3", 24, false, -20009,
     [](P& p) {
         return Outcome{p.controller.GetPlugInTargetPlatform(&p.i32), {A(&p.i32)}};
     }},
    {"GetIsAudioSuite", kC, "IAAXControllerV3", 25, false, -20009,
     [](P& p) {
         return Outcome{p.controller.GetIsAudioSuite(&p.flag), {A(&p.flag)}};
     }},
    // Page table
    {"Clear", kT, "IAAXPageTableV1", 3, true, -20009,
     [](P& p) {
         return Outcome{p.table.Clear(), {}};
     }},
    {"Empty", kT, "IAAXPageTableV1", 4, true, -20009,
     [](P& p) {
         return Outcome{p.table.Empty(p.flag), {A(&p.flag)}};
     }},
    {"GetNumPages", kT, "IAAXPageTableV1", 5, true, -20009,
     [](P& p) {
         return Outcome{p.table.GetNumPages(p.i32), {A(&p.i32)}};
     }},
    {"InsertPage", kT, "IAAXPageTableV1", 6, true, -20009,
     [](P& p) {
         return Outcome{p.table.InsertPage(2), {"2"}};
     }},
    {"RemovePage", kT, "IAAXPageTableV1", 7, true, -20009,
     [](P& p) {
         return Outcome{p.table.RemovePage(3), {"3"}};
     }},
    {"GetNumMappedParameterIDs", kT, "IAAXPageTableV1", 8, true, -20009,
     [](P& p) {
         return Outcome{p.table.GetNumMappedParameterIDs(4, p.i32), {"4", A(&p.i32)}};
     }},
    {"ClearMappedParameter", kT, "IAAXPageTableV1", 9, true, -20009,
     [](P& p) {
         return Outcome{p.table.ClearMappedParameter(4, 5), {"4", "5"}};
     }},
    {"GetMappedParameterID", kT, "IAAXPageTableV1", 10, true, -20009,
     [](P& p) {
         return Outcome{p.table.GetMappedParameterID(4, 5, p.text), {"4", "5", A(&p.text)}};
     }},
    {"MapParameterID", kT, "IAAXPageTableV1", 11, true, -20009,
     [](P& p) {
         return Outcome{p.table.MapParameterID("dbMain", 4, 5), {"dbMain", "4", "5"}};
     }},
    {"GetNumParametersWithNameVariations", kT, "IAAXPageTableV2", 12, false, -20009,
     [](P& p) {
         return Outcome{p.table.GetNumParametersWithNameVariations(p.i32), {A(&p.i32)}};
     }},
    {"GetNameVariationParameterIDAtIndex", kT, "IAAXPageTableV2", 13, false, -20009,
     [](P& p) {
         return Outcome{p.table.GetNameVariationParameterIDAtIndex(6, p.text), {"6", A(&p.text)}};
     }},
    {"GetNumNameVariationsForParameter", kT, "IAAXPageTableV2", 14, false, -20009,
     [](P& p) {
         return Outcome{p.table.GetNumNameVariationsForParameter("dbMain", p.i32), {"dbMain", A(&p.i32)}};
     }},
    {"GetParameterNameVariationAtIndex", kT, "IAAXPageTableV2", 15, false, -20009,
     [](P& p) {
         return Outcome{p.table.GetParameterNameVariationAtIndex("dbMain", 6, p.text, p.i32),
                        {"dbMain", "6", A(&p.text), A(&p.i32)}};
     }},
    {"GetParameterNameVariationOfLength", kT, "IAAXPageTableV2", 16, false, -20009,
     [](P& p) {
         return Outcome{p.table.GetParameterNameVariationOfLength("dbMain", 4, p.text), {"dbMain", "4", A(&p.text)}};
     }},
    {"ClearParameterNameVariations", kT, "IAAXPageTableV2", 17, false, -20009,
     [](P& p) {
         return Outcome{p.table.ClearParameterNameVariations(), {}};
     }},
    {"ClearNameVariationsForParameter", kT, "IAAXPageTableV2", 18, false, -20009,
     [](P& p) {
         return Outcome{p.table.ClearNameVariationsForParameter("dbMain"), {"dbMain"}};
     }},
    {"SetParameterNameVariation", kT, "IAAXPageTableV2", 19, false, -20009,
     [](P& p) {
         return Outcome{p.table.SetParameterNameVariation("dbMain", p.text, 4), {"dbMain", A(&p.text), "4"}};
     }},
    // Transport
    {"GetCurrentTempo", kX, "IAAXTransportV1", 3, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCurrentTempo(&p.tempo), {A(&p.tempo)}};
     }},
    {"GetCurrentMeter", kX, "IAAXTransportV1", 4, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCurrentMeter(&p.i32, &p.i32), {A(&p.i32), A(&p.i32)}};
     }},
    {"IsTransportPlaying", kX, "IAAXTransportV1", 5, true, -20004,
     [](P& p) {
         return Outcome{p.transport.IsTransportPlaying(&p.yes), {A(&p.yes)}};
     }},
    {"GetCurrentTickPosition", kX, "IAAXTransportV1", 6, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCurrentTickPosition(&p.i64), {A(&p.i64)}};
     }},
    {"GetCurrentLoopPosition", kX, "IAAXTransportV1", 7, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCurrentLoopPosition(&p.yes, &p.i64, &p.i64), {A(&p.yes), A(&p.i64), A(&p.i64)}};
     }},
    {"GetCurrentNativeSampleLocation", kX, "IAAXTransportV1", 8, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCurrentNativeSampleLocation(&p.i64), {A(&p.i64)}};
     }},
    {"GetCustomTickPosition", kX, "IAAXTransportV1", 9, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCustomTickPosition(&p.i64, -(int64_t(1) << 40)), {A(&p.i64), "-1099511627776"}};
     }},
    {"GetBarBeatPosition", kX, "IAAXTransportV1", 10, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetBarBeatPosition(&p.i32, &p.i32, &p.i64, int64_t(1) << 40),
                        {A(&p.i32), A(&p.i32), A(&p.i64), "1099511627776"}};
     }},
    {"GetTicksPerQuarter", kX, "IAAXTransportV1", 11, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetTicksPerQuarter(&p.u32), {A(&p.u32)}};
     }},
    {"GetCurrentTicksPerBeat", kX, "IAAXTransportV1", 12, true, -20004,
     [](P& p) {
         return Outcome{p.transport.GetCurrentTicksPerBeat(&p.u32), {A(&p.u32)}};
     }},
    {"GetTimelineSelectionStartPosition", kX, "IAAXTransportV2", 13, false, -20009,
     [](P& p) {
         return Outcome{p.transport.GetTimelineSelectionStartPosition(&p.i64), {A(&p.i64)}};
     }},
    {"GetTimeCodeInfo", kX, "IAAXTransportV2", 14, false, -20009,
     [](P& p) {
         return Outcome{p.transport.GetTimeCodeInfo(&p.frames, &p.i32), {A(&p.frames), A(&p.i32)}};
     }},
    {"GetFeetFramesInfo", kX, "IAAXTransportV2", 15, false, -20009,
     [](P& p) {
         return Outcome{p.transport.GetFeetFramesInfo(&p.feet, &p.i64), {A(&p.feet), A(&p.i64)}};
     }},
    {"IsMetronomeEnabled", kX, "IAAXTransportV2", 16, false, -20009,
     [](P& p) {
         return Outcome{p.transport.IsMetronomeEnabled(&p.i32), {A(&p.i32)}};
     }},
    {"GetHDTimeCodeInfo", kX, "IAAXTransportV3", 17, false, -20009,
     [](P& p) { return Outcome{p.transport.GetHDTimeCodeInfo(&p.frames, &p.i64), {A(&p.frames), A(&p.i64)}}; }},
    // View container (its type and native view are the host's answers)
    {"GetType", kV, "IAAXViewContainerV1", 3, true, 0, [](P& p) { return Outcome{p.view.GetType(), {}}; }},
    {"GetPtr", kV, "IAAXViewContainerV1", 4, true, 0,
     [](P& p) { return Outcome{p.view.GetPtr() == &kNativeView ? kInjected : int64_t(p.view.GetPtr() != nullptr), {}}; }},
    {"GetModifiers", kV, "IAAXViewContainerV1", 5, true, -20009,
     [](P& p) { return Outcome{p.view.GetModifiers(&p.u32), {A(&p.u32)}}; }},
    {"SetViewSize", kV, "IAAXViewContainerV1", 6, true, -20009,
     [](P& p) { return Outcome{p.view.SetViewSize(p.size), {A(&p.size)}}; }},
    {"HandleParameterMouseDown", kV, "IAAXViewContainerV1", 7, true, -20009,
     [](P& p) { return Outcome{p.view.HandleParameterMouseDown("dbMain", 9), {"dbMain", "9"}}; }},
    {"HandleParameterMouseDrag", kV, "IAAXViewContainerV1", 8, true, -20009,
     [](P& p) { return Outcome{p.view.HandleParameterMouseDrag("dbMain", 9), {"dbMain", "9"}}; }},
    {"HandleParameterMouseUp", kV, "IAAXViewContainerV1", 9, true, -20009,
     [](P& p) { return Outcome{p.view.HandleParameterMouseUp("dbMain", 9), {"dbMain", "9"}}; }},
    {"HandleMultipleParametersMouseDown", kV, "IAAXViewContainerV2", 10, false, -20009,
     [](P& p) { return Outcome{p.view.HandleMultipleParametersMouseDown(p.ids, 2, 9), {A(p.ids), "2", "9"}}; }},
    {"HandleMultipleParametersMouseDrag", kV, "IAAXViewContainerV2", 11, false, -20009,
     [](P& p) { return Outcome{p.view.HandleMultipleParametersMouseDrag(p.ids, 2, 9), {A(p.ids), "2", "9"}}; }},
    {"HandleMultipleParametersMouseUp", kV, "IAAXViewContainerV2", 12, false, -20009,
     [](P& p) { return Outcome{p.view.HandleMultipleParametersMouseUp(p.ids, 2, 9), {A(p.ids), "2", "9"}}; }},
};

// The host as the proxies find it.
enum class Offer
{
    AllVersions,
    FirstVersionsOnly,
    Nothing
};
const char* const kOfferNames[] = {"AllVersions", "FirstVersionsOnly", "Nothing"};
void PrintTo(Offer offer, std::ostream* stream)
{
    *stream << kOfferNames[static_cast<int>(offer)];
}

const _acfUID* const kLaterVersions[] = {&IID_IAAXControllerV2,   &IID_IAAXControllerV3, &IID_IAAXPageTableControllerV2,
                                         &IID_IAAXPageTableV2,    &IID_IAAXTransportV2,  &IID_IAAXTransportV3,
                                         &IID_IAAXViewContainerV2};

class Forwarding : public HostTest, public ::testing::WithParamInterface<std::tuple<Row, Offer>>
{
};

TEST_P(Forwarding, ReachesItsHostMethodUnchangedOrAnswersTheMissingVersionsValue)
{
    const auto& [row, offer] = GetParam();
    if (offer == Offer::FirstVersionsOnly)
        for (const _acfUID* version : kLaterVersions)
            host.configuration().refuseInterface(*version);
    host.configuration().injectResult(row.component, row.method, kInjected);
    auto context = makeContext();
    auto pageTable = makeHostObject<HostPageTable>(host);
    auto container = makeHostObject<HostViewContainer>(host);
    container->setType(kInjected);
    container->setNativeView(&kNativeView);
    const bool reachesHost = offer == Offer::AllVersions || (offer == Offer::FirstVersionsOnly && row.firstVersion);
    const bool none = offer == Offer::Nothing;
    Proxies proxies(none ? nullptr : context->unknown(), none ? nullptr : pageTable->unknown(),
                    none ? nullptr : container->unknown());
    const auto outsBefore = proxies.outs();
    host.log().clear();

    const Outcome outcome = row.call(proxies);
    EXPECT_EQ(outcome.first, reachesHost ? kInjected : row.missingAnswer);
    const std::vector<HostCall> expected{{row.component, row.interfaceName, row.method, outcome.second}};
    EXPECT_EQ(host.log().all(), reachesHost ? expected : std::vector<HostCall>());
    // Out values are written by the host only (and this host fails); without one, only the automation time
    // stamp is written: 0.
    auto outsExpected = outsBefore;
    if (!reachesHost && std::string(row.name) == "GetCurrentAutomationTimestamp")
        std::get<4>(outsExpected) = 0;
    EXPECT_EQ(proxies.outs(), outsExpected);
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Row, Offer>>& info)
{
    return std::string(std::get<0>(info.param).name) + "_" + kOfferNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, Forwarding,
                         ::testing::Combine(::testing::ValuesIn(kRows),
                                            ::testing::Values(Offer::AllVersions, Offer::FirstVersionsOnly,
                                                              Offer::Nothing)),
                         CaseName);
// Each proxy asks for every version once, in a fixed order, when it is built, and gives every reference
// back when it is destroyed, in a fixed order.
struct LifecycleRow
{
    const char* name;
    std::function<std::shared_ptr<void>(IACFUnknown* context, IACFUnknown* table, IACFUnknown* container)> make;
    std::vector<std::string> queries;  // identifiers asked for
    std::vector<std::string> releases; // interface versions given back
};

const LifecycleRow kLifecycle[] = {
    {"Controller",
     [](IACFUnknown* c, IACFUnknown*, IACFUnknown*) { return std::make_shared<AAX_VController>(c); },
     {"IID_IAAXControllerV1", "IID_IAAXControllerV2", "IID_IAAXControllerV3", "IID_IAAXPageTableController",
      "IID_IAAXPageTableControllerV2", "IID_IACFComponentFactory"},
     {"IACFComponentFactory", "IAAXPageTableControllerV2", "IAAXPageTableControllerV1", "IAAXControllerV3",
      "IAAXControllerV2", "IAAXControllerV1"}},
    {"PageTable",
     [](IACFUnknown*, IACFUnknown* t, IACFUnknown*) { return std::make_shared<AAX_VPageTable>(t); },
     {"IID_IAAXPageTableV1", "IID_IAAXPageTableV2"},
     {"IAAXPageTableV2", "IAAXPageTableV1"}},
    {"Transport",
     [](IACFUnknown* c, IACFUnknown*, IACFUnknown*) { return std::make_shared<AAX_VTransport>(c); },
     {"IID_IAAXTransportV1", "IID_IAAXTransportV2", "IID_IAAXTransportV3"},
     {"IAAXTransportV3", "IAAXTransportV2", "IAAXTransportV1"}},
    {"ViewContainer",
     [](IACFUnknown*, IACFUnknown*, IACFUnknown* v) { return std::make_shared<AAX_VViewContainer>(v); },
     {"IID_IAAXViewContainerV1", "IID_IAAXViewContainerV2"},
     {"IAAXViewContainerV1", "IAAXViewContainerV2"}},
};

std::vector<std::string> Logged(const HostEnvironment& host, int method)
{
    std::vector<std::string> logged;
    for (const HostCall& call : host.log().all())
        if (call.method == method)
            logged.push_back(method == 0 ? call.arguments.at(0) : call.interfaceName);
    return logged;
}

TEST_F(HostTest, ProxiesAskForEveryVersionOnceAndGiveBackEveryReferenceInOrder)
{
    auto context = makeContext();
    auto pageTable = makeHostObject<HostPageTable>(host);
    auto container = makeHostObject<HostViewContainer>(host);
    for (const LifecycleRow& row : kLifecycle)
    {
        host.log().clear();
        auto proxy = row.make(context->unknown(), pageTable->unknown(), container->unknown());
        EXPECT_EQ(Logged(host, 0), row.queries) << row.name;
        host.log().clear();
        proxy.reset();
        EXPECT_EQ(Logged(host, 2), row.releases) << row.name;
    }
}

// A table copy is the host's table behind a proxy, or nothing; whatever fails on the way leaves no table
// behind (the leak check).
struct CopyCase
{
    const char* name;
    const _acfUID* refused;
    AAX_Result copyResult;
    std::vector<std::string> factoryAndCopyCalls;
    int32_t pagesCopied; // -1: no table
};

TEST_F(HostTest, TableCopiesAreTheHostsTableOrNothing)
{
    const CopyCase cases[] = {
        {"copied", nullptr, AAX_SUCCESS, {"ComponentFactory", "PageTableController"}, 1},
        {"copy fails", nullptr, kInjected, {"ComponentFactory", "PageTableController"}, -1},
        {"no page-table controller", &IID_IAAXPageTableController, AAX_SUCCESS, {}, -1},
        {"no component factory", &IID_IACFComponentFactory, AAX_SUCCESS, {"PageTableController without a table"}, -1},
    };
    for (const CopyCase& c : cases)
    {
        host.configuration().injectResult(HostPageTableController::kName, 3, c.copyResult);
        if (c.refused != nullptr)
            host.configuration().refuseInterface(*c.refused);
        auto context = makeContext();
        context->component<HostPageTableController>(HostPageTableController::kName)->source().pages = {{{4, "dbMain"}}};
        AAX_VController controller(context->unknown());
        host.log().clear();
        std::unique_ptr<AAX_IPageTable> table(controller.CreateTableCopyForEffect('Manu', 'Prod', 'Plg1', 7, 24));
        std::vector<std::string> calls;
        for (const HostCall& call : host.log().methodCalls())
            calls.push_back(call.component + (call.arguments.back() == "<null>" ? " without a table" : ""));
        EXPECT_EQ(calls, c.factoryAndCopyCalls) << c.name;
        int32_t pages = -1;
        EXPECT_EQ(table ? table->GetNumPages(pages) : 0, 0) << c.name;
        EXPECT_EQ(pages, c.pagesCopied) << c.name;
        if (c.refused != nullptr)
            host.configuration().offerInterface(*c.refused);
    }
}
} // namespace
