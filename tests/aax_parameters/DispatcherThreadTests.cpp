// Registering, dirtying and dispatching packets from three threads at once: the dispatcher's mutex keeps
// them apart (run under ThreadSanitizer), and afterwards every port is posted once.
#include "AAX_VController.h"
#include "EffectTestSupport.h"

#include <functional>
#include <thread>

namespace
{
class DispatcherThreads : public EffectTest {};

TEST_F(DispatcherThreads, RegisterSetDirtyAndDispatchTakeTurns)
{
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    AAX_VController hostController(context->unknown());
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&hostController, effect);
    constexpr int kPorts = 8;

    const auto repeat = [](int times, std::function<void(int)> step) {
        return std::thread([=] { for (int index = 0; index < times; ++index) step(index); });
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
} // namespace
