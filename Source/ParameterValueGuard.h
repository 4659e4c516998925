#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>
#include <vector>

// Keeps parameters at values the engine and a host can use: within 0..1, never NaN. A host's value reaches
// the parameter objects through JUCE's AAX client unchecked (a switch stores whatever float it is given),
// so a value outside 0..1 is pulled to the nearer bound and a NaN gives way to the last usable value.
class ParameterValueGuard final : private juce::AudioProcessorParameter::Listener
{
public:
    ParameterValueGuard() = default;
    ~ParameterValueGuard() override;

    // Before any value arrives; the parameter must outlive the guard or stop being watched with it.
    void watch(juce::AudioProcessorParameter& parameter);

private:
    void parameterValueChanged(int parameterIndex, float newValue) override;
    void parameterGestureChanged(int, bool) override {}

    struct Watched
    {
        juce::AudioProcessorParameter* parameter = nullptr;
        std::atomic<float> lastUsable{0.0f};
    };
    std::vector<std::unique_ptr<Watched>> watched;

    JUCE_DECLARE_NON_COPYABLE(ParameterValueGuard)
};
