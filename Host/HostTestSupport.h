// GoogleTest support for tests that run the plug-in library against the host stand-in. Include only from
// test code (needs GoogleTest).
#pragma once

#include "HostContext.h"
#include "HostEnvironment.h"

#include <gtest/gtest.h>

// Fixture with one host environment. Every host object must be released by the end of the test body
// (hold them as locals); TearDown fails the test for every one still alive.
class HostTest : public ::testing::Test
{
protected:
	void TearDown() override
	{
		EXPECT_EQ(host.liveObjects(), std::vector<std::string>()) << "host objects leaked";
	}

	HostRef<HostContext> makeContext() { return makeHostObject<HostContext>(host); }

	HostEnvironment host;
};
