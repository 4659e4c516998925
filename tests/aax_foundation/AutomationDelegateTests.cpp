// The automation delegate proxy forwards each operation to its host method unchanged, or answers -20004
// when the host has no automation delegate.
#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "AAX_VAutomationDelegate.h"
#include "HostAutomationDelegate.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
struct Operation
{
	const char* name;
	int method;
	std::function<AAX_Result(AAX_VAutomationDelegate&)> call;
	std::vector<std::string> arguments;
};

AAX_CBoolean gTouchState = 7;

const std::vector<Operation>& operations()
{
	static const std::vector<Operation> all = {
		{ "RegisterParameter", 3, [](AAX_VAutomationDelegate& d) { return d.RegisterParameter("dbMain"); }, { "dbMain" } },
		{ "UnregisterParameter", 4, [](AAX_VAutomationDelegate& d) { return d.UnregisterParameter("dbVocal"); }, { "dbVocal" } },
		{ "PostSetValueRequest", 5,
		  [](AAX_VAutomationDelegate& d) { return static_cast<const AAX_VAutomationDelegate&>(d).PostSetValueRequest("dbMain", 0.25); },
		  { "dbMain", "0.25" } },
		{ "PostCurrentValue", 6,
		  [](AAX_VAutomationDelegate& d) { return static_cast<const AAX_VAutomationDelegate&>(d).PostCurrentValue("dbEnable", 1.0); },
		  { "dbEnable", "1" } },
		{ "PostTouchRequest", 7, [](AAX_VAutomationDelegate& d) { return d.PostTouchRequest("dbMain"); }, { "dbMain" } },
		{ "PostReleaseRequest", 8, [](AAX_VAutomationDelegate& d) { return d.PostReleaseRequest("dbMain"); }, { "dbMain" } },
		{ "GetTouchState", 9, [](AAX_VAutomationDelegate& d) { return d.GetTouchState("MasterBypassID", &gTouchState); },
		  { "MasterBypassID", "<pointer>" } },
	};
	return all;
}

class AutomationOperations : public HostTest, public ::testing::WithParamInterface<size_t>
{
protected:
	const Operation& operation() const { return operations().at(GetParam()); }
};

TEST_P(AutomationOperations, ForwardsToItsMethodAndReturnsTheHostResult)
{
	host.configuration().injectResult("AutomationDelegate", operation().method, -30000 - operation().method);
	auto context = makeContext();
	{
		AAX_VAutomationDelegate delegate(context->unknown());
		host.log().clear();
		EXPECT_EQ(operation().call(delegate), -30000 - operation().method);
		EXPECT_EQ(host.log().all(), (std::vector<HostCall> {
		                                { "AutomationDelegate", "IAAXAutomationDelegateV1", operation().method, operation().arguments } }));
		host.log().clear();
	}
	EXPECT_EQ(host.log().all(), (std::vector<HostCall> { { "AutomationDelegate", "IAAXAutomationDelegateV1", 2, {} } }));
}

TEST_P(AutomationOperations, WithoutTheHostInterfaceAnswersNullObject)
{
	host.configuration().refuseInterface(IID_IAAXAutomationDelegateV1);
	auto context = makeContext();
	AAX_VAutomationDelegate refused(context->unknown());
	AAX_VAutomationDelegate fromNull(nullptr);
	gTouchState = 7;
	EXPECT_EQ(operation().call(refused), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(operation().call(fromNull), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(gTouchState, 7);
	EXPECT_TRUE(host.log().methodCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, AutomationOperations, ::testing::Range<size_t>(0, 7),
                         [](const ::testing::TestParamInfo<size_t>& info) { return std::string(operations().at(info.param).name); });

class AutomationDelegate : public HostTest
{
};

TEST_F(AutomationDelegate, AsksTheHostOnceForVersionOne)
{
	auto context = makeContext();
	AAX_VAutomationDelegate delegate(context->unknown());
	EXPECT_EQ(host.log().all(), (std::vector<HostCall> { { "HostContext", "IACFUnknown", 0, { "IID_IAAXAutomationDelegateV1" } } }));
}

TEST_F(AutomationDelegate, TouchStateComesBackFromTheHost)
{
	auto context = makeContext();
	AAX_VAutomationDelegate delegate(context->unknown());
	AAX_CBoolean touched = 9;
	EXPECT_EQ(delegate.RegisterParameter("dbMain"), AAX_SUCCESS);
	EXPECT_EQ(delegate.GetTouchState("dbMain", &touched), AAX_SUCCESS);
	EXPECT_EQ(touched, 0);
	EXPECT_EQ(delegate.PostTouchRequest("dbMain"), AAX_SUCCESS);
	EXPECT_EQ(delegate.GetTouchState("dbMain", &touched), AAX_SUCCESS);
	EXPECT_EQ(touched, 1);
	EXPECT_EQ(delegate.PostReleaseRequest("dbMain"), AAX_SUCCESS);
	EXPECT_EQ(delegate.GetTouchState("dbMain", &touched), AAX_SUCCESS);
	EXPECT_EQ(touched, 0);
	auto* hostDelegate = context->component<HostAutomationDelegate>(HostAutomationDelegate::kName);
	EXPECT_EQ(hostDelegate->registeredParameters(), std::set<std::string> { "dbMain" });
	EXPECT_EQ(delegate.UnregisterParameter("dbMain"), AAX_SUCCESS);
	EXPECT_TRUE(hostDelegate->registeredParameters().empty());
}

TEST_F(AutomationDelegate, EmptyAnswerFromTheHostCountsAsMissing)
{
	host.configuration().answerEmpty(IID_IAAXAutomationDelegateV1);
	auto context = makeContext();
	AAX_VAutomationDelegate delegate(context->unknown());
	EXPECT_EQ(delegate.PostTouchRequest("dbMain"), AAX_ERROR_NULL_OBJECT);
}
} // namespace
