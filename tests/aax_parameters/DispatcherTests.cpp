// The packet dispatcher posts each dirty packet once per dispatch and keeps a packet whose handler or post
// failed dirty for the next one.
#include "AAX_VController.h"
#include "EffectTestSupport.h"

namespace
{
// Registrations (ID, port), the host's answer to the first dispatch's posts, the IDs dirtied before the
// second dispatch, and what each dispatch returns and posts.
struct DispatchCase
{
    const char* name;
    std::vector<std::pair<const char*, AAX_CFieldIndex>> registrations;
    AAX_Result firstPost;
    std::vector<const char*> dirtied;
    AAX_Result results[2];
    size_t posted[2];
};

const DispatchCase kDispatches[] = {
    {"NewPacketPostsOnceThenRests", {{"MasterBypassID", 3}}, 0, {}, {0, 0}, {1, 0}},
    {"DirtyPacketPostsAgain", {{"MasterBypassID", 3}}, 0, {"MasterBypassID"}, {0, 0}, {1, 1}},
    {"TwoParametersOnOnePortPostItOnce", {{"dbMain", 3}, {"dbVocal", 3}}, 0, {"dbVocal", "dbMain"}, {0, 0}, {1, 1}},
    {"NoPortNoPacket", {{"dbMain", -1}}, 0, {"dbMain", "dbEnable"}, {0, 0}, {0, 0}},
    {"FailingHandlerIsRetriedAndReported",
     {{"unknown", 4}, {"dbMain", 5}},
     0,
     {},
     {AAX_ERROR_NULL_OBJECT, AAX_ERROR_NULL_OBJECT},
     {1, 0}},
    {"FailingPostIsRetriedAndReported",
     {{"dbMain", 3}, {"dbVocal", 4}},
     AAX_ERROR_POST_PACKET_FAILED,
     {},
     {AAX_ERROR_POST_PACKET_FAILED, 0},
     {0, 2}},
};

class Dispatching : public EffectTest, public ::testing::WithParamInterface<DispatchCase>
{
};

TEST_P(Dispatching, PostsDirtyPacketsOnceAndKeepsFailedOnesDirty)
{
    ASSERT_EQ(initialize(), AAX_SUCCESS);
    AAX_VController hostController(context->unknown());
    AAX_CPacketDispatcher dispatcher;
    dispatcher.Initialize(&hostController, effect);
    for (const auto& registration : GetParam().registrations)
        EXPECT_EQ(dispatcher.RegisterPacket(registration.first, registration.second), AAX_SUCCESS);

    host.configuration().injectResult(HostController::kName, 12, GetParam().firstPost);
    EXPECT_EQ(dispatcher.Dispatch(), GetParam().results[0]);
    EXPECT_EQ(controller().packets().size(), GetParam().posted[0]);
    host.configuration().injectResult(HostController::kName, 12, AAX_SUCCESS);
    for (const char* id : GetParam().dirtied)
        EXPECT_EQ(dispatcher.SetDirty(id, true), AAX_SUCCESS);
    EXPECT_EQ(dispatcher.Dispatch(), GetParam().results[1]);
    EXPECT_EQ(controller().packets().size(), GetParam().posted[0] + GetParam().posted[1]);
}
INSTANTIATE_TEST_SUITE_P(Cases, Dispatching, ::testing::ValuesIn(kDispatches),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
