// The dispatcher's mutex lets its owning thread through and only the owner unlock it; registering, dirtying
// and dispatching packets from three threads at once take turns under it. Also run under ThreadSanitizer.
#include "AAX_CMutex.h"
#include "AAX_VController.h"
#include "EffectTestSupport.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace
{
class DispatcherThreads : public EffectTest
{
};

TEST_F(DispatcherThreads, RegisterSetDirtyAndDispatchTakeTurns)
{
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    AAX_VController hostController(context->unknown());
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&hostController, effect);
    constexpr int kPorts = 8;

    const auto repeat = [](int times, std::function<void(int)> step) {
        return std::thread([=] {
            for (int index = 0; index < times; ++index)
                step(index);
        });
    };
    std::thread threads[] = {
        repeat(200, [&](int i) { dispatcher.RegisterPacket(i % 2 != 0 ? "dbMain" : "dbVocal", i % kPorts); }),
        repeat(2000, [&](int i) { dispatcher.SetDirty(i % 2 != 0 ? "dbMain" : "dbVocal", true); }),
        repeat(300, [&](int) { EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS); }),
    };
    for (std::thread& thread : threads)
        thread.join();

    dispatcher.SetDirty("dbMain", true);
    dispatcher.SetDirty("dbVocal", true);
    const size_t before = controller().packets().size();
    EXPECT_EQ(dispatcher.Dispatch(), AAX_SUCCESS);
    EXPECT_EQ(controller().packets().size() - before, size_t(kPorts));
}
// Whether another thread gets the mutex, once this one lets it go.
bool OtherThreadLocks(AAX_CMutex& mutex)
{
    const auto lockAndUnlock = [&] { return mutex.Lock() && (mutex.Unlock(), true); };
    return std::async(std::launch::async, lockAndUnlock).get();
}

TEST(Mutex, OwnerPassesThroughNestedLocksAndOneUnlockReleases)
{
    AAX_CMutex mutex;
    EXPECT_TRUE(mutex.Lock());
    EXPECT_FALSE(mutex.Lock());
    mutex.Unlock();
    EXPECT_TRUE(OtherThreadLocks(mutex));
    {
        AAX_StLock_Guard outer(mutex);
        {
            AAX_StLock_Guard inner(mutex);
        }
        EXPECT_FALSE(mutex.Lock()); // the inner guard left it held
    }
    EXPECT_TRUE(OtherThreadLocks(mutex));
}

TEST(Mutex, OnlyTheOwnerUnlocks)
{
    AAX_CMutex mutex;
    ASSERT_TRUE(mutex.Lock());
    std::atomic<bool> ownerLetGo{false};
    auto other = std::async(std::launch::async, [&] {
        mutex.Unlock(); // not the owner: nothing happens
        const bool locked = mutex.Lock();
        const bool afterOwner = ownerLetGo.load();
        mutex.Unlock();
        return locked && afterOwner;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ownerLetGo = true;
    mutex.Unlock();
    EXPECT_TRUE(other.get());
}
} // namespace
