// Host services: the proxy against hosts offering every subset of versions 1 to 3, the process-wide facade
// that installs it, tracing and assertions; and AAX_CheckedResult, which traces every result it throws.
#include "AAX_Assert.h"
#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
#include "AAX_Exception.h"
#include "AAX_UIDs.h"
#include "AAX_VHostServices.h"
#include "HostServices.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace
{
const std::string kHigh = "134217728";  // 0x08000000
const std::string kNormal = "67108864"; // 0x04000000

class HostServicesVersions : public HostTest, public ::testing::WithParamInterface<int>
{
protected:
    bool offers(int version) const { return (GetParam() >> (version - 1)) & 1; }
};

TEST_P(HostServicesVersions, EachVersionIsAskedForOnceUsedByItsOperationAndReleasedNewestFirst)
{
    const _acfUID* const versions[] = {&IID_IAAXHostServicesV1, &IID_IAAXHostServicesV2, &IID_IAAXHostServicesV3};
    const std::vector<HostCall> uses = {{"HostServices", "IAAXHostServicesV1", 4, {kHigh, "a trace"}},
                                        {"HostServices", "IAAXHostServicesV2", 5, {kNormal, kHigh, "stack"}},
                                        {"HostServices", "IAAXHostServicesV3", 6, {"f.cpp", "128", "x >= 0", "1"}}};
    std::vector<HostCall> expected = {{"HostContext", "IACFUnknown", 0, {"IID_IACFComponentFactory"}}};
    for (size_t i = 0; i < 3; ++i)
    {
        if (!offers(int(i) + 1))
            host.configuration().refuseInterface(*versions[i]);
        host.configuration().injectResult("HostServices", uses[i].method, -uses[i].method);
        const HostCall create{"ComponentFactory",
                              "IACFComponentFactory",
                              3,
                              {"AAXCompID_HostServices", "<null>", "IID_" + uses[i].interfaceName}};
        expected.push_back(create);
    }
    expected.push_back({"ComponentFactory", "IACFComponentFactory", 2, {}});
    auto context = makeContext();
    {
        AAX_VHostServices services(context->unknown());
        EXPECT_EQ(services.Trace(0x08000000, "a trace"), offers(1) ? -4 : AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ(services.StackTrace(0x04000000, 0x08000000, "stack"), offers(2) ? -5 : AAX_ERROR_UNIMPLEMENTED);
        EXPECT_EQ(services.HandleAssertFailure("f.cpp", 128, "x >= 0", 1), offers(3) ? -6 : AAX_ERROR_NULL_OBJECT);
    }
    for (size_t i = 0; i < 3; ++i)
        if (offers(int(i) + 1))
            expected.push_back(uses[i]);
    for (size_t i = 3; i-- > 0;)
        if (offers(int(i) + 1))
            expected.push_back({"HostServices", uses[i].interfaceName, 2, {}});
    EXPECT_EQ(host.log().all(), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryVersionSubset, HostServicesVersions, ::testing::Range(0, 8));

class HostServicesFacade : public HostTest
{
protected:
    void install()
    {
        AAX_CHostServices::Set(context->unknown());
        host.log().clear();
    }
    void TearDown() override
    {
        AAX_CHostServices::Set(nullptr);
        context.reset();
        HostTest::TearDown();
    }
    HostRef<HostContext> context = makeContext();
};

TEST_F(HostServicesFacade, NothingInstalledAnswersZeroWithoutFormatting)
{
    // Neither would survive formatting: a character the C locale cannot convert, an invalid pointer.
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%ls", L"\u00e9"), AAX_SUCCESS);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s", reinterpret_cast<const char*>(16)), 0);
    EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("f", 1, "c", 1), AAX_SUCCESS);
}

TEST_F(HostServicesFacade, TracesAreCutAt511CharactersAndUnformattableOnesAreNotSent)
{
    host.configuration().injectResult("HostServices", 4, -20700);
    install();
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "%s", std::string(600, 'm').c_str()), -20700);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "value %d of %s", 3, "dbMain"), -20700);
    EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%ls", L"\u00e9"), -20051);
    EXPECT_EQ(host.log().methodCalls(),
              (std::vector<HostCall>{{"HostServices", "IAAXHostServicesV1", 4, {kNormal, std::string(511, 'm')}},
                                     {"HostServices", "IAAXHostServicesV1", 4, {kHigh, "value 3 of dbMain"}}}));
}

TEST_F(HostServicesFacade, AnAssertionReportsFileLineConditionAndFlagsAndCarriesOn)
{
    install();
    const int value = 3;
    AAX_ASSERT(value > 0);
    AAX_ASSERT(value < 0);
    const int line = __LINE__ - 1;
    EXPECT_EQ(host.log().methodCalls(),
              (std::vector<HostCall>{
                  {"HostServices", "IAAXHostServicesV3", 6, {__FILE__, std::to_string(line), "value < 0", "1"}}}));
}

TEST_F(HostServicesFacade, ASecondInstallKeepsTheFirstUntilRemoved)
{
    HostEnvironment secondHost;
    auto second = makeHostObject<HostContext>(secondHost);
    install();
    AAX_CHostServices::Set(second->unknown());
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "to the first");
    AAX_CHostServices::Set(nullptr);
    AAX_CHostServices::Set(second->unknown());
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "to the second");
    AAX_CHostServices::Set(nullptr);
    EXPECT_EQ(host.log().methodCalls().size(), 1u);
    EXPECT_EQ(host.log().methodCalls().at(0).arguments.at(1), "to the first");
    EXPECT_EQ(secondHost.log().methodCalls().back().arguments.at(1), "to the second");
    second.reset();
}

// Accepted results pass silently; anything else is traced to the host at 0x04000000 and thrown.
using CheckedResult = HostServicesFacade;

std::vector<HostCall> CheckedResultTrace(const std::string& what)
{
    return {{"HostServices", "IAAXHostServicesV1", 4, {kNormal, "AAX_CheckedResult - throwing " + what}}};
}

TEST_F(CheckedResult, SuccessAndAcceptedResultsNeitherTraceNorThrow)
{
    install();
    AAX_CheckedResult result(AAX_SUCCESS);
    result.AddAcceptedResult(AAX_RESULT_NEW_PACKET_POSTED);
    result = AAX_RESULT_NEW_PACKET_POSTED;
    EXPECT_EQ(result.Result(), AAX_RESULT_NEW_PACKET_POSTED);
    EXPECT_EQ(result.LastError(), AAX_SUCCESS);
    EXPECT_TRUE(host.log().methodCalls().empty());
    EXPECT_THROW(AAX_CheckedResult{AAX_RESULT_NEW_PACKET_POSTED}, AAX::Exception::ResultError); // not shared
    result.ResetAcceptedResults();
    EXPECT_THROW(result.Check(), AAX::Exception::ResultError);
    EXPECT_NO_THROW(result = AAX_SUCCESS); // success stays accepted
}

TEST_F(CheckedResult, AFailureIsTracedThenThrownAndRemembered)
{
    install();
    try
    {
        AAX_CheckedResult constructed(AAX_ERROR_NULL_OBJECT);
        FAIL() << "no exception";
    }
    catch (const AAX::Exception::ResultError& error)
    {
        EXPECT_EQ(error.Result(), AAX_ERROR_NULL_OBJECT);
        EXPECT_EQ(error.What(), "AAX_ERROR_NULL_OBJECT (-20004)");
    }
    EXPECT_EQ(host.log().methodCalls(), CheckedResultTrace("AAX_ERROR_NULL_OBJECT (-20004)"));
    host.log().clear();
    AAX_CheckedResult assigned;
    EXPECT_THROW(assigned = -20700, AAX::Exception::ResultError);
    EXPECT_EQ(assigned.Result(), AAX_SUCCESS);
    EXPECT_EQ(assigned.LastError(), -20700);
    EXPECT_EQ(host.log().methodCalls(), CheckedResultTrace("plug-in defined error (-20700)"));
    AAX_CHostServices::Set(nullptr);
    EXPECT_THROW(AAX_CheckedResult{AAX_ERROR_UNIMPLEMENTED}, AAX::Exception::ResultError); // without a host too
}
} // namespace
