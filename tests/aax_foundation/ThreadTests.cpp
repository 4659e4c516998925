// Reference counts, the live-object count and traces used from many host threads at once (also run under
// ThreadSanitizer).
#include "AAX_CHostServices.h"
#include "ACF/CACFUnknown.h"
#include "ACF/acfuids.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace
{
std::atomic<int> gDestructions{0};

struct SharedObject : CACFUnknown
{
    ~SharedObject() override { ++gDestructions; }
};

void InThreads(int count, const std::function<void(int)>& work)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t)
        threads.emplace_back(work, t);
    for (std::thread& thread : threads)
        thread.join();
}

TEST(Threads, ReferencesTakenAndDroppedConcurrentlyDestroyTheObjectExactlyOnce)
{
    for (int repetition = 0; repetition < 5; ++repetition)
    {
        gDestructions = 0;
        const int32_t before = CACFUnknown::GetActiveObjectCount();
        IACFUnknown* unknown = nullptr;
        ASSERT_EQ((new SharedObject)->InternalQueryInterface(IID_IACFUnknown, reinterpret_cast<void**>(&unknown)), 0);
        for (int t = 1; t < 8; ++t)
            unknown->AddRef(); // one reference per thread, dropped last: any of them may make the final release
        InThreads(8, [unknown](int) {
            for (int i = 0; i < 20000; ++i)
            {
                unknown->AddRef();
                unknown->Release();
            }
            unknown->Release();
        });
        EXPECT_EQ(gDestructions.load(), 1);
        EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
    }
}

TEST(Threads, ObjectsMadeAndDestroyedConcurrentlyKeepTheLiveCount)
{
    const int32_t before = CACFUnknown::GetActiveObjectCount();
    InThreads(8, [](int) {
        for (int i = 0; i < 5000; ++i)
            delete new SharedObject;
    });
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(Threads, EveryThreadsTracesArriveWholeAndInItsOrder)
{
    HostEnvironment host;
    {
        HostRef<HostContext> context = makeHostObject<HostContext>(host);
        AAX_CHostServices::Set(context->unknown());
        host.log().clear();
        InThreads(6, [](int t) {
            for (int i = 0; i < 300; ++i)
                AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "thread %d message %d", t, i);
        });
        AAX_CHostServices::Set(nullptr);
    }
    std::vector<int> next(6, 0);
    for (const HostCall& call : host.log().methodCalls())
    {
        unsigned thread = 6;
        int message = -1;
        std::sscanf(call.arguments.at(1).c_str(), "thread %u message %d", &thread, &message);
        ASSERT_LT(thread, 6u) << call.arguments.at(1);
        EXPECT_EQ(message, next[thread]++);
    }
    EXPECT_EQ(next, std::vector<int>(6, 300));
}
} // namespace
