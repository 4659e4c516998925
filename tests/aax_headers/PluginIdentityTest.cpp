// The plug-in's identity as JUCE's AAX client reads it from the build settings: what the host registers and
// shows, and the format options it may use.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#define KELVANE_TEXT_OF(tokens) #tokens
#define KELVANE_TEXT(tokens) KELVANE_TEXT_OF(tokens)

namespace
{
TEST(PluginIdentity, NamesCodesAndVersion)
{
    EXPECT_STREQ(JucePlugin_Name, "Kelvane");
    EXPECT_STREQ(JucePlugin_Manufacturer, "ZELVO-AUDIO");
    EXPECT_EQ(JucePlugin_VersionCode, 0x00020504);
    EXPECT_STREQ(JucePlugin_VersionString, "2.5.4");
    EXPECT_EQ(std::string(KELVANE_TEXT(JucePlugin_Version)), "2.5.4");
    EXPECT_EQ(uint32_t(JucePlugin_AAXManufacturerCode), 0x4D616E75u); // 'Manu'
    EXPECT_EQ(uint32_t(JucePlugin_AAXProductId), 0x59657373u);        // 'Yess'
    EXPECT_EQ(JucePlugin_AAXCategory, 2);                             // dynamics
}

} // namespace
