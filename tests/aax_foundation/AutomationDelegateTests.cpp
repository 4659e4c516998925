// The automation delegate proxy: each operation, its host method, arguments and result unchanged, and -20004
// without calling anything when the host has no automation delegate.
#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "AAX_VAutomationDelegate.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
AAX_CBoolean gTouchState = 7;

struct Operation
{
    const char* name;
    int method;
    std::function<AAX_Result(AAX_VAutomationDelegate&)> call;
    std::vector<std::string> arguments;
};

void PrintTo(const Operation& operation, std::ostream* stream)
{
    *stream << operation.name;
}

#define CALL(operation) [](AAX_VAutomationDelegate& d) { return d.operation; }
const Operation kOperations[] = {
    {"RegisterParameter", 3, CALL(RegisterParameter("dbMain")), {"dbMain"}},
    {"UnregisterParameter", 4, CALL(UnregisterParameter("dbVocal")), {"dbVocal"}},
    {"PostSetValueRequest", 5, CALL(PostSetValueRequest("dbMain", 0.25)), {"dbMain", "0.25"}},
    {"PostCurrentValue", 6, CALL(PostCurrentValue("dbEnable", 1.0)), {"dbEnable", "1"}},
    {"PostTouchRequest", 7, CALL(PostTouchRequest("dbMain")), {"dbMain"}},
    {"PostReleaseRequest", 8, CALL(PostReleaseRequest("dbMain")), {"dbMain"}},
    {"GetTouchState", 9, CALL(GetTouchState("MasterBypassID", &gTouchState)), {"MasterBypassID", "<pointer>"}},
};
#undef CALL

class AutomationDelegate : public HostTest, public ::testing::WithParamInterface<Operation>
{
};

TEST_P(AutomationDelegate, ForwardsToItsHostMethodWithArgumentsAndResultUnchanged)
{
    const Operation& operation = GetParam();
    host.configuration().injectResult("AutomationDelegate", operation.method, -30000 - operation.method);
    auto context = makeContext();
    {
        AAX_VAutomationDelegate delegate(context->unknown());
        EXPECT_EQ(operation.call(delegate), -30000 - operation.method);
    }
    EXPECT_EQ(host.log().all(),
              (std::vector<HostCall>{
                  {"HostContext", "IACFUnknown", 0, {"IID_IAAXAutomationDelegateV1"}},
                  {"AutomationDelegate", "IAAXAutomationDelegateV1", operation.method, operation.arguments},
                  {"AutomationDelegate", "IAAXAutomationDelegateV1", 2, {}}}));
}

TEST_P(AutomationDelegate, AnswersNullObjectWithoutTheHostInterface)
{
    host.configuration().refuseInterface(IID_IAAXAutomationDelegateV1);
    auto context = makeContext();
    AAX_VAutomationDelegate refused(context->unknown());
    AAX_VAutomationDelegate fromNull(nullptr);
    gTouchState = 7;
    EXPECT_EQ(GetParam().call(refused), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(GetParam().call(fromNull), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(gTouchState, 7);
    EXPECT_TRUE(host.log().methodCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, AutomationDelegate, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& row) { return std::string(row.param.name); });
} // namespace
