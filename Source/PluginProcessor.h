#pragma once

#include "EngineState.h"
#include "ParameterValueGuard.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>

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
    std::atomic<double> meterStepLeft{0.0};
    std::atomic<double> meterStepRight{0.0};
    static_assert(std::atomic<double>::is_always_lock_free, "meter steps must be lock-free");

    std::unique_ptr<EngineState> engineState;

    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock(juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlock(juce::AudioBuffer<double>&, juce::MidiBuffer&) override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram(int index) override;
    const juce::String getProgramName(int index) override;
    void changeProgramName(int index, const juce::String& newName) override;
    void getStateInformation(juce::MemoryBlock& destData) override;
    void getCurrentProgramStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    void setCurrentProgramStateInformation(const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;
    bool supportsDoublePrecisionProcessing() const override;

private:
    // The chain reads the level parameter anew for every sample.
    struct LevelParameterSource final : LevelSource
    {
        juce::AudioParameterFloat* parameter = nullptr;
        float lastUsable = 0.5f;
        void readLevels(float* levels, int count) noexcept override;
    };

    template <typename Sample>
    void processAnyBlock(juce::AudioBuffer<Sample>& buffer);

    LevelParameterSource levelSource;

    ParameterValueGuard parameterGuard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KelvaneAudioProcessor)
};
