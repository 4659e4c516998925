// Host services: the proxy against hosts offering every subset of versions 1 to 3, the process-wide facade
// (install, keep, remove, tracing rules) and assertions.
#include "AAX_Assert.h"
#include "AAX_CHostServices.h"
#include "AAX_Errors.h"
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
const std::string kHighPriority = "134217728";  // 0x08000000
const std::string kNormalPriority = "67108864"; // 0x04000000

struct VersionSet
{
	bool v1, v2, v3;
};

std::string describe(const VersionSet& versions)
{
	std::string text;
	if (versions.v1)
		text += "V1";
	if (versions.v2)
		text += "V2";
	if (versions.v3)
		text += "V3";
	return text.empty() ? "none" : text;
}

class HostServicesVersions : public HostTest, public ::testing::WithParamInterface<VersionSet>
{
protected:
	void SetUp() override
	{
		if (!GetParam().v1)
			host.configuration().refuseInterface(IID_IAAXHostServicesV1);
		if (!GetParam().v2)
			host.configuration().refuseInterface(IID_IAAXHostServicesV2);
		if (!GetParam().v3)
			host.configuration().refuseInterface(IID_IAAXHostServicesV3);
	}
};

TEST_P(HostServicesVersions, ConstructionAsksTheFactoryForEachVersionOnce)
{
	auto context = makeContext();
	{
		AAX_VHostServices services(context->unknown());
		const std::vector<HostCall> expected = {
			{ "HostContext", "IACFUnknown", 0, { "IID_IACFComponentFactory" } },
			{ "ComponentFactory", "IACFComponentFactory", 3, { "AAXCompID_HostServices", "<null>", "IID_IAAXHostServicesV1" } },
			{ "ComponentFactory", "IACFComponentFactory", 3, { "AAXCompID_HostServices", "<null>", "IID_IAAXHostServicesV2" } },
			{ "ComponentFactory", "IACFComponentFactory", 3, { "AAXCompID_HostServices", "<null>", "IID_IAAXHostServicesV3" } },
			{ "ComponentFactory", "IACFComponentFactory", 2, {} },
		};
		EXPECT_EQ(host.log().all(), expected);
		// One host-services component per version offered, each held once by the proxy.
		EXPECT_EQ(host.objectsOfType<HostServices>().size(),
		          size_t(GetParam().v1) + size_t(GetParam().v2) + size_t(GetParam().v3));
		host.log().clear();
	}
	// Destruction releases the newest version first.
	std::vector<HostCall> releases;
	if (GetParam().v3)
		releases.push_back({ "HostServices", "IAAXHostServicesV3", 2, {} });
	if (GetParam().v2)
		releases.push_back({ "HostServices", "IAAXHostServicesV2", 2, {} });
	if (GetParam().v1)
		releases.push_back({ "HostServices", "IAAXHostServicesV1", 2, {} });
	EXPECT_EQ(host.log().all(), releases);
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty());
}

TEST_P(HostServicesVersions, EachOperationReachesItsVersionOrAnswersTheFixedValue)
{
	host.configuration().injectResult("HostServices", 4, -11);
	host.configuration().injectResult("HostServices", 5, -12);
	host.configuration().injectResult("HostServices", 6, -13);
	auto context = makeContext();
	AAX_VHostServices services(context->unknown());
	host.log().clear();

	EXPECT_EQ(services.Trace(0x08000000, "a trace"), GetParam().v1 ? -11 : AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(services.StackTrace(0x04000000, 0x08000000, "a stack trace"), GetParam().v2 ? -12 : AAX_ERROR_UNIMPLEMENTED);
	EXPECT_EQ(services.HandleAssertFailure("/src/file.cpp", 128, "x >= 0", 1), GetParam().v3 ? -13 : AAX_ERROR_NULL_OBJECT);

	std::vector<HostCall> expected;
	if (GetParam().v1)
		expected.push_back({ "HostServices", "IAAXHostServicesV1", 4, { kHighPriority, "a trace" } });
	if (GetParam().v2)
		expected.push_back({ "HostServices", "IAAXHostServicesV2", 5, { kNormalPriority, kHighPriority, "a stack trace" } });
	if (GetParam().v3)
		expected.push_back({ "HostServices", "IAAXHostServicesV3", 6, { "/src/file.cpp", "128", "x >= 0", "1" } });
	EXPECT_EQ(host.log().all(), expected);
}

TEST_P(HostServicesVersions, FacadeTracesAndAssertsThroughTheInstalledProxy)
{
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	host.log().clear();

	const AAX_Result traced = AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "value %d of %s", 3, "dbMain");
	const AAX_Result asserted = AAX_CHostServices::HandleAssertFailure("file.cpp", 7, "0 < numSteps", 1);
	AAX_CHostServices::Set(nullptr);

	EXPECT_EQ(traced, GetParam().v1 ? AAX_SUCCESS : AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(asserted, GetParam().v3 ? AAX_SUCCESS : AAX_ERROR_NULL_OBJECT);
	std::vector<HostCall> calls = host.log().methodCalls();
	std::vector<HostCall> expected;
	if (GetParam().v1)
		expected.push_back({ "HostServices", "IAAXHostServicesV1", 4, { kHighPriority, "value 3 of dbMain" } });
	if (GetParam().v3)
		expected.push_back({ "HostServices", "IAAXHostServicesV3", 6, { "file.cpp", "7", "0 < numSteps", "1" } });
	EXPECT_EQ(calls, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryVersionSubset, HostServicesVersions,
                         ::testing::Values(VersionSet { false, false, false }, VersionSet { true, false, false },
                                           VersionSet { false, true, false }, VersionSet { false, false, true },
                                           VersionSet { true, true, false }, VersionSet { true, false, true },
                                           VersionSet { false, true, true }, VersionSet { true, true, true }),
                         [](const ::testing::TestParamInfo<VersionSet>& info) { return describe(info.param); });

class HostServicesFacade : public HostTest
{
protected:
	void TearDown() override
	{
		AAX_CHostServices::Set(nullptr);
		HostTest::TearDown();
	}
};

TEST_F(HostServicesFacade, NothingInstalledDoesNothingAndFormatsNothing)
{
	AAX_CHostServices::Set(nullptr);
	// Neither would survive formatting: a wide character the C locale cannot convert, an invalid pointer.
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%ls", L"\u00e9"), AAX_SUCCESS);
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%s", reinterpret_cast<const char*>(16)), AAX_SUCCESS);
	EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("f", 1, "c", 1), AAX_SUCCESS);
}

TEST_F(HostServicesFacade, LongMessagesAreCutAt511Characters)
{
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	host.log().clear();

	const std::string message(600, 'm');
	const std::string exact(511, 'e');
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "%s", message.c_str()), AAX_SUCCESS);
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "%s", exact.c_str()), AAX_SUCCESS);
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "%s!", exact.c_str()), AAX_SUCCESS);
	AAX_CHostServices::Set(nullptr);

	const std::vector<HostCall> calls = host.log().methodCalls();
	ASSERT_EQ(calls.size(), 3u);
	EXPECT_EQ(calls[0].arguments.at(1), std::string(511, 'm'));
	EXPECT_EQ(calls[1].arguments.at(1), exact);
	EXPECT_EQ(calls[2].arguments.at(1), exact);
}

TEST_F(HostServicesFacade, FormattingFailureAnswersWithoutCallingTheHost)
{
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	host.log().clear();

	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "%ls", L"\u00e9"), -20051);
	const char* const noFormat = nullptr;
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, noFormat), -20051);
	AAX_CHostServices::Set(nullptr);
	EXPECT_TRUE(host.log().methodCalls().empty());
}

TEST_F(HostServicesFacade, HostResultsComeBackUnchanged)
{
	host.configuration().injectResult("HostServices", 4, -20700);
	host.configuration().injectResult("HostServices", 6, 3);
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "x"), -20700);
	EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("f", 2, "c", 1), 3);
	AAX_CHostServices::Set(nullptr);
}

TEST_F(HostServicesFacade, SecondInstallKeepsTheFirstUntilRemoved)
{
	HostEnvironment secondHost;
	auto first = makeContext();
	auto second = makeHostObject<HostContext>(secondHost);

	AAX_CHostServices::Set(first->unknown());
	AAX_CHostServices::Set(second->unknown());
	EXPECT_EQ(secondHost.log().size(), 0u);
	AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "to the first");
	EXPECT_EQ(host.log().methodCalls().back().arguments.at(1), "to the first");
	EXPECT_TRUE(secondHost.log().methodCalls().empty());

	// Removing releases everything the proxy held.
	AAX_CHostServices::Set(nullptr);
	EXPECT_TRUE(host.objectsOfType<HostServices>().empty());
	AAX_CHostServices::Set(nullptr);

	AAX_CHostServices::Set(second->unknown());
	AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "to the second");
	EXPECT_EQ(secondHost.log().methodCalls().back().arguments.at(1), "to the second");
	AAX_CHostServices::Set(nullptr);
	EXPECT_TRUE(secondHost.objectsOfType<HostServices>().empty());
	second.reset();
}

TEST_F(HostServicesFacade, EmptyFactoryAnswerThrowsBeforeCreatingAnything)
{
	host.configuration().answerEmpty(IID_IACFComponentFactory);
	auto context = makeContext();

	try
	{
		AAX_VHostServices services(context->unknown());
		FAIL() << "no exception";
	}
	catch (ACFRESULT thrown)
	{
		EXPECT_EQ(static_cast<uint32_t>(thrown), 0x80000005u);
	}
	try
	{
		AAX_CHostServices::Set(context->unknown());
		FAIL() << "no exception";
	}
	catch (ACFRESULT thrown)
	{
		EXPECT_EQ(static_cast<uint32_t>(thrown), 0x80000005u);
	}
	EXPECT_TRUE(host.log().methodCalls().empty());

	// Nothing was installed: traces do nothing, and a later installation works.
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "dropped"), AAX_SUCCESS);
	host.configuration().offerInterface(IID_IACFComponentFactory);
	AAX_CHostServices::Set(context->unknown());
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "kept"), AAX_SUCCESS);
	EXPECT_EQ(host.log().methodCalls().back(), (HostCall { "HostServices", "IAAXHostServicesV1", 4, { kHighPriority, "kept" } }));
}

TEST_F(HostServicesFacade, RefusedFactoryInstallsAProxyWithoutVersions)
{
	host.configuration().refuseInterface(IID_IACFComponentFactory);
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	EXPECT_EQ(AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "x"), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("f", 1, "c", 1), AAX_ERROR_NULL_OBJECT);
	EXPECT_TRUE(host.log().methodCalls().empty());
}

TEST_F(HostServicesFacade, ProxyFromNullHostHasNoVersions)
{
	AAX_VHostServices services(nullptr);
	EXPECT_EQ(services.Trace(1, "x"), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(services.StackTrace(1, 2, "x"), AAX_ERROR_UNIMPLEMENTED);
	EXPECT_EQ(services.HandleAssertFailure("f", 1, "c", 1), AAX_ERROR_NULL_OBJECT);
}

TEST_F(HostServicesFacade, AssertionPassesFileLineConditionAndFlagsAndCarriesOn)
{
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	host.log().clear();

	int reached = 0;
	const int value = 3;
	AAX_ASSERT(value < 0);
	const int line = __LINE__ - 1;
	reached = 1;
	AAX_ASSERT(value > 0);
	AAX_CHostServices::Set(nullptr);

	EXPECT_EQ(reached, 1);
	EXPECT_EQ(host.log().methodCalls(),
	          (std::vector<HostCall> { { "HostServices", "IAAXHostServicesV3", 6, { __FILE__, std::to_string(line), "value < 0", "1" } } }));
}
} // namespace
