#pragma once

#include "ParameterValueGuard.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// All working state of one instance's signal chain: limiter stages, boost ramp, detector windows and
// detector filters. Reset by prepareToPlay.
struct EngineState
{
    // [stage][channel]; stage 0 is the first limiter, channel 0 is left.
    double smoothedReduction[2][2] = {};
    double peakReduction[2][2] = {};
    // Per limiter stage: what its coefficients were made for, and the coefficients.
    double cachedSampleRate[2] = {};
    double cachedReleaseMs[2] = {};
    double attackCoefficient[2] = {};
    double releaseCoefficient[2] = {};

    double boostRamp = 0.0;
    int32_t ringPosition = 0;
    // Detector windows (left, right), windowLength entries each; null until prepared.
    std::unique_ptr<double[]> rings[2];
    double ringSums[2] = {};

    // Eight detector biquad sections, normalised so that a0 = 1: 0..3 the left chain, 4..7 the right.
    double b0[8] = {}, b1[8] = {}, b2[8] = {}, a1[8] = {}, a2[8] = {};
    double x1[8] = {}, x2[8] = {}, y1[8] = {}, y2[8] = {};

    int32_t windowLength = 400;

    // Per channel: ring slots holding a sample far beyond any real audio; when the last one leaves, the
    // channel's running sum is rebuilt from the ring (see the detector).
    int32_t extremeSamplesInRing[2] = {};
};

// Returns v when it is a finite normal number, otherwise +0.0 (zeros, subnormals, infinities, NaN).
// Inline: the signal chain calls it several times per sample.
inline double sanitizeSample (double v) noexcept
{
    const double magnitude = v < 0.0 ? -v : v;
    return (magnitude >= 2.2250738585072014e-308 && magnitude <= 1.7976931348623157e308) ? v : 0.0;
}

// Meter step 1..11 for the peak magnitude of one processed output channel.
double meterStepForPeak (double peak) noexcept;

// Detector window length in samples (10 ms, rounded down) for a sample rate; never less than 1.
int32_t windowLengthForSampleRate (double sampleRate) noexcept;

class KelvaneAudioProcessor : public juce::AudioProcessor
{
public:
    KelvaneAudioProcessor();
    ~KelvaneAudioProcessor() override;

    // Parameter objects, owned by the base class; they never change after construction.
    juce::AudioParameterBool* enableParameter = nullptr;
    juce::AudioParameterBool* vocalParameter = nullptr;
    juce::AudioParameterFloat* levelParameter = nullptr;

    // Meter steps 0..11 of the left (or only) and right output channel. Written by the audio thread at the
    // end of each block, read by the editor without a lock: each is one indivisible double.
    std::atomic<double> meterStepLeft { 0.0 };
    std::atomic<double> meterStepRight { 0.0 };
    static_assert (std::atomic<double>::is_always_lock_free, "meter steps must be lock-free");

    std::unique_ptr<EngineState> engineState;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlock (juce::AudioBuffer<double>&, juce::MidiBuffer&) override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    bool supportsDoublePrecisionProcessing() const override;

private:
    // What the chain needs for one block, fixed once at the block's start.
    struct BlockSetup
    {
        bool stereo = false;
        double threshold = 0.0;
        double riseStep = 0.0;
        double fallStep = 0.0;
        double boostFactor = 0.0;
    };

    template <typename SampleType>
    bool beginBlock (juce::AudioBuffer<SampleType>& buffer, BlockSetup& setup);
    bool startBlock (int numSamples, bool stereo, BlockSetup& setup);
    void clearMeterSteps() noexcept;
    void processSamples (const BlockSetup& setup, double* left, double* right, int numSamples) noexcept;
    void publishMeterSteps (double peakLeft, double peakRight, bool stereo) noexcept;
    bool blockIsStereo (int numChannelsInBuffer) const noexcept;
    void processOversizedFloatBlock (juce::AudioBuffer<float>& buffer);

    // Double-precision copy of single-precision blocks, sized by prepareToPlay so that processing a block
    // allocates nothing.
    std::vector<double> widenedSamples;
    int widenedChannels = 0;
    int widenedCapacity = 0;

    ParameterValueGuard parameterGuard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvaneAudioProcessor)
};
