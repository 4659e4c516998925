// Many host threads taking and dropping references on one interface object at the same time.
#include "ACF/CACFUnknown.h"
#include "ACF/acfuids.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
std::atomic<int> gDestructions { 0 };
std::atomic<int> gFinalReleases { 0 };

class SharedObject : public CACFUnknown
{
public:
	~SharedObject() override { gDestructions.fetch_add(1); }
	void FinalRelease() override { gFinalReleases.fetch_add(1); }
};

TEST(ReferenceCountThreads, ConcurrentAddRefAndReleaseDestroyExactlyOnce)
{
	constexpr int kThreads = 8;
	constexpr int kRounds = 20000;
	for (int repetition = 0; repetition < 5; ++repetition)
	{
		gDestructions = 0;
		gFinalReleases = 0;
		const int32_t before = CACFUnknown::GetActiveObjectCount();

		auto* object = new SharedObject();
		IACFUnknown* unknown = nullptr;
		ASSERT_EQ(object->InternalQueryInterface(IID_IACFUnknown, reinterpret_cast<void**>(&unknown)), ACF_OK);

		// Each thread holds a reference of its own (taken before it starts), churns, then drops it; the
		// test's reference is dropped while the threads run, so one of them performs the final release.
		std::atomic<bool> go { false };
		std::vector<std::thread> threads;
		for (int t = 0; t < kThreads; ++t)
		{
			unknown->AddRef();
			threads.emplace_back([&] {
				while (!go.load())
					std::this_thread::yield();
				for (int i = 0; i < kRounds; ++i)
				{
					unknown->AddRef();
					void* again = nullptr;
					if (i % 64 == 0 && unknown->QueryInterface(IID_IACFUnknown, &again) == ACF_OK)
						static_cast<IACFUnknown*>(again)->Release();
					unknown->Release();
				}
				unknown->Release();
			});
		}
		go = true;
		unknown->Release();
		for (std::thread& thread : threads)
			thread.join();

		EXPECT_EQ(gFinalReleases.load(), 1);
		EXPECT_EQ(gDestructions.load(), 1);
		EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
	}
}

TEST(ReferenceCountThreads, ConcurrentConstructionKeepsTheLiveCount)
{
	const int32_t before = CACFUnknown::GetActiveObjectCount();
	std::vector<std::thread> threads;
	for (int t = 0; t < 8; ++t)
		threads.emplace_back([] {
			for (int i = 0; i < 5000; ++i)
			{
				auto* object = new SharedObject();
				object->InternalAddRef();
				object->InternalRelease();
			}
		});
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}
} // namespace
