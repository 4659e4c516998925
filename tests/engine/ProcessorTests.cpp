// The processor as hosts see it: accepted layouts, the three parameters, the fixed answers.
#include "EngineTestSupport.h"

using Set = juce::AudioChannelSet;

TEST(Processor, AcceptsOnlyMonoToMonoAndStereoToStereoComparingWholeSets)
{
    const std::tuple<juce::Array<Set>, juce::Array<Set>, bool> cases[] = {
        {{Set::mono()}, {Set::mono()}, true},
        {{Set::stereo()}, {Set::stereo()}, true},
        {{Set::stereo(), Set::create5point1()}, {Set::stereo(), Set::mono()}, true}, // main buses only
        {{Set::mono()}, {Set::stereo()}, false},
        {{Set::stereo()}, {Set::mono()}, false},
        {{Set::create5point1()}, {Set::create5point1()}, false},
        {{Set::stereo()}, {Set::disabled()}, false},
        {{}, {Set::stereo()}, false},
        {{Set::channelSetWithChannels({Set::leftSurround, Set::rightSurround})}, {Set::stereo()}, false},
    };
    KelvaneAudioProcessor processor;
    for (const auto& [inputs, outputs, accepted] : cases)
    {
        const juce::AudioProcessor::BusesLayout layout{inputs, outputs};
        EXPECT_EQ(processor.isBusesLayoutSupported(layout), accepted)
            << layout.getMainInputChannelSet().getDescription() << " -> " << outputs.size() << " buses";
    }
}

TEST(Processor, ThreeParametersWithTheirIdsNamesDefaultsStepsAndTexts)
{
    std::unique_ptr<juce::AudioProcessor> created(createPluginFilter());
    auto& processor = dynamic_cast<KelvaneAudioProcessor&>(*created);
    const std::tuple<const char*, const char*, float, int, const char*> expected[] = {
        {"dbEnable", "Enable", 1.0f, 2, "On"},
        {"dbMain", "Level", 0.5f, 2147483647, "0.50"},
        {"dbVocal", "Vocal Mode", 0.0f, 2, "Off"},
    };
    ASSERT_EQ(processor.getParameters().size(), 3);
    for (int i = 0; i < 3; ++i)
    {
        const auto& [id, name, value, steps, text] = expected[i];
        auto* p = processor.getParameters()[i];
        EXPECT_EQ(dynamic_cast<juce::AudioProcessorParameterWithID*>(p)->paramID, id);
        EXPECT_EQ(p->getName(100), name);
        EXPECT_EQ(p->getValue(), value);
        EXPECT_EQ(p->getDefaultValue(), value);
        EXPECT_EQ(p->getNumSteps(), steps);
        EXPECT_EQ(p->getCurrentValueAsText() + p->getLabel(), text);
        EXPECT_EQ(p->getCategory(), juce::AudioProcessorParameter::genericParameter);
    }
    EXPECT_EQ(processor.getBypassParameter(), nullptr);
}
