// Cost of the audio engine's block processing at 48 kHz, as the host calls it (single precision), for mono
// and stereo, four block sizes and both detector modes. Counters: nanoseconds per sample frame and the
// real-time factor (seconds of audio processed per second of processing), both from wall-clock time.
#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>

namespace
{
constexpr double sampleRate = 48000.0;

// Programme-like input: a tone whose level moves between quiet, medium and loud, with some noise, so the
// ramp, both limiters and the meters all work.
void fillInput(juce::AudioBuffer<float>& buffer, int blockIndex)
{
    const int n = buffer.getNumSamples();
    for (int c = 0; c < buffer.getNumChannels(); ++c)
    {
        auto* out = buffer.getWritePointer(c);
        for (int i = 0; i < n; ++i)
        {
            const long t = (long)blockIndex * n + i;
            const double envelope = ((t / 12000) % 3 == 0) ? 0.002 : ((t / 12000) % 3 == 1 ? 0.3 : 1.5);
            out[i] =
                (float)(envelope * std::sin(2.0 * 3.141592653589793 * (440.0 + 110.0 * c) * (double)t / sampleRate));
        }
    }
}

void processBlocks(benchmark::State& state)
{
    const int channels = (int)state.range(0);
    const int blockSize = (int)state.range(1);
    const bool vocal = state.range(2) != 0;

    KelvaneAudioProcessor processor;
    processor.setPlayConfigDetails(channels, channels, sampleRate, blockSize);
    processor.prepareToPlay(sampleRate, blockSize);
    processor.vocalParameter->setValueNotifyingHost(vocal ? 1.0f : 0.0f);

    // Four seconds of input prepared ahead; each iteration copies one block in and processes it.
    constexpr int preparedBlocksSeconds = 4;
    const int numBlocks = std::max(1, (int)(preparedBlocksSeconds * sampleRate) / blockSize);
    std::vector<juce::AudioBuffer<float>> inputs;
    inputs.reserve((size_t)numBlocks);
    for (int b = 0; b < numBlocks; ++b)
    {
        inputs.emplace_back(channels, blockSize);
        fillInput(inputs.back(), b);
    }

    juce::AudioBuffer<float> buffer(channels, blockSize);
    juce::MidiBuffer midi;
    int next = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        // Copying the block in (a memcpy per channel) is timed too; it is small next to the chain.
        for (int c = 0; c < channels; ++c)
            buffer.copyFrom(c, 0, inputs[(size_t)next], c, 0, blockSize);
        next = (next + 1) % numBlocks;

        processor.processBlock(buffer, midi);
        benchmark::DoNotOptimize(buffer.getReadPointer(0));
    }

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double frames = (double)state.iterations() * blockSize;
    state.counters["ns_per_frame"] = seconds * 1.0e9 / frames;
    state.counters["realtime_factor"] = (frames / sampleRate) / seconds;
}
} // namespace

BENCHMARK(processBlocks)
    ->ArgNames({"channels", "block", "vocal"})
    ->ArgsProduct({{1, 2}, {32, 256, 512, 1024}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
