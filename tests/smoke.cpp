#include "PluginProcessor.h"
#include <gtest/gtest.h>
TEST(Smoke, JuceLinks) { juce::MemoryBlock b; juce::XmlElement x("A"); EXPECT_EQ(x.getTagName(), "A"); }
