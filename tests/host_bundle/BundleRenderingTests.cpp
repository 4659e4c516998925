// Audio, parameters and saved settings end to end: the real bundle, loaded, registered and run by the host
// stand-in, against the engine's processor run directly in this process.
#include "BundleTestSupport.h"

#include "HostEnvironment.h"

#include <cstring>

using namespace bundle_test;

namespace
{
class BundleTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        plugIn.finish();
        EXPECT_EQ(host.liveObjectCount(), 0u);
    }

    HostEnvironment host;
    HostPlugIn plugIn{host, bundlePath()};
};

bool bitIdentical(const Audio& a, const Audio& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t c = 0; c < a.size(); ++c)
        if (a[c].size() != b[c].size() || std::memcmp(a[c].data(), b[c].data(), a[c].size() * sizeof(float)) != 0)
            return false;
    return true;
}

TEST_F(BundleTest, OutputIsBitIdenticalToTheProcessorRunDirectly)
{
    const std::vector<Change> levelAndMode = {
        {3, "dbMain", 0.8}, {9, "dbVocal", 1.0}, {17, "dbMain", 0.1234}, {25, "dbVocal", 0.0}, {31, "dbMain", 1.0}};
    const std::vector<Change> vocal = {{0, "dbVocal", 1.0}, {20, "dbMain", 0.3}};
    const std::vector<Change> enableOff = {{0, "dbEnable", 0.0}, {12, "dbEnable", 1.0}, {24, "dbEnable", 0.0}};
    const struct
    {
        int channels;
        float sampleRate;
        std::vector<int> blockSizes;
        const std::vector<Change>& changes;
    } cases[] = {
        {1, 44100.0f, {512}, levelAndMode},
        {2, 44100.0f, {64}, levelAndMode},
        {1, 48000.0f, {1024}, vocal},
        {2, 48000.0f, {441}, vocal},
        {2, 48000.0f, {1, 1024, 17, 300}, levelAndMode},
        {1, 96000.0f, {128}, levelAndMode},
        {2, 96000.0f, {1024}, vocal},
        {1, 48000.0f, {256}, enableOff},
        {2, 96000.0f, {32}, enableOff},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(std::to_string(row.channels) + " channels at " + std::to_string(row.sampleRate)
                     + " Hz, first block " + std::to_string(row.blockSizes[0]));
        const Audio input = programme(row.channels, row.sampleRate, static_cast<int>(row.sampleRate * 0.6));
        HostInstance instance(plugIn, setupFor(row.channels, row.sampleRate));
        const Audio throughBundle = renderThroughHost(instance, input, row.blockSizes, row.changes);
        EXPECT_TRUE(bitIdentical(throughBundle, renderDirectly(row.sampleRate, input, row.blockSizes, row.changes)));
        EXPECT_FALSE(bitIdentical(throughBundle, input));
    }
}

TEST_F(BundleTest, BypassThroughThePacketPassesAudioUnchangedAndLeavesTheEngineAlone)
{
    const Audio input = programme(2, 48000.0f, 48000);
    const std::vector<Change> bypass = {{10, "MasterBypassID", 1.0}, {30, "MasterBypassID", 0.0}};
    HostInstance instance(plugIn, setupFor(2, 48000.0f));
    const Audio output = renderThroughHost(instance, input, {512}, bypass);

    for (size_t c = 0; c < 2; ++c)
        EXPECT_EQ(std::memcmp(output[c].data() + 10 * 512, input[c].data() + 10 * 512, 20 * 512 * sizeof(float)), 0);
    // The engine did not run while bypassed: afterwards it goes on exactly as the processor that skipped
    // those blocks, whose meter steps kept the values of the last block before the bypass.
    std::vector<double> meterSteps;
    EXPECT_TRUE(bitIdentical(output, renderDirectly(48000.0, input, {512}, bypass, &meterSteps)));
    EXPECT_NE(meterSteps[9], 0.0);
    for (size_t block = 10; block < 30; ++block)
        EXPECT_EQ(meterSteps[block], meterSteps[9]) << "block " << block;
    EXPECT_EQ(instance.masterBypassID(), "MasterBypassID");
}

TEST_F(BundleTest, DefaultElckChunkIsTheWorkedExample)
{
    const unsigned char expected[64] = {
        0x01, 0x01, 0x01, 0x01, 'd',  '_',  'd',  'b',  'E',  'n',  'a',  'b',  'l',  'e',  0x00, 0x00,
        0x3F, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'd',  '_',  'd',  'b',  'M',  'a',  'i',  'n',
        0x00, 0x00, 0x00, 0x00, 0x3F, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'd',  '_',  'd',  'b',
        'V',  'o',  'c',  'a',  'l',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    HostInstance instance(plugIn, setupFor(2, 48000.0f));
    EXPECT_EQ(instance.chunkIDs(), (std::vector<AAX_CTypeID>{kElck, kJuce}));
    EXPECT_EQ(instance.chunk(kElck), std::vector<char>(expected, expected + 64));
    EXPECT_EQ(instance.parameterText("dbMain"), "0.50");
    EXPECT_EQ(instance.parameterText("dbEnable"), "On");
    EXPECT_EQ(instance.parameterName("dbVocal"), "Vocal Mode");
    EXPECT_EQ(instance.parameterName("dbVocal", 4), "Voca");
}

TEST_F(BundleTest, InstanceRestoredFromSavedChunksRendersIdentically)
{
    const std::vector<Change> settings = {{0, "dbMain", 0.731}, {0, "dbVocal", 1.0}, {0, "dbEnable", 1.0}};
    const Audio input = programme(2, 44100.0f, 30000);
    std::vector<char> elck, juce;
    {
        HostInstance source(plugIn, setupFor(2, 44100.0f));
        renderThroughHost(source, input, {256}, settings);
        elck = source.chunk(kElck);
        juce = source.chunk(kJuce);
    }
    HostInstance reference(plugIn, setupFor(2, 44100.0f));
    const Audio expected = renderThroughHost(reference, input, {256}, settings);

    const std::vector<std::vector<AAX_CTypeID>> restoreOrders = {{kElck}, {kJuce}, {kElck, kJuce}, {kJuce, kElck}};
    for (const auto& order : restoreOrders)
    {
        SCOPED_TRACE("restored chunks: " + std::to_string(order.size()) + ", first " + std::to_string(order[0]));
        HostInstance restored(plugIn, setupFor(2, 44100.0f));
        for (AAX_CTypeID id : order)
            EXPECT_EQ(restored.restoreChunk(id, id == kElck ? elck : juce), 0);
        for (const char* id : {"dbEnable", "dbMain", "dbVocal"})
            EXPECT_EQ(restored.parameter(id), reference.parameter(id)) << id;
        EXPECT_TRUE(restored.matchesChunk(kElck, elck));
        EXPECT_TRUE(bitIdentical(renderThroughHost(restored, input, {256}, {}), expected));
    }
}

TEST_F(BundleTest, CompareActiveChunkSeesAChangeButNotTheBypass)
{
    HostInstance instance(plugIn, setupFor(1, 48000.0f));
    const std::vector<char> saved = instance.chunk(kElck);
    EXPECT_TRUE(instance.matchesChunk(kElck, saved));
    EXPECT_EQ(instance.setBypass(true), 0);
    EXPECT_TRUE(instance.matchesChunk(kElck, saved));
    EXPECT_EQ(instance.setParameter("dbMain", 0.25), 0);
    EXPECT_FALSE(instance.matchesChunk(kElck, saved));
    EXPECT_EQ(instance.setParameter("dbMain", 0.5), 0);
    EXPECT_TRUE(instance.matchesChunk(kElck, saved));
}
} // namespace
