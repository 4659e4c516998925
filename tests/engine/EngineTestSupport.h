#pragma once

#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace engine_test
{
constexpr double pi = 3.141592653589793;

// A processor set up the way the plug-in host sets it up: channel layout, rate, then preparation.
inline std::unique_ptr<KelvaneAudioProcessor> makePrepared (int channels, double sampleRate, int blockSize = 1024)
{
    auto processor = std::make_unique<KelvaneAudioProcessor>();
    processor->setPlayConfigDetails (channels, channels, sampleRate, blockSize);
    processor->prepareToPlay (sampleRate, blockSize);
    return processor;
}

// The parameter classes keep their overrides private; they are reached through the base class.
inline juce::AudioProcessorParameter& asParameter (juce::AudioProcessorParameter* parameter)
{
    return *parameter;
}

inline std::vector<double> sine (double amplitude, double frequency, double sampleRate, int numSamples,
                                 int startIndex = 0)
{
    std::vector<double> samples ((size_t) numSamples);
    for (int i = 0; i < numSamples; ++i)
        samples[(size_t) i] = amplitude * std::sin (2.0 * pi * frequency * (startIndex + i) / sampleRate);
    return samples;
}

// Runs the given channels through the double-precision path in blocks; returns the processed samples.
inline std::vector<std::vector<double>> processDouble (KelvaneAudioProcessor& processor,
                                                       const std::vector<std::vector<double>>& input,
                                                       int blockSize)
{
    auto output = input;
    const int numChannels = (int) input.size();
    const int numSamples = (int) input[0].size();
    juce::MidiBuffer midi;
    juce::AudioBuffer<double> block (numChannels, blockSize);
    for (int start = 0; start < numSamples; start += blockSize)
    {
        const int count = std::min (blockSize, numSamples - start);
        block.setSize (numChannels, count, false, false, true);
        for (int c = 0; c < numChannels; ++c)
            for (int i = 0; i < count; ++i)
                block.setSample (c, i, input[(size_t) c][(size_t) (start + i)]);
        processor.processBlock (block, midi);
        for (int c = 0; c < numChannels; ++c)
            for (int i = 0; i < count; ++i)
                output[(size_t) c][(size_t) (start + i)] = block.getSample (c, i);
    }
    return output;
}

// Processes one double-precision block made of the given samples, in place.
inline void processOnce (KelvaneAudioProcessor& processor, std::vector<std::vector<double>>& channels)
{
    std::vector<double*> pointers;
    for (auto& channel : channels)
        pointers.push_back (channel.data());
    juce::AudioBuffer<double> block (pointers.data(), (int) pointers.size(), (int) channels[0].size());
    juce::MidiBuffer midi;
    processor.processBlock (block, midi);
}

inline double peakOf (const std::vector<double>& samples, size_t from = 0)
{
    double peak = 0.0;
    for (size_t i = from; i < samples.size(); ++i)
        peak = std::max (peak, std::abs (samples[i]));
    return peak;
}

// Every number of the engine state, rings included, for before/after comparisons.
inline std::vector<double> snapshot (const EngineState& s)
{
    std::vector<double> v;
    auto add = [&v] (const double* values, int count) { v.insert (v.end(), values, values + count); };
    add (&s.smoothedReduction[0][0], 4);
    add (&s.peakReduction[0][0], 4);
    add (s.cachedSampleRate, 2);
    add (s.cachedReleaseMs, 2);
    add (s.attackCoefficient, 2);
    add (s.releaseCoefficient, 2);
    v.push_back (s.boostRamp);
    v.push_back (s.ringPosition);
    add (s.ringSums, 2);
    v.push_back (s.extremeSamplesInRing[0]);
    v.push_back (s.extremeSamplesInRing[1]);
    add (s.x1, 8);
    add (s.x2, 8);
    add (s.y1, 8);
    add (s.y2, 8);
    v.push_back (s.windowLength);
    for (const auto& ring : s.rings)
        if (ring != nullptr)
            add (ring.get(), s.windowLength);
    return v;
}

inline std::vector<double> coefficientsOf (const EngineState& s)
{
    std::vector<double> v;
    for (const double* array : { s.b0, s.b1, s.b2, s.a1, s.a2 })
        v.insert (v.end(), array, array + 8);
    return v;
}
} // namespace engine_test
