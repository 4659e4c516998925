// Traces and assertions from many host threads at once reach the host intact.
#include "AAX_CHostServices.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace
{
class ConcurrentTraces : public HostTest
{
};

TEST_F(ConcurrentTraces, EveryThreadsMessagesArriveWhole)
{
	constexpr int kThreads = 6;
	constexpr int kMessages = 300;
	auto context = makeContext();
	AAX_CHostServices::Set(context->unknown());
	host.log().clear();

	std::vector<std::thread> threads;
	for (int t = 0; t < kThreads; ++t)
		threads.emplace_back([t] {
			for (int i = 0; i < kMessages; ++i)
			{
				AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "thread %d message %d", t, i);
				AAX_CHostServices::HandleAssertFailure("file", i, "condition", 1);
			}
		});
	for (std::thread& thread : threads)
		thread.join();
	AAX_CHostServices::Set(nullptr);

	std::vector<int> next(kThreads, 0);
	int asserts = 0;
	for (const HostCall& call : host.log().methodCalls())
	{
		if (call.method == 6)
		{
			++asserts;
			continue;
		}
		ASSERT_EQ(call.method, 4);
		int thread = -1;
		int message = -1;
		ASSERT_EQ(std::sscanf(call.arguments.at(1).c_str(), "thread %d message %d", &thread, &message), 2);
		ASSERT_TRUE(thread >= 0 && thread < kThreads);
		// Each thread's messages arrive in its own order.
		EXPECT_EQ(message, next[thread]++);
	}
	EXPECT_EQ(next, std::vector<int>(kThreads, kMessages));
	EXPECT_EQ(asserts, kThreads * kMessages);
}
} // namespace
