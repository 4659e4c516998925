// The host stand-in under concurrent use: listing live objects while other threads release them.
#include "HostServices.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
class HostThreads : public HostTest
{
};

TEST_F(HostThreads, LiveObjectsCanBeListedWhileOtherThreadsReleaseThem)
{
	constexpr int kThreads = 4;
	constexpr int kObjectsPerThread = 300;
	std::vector<std::vector<HostRef<HostServices>>> objects(kThreads);
	for (auto& own : objects)
		for (int i = 0; i < kObjectsPerThread; ++i)
			own.push_back(makeHostObject<HostServices>(host));
	ASSERT_EQ(host.liveObjectCount(), size_t(kThreads * kObjectsPerThread));

	std::atomic<int> finished { 0 };
	std::vector<std::thread> threads;
	for (auto& own : objects)
		threads.emplace_back([&own, &finished] {
			for (HostRef<HostServices>& object : own)
				object.reset();
			finished.fetch_add(1);
		});

	size_t previous = size_t(kThreads * kObjectsPerThread);
	while (finished.load() < kThreads)
	{
		const std::vector<std::string> live = host.liveObjects();
		EXPECT_LE(live.size(), previous);
		previous = live.size();
		for (const std::string& entry : live)
			EXPECT_EQ(entry.rfind("HostServices (references: ", 0), 0u) << entry;
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_TRUE(host.liveObjects().empty());
}
} // namespace
