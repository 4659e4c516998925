// Random and mutated saved-state blocks: reading must never crash, read outside the block or put a
// parameter outside 0..1. Bounded by iteration count with a fixed seed, so every run is the same.
#include "EngineTestSupport.h"

#include <random>
#include <string>

using namespace engine_test;

namespace
{
constexpr int iterations = 20000;

std::vector<uint8_t> validBlock (std::mt19937& random)
{
    KelvaneAudioProcessor source;
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);
    source.enableParameter->setValueNotifyingHost (unit (random));
    source.levelParameter->setValueNotifyingHost (unit (random));
    source.vocalParameter->setValueNotifyingHost (unit (random));
    juce::MemoryBlock block;
    source.getStateInformation (block);
    const auto* bytes = static_cast<const uint8_t*> (block.getData());
    return { bytes, bytes + block.getSize() };
}

const char* const fragments[] = { "<", ">", "/>", "=\"", "\"", "MYPLUGINSETTINGS", "dbMain", "dbEnable", "dbVocal",
                                  "nan", "inf", "-1e999", "&amp;", "&#0;", "<!DOCTYPE x [<!ENTITY a \"b\">]>",
                                  "<![CDATA[", "<!--", "\xC3", "\xF4\x8F", "\xFF", " ", "\0" };

void mutate (std::vector<uint8_t>& bytes, std::mt19937& random)
{
    std::uniform_int_distribution<int> kind (0, 5);
    const int edits = 1 + (int) (random() % 4);
    for (int e = 0; e < edits; ++e)
    {
        const size_t size = bytes.size();
        switch (kind (random))
        {
            case 0: // flip a byte
                if (size > 0)
                    bytes[random() % size] = (uint8_t) random();
                break;
            case 1: // cut the end
                if (size > 0)
                    bytes.resize (random() % size);
                break;
            case 2: // a different length field
                if (size >= 8)
                {
                    const uint32_t lengths[] = { 0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, (uint32_t) size,
                                                 (uint32_t) random() };
                    const uint32_t length = lengths[random() % 7];
                    for (int i = 0; i < 4; ++i)
                        bytes[4 + (size_t) i] = (uint8_t) (length >> (8 * i));
                }
                break;
            case 3: // insert a piece of XML-like text
            {
                const std::string piece = fragments[random() % (sizeof (fragments) / sizeof (fragments[0]))];
                const size_t at = size == 0 ? 0 : random() % size;
                bytes.insert (bytes.begin() + (long) at, piece.begin(), piece.end());
                break;
            }
            case 4: // delete a run
                if (size > 1)
                {
                    const size_t at = random() % size;
                    const size_t count = std::min (size - at, (size_t) (1 + random() % 8));
                    bytes.erase (bytes.begin() + (long) at, bytes.begin() + (long) (at + count));
                }
                break;
            default: // end on a multi-byte lead byte, with no terminator after it
                bytes.push_back (0xF0);
                break;
        }
    }
}

void expectParametersInRange (const KelvaneAudioProcessor& processor)
{
    for (auto* parameter : processor.getParameters())
    {
        const float value = parameter->getValue();
        ASSERT_TRUE (value >= 0.0f && value <= 1.0f) << value;
    }
}
} // namespace

TEST (SavedStateFuzz, RandomBlocksNeverCrashOrChangeParameters)
{
    std::mt19937 random (0x4b656c76);
    KelvaneAudioProcessor processor;
    processor.levelParameter->setValueNotifyingHost (0.321f);
    const auto before = processor.levelParameter->get();
    for (int i = 0; i < iterations; ++i)
    {
        std::vector<uint8_t> bytes (random() % 200);
        for (auto& b : bytes)
            b = (uint8_t) random();
        // Exact-size copies, so that a read past the end is caught by the address sanitizer.
        auto copy = std::make_unique<uint8_t[]> (bytes.size() + 0);
        std::copy (bytes.begin(), bytes.end(), copy.get());
        processor.setStateInformation (copy.get(), (int) bytes.size());
        // Without the magic number nothing may change.
        if (bytes.size() <= 8 || ! (bytes[0] == 0x56 && bytes[1] == 0x43 && bytes[2] == 0x32 && bytes[3] == 0x21))
        {
            ASSERT_EQ (processor.levelParameter->get(), before);
        }
    }
    expectParametersInRange (processor);
}

TEST (SavedStateFuzz, MutatedValidBlocksNeverCrashOrLeaveTheRange)
{
    std::mt19937 random (0x5a454c56);
    KelvaneAudioProcessor processor;
    for (int i = 0; i < iterations; ++i)
    {
        auto bytes = validBlock (random);
        mutate (bytes, random);
        auto copy = std::make_unique<uint8_t[]> (bytes.size() + 0);
        std::copy (bytes.begin(), bytes.end(), copy.get());
        processor.setStateInformation (copy.get(), (int) bytes.size());
        expectParametersInRange (processor);
        if (HasFatalFailure())
            return;
    }
    // After all that the processor still saves and restores normally.
    juce::MemoryBlock block;
    processor.levelParameter->setValueNotifyingHost (0.75f);
    processor.getStateInformation (block);
    KelvaneAudioProcessor other;
    other.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_EQ (other.levelParameter->get(), processor.levelParameter->get());
}
