// The saved state: the exact bytes written, and what reading good, bad and random blocks does.
#include "EngineTestSupport.h"

#include <cstring>
#include <string>

namespace
{
std::string settingsText(const std::string& attributes, const std::string& tag = "MYPLUGINSETTINGS")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + tag + attributes + "/>";
}

// A block in the saved-state layout around the text; by default the length field is the text's length.
std::string blockWith(const std::string& text, int64_t lengthField = -1, uint32_t magic = 0x21324356)
{
    const auto length = (uint32_t)(lengthField < 0 ? (int64_t)text.size() : lengthField);
    std::string block(8, '\0');
    std::memcpy(&block[0], &magic, 4);
    std::memcpy(&block[4], &length, 4);
    return block + text + '\0';
}

struct SavedState : ::testing::Test, juce::AudioProcessorListener
{
    KelvaneAudioProcessor processor;
    std::vector<std::pair<int, float>> heard;

    void SetUp() override { processor.addListener(this); }
    void TearDown() override { processor.removeListener(this); }
    void audioProcessorParameterChanged(juce::AudioProcessor*, int i, float v) override { heard.push_back({i, v}); }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}

    // Reads an exact-size copy, so that the address sanitizer sees any read past the end.
    void read(const std::string& bytes)
    {
        const auto copy = std::make_unique<char[]>(bytes.size());
        std::memcpy(copy.get(), bytes.data(), bytes.size());
        processor.setStateInformation(copy.get(), (int)bytes.size());
    }
    // Sets the three values (or, given none, only clears the heard) and returns them as stored.
    std::vector<float> values(std::vector<float> set = {})
    {
        std::vector<float> v;
        for (size_t i = 0; i < 3; ++i)
        {
            if (!set.empty())
                processor.getParameters()[(int)i]->setValueNotifyingHost(set[i]);
            v.push_back(processor.getParameters()[(int)i]->getValue());
        }
        heard.clear();
        return v;
    }
    std::string written()
    {
        juce::MemoryBlock block;
        block.setSize(300); // stale contents, longer than the state: replaced
        processor.getStateInformation(block);
        return std::string((const char*)block.getData(), block.getSize());
    }
};
} // namespace

TEST_F(SavedState, WritesThe105ByteDefaultTheLevelInSixteenDigitsAndTheSwitchesAsIntegers)
{
    EXPECT_EQ(written(), blockWith(settingsText(" dbEnable=\"1\" dbMain=\"0.5\" dbVocal=\"0\"")));
    EXPECT_EQ(written().substr(0, 8), std::string("\x56\x43\x32\x21\x60\0\0\0", 8));
    EXPECT_EQ(written().size(), 105u);

    const std::pair<float, std::string> levels[] = {{0.123f, "0.1230000033974648"},
                                                    {0.037f, "0.03700000047683716"},
                                                    {0.007f, "0.007000000216066837"},
                                                    {0.0f, "0.0"},
                                                    {1.0f, "1.0"}};
    for (const auto& [level, text] : levels)
    {
        values({0.3f, level, 0.7f});
        EXPECT_EQ(written(), blockWith(settingsText(" dbEnable=\"0\" dbMain=\"" + text + "\" dbVocal=\"1\"")));
    }
}

TEST_F(SavedState, ReadingRestoresTheLevelExactlyAndSwitchesAsWholeValuesNotifyingInOrder)
{
    KelvaneAudioProcessor source;
    for (float level : {0.0f, 0.001f, 0.037f, 0.123f, 0.5f, 0.999f, 1.0f})
    {
        source.enableParameter->setValueNotifyingHost(0.7f);
        source.levelParameter->setValueNotifyingHost(level);
        source.vocalParameter->setValueNotifyingHost(0.2f);
        juce::MemoryBlock block;
        source.getStateInformation(block);
        heard.clear();
        processor.setCurrentProgramStateInformation(block.getData(), (int)block.getSize());
        const auto stored = source.levelParameter->get();
        EXPECT_EQ(heard, (std::vector<std::pair<int, float>>{{0, 1.0f}, {1, stored}, {2, 0.0f}}));
    }
}

TEST_F(SavedState, AttributesReadAsNumbersAndMissingOnesKeepTheCurrentValue)
{
    const std::tuple<std::string, std::vector<float>, std::vector<float>> cases[] = {
        {settingsText(""), {0.7f, 0.321f, 0.6f}, {1, 0.321f, 1}},
        {settingsText(" dbEnable=\"true\" dbMain=\"0.1234\" dbVocal=\"0.7\""), {1, 0.5f, 0}, {0, 0.123f, 0.7f}},
        {settingsText(" dbEnable=\"0\" DBMAIN=\"0.9\" dbvocal=\"1\"", "myPluginSettings"), {1, 0.2f, 1}, {0, 0.2f, 1}},
        {settingsText(" dbEnable=\"5\" dbMain=\"nan\" dbVocal=\"-3\""), {0, 0.4f, 1}, {1, 0.4f, 0}},
        {settingsText(" dbEnable=\"nan\" dbMain=\"inf\" dbVocal=\"1e400\""), {1, 0.4f, 0}, {1, 1, 1}},
        {settingsText(" dbMain=\"0.6\" n=\"\xC3\xA9\xE6\x97\xA5\xF0\x9F\x8E\xB5\""), {1, 0.5f, 0}, {1, 0.6f, 0}},
        {settingsText(" dbMain=\"0.3\"") + std::string(1, '\0') + "<junk", {1, 0.5f, 0}, {1, 0.3f, 0}},
    };
    for (const auto& [text, before, after] : cases)
    {
        values(before);
        read(blockWith(text));
        EXPECT_EQ(heard.size(), 3u) << text;
        const auto got = values();
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], after[i], 1e-7f) << text << ", parameter " << i;
    }
    const auto pastTheEnd = blockWith(settingsText(" dbMain=\"0.8\""), 100000); // the bytes that are there
    read(pastTheEnd.substr(0, pastTheEnd.size() - 1));
    EXPECT_NEAR(processor.levelParameter->get(), 0.8f, 1e-7f);
}

TEST_F(SavedState, BadBlocksChangeNothingAndNotifyNobody)
{
    const auto good = settingsText(" dbEnable=\"0\" dbMain=\"0.9\" dbVocal=\"0\"");
    std::vector<std::string> bad{"", // too short, another magic, a length field below 1, no XML, another tag
                                 blockWith(good).substr(0, 8),
                                 blockWith(good, -1, 0x21324357),
                                 blockWith(good, -1, 0x56433221),
                                 blockWith(good, 0),
                                 blockWith(good, 0xFFFFFFFFll),
                                 blockWith(good, 0x80000000ll),
                                 blockWith("this is not XML at all"),
                                 blockWith("<?xml version=\"1.0\"?>"),
                                 blockWith("<>"),
                                 blockWith(settingsText("", "MYPLUGINSETTING")),
                                 blockWith(std::string("\0<MYPLUGINSETTINGS dbMain=\"0.9\"/>", 33))};
    // Invalid UTF-8: cut, stray, overlong, a surrogate, beyond U+10FFFF.
    for (std::string bytes : {"\xC3", "\xF4\x8F", "\xFF", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
    {
        bad.push_back(blockWith(settingsText(" dbMain=\"0.9\" note=\"" + bytes + "\"")));
        const auto cut = blockWith(settingsText(" dbMain=\"0.9\"") + bytes); // ending inside a character
        bad.push_back(cut.substr(0, cut.size() - 1));
    }
    const auto before = values({1.0f, 0.3f, 1.0f});
    for (const auto& block : bad)
        read(block);
    processor.setStateInformation(nullptr, 200);
    processor.setStateInformation(good.data(), -5);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(values(), before);
}
