#include "PluginProcessor.h"

#include "MeterSteps.h"
#include "PluginEditor.h"
#include "SavedState.h"
#include "WindowManagerAtoms.h"

#include <cmath>

KelvaneAudioProcessor::KelvaneAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true))
{
    engineState = std::make_unique<EngineState>();

    enableParameter = new juce::AudioParameterBool("dbEnable", "Enable", true);
    addParameter(enableParameter);

    // The convenience constructor's 0.01 interval fixes the two-decimal text; the values themselves move
    // in steps of 0.001.
    levelParameter = new juce::AudioParameterFloat("dbMain", "Level", 0.0f, 1.0f, 0.5f);
    levelParameter->range = juce::NormalisableRange<float>(0.0f, 1.0f, 0.001f, 1.0f);
    addParameter(levelParameter);
    levelSource.parameter = levelParameter;

    vocalParameter = new juce::AudioParameterBool("dbVocal", "Vocal Mode", false);
    addParameter(vocalParameter);

    for (auto* parameter :
         {(juce::AudioProcessorParameter*)enableParameter, (juce::AudioProcessorParameter*)levelParameter,
          (juce::AudioProcessorParameter*)vocalParameter})
        parameterGuard.watch(*parameter);
}

KelvaneAudioProcessor::~KelvaneAudioProcessor() = default;

const juce::String KelvaneAudioProcessor::getName() const
{
    return "Kelvane";
}

void KelvaneAudioProcessor::prepareToPlay(double sampleRate, int)
{
    engineState->prepare(sampleRate);
}

void KelvaneAudioProcessor::releaseResources() {}

// A host's NaN or out-of-range value reaches the parameter before the guard mends it, and a block may read it
// in between: the chain keeps the last usable level instead of turning the output into NaN.
void KelvaneAudioProcessor::LevelParameterSource::readLevels(float* levels, int count) noexcept
{
    for (int i = 0; i < count; ++i)
    {
        const float level = parameter->get();
        if (level >= 0.0f && level <= 1.0f)
            lastUsable = level;
        else if (!std::isnan(level))
            lastUsable = level < 0.0f ? 0.0f : 1.0f;
        levels[i] = lastUsable;
    }
}

// Both precisions run the same chain: single-precision samples are widened on the way in and rounded on the
// way out, exactly as a double-precision copy of the block would be.
template <typename Sample>
void KelvaneAudioProcessor::processAnyBlock(juce::AudioBuffer<Sample>& buffer)
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();

    for (int channel = getTotalNumInputChannels(); channel < std::min(getTotalNumOutputChannels(), numChannels);
         ++channel)
        buffer.clear(channel, 0, numSamples);

    meterStepLeft.store(0.0, std::memory_order_relaxed);
    meterStepRight.store(0.0, std::memory_order_relaxed);
    if (numChannels == 0 || !enableParameter->get())
        return;

    if (!engineState->beginBlock(getSampleRate(), vocalParameter->get(), numSamples))
        return;

    const bool stereo = getTotalNumInputChannels() > 1 && numChannels > 1;
    Sample* left = buffer.getWritePointer(0);
    Sample* right = stereo ? buffer.getWritePointer(1) : nullptr;
    const auto peaks = engineState->process(left, right, numSamples, levelSource);

    const double leftStep = meterStepForPeak(peaks.left);
    meterStepLeft.store(leftStep, std::memory_order_relaxed);
    meterStepRight.store(stereo ? meterStepForPeak(peaks.right) : leftStep, std::memory_order_relaxed);
}

void KelvaneAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    processAnyBlock(buffer);
}

void KelvaneAudioProcessor::processBlock(juce::AudioBuffer<double>& buffer, juce::MidiBuffer&)
{
    processAnyBlock(buffer);
}

double KelvaneAudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool KelvaneAudioProcessor::acceptsMidi() const
{
    return false;
}

bool KelvaneAudioProcessor::producesMidi() const
{
    return false;
}

juce::AudioProcessorEditor* KelvaneAudioProcessor::createEditor()
{
#if JUCE_LINUX
    {
        // The framework opens its display connection, and reads the window-manager atoms once, with the
        // window's first use of the display: on a display without a window manager it would find none of them,
        // and the window would then end the host. They are made here first, and the framework's connection is
        // opened while ours still holds them; after that the framework's own connection keeps them in the
        // server for as long as it can use them.
        const kelvane::platform::WindowManagerAtoms windowManagerAtoms;
        juce::Desktop::getInstance();
    }
#endif
    return new KelvaneAudioProcessorEditor(*this);
}

bool KelvaneAudioProcessor::hasEditor() const
{
    return true;
}

int KelvaneAudioProcessor::getNumPrograms()
{
    return 1;
}

int KelvaneAudioProcessor::getCurrentProgram()
{
    return 0;
}

void KelvaneAudioProcessor::setCurrentProgram(int) {}

const juce::String KelvaneAudioProcessor::getProgramName(int)
{
    return {};
}

void KelvaneAudioProcessor::changeProgramName(int, const juce::String&) {}

void KelvaneAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    SavedState::write({enableParameter->get(), levelParameter->get(), vocalParameter->get()}, destData);
}

void KelvaneAudioProcessor::getCurrentProgramStateInformation(juce::MemoryBlock& destData)
{
    getStateInformation(destData);
}

// Every readable block sets all three parameters, in this order, each notifying the host; a missing
// attribute re-applies the current value.
void KelvaneAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    const auto settings = SavedState::read(data, sizeInBytes);
    if (settings == nullptr)
        return;

    enableParameter->setValueNotifyingHost(
        SavedState::valueOf(*settings, "dbEnable", enableParameter->get() ? 1.0 : 0.0));
    levelParameter->setValueNotifyingHost(SavedState::valueOf(*settings, "dbMain", (double)levelParameter->get()));
    vocalParameter->setValueNotifyingHost(SavedState::valueOf(*settings, "dbVocal", vocalParameter->get() ? 1.0 : 0.0));
}

void KelvaneAudioProcessor::setCurrentProgramStateInformation(const void* data, int sizeInBytes)
{
    setStateInformation(data, sizeInBytes);
}

bool KelvaneAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();
    const auto input = layouts.getMainInputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return input == output;
}

// The whole chain works in double precision; single-precision blocks are widened to it.
bool KelvaneAudioProcessor::supportsDoublePrecisionProcessing() const
{
    return true;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new KelvaneAudioProcessor();
}
