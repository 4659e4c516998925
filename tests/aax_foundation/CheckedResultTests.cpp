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
		context = makeContext();
		AAX_CHostServices::Set(context->unknown());
		host.log().clear();
	}
	void TearDown() override
	{
		AAX_CHostServices::Set(nullptr);
		context.reset();
		HostTest::TearDown();
	}

	HostCall throwingTrace(const std::string& what) const
	{
		return { "HostServices", "IAAXHostServicesV1", 4, { "67108864", "AAX_CheckedResult - throwing " + what } };
	}

	HostRef<HostContext> context;
};

TEST_F(CheckedResult, SuccessNeitherTracesNorThrows)
{
	AAX_CheckedResult result(AAX_SUCCESS);
	result = AAX_SUCCESS;
	AAX_CheckedResult defaulted;
	EXPECT_EQ(result.Result(), AAX_SUCCESS);
	EXPECT_EQ(result.LastError(), AAX_SUCCESS);
	EXPECT_EQ(defaulted.Result(), AAX_SUCCESS);
	EXPECT_TRUE(host.log().methodCalls().empty());
}

TEST_F(CheckedResult, ConstructionFromAFailureTracesThenThrows)
{
	try
	{
		AAX_CheckedResult result(AAX_ERROR_NULL_OBJECT);
		FAIL() << "no exception";
	}
	catch (const AAX::Exception::ResultError& error)
	{
		EXPECT_EQ(error.Result(), -20004);
		EXPECT_EQ(error.What(), "AAX_ERROR_NULL_OBJECT (-20004)");
		EXPECT_EQ(error.Function(), "");
		EXPECT_EQ(error.Line(), "");
	}
	EXPECT_EQ(host.log().methodCalls(), std::vector<HostCall> { throwingTrace("AAX_ERROR_NULL_OBJECT (-20004)") });
}

TEST_F(CheckedResult, AssignedFailureLeavesZeroAndRemembersTheError)
{
	AAX_CheckedResult result;
	EXPECT_THROW(result = -20700, AAX::Exception::ResultError);
	EXPECT_EQ(result.Result(), AAX_SUCCESS);
	EXPECT_EQ(result.LastError(), -20700);
	EXPECT_EQ(host.log().methodCalls(), std::vector<HostCall> { throwingTrace("plug-in defined error (-20700)") });

	// Usable again afterwards; the last error stays until the next failure.
	result = AAX_SUCCESS;
	EXPECT_EQ(result.LastError(), -20700);
	EXPECT_THROW(result = 7, AAX::Exception::ResultError);
	EXPECT_EQ(result.LastError(), 7);
}

TEST_F(CheckedResult, ThrowsEvenWithoutHostServices)
{
	AAX_CHostServices::Set(nullptr);
	host.log().clear();
	EXPECT_THROW(AAX_CheckedResult { AAX_ERROR_UNIMPLEMENTED }, AAX::Exception::ResultError);
	EXPECT_TRUE(host.log().all().empty());
}

TEST_F(CheckedResult, AcceptedResultsPassUntilReset)
{
	AAX_CheckedResult result;
	result.AddAcceptedResult(AAX_RESULT_NEW_PACKET_POSTED);
	result = AAX_RESULT_NEW_PACKET_POSTED;
	EXPECT_EQ(result.Result(), AAX_RESULT_NEW_PACKET_POSTED);
	EXPECT_EQ(result.LastError(), AAX_SUCCESS);
	EXPECT_TRUE(host.log().methodCalls().empty());

	result.ResetAcceptedResults();
	EXPECT_THROW(result.Check(), AAX::Exception::ResultError);
	EXPECT_EQ(result.LastError(), AAX_RESULT_NEW_PACKET_POSTED);
	EXPECT_EQ(result.Result(), AAX_SUCCESS);

	// Resetting keeps success accepted.
	result.ResetAcceptedResults();
	EXPECT_NO_THROW(result.Check());
	EXPECT_NO_THROW(result = AAX_SUCCESS);
}

TEST_F(CheckedResult, ConstructionStartsWithOnlySuccessAccepted)
{
	AAX_CheckedResult first;
	first.AddAcceptedResult(-20700);
	first = -20700;
	// A new checked result does not share the other's accepted set.
	EXPECT_THROW(AAX_CheckedResult { -20700 }, AAX::Exception::ResultError);
	EXPECT_EQ(first.Result(), -20700);
}
} // namespace
