// The processor as the framework sees it: buses, accepted layouts, parameters and query answers.
#include "EngineTestSupport.h"

using namespace engine_test;

namespace
{
using Layout = juce::AudioProcessor::BusesLayout;
using Set = juce::AudioChannelSet;

Layout layoutOf (std::initializer_list<Set> inputs, std::initializer_list<Set> outputs)
{
    Layout layout;
    for (const auto& set : inputs)
        layout.inputBuses.add (set);
    for (const auto& set : outputs)
        layout.outputBuses.add (set);
    return layout;
}

juce::String idOf (juce::AudioProcessorParameter* parameter)
{
    return dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter)->paramID;
}
} // namespace

TEST (ProcessorLayouts, AcceptsMonoToMonoAndStereoToStereo)
{
    KelvaneAudioProcessor processor;
    EXPECT_TRUE (processor.isBusesLayoutSupported (layoutOf ({ Set::mono() }, { Set::mono() })));
    EXPECT_TRUE (processor.isBusesLayoutSupported (layoutOf ({ Set::stereo() }, { Set::stereo() })));
}

TEST (ProcessorLayouts, RefusesEveryOtherLayout)
{
    KelvaneAudioProcessor processor;
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ Set::mono() }, { Set::stereo() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ Set::stereo() }, { Set::mono() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ Set::create5point1() }, { Set::create5point1() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ Set::stereo() }, { Set::disabled() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({}, { Set::stereo() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ Set::disabled() }, { Set::stereo() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({}, {})));
}

TEST (ProcessorLayouts, ComparesWholeChannelSetsNotCounts)
{
    KelvaneAudioProcessor processor;
    // Two channels, but not left and right.
    const auto sideSet = Set::channelSetWithChannels ({ Set::leftSurround, Set::rightSurround });
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ sideSet }, { Set::stereo() })));
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ sideSet }, { sideSet })));
    const auto discreteMono = Set::discreteChannels (1);
    EXPECT_FALSE (processor.isBusesLayoutSupported (layoutOf ({ discreteMono }, { Set::mono() })));
}

TEST (ProcessorLayouts, LooksOnlyAtTheMainBuses)
{
    KelvaneAudioProcessor processor;
    EXPECT_TRUE (processor.isBusesLayoutSupported (
        layoutOf ({ Set::stereo(), Set::create5point1() }, { Set::stereo(), Set::mono() })));
}

TEST (ProcessorBuses, OneStereoInputAndOutputBusActiveByDefault)
{
    KelvaneAudioProcessor processor;
    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (true, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabled());
    EXPECT_TRUE (processor.getBus (false, 0)->isEnabled());
}

TEST (ProcessorParameters, ThreeParametersInOrderWithIdsNamesAndDefaults)
{
    std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
    auto& kelvane = dynamic_cast<KelvaneAudioProcessor&> (*processor);
    const auto& parameters = processor->getParameters();
    ASSERT_EQ (parameters.size(), 3);

    EXPECT_EQ (parameters[0], kelvane.enableParameter);
    EXPECT_EQ (parameters[1], kelvane.levelParameter);
    EXPECT_EQ (parameters[2], kelvane.vocalParameter);

    EXPECT_EQ (idOf (parameters[0]), "dbEnable");
    EXPECT_EQ (idOf (parameters[1]), "dbMain");
    EXPECT_EQ (idOf (parameters[2]), "dbVocal");
    EXPECT_EQ (parameters[0]->getName (100), "Enable");
    EXPECT_EQ (parameters[1]->getName (100), "Level");
    EXPECT_EQ (parameters[2]->getName (100), "Vocal Mode");

    EXPECT_EQ (parameters[0]->getValue(), 1.0f);
    EXPECT_EQ (parameters[1]->getValue(), 0.5f);
    EXPECT_EQ (parameters[2]->getValue(), 0.0f);
    EXPECT_EQ (parameters[0]->getDefaultValue(), 1.0f);
    EXPECT_EQ (parameters[1]->getDefaultValue(), 0.5f);
    EXPECT_EQ (parameters[2]->getDefaultValue(), 0.0f);

    for (auto* parameter : parameters)
    {
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_EQ (parameter->getCategory(), juce::AudioProcessorParameter::genericParameter);
    }
    EXPECT_EQ (processor->getBypassParameter(), nullptr);
}

TEST (ProcessorParameters, StepCountsAndTexts)
{
    KelvaneAudioProcessor processor;
    EXPECT_EQ (asParameter (processor.enableParameter).getNumSteps(), 2);
    EXPECT_EQ (asParameter (processor.vocalParameter).getNumSteps(), 2);
    EXPECT_EQ (asParameter (processor.levelParameter).getNumSteps(), 2147483647);

    EXPECT_EQ (processor.enableParameter->getCurrentValueAsText(), "On");
    EXPECT_EQ (processor.vocalParameter->getCurrentValueAsText(), "Off");
    EXPECT_EQ (processor.levelParameter->getCurrentValueAsText(), "0.50");
    EXPECT_TRUE (asParameter (processor.enableParameter).isDiscrete());
    EXPECT_TRUE (asParameter (processor.enableParameter).isBoolean());
}

TEST (ProcessorParameters, LevelMovesInThousandthsButShowsTwoDecimals)
{
    KelvaneAudioProcessor processor;
    auto* level = processor.levelParameter;
    EXPECT_FLOAT_EQ (level->range.interval, 0.001f);
    EXPECT_EQ (level->range.start, 0.0f);
    EXPECT_EQ (level->range.end, 1.0f);
    EXPECT_EQ (level->range.skew, 1.0f);

    level->setValueNotifyingHost (0.1234f);
    EXPECT_NEAR (level->get(), 0.123f, 1e-7f);
    EXPECT_EQ (level->getCurrentValueAsText(), "0.12");

    level->setValueNotifyingHost (0.4567f);
    EXPECT_NEAR (level->get(), 0.457f, 1e-7f);

    level->setValueNotifyingHost (1.7f);
    EXPECT_EQ (level->get(), 1.0f);
    level->setValueNotifyingHost (-0.2f);
    EXPECT_EQ (level->get(), 0.0f);
}

TEST (ProcessorParameters, SwitchesStoreTheirValueAndTurnOnAtOneHalf)
{
    KelvaneAudioProcessor processor;
    processor.vocalParameter->setValueNotifyingHost (0.49f);
    EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 0.49f);
    EXPECT_FALSE (processor.vocalParameter->get());
    processor.vocalParameter->setValueNotifyingHost (0.5f);
    EXPECT_TRUE (processor.vocalParameter->get());
    processor.enableParameter->setValueNotifyingHost (0.3f);
    EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 0.3f);
    EXPECT_FALSE (processor.enableParameter->get());
}

TEST (ProcessorQueries, FreshProcessorAnswers)
{
    KelvaneAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "Kelvane");
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (processor.getProgramName (7), "");
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_TRUE (processor.supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor.meterStepLeft.load(), 0.0);
    EXPECT_EQ (processor.meterStepRight.load(), 0.0);
}

TEST (ProcessorQueries, ProgramCallsChangeNothing)
{
    KelvaneAudioProcessor processor;
    processor.setCurrentProgram (5);
    processor.setCurrentProgram (-1);
    processor.changeProgramName (0, "Loud");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (processor.levelParameter->get(), 0.5f);
}

TEST (ProcessorLifecycle, UnpreparedProcessorHasStateButNoRings)
{
    auto processor = std::make_unique<KelvaneAudioProcessor>();
    ASSERT_NE (processor->engineState, nullptr);
    EXPECT_EQ (processor->engineState->windowLength, 400);
    EXPECT_EQ (processor->engineState->rings[0], nullptr);
    EXPECT_EQ (processor->engineState->rings[1], nullptr);
    processor.reset(); // must release only the state (sanitizer builds catch a bad release)
}
