// GoogleTest support for tests that run the plug-in library against the host stand-in. Include only from
// test code (needs GoogleTest).
#pragma once

#include "HostContext.h"
#include "HostEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Calls of the interfaces' own methods (3 and above) that one host component received.
inline std::vector<HostCall> MethodCallsTo(const HostEnvironment& host, const std::string& component)
{
    std::vector<HostCall> calls;
    for (const HostCall& call : host.log().callsTo(component))
        if (call.method >= 3)
            calls.push_back(call);
    return calls;
}

// Assertion failures the host received (host services, method 6), in order.
inline std::vector<HostCall> HostAssertions(const HostEnvironment& host)
{
    std::vector<HostCall> assertions;
    for (const HostCall& call : MethodCallsTo(host, "HostServices"))
        if (call.method == 6)
            assertions.push_back(call);
    return assertions;
}

// Fixture with one host environment. Every host object must be released by the end of the test body
// (hold them as locals); TearDown fails the test for every one still alive.
class HostTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_EQ(host.liveObjects(), std::vector<std::string>()) << "host objects leaked"; }

    HostRef<HostContext> makeContext() { return makeHostObject<HostContext>(host); }

    HostEnvironment host;
};
