// A plug-in whose own threads still run its code keeps the host from unloading it: ACFCanUnloadNow counts
// those threads, and ACFShutdown waits for them before it lets the host go on.
#include "AAX_Init.h"
#include "acfbaseapi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

extern "C" ACFRESULT ACFCanUnloadNow(IACFUnknown*);
extern "C" ACFRESULT ACFShutdown(IACFUnknown*);

namespace
{
std::atomic<int32_t> threadsRunning { 0 };
} // namespace

// This plug-in's: the threads the test claims to run.
int32_t AAXPlugInThreadsRunning()
{
	return threadsRunning.load();
}

AAX_Result GetEffectDescriptions(AAX_ICollection*)
{
	return 0;
}

TEST(UnloadSafety, CanUnloadNowCountsThePlugInsThreadsAndShutdownWaitsForThem)
{
	threadsRunning = 2;
	EXPECT_EQ(ACFCanUnloadNow(nullptr), 2);

	const auto start = std::chrono::steady_clock::now();
	std::thread last([] {
		std::this_thread::sleep_for(std::chrono::milliseconds(150));
		threadsRunning = 0;
	});
	EXPECT_EQ(ACFShutdown(nullptr), 0);
	const auto waited = std::chrono::steady_clock::now() - start;
	last.join();
	EXPECT_GE(waited, std::chrono::milliseconds(150));
	EXPECT_LT(waited, std::chrono::milliseconds(kAAXShutdownWaitMilliseconds));
	EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
}
