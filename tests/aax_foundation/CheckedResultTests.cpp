// AAX_CheckedResult: accepted results pass silently; anything else is traced to the host and thrown.
#include "AAX_CHostServices.h"
#include "AAX_Exception.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

namespace
{
class CheckedResult : public HostTest
{
protected:
    void SetUp() override
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
    // The trace that precedes each exception, at 0x04000000.
    std::vector<HostCall> traceOf(const std::string& what) const
    {
        return {{"HostServices", "IAAXHostServicesV1", 4, {"67108864", "AAX_CheckedResult - throwing " + what}}};
    }

    HostRef<HostContext> context = makeContext();
};

TEST_F(CheckedResult, SuccessAndAcceptedResultsNeitherTraceNorThrow)
{
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
    EXPECT_EQ(host.log().methodCalls(), traceOf("AAX_ERROR_NULL_OBJECT (-20004)"));
    host.log().clear();
    AAX_CheckedResult assigned;
    EXPECT_THROW(assigned = -20700, AAX::Exception::ResultError);
    EXPECT_EQ(assigned.Result(), AAX_SUCCESS);
    EXPECT_EQ(assigned.LastError(), -20700);
    EXPECT_EQ(host.log().methodCalls(), traceOf("plug-in defined error (-20700)"));
    AAX_CHostServices::Set(nullptr);
    EXPECT_THROW(AAX_CheckedResult{AAX_ERROR_UNIMPLEMENTED}, AAX::Exception::ResultError); // without a host too
}
} // namespace
