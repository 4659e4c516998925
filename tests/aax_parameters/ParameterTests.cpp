// The parameter object: the set path through the host's automation, tapers and steps at their bounds,
// values that are no numbers, texts and shortened names.
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_VAutomationDelegate.h"
#include "HostTestSupport.h"

#include <functional>
#include <limits>
#include <memory>

namespace
{
using FloatParameter = AAX_CParameter<float>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::unique_ptr<FloatParameter> MakeParameter(const char* id = "dbMain")
{
    return std::make_unique<FloatParameter>(id, AAX_CString("Level"), 0.5f, AAX_CLinearTaperDelegate<float, 0>(),
                                            AAX_CNumberDisplayDelegate<float, 3>(), true);
}

struct ValuePath
{
    const char* name;
    bool withHostAutomation;
    std::function<void(FloatParameter&)> act;
    float value;                           // stored afterwards
    std::vector<HostCall> automationCalls; // what reached the host's automation, registration aside
};

HostCall Automation(int method, std::vector<std::string> arguments)
{
    return {"AutomationDelegate", "IAAXAutomationDelegateV1", method, std::move(arguments)};
}

const std::vector<HostCall> kRequestOfOne = {Automation(7, {"dbMain"}), Automation(5, {"dbMain", "1"}),
                                             Automation(8, {"dbMain"})};

class ParameterValuePaths : public HostTest, public ::testing::WithParamInterface<ValuePath>
{
};

TEST_P(ParameterValuePaths, StoreRequestOrConfirmAsTheHostSees)
{
    auto context = makeContext();
    AAX_VAutomationDelegate automation(context->unknown());
    auto parameter = MakeParameter();
    if (GetParam().withHostAutomation)
        parameter->SetAutomationDelegate(&automation);
    host.log().clear();

    GetParam().act(*parameter);
    float value = -1.0f;
    EXPECT_TRUE(parameter->GetValueAsFloat(&value));
    EXPECT_EQ(value, GetParam().value);
    EXPECT_EQ(MethodCallsTo(host, "AutomationDelegate"), GetParam().automationCalls);
    parameter.reset();
}

const ValuePath kValuePaths[] = {
    {"NewParameterHoldsItsDefault",
     false,
     [](FloatParameter& p) {
         EXPECT_EQ(p.GetNumberOfSteps(), 128u);
         EXPECT_EQ(p.GetType(), AAX_eParameterType_Continuous);
         EXPECT_EQ(p.GetOrientation(), 0);
     },
     0.5f,
     {}},
    {"WithoutHostSetStoresConstrained", false, [](FloatParameter& p) { p.SetNormalizedValue(1.7); }, 1.0f, {}},
    {"WithHostSetIsARequestBetweenTouchAndRelease", true, [](FloatParameter& p) { p.SetNormalizedValue(1.7); }, 0.5f,
     kRequestOfOne},
    {"ConfirmationStoresAndReportsOnce",
     true,
     [](FloatParameter& p) {
         p.UpdateNormalizedValue(0.25);
         p.UpdateNormalizedValue(0.25);
     },
     0.25f,
     {Automation(6, {"dbMain", "0.25"})}},
    {"NewTaperReportsEvenAnUnchangedValue",
     true,
     [](FloatParameter& p) {
         AAX_CLinearTaperDelegate<float, 0> sameTaper(0.0f, 1.0f);
         p.SetTaperDelegate(sameTaper, false);
     },
     0.5f,
     {Automation(6, {"dbMain", "0.5"})}},
    {"NewTaperKeepsTheNormalizedPosition",
     false,
     [](FloatParameter& p) {
         AAX_CLinearTaperDelegate<float, 0> narrower(0.0f, 0.25f);
         p.SetTaperDelegate(narrower, false);
     },
     0.125f,
     {}},
    {"OrTheRealValueWhenAsked",
     false,
     [](FloatParameter& p) {
         AAX_CLinearTaperDelegate<float, 0> narrower(0.0f, 0.25f);
         p.SetTaperDelegate(narrower, true);
     },
     0.25f,
     {}},
    {"TextWithoutHostStores", false, [](FloatParameter& p) { EXPECT_TRUE(p.SetValueFromString("0.25")); }, 0.25f, {}},
    {"TextWithoutNumberChangesNothing",
     true,
     [](FloatParameter& p) { EXPECT_FALSE(p.SetValueFromString("loud")); },
     0.5f,
     {}},
    {"StepsRequestTheirValue", true,
     [](FloatParameter& p) {
         p.SetNumberOfSteps(2);
         p.SetStepValue(1);
     },
     0.5f, kRequestOfOne},
    {"InfinityRequestsTheTop", true, [](FloatParameter& p) { EXPECT_TRUE(p.SetValueWithFloat(INFINITY)); }, 0.5f,
     kRequestOfOne},
    {"NoNumberIsNeitherRequested",
     true,
     [](FloatParameter& p) {
         EXPECT_FALSE(p.SetValueWithFloat(NAN));
         p.SetNormalizedValue(kNaN);
     },
     0.5f,
     {}},
    {"NorConfirmed", true, [](FloatParameter& p) { p.UpdateNormalizedValue(kNaN); }, 0.5f, {}},
    {"NorStoredWithoutHost",
     false,
     [](FloatParameter& p) {
         p.SetNormalizedDefaultValue(kNaN);
         p.SetToDefaultValue();
         p.UpdateNormalizedValue(kNaN);
     },
     0.5f,
     {}},
    {"NegativeInfinityConfirmsTheBottom",
     true,
     [](FloatParameter& p) { p.UpdateNormalizedValue(-kInfinity); },
     0.0f,
     {Automation(6, {"dbMain", "0"})}},
};
INSTANTIATE_TEST_SUITE_P(Paths, ParameterValuePaths, ::testing::ValuesIn(kValuePaths),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ParameterSteps, MapBothWaysAtTheirBounds)
{
    const struct
    {
        uint32_t steps;
        double normalized;
        uint32_t stepOfNormalized, step;
        double normalizedOfStep;
    } cases[] = {
        {2, 0.49, 0, 1, 1.0},
        {2, 0.5, 1, 0, 0.0},
        {2, kNaN, 0, 7, 1.0},
        {2048, 1.0, 2047, 2047, 1.0},
        {2048, kInfinity, 2047, 1, 1.0 / 2047},
        {2048, -kInfinity, 0, 4096, 1.0},
        {1, 1.0, 0, 1, 0.0},
    };
    for (const auto& c : cases)
    {
        auto parameter = MakeParameter();
        parameter->SetNumberOfSteps(c.steps);
        EXPECT_EQ(parameter->GetStepValueFromNormalizedValue(c.normalized), c.stepOfNormalized)
            << c.steps << " " << c.normalized;
        EXPECT_EQ(parameter->GetNormalizedValueFromStep(c.step), c.normalizedOfStep) << c.steps << " " << c.step;
    }
}

TEST(ParameterTaper, ConstrainsRealValuesToItsRange)
{
    struct
    {
        float minimum, maximum;
        double normalized;
        float real;
        double normalizedOfReal;
    } cases[] = {
        {0.0f, 1.0f, 1.7, 1.0f, 1.0},   {0.0f, 1.0f, -0.3, 0.0f, 0.0}, {0.0f, 1.0f, kInfinity, 1.0f, 1.0},
        {-12.0f, 3.0f, 0.8, 0.0f, 0.8}, {2.0f, 2.0f, 0.9, 2.0f, 0.5},  {2.0f, 2.0f, kInfinity, 2.0f, 0.5},
    };
    for (const auto& c : cases)
    {
        const AAX_CLinearTaperDelegate<float, 0> taper(c.minimum, c.maximum);
        EXPECT_EQ(taper.NormalizedToReal(c.normalized), c.real)
            << c.minimum << ".." << c.maximum << " " << c.normalized;
        EXPECT_DOUBLE_EQ(taper.RealToNormalized(c.real), c.normalizedOfReal) << c.minimum << ".." << c.maximum;
    }
}

TEST(ParameterText, ShowsThreeDecimalsCutToTheRoomGiven)
{
    const std::pair<int32_t, const char*> cases[] = {{100, "0.500"}, {4, "0.50"}, {2, "0"}, {0, ""}, {-3, ""}};
    auto parameter = MakeParameter();
    AAX_CString text;
    EXPECT_TRUE(parameter->GetValueString(&text) && text == AAX_CString("0.500")) << text.Get();
    for (const auto& c : cases)
        EXPECT_TRUE(parameter->GetValueString(c.first, &text) && text == AAX_CString(c.second))
            << c.first << ": " << text.Get();
    EXPECT_FALSE(parameter->GetStringFromNormalizedValue(kNaN, text));
}

TEST(ParameterNames, TheLongestThatFitsOrElseTheShortest)
{
    const std::pair<int32_t, const char*> cases[] = {{10, "Level"}, {-1, "Level"}, {4, "Lvl"}, {3, "Lvl"},
                                                     {2, "L"},      {1, "L"},      {0, "L"}};
    auto parameter = MakeParameter();
    parameter->AddShortenedName("Lvl");
    parameter->AddShortenedName("L");
    for (const auto& c : cases)
        EXPECT_STREQ(parameter->ShortenedName(c.first).Get(), c.second) << c.first;
}

class ParameterAssertions : public HostTest
{
};

TEST_F(ParameterAssertions, ReportTheirFixedLinesAndCarryOn)
{
    auto context = makeContext();
    AAX_CHostServices::Set(context->unknown());
    auto parameter = MakeParameter("aVeryLongParameterIdentifierOf40Chars!!");
    parameter->SetNumberOfSteps(0);
    AAX_CHostServices::Set(nullptr);

    EXPECT_STREQ(parameter->Identifier(), "aVeryLongParameterIdentifierOf4");
    EXPECT_EQ(parameter->GetNumberOfSteps(), 128u);
    std::vector<std::vector<std::string>> reported;
    for (HostCall call : HostAssertions(host))
        reported.push_back({call.arguments[0].substr(call.arguments[0].rfind("Interfaces/")), call.arguments[1],
                            call.arguments[2], call.arguments[3]});
    EXPECT_EQ(reported, (std::vector<std::vector<std::string>>{
                            {"Interfaces/AAX_CParameter.h", "194", "len < eParemeterDefaultMaxIdentifierSize", "1"},
                            {"Interfaces/AAX_CParameter.h", "834", "0 < numSteps", "1"}}));
}
} // namespace
