// What the host path costs: the same stereo input, in the same blocks at 48 kHz, processed by the engine's
// processor directly and through the plug-in bundle as the host stand-in runs it (algorithm context, JUCE's
// AAX client, its callback lock and copies). Counter: time per sample frame, from CPU time.
#include "HostEnvironment.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int channels = 2;
constexpr int inputFrames = 4 * 48000;

// Quiet, medium and loud passages of a tone, so the ramp and both limiters work; [channel][frame].
const std::vector<std::vector<float>>& input()
{
    static const std::vector<std::vector<float>> samples = [] {
        std::vector<std::vector<float>> made(channels, std::vector<float>(inputFrames));
        for (int c = 0; c < channels; ++c)
            for (int t = 0; t < inputFrames; ++t)
            {
                const double envelope = (t / 12000) % 3 == 0 ? 0.002 : ((t / 12000) % 3 == 1 ? 0.3 : 1.5);
                made[(size_t)c][(size_t)t] =
                    (float)(envelope * std::sin(2.0 * 3.141592653589793 * (440.0 + 110.0 * c) * t / sampleRate));
            }
        return made;
    }();
    return samples;
}

// Runs `processBlock(position)` over the input, block after block, and reports the time per frame.
template <typename Process>
void timeBlocks(benchmark::State& state, int blockSize, Process processBlock)
{
    int position = 0;
    for (auto _ : state)
    {
        processBlock(position);
        position = position + 2 * blockSize > inputFrames ? 0 : position + blockSize;
    }
    state.counters["per_frame"] =
        benchmark::Counter(blockSize, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void processorDirectly(benchmark::State& state)
{
    const int blockSize = (int)state.range(0);
    KelvaneAudioProcessor processor;
    processor.setPlayConfigDetails(channels, channels, sampleRate, 1024);
    processor.prepareToPlay(sampleRate, 1024);
    juce::AudioBuffer<float> buffer(channels, blockSize);
    juce::MidiBuffer midi;
    timeBlocks(state, blockSize, [&](int position) {
        // As JUCE's AAX client does: the input copied into the output buffer, processed there.
        for (int c = 0; c < channels; ++c)
            buffer.copyFrom(c, 0, input()[(size_t)c].data() + position, blockSize);
        processor.processBlock(buffer, midi);
        benchmark::DoNotOptimize(buffer.getReadPointer(0));
    });
}

void throughBundleAndHost(benchmark::State& state)
{
    const int blockSize = (int)state.range(0);
    HostEnvironment host;
    HostPlugIn plugIn(host, KELVANE_BUNDLE_PATH);
    {
        HostInstance instance(plugIn, HostInstance::Setup{(float)sampleRate, AAX_eStemFormat_Stereo, 1024});
        std::vector<std::vector<float>> output(channels, std::vector<float>((size_t)blockSize));
        float* outputs[] = {output[0].data(), output[1].data()};
        timeBlocks(state, blockSize, [&](int position) {
            const float* inputs[] = {input()[0].data() + position, input()[1].data() + position};
            instance.process(inputs, outputs, blockSize);
            benchmark::DoNotOptimize(outputs[0]);
        });
    }
    plugIn.finish();
}
} // namespace

BENCHMARK(processorDirectly)->ArgName("block")->Arg(32)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(throughBundleAndHost)->ArgName("block")->Arg(32)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
