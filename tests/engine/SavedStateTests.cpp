// Saved state: the exact bytes written, and what reading good and bad blocks does to the parameters.
#include "EngineTestSupport.h"

#include <cstring>
#include <string>

using namespace engine_test;

namespace
{
const std::string defaultText =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <MYPLUGINSETTINGS dbEnable=\"1\" dbMain=\"0.5\" dbVocal=\"0\"/>";

// A block in the saved-state layout around the given text; the length field can be overridden.
juce::MemoryBlock blockWithText (const std::string& text, int64_t lengthField = -2, uint32_t magic = 0x21324356)
{
    const auto length = (uint32_t) (lengthField == -2 ? (int64_t) text.size() : lengthField);
    juce::MemoryBlock block;
    juce::MemoryOutputStream out (block, false);
    out.writeInt ((int) magic);
    out.writeInt ((int) length);
    out.write (text.data(), text.size());
    out.writeByte (0);
    out.flush();
    return block;
}

std::string settingsText (const std::string& attributes, const std::string& tag = "MYPLUGINSETTINGS")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + tag + attributes + "/>";
}

// Records every parameter notification the processor sends, in order.
struct NotificationLog : juce::AudioProcessorListener
{
    std::vector<std::pair<int, float>> changes;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        changes.emplace_back (index, value);
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
};

struct SavedState : ::testing::Test
{
    KelvaneAudioProcessor processor;
    NotificationLog log;

    void SetUp() override { processor.addListener (&log); }
    void TearDown() override { processor.removeListener (&log); }

    void read (const juce::MemoryBlock& block) { processor.setStateInformation (block.getData(), (int) block.getSize()); }

    std::vector<float> values() const
    {
        return { asParameter (processor.enableParameter).getValue(), asParameter (processor.levelParameter).getValue(),
                 asParameter (processor.vocalParameter).getValue() };
    }

    // Reading the block changes nothing and tells nobody.
    void expectIgnored (const juce::MemoryBlock& block)
    {
        SCOPED_TRACE (block.toString().toStdString());
        const auto before = values();
        log.changes.clear();
        read (block);
        EXPECT_EQ (values(), before);
        EXPECT_TRUE (log.changes.empty());
    }
};
} // namespace

TEST_F (SavedState, DefaultBlockIsExactly105Bytes)
{
    juce::MemoryBlock block;
    block.setSize (300); // stale contents, longer than the state: replaced, not appended to or kept
    block.fillWith (0xEE);
    processor.getStateInformation (block);
    ASSERT_EQ (block.getSize(), 105u);
    const auto* bytes = static_cast<const unsigned char*> (block.getData());
    const unsigned char header[] = { 0x56, 0x43, 0x32, 0x21, 0x60, 0x00, 0x00, 0x00 };
    EXPECT_EQ (std::memcmp (bytes, header, 8), 0);
    EXPECT_EQ (std::string ((const char*) bytes + 8, 96), defaultText);
    EXPECT_EQ (bytes[104], 0);
}

TEST_F (SavedState, CurrentProgramStateUsesTheSameBlock)
{
    processor.levelParameter->setValueNotifyingHost (0.25f);
    juce::MemoryBlock a, b;
    processor.getStateInformation (a);
    processor.getCurrentProgramStateInformation (b);
    EXPECT_EQ (a, b);

    KelvaneAudioProcessor other;
    other.setCurrentProgramStateInformation (a.getData(), (int) a.getSize());
    EXPECT_EQ (other.levelParameter->get(), 0.25f);
}

TEST_F (SavedState, WritesTheLevelAsSixteenDigitsAndSwitchesAsIntegers)
{
    processor.levelParameter->setValueNotifyingHost (0.123f);
    processor.enableParameter->setValueNotifyingHost (0.3f);
    processor.vocalParameter->setValueNotifyingHost (0.7f);
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    const std::string text ((const char*) block.getData() + 8, block.getSize() - 9);
    EXPECT_EQ (text, settingsText (" dbEnable=\"0\" dbMain=\"0.1230000033974648\" dbVocal=\"1\""));
    uint32_t length;
    std::memcpy (&length, (const char*) block.getData() + 4, 4);
    EXPECT_EQ (length, block.getSize() - 9);

    processor.levelParameter->setValueNotifyingHost (0.0f);
    processor.getStateInformation (block);
    EXPECT_NE (std::string ((const char*) block.getData() + 8).find ("dbMain=\"0.0\""), std::string::npos);
    processor.levelParameter->setValueNotifyingHost (1.0f);
    processor.getStateInformation (block);
    EXPECT_NE (std::string ((const char*) block.getData() + 8).find ("dbMain=\"1.0\""), std::string::npos);
    processor.levelParameter->setValueNotifyingHost (0.037f);
    processor.getStateInformation (block);
    EXPECT_NE (std::string ((const char*) block.getData() + 8).find ("dbMain=\"0.03700000047683716\""),
               std::string::npos);
    processor.levelParameter->setValueNotifyingHost (0.007f);
    processor.getStateInformation (block);
    EXPECT_NE (std::string ((const char*) block.getData() + 8).find ("dbMain=\"0.007000000216066837\""),
               std::string::npos);
}

TEST_F (SavedState, RoundTripRestoresLevelExactlyAndSwitchesAsWholeValues)
{
    KelvaneAudioProcessor source;
    for (float level : { 0.0f, 0.001f, 0.037f, 0.123f, 0.5f, 0.999f, 1.0f })
    {
        source.levelParameter->setValueNotifyingHost (level);
        source.enableParameter->setValueNotifyingHost (0.7f);
        source.vocalParameter->setValueNotifyingHost (0.2f);
        juce::MemoryBlock block;
        source.getStateInformation (block);
        read (block);
        EXPECT_EQ (processor.levelParameter->get(), source.levelParameter->get()) << level;
        EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 1.0f);
        EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 0.0f);
    }
}

TEST_F (SavedState, ReadingSetsAllThreeInOrderAndNotifiesEachOnce)
{
    read (blockWithText (settingsText (" dbEnable=\"1\" dbMain=\"0.5\" dbVocal=\"0\"")));
    ASSERT_EQ (log.changes.size(), 3u);
    EXPECT_EQ (log.changes[0], std::make_pair (0, 1.0f));
    EXPECT_EQ (log.changes[1], std::make_pair (1, 0.5f));
    EXPECT_EQ (log.changes[2], std::make_pair (2, 0.0f));
}

TEST_F (SavedState, ElementWithoutAttributesReappliesCurrentValues)
{
    processor.enableParameter->setValueNotifyingHost (0.7f);
    processor.levelParameter->setValueNotifyingHost (0.321f);
    processor.vocalParameter->setValueNotifyingHost (0.6f);
    const float level = processor.levelParameter->get();
    log.changes.clear();
    read (blockWithText (settingsText ("")));
    EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 1.0f);
    EXPECT_EQ (processor.levelParameter->get(), level);
    EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 1.0f);
    ASSERT_EQ (log.changes.size(), 3u);
    EXPECT_EQ (log.changes[0].first, 0);
    EXPECT_EQ (log.changes[1].first, 1);
    EXPECT_EQ (log.changes[2].first, 2);
}

TEST_F (SavedState, AttributeTextsReadAsNumbers)
{
    read (blockWithText (settingsText (" dbEnable=\"true\" dbMain=\"0.1234\" dbVocal=\"0.7\"")));
    EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 0.0f);
    EXPECT_NEAR (processor.levelParameter->get(), 0.123f, 1e-7f);
    EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 0.7f);
    EXPECT_TRUE (processor.vocalParameter->get());
}

TEST_F (SavedState, TagCaseIsIgnoredButAttributeCaseIsNot)
{
    processor.levelParameter->setValueNotifyingHost (0.2f);
    read (blockWithText (settingsText (" dbEnable=\"0\" DBMAIN=\"0.9\" dbvocal=\"1\"", "myPluginSettings")));
    EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 0.0f);
    EXPECT_NEAR (processor.levelParameter->get(), 0.2f, 1e-7f);
    EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 0.0f);
    EXPECT_EQ (log.changes.size(), 4u); // one from the set-up, three from reading
}

TEST_F (SavedState, LengthPastTheEndUsesTheBytesThatAreThere)
{
    auto block = blockWithText (settingsText (" dbMain=\"0.8\""), 100000);
    block.setSize (block.getSize() - 1); // not even the terminator
    read (block);
    EXPECT_NEAR (processor.levelParameter->get(), 0.8f, 1e-7f);
}

TEST_F (SavedState, TextEndsAtItsFirstZeroByte)
{
    auto text = settingsText (" dbMain=\"0.3\"");
    text.push_back ('\0');
    text += "<junk";
    read (blockWithText (text));
    EXPECT_NEAR (processor.levelParameter->get(), 0.3f, 1e-7f);
}

TEST_F (SavedState, BadBlocksAreIgnored)
{
    processor.levelParameter->setValueNotifyingHost (0.3f);
    processor.vocalParameter->setValueNotifyingHost (1.0f);
    const auto good = settingsText (" dbEnable=\"0\" dbMain=\"0.9\" dbVocal=\"0\"");

    auto eightBytes = blockWithText (good);
    eightBytes.setSize (8);
    expectIgnored (eightBytes);
    expectIgnored (juce::MemoryBlock());
    expectIgnored (blockWithText (good, -2, 0x21324357));
    expectIgnored (blockWithText (good, -2, 0x56433221));
    expectIgnored (blockWithText (good, 0));
    expectIgnored (blockWithText (good, 0xFFFFFFFFll));
    expectIgnored (blockWithText (good, 0x80000000ll));
    expectIgnored (blockWithText ("this is not XML at all"));
    expectIgnored (blockWithText ("<>"));
    expectIgnored (blockWithText ("<?xml version=\"1.0\"?>"));
    expectIgnored (blockWithText (settingsText (" dbMain=\"0.9\"", "OTHERSETTINGS")));
    expectIgnored (blockWithText (settingsText (" dbMain=\"0.9\"", "MYPLUGINSETTING")));
    expectIgnored (blockWithText (std::string ("\0<MYPLUGINSETTINGS dbMain=\"0.9\"/>", 33)));

    processor.setStateInformation (nullptr, 200);
    processor.setStateInformation (good.data(), -5);
    EXPECT_NEAR (processor.levelParameter->get(), 0.3f, 1e-7f);
}

TEST_F (SavedState, TextMustBeValidUtf8)
{
    read (blockWithText (settingsText (" dbMain=\"0.6\" note=\"caf\xC3\xA9 \xE6\x97\xA5\xF0\x9F\x8E\xB5\"")));
    EXPECT_NEAR (processor.levelParameter->get(), 0.6f, 1e-7f);

    const std::string broken[] = { "\xC3", "\xF4\x8F", "\xFF", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                   "\xE6\x97" };
    for (const auto& bytes : broken)
    {
        expectIgnored (blockWithText (settingsText (" dbMain=\"0.9\" note=\"" + bytes + "\"")));
        // A block that ends inside a character, without a terminator.
        auto cut = blockWithText (settingsText (" dbMain=\"0.9\"") + bytes);
        cut.setSize (cut.getSize() - 1);
        expectIgnored (cut);
    }
}

TEST_F (SavedState, DamagedNumbersNeverLeaveTheParameterRange)
{
    processor.levelParameter->setValueNotifyingHost (0.4f);
    read (blockWithText (settingsText (" dbEnable=\"5\" dbMain=\"nan\" dbVocal=\"-3\"")));
    EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 1.0f);
    EXPECT_NEAR (processor.levelParameter->get(), 0.4f, 1e-7f);
    EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 0.0f);
    EXPECT_EQ (log.changes.size(), 4u);

    read (blockWithText (settingsText (" dbEnable=\"nan\" dbMain=\"inf\" dbVocal=\"1e400\"")));
    EXPECT_EQ (asParameter (processor.enableParameter).getValue(), 1.0f);
    EXPECT_EQ (processor.levelParameter->get(), 1.0f);
    EXPECT_EQ (asParameter (processor.vocalParameter).getValue(), 1.0f);
}
