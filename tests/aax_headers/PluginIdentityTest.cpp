// The plug-in's identity as JUCE's AAX client reads it from the build settings: what the host registers
// and shows (names, codes, version, category) and the format options it is allowed to use.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#define KELVANE_TEXT_OF(tokens) #tokens
#define KELVANE_TEXT(tokens) KELVANE_TEXT_OF(tokens)

namespace
{
TEST(PluginIdentity, NamesAndManufacturer)
{
    EXPECT_STREQ(JucePlugin_Name, "Kelvane");
    EXPECT_STREQ(JucePlugin_Manufacturer, "ZELVO-AUDIO");
}

TEST(PluginIdentity, VersionAsReportedAndAsText)
{
    EXPECT_EQ(JucePlugin_VersionCode, 0x00020504);
    EXPECT_STREQ(JucePlugin_VersionString, "2.5.4");
}

// Four-character codes: first character in the most significant byte.
TEST(PluginIdentity, ManufacturerAndProductCodes)
{
    EXPECT_EQ(static_cast<uint32_t>(JucePlugin_AAXManufacturerCode), 0x4D616E75u);  // 'Manu'
    EXPECT_EQ(static_cast<uint32_t>(JucePlugin_AAXProductId), 0x59657373u);         // 'Yess'
}

TEST(PluginIdentity, EffectIdentifierIsReverseDomain)
{
    const std::string identifier = KELVANE_TEXT(JucePlugin_AAXIdentifier);
    EXPECT_EQ(identifier.rfind("com.", 0), 0u) << identifier;
    EXPECT_EQ(identifier.find(' '), std::string::npos) << identifier;
}

TEST(PluginIdentity, DynamicsCategory)
{
    EXPECT_EQ(JucePlugin_AAXCategory, 2);
}

// AudioSuite, multi-mono and the host's bypass are allowed; no MIDI in or out.
TEST(PluginIdentity, FormatOptions)
{
    EXPECT_EQ(JucePlugin_Build_AAX, 1);
    EXPECT_EQ(JucePlugin_AAXDisableAudioSuite, 0);
    EXPECT_EQ(JucePlugin_AAXDisableMultiMono, 0);
    EXPECT_EQ(JucePlugin_AAXDisableBypass, 0);
    EXPECT_EQ(JucePlugin_WantsMidiInput, 0);
    EXPECT_EQ(JucePlugin_ProducesMidiOutput, 0);
    EXPECT_EQ(JucePlugin_IsMidiEffect, 0);
    EXPECT_EQ(JucePlugin_IsSynth, 0);
}
} // namespace
