// The effect-parameters base driven as an AAX host drives it: initialisation, parameter queries and
// changes confirmed through the host's automation, notifications, coefficient packets, teardown.
#include "AAX_Exception.h"
#include "AAX_UIDs.h"
#include "EffectTestSupport.h"

#include <cmath>
#include <functional>
#include <new>

namespace
{
// The operation's result and what it wrote, as text.
using Answer = std::pair<AAX_Result, std::string>;

struct Query
{
    const char* name;
    std::function<Answer(PluginLikeEffect&)> ask;
    Answer expected;
};

// Takes the number by reference, so it is read after the call that writes it.
template <typename Number>
Answer Text(AAX_Result result, const Number& number)
{
    return {result, std::to_string(number)};
}

Answer NameOfLength(PluginLikeEffect& effect, const char* id, int32_t length)
{
    AAX_CString name("unchanged");
    return {effect.GetParameterNameOfLength(id, &name, length), name.Get()};
}

const Query kQueries[] = {
    {"Count",
     [](PluginLikeEffect& e) {
         int32_t n = 0;
         return Text(e.GetNumberOfParameters(&n), n);
     },
     {0, "4"}},
    {"LastID",
     [](PluginLikeEffect& e) {
         AAX_CString s;
         return Answer{e.GetParameterIDFromIndex(3, &s), s.Get()};
     },
     {0, "MasterBypassID"}},
    {"IDPastTheEnd",
     [](PluginLikeEffect& e) {
         AAX_CString s("x");
         return Answer{e.GetParameterIDFromIndex(4, &s), s.Get()};
     },
     {AAX_ERROR_INVALID_PARAMETER_ID, ""}},
    {"MasterBypass",
     [](PluginLikeEffect& e) {
         AAX_CString s;
         return Answer{e.GetMasterBypassParameter(&s), s.Get()};
     },
     {0, "MasterBypassID"}},
    {"LevelSteps",
     [](PluginLikeEffect& e) {
         int32_t n = 0;
         return Text(e.GetParameterNumberOfSteps("dbMain", &n), n);
     },
     {0, "2048"}},
    {"IndexOfVocal",
     [](PluginLikeEffect& e) {
         int32_t n = 0;
         return Text(e.GetParameterIndex("dbVocal", &n), n);
     },
     {0, "2"}},
    {"NameOfUnknown",
     [](PluginLikeEffect& e) {
         AAX_CString s("x");
         return Answer{e.GetParameterName("nope", &s), s.Get()};
     },
     {0, ""}},
    {"TypeOfUnknown",
     [](PluginLikeEffect& e) {
         AAX_EParameterType t{};
         return Text(e.GetParameterType("nope", &t), 0);
     },
     {AAX_ERROR_INVALID_PARAMETER_ID, "0"}},
    {"NameFitting", [](PluginLikeEffect& e) { return NameOfLength(e, "dbVocal", 20); }, {0, "Vocal Mode"}},
    {"NameShortened", [](PluginLikeEffect& e) { return NameOfLength(e, "dbVocal", 4); }, {0, "Voca"}},
    {"NameCut", [](PluginLikeEffect& e) { return NameOfLength(e, "dbVocal", 3); }, {0, "Voc"}},
    {"NameOfNoLength", [](PluginLikeEffect& e) { return NameOfLength(e, "dbVocal", 0); }, {0, ""}},
    {"NameOfTwoLines",
     [](PluginLikeEffect& e) {
         AAX_IParameter* p = nullptr;
         e.GetParameter("dbMain", &p);
         p->SetName("Level\nLvl");
         p->ClearShortenedNames();
         const Answer four = NameOfLength(e, "dbMain", 4), nine = NameOfLength(e, "dbMain", 9);
         return Answer{four.first + nine.first, four.second + "|" + nine.second};
     },
     {0, "Lvl|Level"}},
    {"ValueFromText",
     [](PluginLikeEffect& e) {
         double v = 0;
         return Text(e.GetParameterValueFromString("dbMain", &v, AAX_CString("0.25")), v);
     },
     {0, "0.250000"}},
    {"ValueFromNoNumber",
     [](PluginLikeEffect& e) {
         double v = 0;
         return Text(e.GetParameterValueFromString("dbMain", &v, AAX_CString("loud")), v);
     },
     {AAX_ERROR_INVALID_STRING_CONVERSION, "0.000000"}},
    {"TextOfValue",
     [](PluginLikeEffect& e) {
         AAX_CString s;
         return Answer{e.GetParameterStringFromValue("dbMain", 0.5, &s, 4), s.Get()};
     },
     {0, "0.50"}},
    {"NoPlaceForTheAnswer",
     [](PluginLikeEffect& e) { return Text(e.GetParameterNormalizedValue("dbMain", nullptr), 0); },
     {AAX_ERROR_NULL_ARGUMENT, "0"}},
    {"SecondChunkIndex",
     [](PluginLikeEffect& e) {
         AAX_CTypeID id = 1;
         return Text(e.GetChunkIDFromIndex(1, &id), id);
     },
     {AAX_ERROR_INVALID_CHUNK_INDEX, "0"}},
};

class EffectQueries : public EffectTest, public ::testing::WithParamInterface<Query>
{
};

TEST_P(EffectQueries, AnswerFromTheRegisteredParameters)
{
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    EXPECT_EQ(GetParam().ask(*effect), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Host, EffectQueries, ::testing::ValuesIn(kQueries),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

class EffectParameters : public EffectTest
{
};

TEST_F(EffectParameters, InitializeRegistersTheParametersWithTheHostAndUninitializeTakesThemBack)
{
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    EXPECT_NE(effect->Controller(), nullptr);
    EXPECT_EQ(automation().registeredParameters(),
              (std::set<std::string>{"dbEnable", "dbMain", "dbVocal", "MasterBypassID"}));
    EXPECT_EQ(effect->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(effect->Controller(), nullptr);
    EXPECT_TRUE(automation().registeredParameters().empty());
    EXPECT_TRUE(HostAssertions(host).empty());
}

TEST_F(EffectParameters, FailingOrThrowingSetUpFailsInitializeWithACode)
{
    const std::pair<std::function<AAX_Result(PluginLikeEffect&)>, AAX_Result> cases[] = {
        {[](PluginLikeEffect&) { return AAX_ERROR_NULL_COMPONENT; }, AAX_ERROR_NULL_COMPONENT},
        {[](PluginLikeEffect&) -> AAX_Result { throw std::bad_alloc(); }, AAX_ERROR_UNKNOWN_EXCEPTION},
        {[](PluginLikeEffect&) -> AAX_Result { throw AAX::Exception::ResultError(AAX_ERROR_ACF_ERROR); },
         AAX_ERROR_ACF_ERROR},
    };
    for (const auto& c : cases)
    {
        effect->init = c.first;
        EXPECT_EQ(initialize(), c.second);
        effect->Uninitialize();
    }
}

TEST_F(EffectParameters, MissingParametersAreReportedAtFixedLinesAndPassedOver)
{
    effect->init = [](PluginLikeEffect& e) {
        e.FilterParameterIDOnSave("a");
        return e.AddParameter("dbMain", "Level", 0.5f, 2048);
    };
    ASSERT_EQ(initialize(), AAX_SUCCESS); // two filtered IDs (the bypass's is empty) for one parameter
    effect->phantomParameters = 1;
    const std::vector<char> record = saveChunk(); // sizes, then writes the chunk
    EXPECT_EQ(asChunk(record)->fSize, 24);
    AAX_CBoolean equal = 0;
    EXPECT_EQ(effect->CompareActiveChunk(asChunk(record), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);

    const std::string file = "Libs/AAXLibrary/source/AAX_CEffectParameters.cpp";
    std::vector<std::vector<std::string>> reported;
    for (HostCall call : HostAssertions(host))
        reported.push_back(
            {call.arguments[0].substr(call.arguments[0].size() - file.size()), call.arguments[1], call.arguments[2]});
    EXPECT_EQ(reported, (std::vector<std::vector<std::string>>{{file, "128", "mNumChunkedParameters >= 0"},
                                                               {file, "815", "NULL != parameter"},
                                                               {file, "815", "NULL != parameter"},
                                                               {file, "667", "NULL != parameter"}}));
}

TEST_F(EffectParameters, ChangesAreRequestedAndCountOnceTheHostConfirmsThem)
{
    const struct
    {
        const char* name;
        std::function<AAX_Result(PluginLikeEffect&)> change;
        AAX_Result result;
        double confirmed;
        int32_t changes;
    } cases[] = {
        {"set", [](PluginLikeEffect& e) { return e.SetParameterNormalizedValue("dbMain", 0.25); }, 0, 0.25, 1},
        {"up", [](PluginLikeEffect& e) { return e.SetParameterNormalizedRelative("dbMain", 0.7); }, 0, 1.0, 1},
        {"down", [](PluginLikeEffect& e) { return e.SetParameterNormalizedRelative("dbMain", -0.7); }, 0, 0.0, 1},
        {"same", [](PluginLikeEffect& e) { return e.SetParameterNormalizedValue("dbMain", 0.5); }, 0, 0.5, 0},
        {"no number", [](PluginLikeEffect& e) { return e.SetParameterNormalizedRelative("dbMain", NAN); },
         AAX_ERROR_INVALID_ARGUMENT, 0.5, 0},
    };
    for (const auto& c : cases)
    {
        ASSERT_EQ(initialize(), AAX_SUCCESS);
        int32_t changesBefore = -1, changes = -1;
        effect->GetNumberOfChanges(&changesBefore);
        EXPECT_EQ(c.change(*effect), c.result) << c.name;
        EXPECT_EQ(value("dbMain"), 0.5) << c.name; // until the host confirms
        confirm();
        effect->GetNumberOfChanges(&changes);
        EXPECT_EQ(value("dbMain"), c.confirmed) << c.name;
        EXPECT_EQ(changes - changesBefore, c.changes) << c.name;
        effect->Uninitialize();
    }
}

TEST_F(EffectParameters, AValueThatIsNoNumberIsRefusedOnceTheIDIsKnown)
{
    const std::function<AAX_Result(AAX_CParamID)> changesToNoNumber[] = {
        [this](AAX_CParamID id) { return effect->SetParameterNormalizedValue(id, NAN); },
        [this](AAX_CParamID id) {
            return effect->UpdateParameterNormalizedValue(id, NAN, AAX_eUpdateSource_Parameter);
        },
        [this](AAX_CParamID id) { return effect->SetParameterDefaultNormalizedValue(id, NAN); },
    };
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    for (const auto& change : changesToNoNumber)
    {
        EXPECT_EQ(change("nope"), AAX_ERROR_INVALID_PARAMETER_ID) << &change - changesToNoNumber;
        EXPECT_EQ(change("dbMain"), AAX_ERROR_INVALID_ARGUMENT) << &change - changesToNoNumber;
    }
    confirm();
    EXPECT_EQ(value("dbMain"), 0.5);
}

TEST_F(EffectParameters, OperationsBuiltOnOthersReachTheOverrides)
{
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    EXPECT_EQ(effect->SetParameterNormalizedRelative("dbMain", 0.1), AAX_SUCCESS);
    EXPECT_EQ(effect->UpdateParameterNormalizedRelative("dbMain", 0.1), AAX_SUCCESS);
    EXPECT_EQ(effect->reached,
              (std::vector<std::string>{"EffectInit", "GetMasterBypassParameter", "GetNumberOfParameters",
                                        "GetParameterNormalizedValue", "SetParameterNormalizedValue",
                                        "GetParameterNormalizedValue", "UpdateParameterNormalizedValue"}));
}

TEST_F(EffectParameters, CoefficientsPostTheBypassOnPortThreeWhenNewOrConfirmed)
{
    const std::pair<double, std::vector<uint8_t>> confirmations[] = {
        {1.0, {0x00, 0x00, 0x80, 0x3F}},
        {0.0, {0, 0, 0, 0}},
        {-INFINITY, {0, 0, 0, 0}},
    };
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS); // new packets start dirty
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS); // nothing changed since
    for (const auto& confirmation : confirmations)
    {
        EXPECT_EQ(effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, confirmation.first,
                                                         AAX_eUpdateSource_Parameter),
                  AAX_SUCCESS);
        EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    }
    // A confirmation that is refused has nothing to post again.
    effect->UpdateParameterNormalizedValue(cDefaultMasterBypassID, NAN, AAX_eUpdateSource_Parameter);
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    const std::vector<HostController::Packet> packets = controller().packets();
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[0].payload, (std::vector<uint8_t>{0, 0, 0, 0}));
    for (size_t index = 0; index < 3; ++index)
    {
        EXPECT_EQ(packets[index + 1].field, 3);
        EXPECT_EQ(packets[index + 1].payload, confirmations[index].second) << confirmations[index].first;
    }
}

// Fills its packet whenever it is called, whatever is left of the effect.
struct AlwaysReadyWorker
{
    int calls = 0;
    AAX_Result Fill(AAX_CPacket& packet)
    {
        ++calls;
        *packet.GetPtr<uint32_t>() = 7;
        return AAX_SUCCESS;
    }
};

TEST_F(EffectParameters, CoefficientsAfterUninitializeAreRefusedUntilTheNextInitialize)
{
    AlwaysReadyWorker worker;
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    const AAX_CPacketHandler<AlwaysReadyWorker> handler(&worker, &AlwaysReadyWorker::Fill);
    ASSERT_EQ(effect->mPacketDispatcher.RegisterPacket("dbMain", 7, &handler), AAX_SUCCESS);
    ASSERT_EQ(effect->Uninitialize(), AAX_SUCCESS);

    // The controller is gone: nothing may be posted through it, and no handler runs.
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(worker.calls, 0);
    EXPECT_TRUE(controller().packets().empty());

    // The packet kept waiting goes out through the next controller, after the bypass.
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    EXPECT_EQ(effect->GenerateCoefficients(), AAX_SUCCESS);
    EXPECT_EQ(worker.calls, 1);
    ASSERT_EQ(controller().packets().size(), 2u);
    EXPECT_EQ(controller().packets()[1].field, 7);
}

TEST_F(EffectParameters, PreviewStateIsReadOnlyWhereItIsWhole)
{
    effect->init = [](PluginLikeEffect& e) { return e.AddParameter(cPreviewID, "Preview", 0.0f, 2); };
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    const std::unique_ptr<uint8_t[]> shortState(new uint8_t[2]{1, 1});
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, nullptr, 4), AAX_SUCCESS);
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, shortState.get(), 2), AAX_SUCCESS);
    EXPECT_EQ(effect->NotificationReceived(AAX_eNotificationEvent_ASPreviewState, shortState.get(), 0), AAX_SUCCESS);
    EXPECT_EQ(effect->NotificationReceived(AAX_FOURCHAR('n', 'o', 'n', 'e'), nullptr, 99), AAX_SUCCESS);
}

TEST_F(EffectParameters, AnswersEveryVersionOfItsInterfaceWithOneObject)
{
    std::vector<void*> answers;
    for (const acfIID* id : {&IID_IAAXEffectParametersV1, &IID_IAAXEffectParametersV2, &IID_IAAXEffectParametersV3,
                             &IID_IAAXEffectParametersV4})
        EXPECT_EQ(effect->QueryInterface(*id, &answers.emplace_back()), ACF_OK);
    EXPECT_EQ(answers, std::vector<void*>(4, static_cast<AAX_IACFEffectParameters_V4*>(effect)));
    for (size_t reference = 4; reference > 0; --reference)
        EXPECT_EQ(effect->Release(), reference); // one for each answer, and the test's own
}
} // namespace
