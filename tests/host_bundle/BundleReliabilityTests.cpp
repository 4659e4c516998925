// The bundle under a host that loads and unloads it again and again, and under a host that misbehaves:
// unknown IDs, values that are no values, junk chunks and notifications, empty blocks, and random call
// sequences. Nothing may crash, leak, or leave a parameter at a value outside 0..1.
#include "BundleTestSupport.h"

#include "AAX_Errors.h"
#include "AAX_TransportTypes.h"
#include "HostEnvironment.h"
#include "HostString.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

using namespace bundle_test;

namespace
{
int fromEnvironment(const char* name, int fallback)
{
    const char* const text = std::getenv(name);
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

const std::vector<std::string> kIDs = {"dbEnable", "dbMain", "dbVocal", "MasterBypassID",
                                       "",         "dbmain", "dbMain ", std::string(300, 'x')};
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();
const std::vector<double> kValues = {kNaN, kInfinity, -kInfinity, -1.0, 2.0, 1e300, -0.0, 4.9e-324, 0.5};

// One block of programme audio with a sample that is no number: the output is finite, or the input itself
// while the host's bypass is on.
void processBlock(HostInstance& instance, int frames, std::mt19937& random)
{
    Audio input = programme(instance.channels(), instance.setup().sampleRate, std::max(frames, 1));
    input[0][random() % input[0].size()] = static_cast<float>(kNaN);
    Audio output = input;
    const float* in[] = {input[0].data(), input.back().data()};
    float* out[] = {output[0].data(), output.back().data()};
    instance.process(in, out, frames);
    const bool passedThrough = std::memcmp(out[0], in[0], static_cast<size_t>(frames) * sizeof(float)) == 0;
    for (const std::vector<float>& channel : output)
        ASSERT_TRUE(passedThrough || std::all_of(channel.begin(), channel.begin() + frames, [](float x) {
                        return std::isfinite(x);
                    }));
}

std::vector<char> junkChunk(HostInstance& instance, std::mt19937& random)
{
    std::vector<char> data;
    if (random() % 2 == 0)
        data.resize(random() % 160);
    else
    {
        data = instance.chunk(random() % 2 == 0 ? kElck : kJuce);
        data.resize(random() % 3 == 0 ? random() % (data.size() + 8) : data.size());
    }
    for (size_t flips = data.empty() ? 0 : random() % 6; flips > 0; --flips)
        data[random() % data.size()] = static_cast<char>(random());
    return data;
}

// Hostile calls, one kind each; `random` makes every call different.
const std::vector<std::pair<const char*, std::function<void(HostInstance&, std::mt19937&)>>> kHostileCalls = {
    {"parameter calls with unknown IDs and values that are no values",
     [](HostInstance& instance, std::mt19937& random) {
         AAX_IACFEffectParameters_V4& effect = instance.effect();
         const std::string& id = kIDs[random() % kIDs.size()];
         const double value = kValues[random() % kValues.size()];
         HostString text;
         double read = 0.0;
         effect.SetParameterNormalizedValue(id.c_str(), value);
         effect.UpdateParameterNormalizedValue(id.c_str(), value, AAX_eUpdateSource_Parameter);
         effect.SetParameterNormalizedRelative(id.c_str(), value);
         effect.UpdateParameterNormalizedRelative(id.c_str(), value);
         effect.SetParameterDefaultNormalizedValue(id.c_str(), value);
         effect.TouchParameter(id.c_str());
         effect.ReleaseParameter(id.c_str());
         effect.GetParameterNameOfLength(id.c_str(), &text, static_cast<int32_t>(random() % 40) - 8);
         effect.GetParameterStringFromValue(id.c_str(), value, &text, static_cast<int32_t>(random() % 40) - 8);
         text.Set(std::to_string(value).c_str());
         effect.GetParameterValueFromString(id.c_str(), &read, text);
         effect.GetParameterIDFromIndex(static_cast<int32_t>(random() % 12) - 4, &text);
         instance.settle();
     }},
    {"random and mutated chunks through SetChunk, and chunk and field calls out of order",
     [](HostInstance& instance, std::mt19937& random) {
         const AAX_CTypeID id = random() % 5 == 0 ? random() : (random() % 2 == 0 ? kElck : kJuce);
         const std::vector<char> data = junkChunk(instance, random);
         instance.restoreChunk(id, data);
         instance.matchesChunk(id, data);
         std::vector<std::max_align_t> record(64); // a chunk asked for without asking its size first
         instance.effect().GetChunk(id, reinterpret_cast<AAX_SPlugInChunk*>(record.data()));
         instance.effect().ResetFieldData(static_cast<AAX_CFieldIndex>(random() % 10), record.data(),
                                          static_cast<uint32_t>(random() % 4));
         instance.settle();
     }},
    {"notifications with junk data",
     [](HostInstance& instance, std::mt19937& random) {
         // Junk where the data are plain bytes; a track name comes as a text object and the transport state as
         // its record (JUCE's client reads both without a check), with junk inside.
         static const AAX_CTypeID types[] = {0x41535076, 0x41535072, 0x41534D64, 0x6F66456E, 0x6F664578, 0x7363436E,
                                             0x73634463, 0x6C617443, 0x6775694F, 0x00000000, 0xFFFFFFFF};
         std::vector<char> junk(64);
         for (char& byte : junk)
             byte = static_cast<char>(random());
         const AAX_CTypeID type = types[random() % (sizeof types / sizeof types[0])];
         instance.effect().NotificationReceived(type, random() % 4 == 0 ? nullptr : junk.data(),
                                                static_cast<uint32_t>(random() % 65));
         HostString name(std::string(junk.data(), 8));
         instance.effect().NotificationReceived(0x74724E6D, &name, sizeof name);
         AAX_TransportStateInfo_V1 transport;
         transport.mTransportState = static_cast<AAX_ETransportState>(random());
         transport.mIsRecording = random() % 2 == 0;
         instance.effect().NotificationReceived(0x74725374, &transport, sizeof transport);
         instance.settle();
     }},
    {"zero-length blocks between blocks",
     [](HostInstance& instance, std::mt19937& random) {
         processBlock(instance, 0, random);
         processBlock(instance, static_cast<int>(random() % 1025), random);
         processBlock(instance, 0, random);
     }},
};

TEST(HostileHost, NeverCrashesNorLeavesAParameterAtAnInvalidValue)
{
    HostEnvironment host;
    HostPlugIn plugIn(host, bundlePath());
    std::mt19937 random(20240611);
    for (const auto& [what, call] : kHostileCalls)
    {
        SCOPED_TRACE(what);
        HostInstance instance(plugIn, setupFor(static_cast<int>(random() % 2) + 1, 48000.0f));
        for (int round = 0; round < 200; ++round)
            call(instance, random);
        expectParametersValid(instance);
        processBlock(instance, 512, random);
    }
    plugIn.finish();
}

// A value that is no number: JUCE's client answers the plain and relative set itself; the confirmation and
// the default are answered by our library, which says it failed and changes nothing.
TEST(HostileHost, AValueThatIsNoNumberIsRefusedWhereTheLibraryAnswers)
{
    HostEnvironment host;
    HostPlugIn plugIn(host, bundlePath());
    HostInstance instance(plugIn, setupFor(2, 48000.0f));
    AAX_IACFEffectParameters_V4& effect = instance.effect();
    EXPECT_EQ(effect.UpdateParameterNormalizedValue("dbMain", kNaN, AAX_eUpdateSource_Parameter),
              AAX_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(effect.SetParameterDefaultNormalizedValue("dbMain", kNaN), AAX_ERROR_INVALID_ARGUMENT);
    instance.settle();
    double fallback = 0.0;
    EXPECT_EQ(effect.GetParameterDefaultNormalizedValue("dbMain", &fallback), AAX_SUCCESS);
    EXPECT_EQ(fallback, 0.5);
    EXPECT_EQ(instance.parameter("dbMain"), 0.5);
}

// A fixed-seed slice in CI; KELVANE_FUZZ_STEPS and KELVANE_FUZZ_SEED run longer or other sequences.
TEST(HostileHost, RandomCallSequencesKeepTheInstanceSound)
{
    HostEnvironment host;
    HostPlugIn plugIn(host, bundlePath());
    std::mt19937 random(static_cast<uint32_t>(fromEnvironment("KELVANE_FUZZ_SEED", 7)));
    HostInstance instance(plugIn, setupFor(2, 44100.0f));
    const int steps = fromEnvironment("KELVANE_FUZZ_STEPS", 1500);
    for (int step = 0; step < steps; ++step)
    {
        const size_t kind = random() % (kHostileCalls.size() + 2);
        if (kind < kHostileCalls.size())
            kHostileCalls[kind].second(instance, random);
        else if (kind == kHostileCalls.size())
            instance.setParameter(kIDs[random() % 4], std::uniform_real_distribution<double>(0.0, 1.0)(random));
        else
            processBlock(instance, static_cast<int>(random() % 1025), random);
        if (step % 100 == 0 || step == steps - 1)
            expectParametersValid(instance);
        host.log().clear();
    }
}

// A modest count in CI; KELVANE_BUNDLE_CYCLES=1000 is the long soak.
TEST(BundleLifetime, LoadRunAndUnloadCyclesReturnEveryObjectAndUnmapTheBundle)
{
    std::mt19937 random(3);
    for (int cycle = fromEnvironment("KELVANE_BUNDLE_CYCLES", 50); cycle > 0; --cycle)
    {
        HostEnvironment host;
        std::string binary;
        {
            HostPlugIn plugIn(host, bundlePath());
            binary = plugIn.bundle().binaryPath();
            {
                HostInstance instance(plugIn, setupFor(static_cast<int>(cycle % 2) + 1, 48000.0f));
                ASSERT_EQ(instance.setParameter("dbMain", 0.7), 0);
                processBlock(instance, 1024, random);
                ASSERT_EQ(instance.chunk(kElck).size(), 64u);
            }
            plugIn.finish();
        }
        ASSERT_EQ(host.liveObjectCount(), 0u) << "cycle " << cycle;
        ASSERT_EQ(dlopen(binary.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "cycle " << cycle << ": still mapped";
    }
}
} // namespace
