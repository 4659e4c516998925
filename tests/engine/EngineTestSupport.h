#pragma once

#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace engine_test
{
using Channels = std::vector<std::vector<double>>;

// A processor set up the way the host sets it up: channel layout, rate, then preparation.
inline std::unique_ptr<KelvaneAudioProcessor> makePrepared(int channels, double sampleRate, int blockSize = 512)
{
    auto processor = std::make_unique<KelvaneAudioProcessor>();
    processor->setPlayConfigDetails(channels, channels, sampleRate, blockSize);
    processor->prepareToPlay(sampleRate, blockSize);
    return processor;
}

inline std::vector<double> sine(double amplitude, double frequency, double sampleRate, int numSamples)
{
    std::vector<double> samples((size_t)numSamples);
    for (int i = 0; i < numSamples; ++i)
        samples[(size_t)i] = amplitude * std::sin(2.0 * 3.141592653589793 * frequency * i / sampleRate);
    return samples;
}

// Runs the channels through the double-precision entry in blocks of blockSize; returns the output.
inline Channels process(KelvaneAudioProcessor& processor, Channels channels, size_t blockSize = 512)
{
    juce::MidiBuffer midi;
    for (size_t start = 0; start < channels[0].size(); start += blockSize)
    {
        std::vector<double*> pointers;
        for (auto& channel : channels)
            pointers.push_back(channel.data() + start);
        juce::AudioBuffer<double> block(pointers.data(), (int)pointers.size(),
                                        (int)std::min(blockSize, channels[0].size() - start));
        processor.processBlock(block, midi);
    }
    return channels;
}

// The output level as the chain reads it, from a script: one value per sample, the last one held.
struct ScriptedLevel : LevelSource
{
    std::vector<float> values;
    size_t next = 0;
    void readLevels(float* levels, int count) noexcept override
    {
        for (int i = 0; i < count; ++i, ++next)
            levels[i] = values[std::min(next, values.size() - 1)];
    }
};
} // namespace engine_test
