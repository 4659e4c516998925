// The chain's output, fixed to the bit: every case runs a scripted stream (noise, bursts, silence, DC, NaN,
// infinities, subnormals, huge values, left-only and right-only overloads; level, mode and enable changes,
// empty blocks) through one entry and hashes every output sample's bits and both meter steps after every
// block. The hashes were taken from the chain before it was restructured; any change of a bit fails here.
// They hold for this C library's exp and log10.
#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
// FNV-1a over the bits of each value added.
struct Hash
{
    uint64_t value = 1469598103934665603ull;

    template <typename T>
    void add(T v)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        for (unsigned char b : bytes)
            value = (value ^ b) * 1099511628211ull;
    }
};

// A small generator of its own, so the stream is the same with every standard library.
struct Random
{
    uint64_t state;
    uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    double unit() { return (double)(next() >> 11) * 0x1.0p-53; } // 0..1
    double signedUnit() { return 2.0 * unit() - 1.0; }
};

// One channel's input at sample t: segments of 1500 samples, each of one kind with its own amplitude.
double inputSample(Random& random, long t, int channel, double rate, bool doubleEntry)
{
    const long segment = t / 1500;
    const double amplitudes[] = {0.0005, 0.004, 0.009, 0.03, 0.2, 0.7, 1.0, 2.5, 9.0};
    const double a = amplitudes[(segment * 7 + channel * 3) % 9];
    const double phase = 2.0 * 3.141592653589793 * (110.0 + 37.0 * (double)(segment % 23)) * (double)t / rate;
    switch ((segment + (channel == 1 && segment % 5 == 0 ? 3 : 0)) % 10)
    {
        case 0: return 0.0;
        case 1: return a * random.signedUnit();
        case 2: return a * std::sin(phase);
        case 3: return (channel == 0 ? 0.001 : 4.0) * std::sin(phase);  // right-only overload
        case 4: return (channel == 0 ? 5.0 : 0.0005) * std::sin(phase); // left-only overload
        case 5: return 0.5 + 0.01 * random.signedUnit();                // DC
        case 6:
        {
            // Noise with bad and extreme values sprinkled in.
            const double specials[] = {NAN,      INFINITY, -INFINITY,
                                       1.0e-310, -0.0,     2.2250738585072014e-308,
                                       1.0e30,   -3.0e38,  doubleEntry ? std::numeric_limits<double>::max() : 3.4e38};
            if (random.next() % 29 == 0)
                return specials[random.next() % 9];
            return a * random.signedUnit();
        }
        case 7: return a * 1.0e6 * std::sin(phase);                             // huge
        case 8: return (t % 300 < 40 ? a : 0.0) * random.signedUnit();          // bursts
        default: return 0.0105 * std::sin(phase) + 0.001 * random.signedUnit(); // near the threshold
    }
}

struct GoldenCase
{
    const char* name;
    double rate;
    int channels;
    bool doubleEntry;
    int preparedBlock;
    std::vector<int> blockSizes; // cycled
    long totalSamples;
    uint64_t expected;
    double midwayRate = 0.0; // halfway: a new rate, prepared (positive) or not (negative)
};

template <typename Sample>
uint64_t run(const GoldenCase& c)
{
    KelvaneAudioProcessor processor;
    processor.setPlayConfigDetails(c.channels, c.channels, c.rate, c.preparedBlock);
    processor.prepareToPlay(c.rate, c.preparedBlock);

    Random random{0x9E3779B97F4A7C15ull};
    Hash hash;
    juce::MidiBuffer midi;
    const float levels[] = {0.5f, 0.0f, 1.0f, 0.8f, 0.123f, 0.999f};
    long t = 0;
    for (int block = 0; t < c.totalSamples; ++block)
    {
        const int n = (int)std::min<long>(c.blockSizes[(size_t)block % c.blockSizes.size()], c.totalSamples - t);
        if (c.midwayRate != 0.0 && t < c.totalSamples / 2 && t + n >= c.totalSamples / 2)
        {
            processor.setRateAndBufferSizeDetails(std::abs(c.midwayRate), c.preparedBlock);
            if (c.midwayRate > 0.0)
                processor.prepareToPlay(c.midwayRate, c.preparedBlock);
        }
        // Level moves every block for a while, then every few blocks; the switches now and then.
        if (block % 3 == 0 || (block / 50) % 2 == 0)
            processor.levelParameter->setValueNotifyingHost(block % 11 == 0 ? (float)random.unit()
                                                                            : levels[(size_t)block % 6]);
        processor.vocalParameter->setValueNotifyingHost((block / 40) % 3 == 1 ? 1.0f : 0.0f);
        processor.enableParameter->setValueNotifyingHost(block % 61 >= 57 ? 0.0f : 1.0f);

        juce::AudioBuffer<Sample> buffer(c.channels, n);
        for (int i = 0; i < n; ++i)
            for (int ch = 0; ch < c.channels; ++ch)
                buffer.setSample(ch, i, (Sample)inputSample(random, t + i, ch, c.rate, c.doubleEntry));
        processor.processBlock(buffer, midi);
        for (int ch = 0; ch < c.channels; ++ch)
            for (int i = 0; i < n; ++i)
                hash.add(buffer.getSample(ch, i));
        hash.add(processor.meterStepLeft.load());
        hash.add(processor.meterStepRight.load());
        t += n;
    }
    return hash.value;
}
} // namespace

TEST(GoldenOutput, EveryCaseKeepsItsHash)
{
    const GoldenCase cases[] = {
        {"48k stereo float 512", 48000.0, 2, false, 512, {512}, 96000, 0xf397926437da544dull},
        {"48k stereo double 512", 48000.0, 2, true, 512, {512}, 96000, 0x9ccc9caa42ddf60cull},
        {"48k mono float 512", 48000.0, 1, false, 512, {512}, 60000, 0xb2110a86bd0e97b2ull},
        {"44.1k stereo float odd", 44100.0, 2, false, 1024, {1, 7, 64, 0, 333, 1024}, 60000, 0x443012cdaba72f9eull},
        {"44.1k mono double single samples", 44100.0, 1, true, 1, {1}, 20000, 0x2b27513d85e83ed2ull},
        {"44.1k stereo double single samples", 44100.0, 2, true, 1, {1}, 20000, 0x595376e4cdca039ull},
        {"96k stereo float 1024", 96000.0, 2, false, 1024, {1024}, 120000, 0x3fb6d817c7446a16ull},
        {"96k mono double 256", 96000.0, 1, true, 256, {256, 0}, 60000, 0xe46b0f2b838371a1ull},
        {"48k stereo float long", 48000.0, 2, false, 64, {3000, 64, 5000}, 60000, 0xa9a2e2c24170cfe1ull},
        {"48k mono float long", 48000.0, 1, false, 32, {4096, 31}, 40000, 0x4e70ad6d3ccdb24bull},
        {"192k stereo double 2048", 192000.0, 2, true, 2048, {2048}, 100000, 0xaca5f997c6eab125ull},
        {"22050.5 stereo double 100", 22050.5, 2, true, 100, {100}, 40000, 0xabe121950164b59aull},
        {"44100.5 stereo float 441", 44100.5, 2, false, 441, {441, 17}, 40000, 0x567d24e3ed48a15aull},
        {"8k mono float 80", 8000.0, 1, false, 80, {80}, 16000, 0x96b6ccc387202d38ull},
        {"50 Hz stereo double 16", 50.0, 2, true, 16, {16}, 2000, 0x2bbcd6e1beebd604ull},
        {"no usable rate stereo float", 0.0, 2, false, 64, {64}, 2000, 0x2014b9d4c59b528eull},
        {"48k stereo float, 96k midway", 48000.0, 2, false, 512, {512}, 60000, 0x33376429be6dc40cull, 96000.0},
        {"48k mono double, 44.1k unprepared", 48000.0, 1, true, 256, {256}, 40000, 0x2480578a2d378ddull, -44100.0},
    };

    for (const auto& c : cases)
    {
        const uint64_t actual = c.doubleEntry ? run<double>(c) : run<float>(c);
        EXPECT_EQ(actual, c.expected) << c.name << ": 0x" << std::hex << actual;
    }
}
