// Support for the registration tests: the description routine the library calls (each test supplies its
// own), the host's traces and calls as data, and a fixture with a host context.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_Errors.h"
#include "AAX_ICollection.h"
#include "AAX_Init.h"
#include "HostDescriptionSupport.h"
#include "HostTestSupport.h"

#include <functional>
#include <string>
#include <vector>

// The routine GetEffectDescriptions runs (empty: describe nothing and return 0).
void SetDescriptionRoutine(std::function<AAX_Result(AAX_ICollection*)> routine);

// Procedures that do nothing, for registrations: only their addresses matter.
inline void ProcessProc(void* const[], const void*) {}
inline int32_t InstanceInitProc(const void*, AAX_EComponentInstanceInitAction)
{
    return 0;
}
inline int32_t BackgroundProc()
{
    return 0;
}

inline const std::string kFailurePriority = "134217728";      // 0x08000000
inline const std::string kCheckedResultPriority = "67108864"; // 0x04000000

// {priority, message} of each trace the host received, in order.
inline std::vector<std::vector<std::string>> HostTraces(const HostEnvironment& host)
{
    std::vector<std::vector<std::string>> traces;
    for (const HostCall& call : MethodCallsTo(host, "HostServices"))
        if (call.method == 4)
            traces.push_back(call.arguments);
    return traces;
}

template <class T>
size_t LiveCount(const HostEnvironment& host)
{
    return host.objectsOfType<T>().size();
}

// A host context; startHostServices() installs the host's services through the start-up entry point, and
// the fixture takes both down before the leak check.
class DescriptionTest : public HostTest
{
protected:
    void SetUp() override { SetDescriptionRoutine(nullptr); }
    void TearDown() override
    {
        AAXShutdown(nullptr);
        SetDescriptionRoutine(nullptr);
        context.reset();
        HostTest::TearDown();
    }
    void startHostServices() { ASSERT_EQ(AAXStartup(context->unknown()), 0); }

    HostRef<HostContext> context = makeContext();
};
