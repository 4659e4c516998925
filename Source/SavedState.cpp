#include "SavedState.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
const char* const settingsTag = "MYPLUGINSETTINGS";

// Strict UTF-8: complete sequences, shortest form, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const uint8_t* text, size_t length) noexcept
{
    size_t i = 0;
    while (i < length)
    {
        const uint8_t lead = text[i];
        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        int extra;
        uint32_t codePoint;
        if ((lead & 0xE0) == 0xC0)
        {
            extra = 1;
            codePoint = lead & 0x1Fu;
        }
        else if ((lead & 0xF0) == 0xE0)
        {
            extra = 2;
            codePoint = lead & 0x0Fu;
        }
        else if ((lead & 0xF8) == 0xF0)
        {
            extra = 3;
            codePoint = lead & 0x07u;
        }
        else
        {
            return false;
        }

        if (length - i <= (size_t)extra)
            return false;

        for (int k = 1; k <= extra; ++k)
        {
            const uint8_t next = text[i + (size_t)k];
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }

        const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (codePoint < smallest[extra] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;

        i += (size_t)extra + 1;
    }
    return true;
}

// The framework decodes the text up to its first zero byte within the length it is given; text that is not
// valid UTF-8 would make it read past the block and overrun the decoded string.
bool textIsReadable(const void* data, int sizeInBytes) noexcept
{
    const auto lengthField = (int32_t)juce::ByteOrder::littleEndianInt(static_cast<const char*>(data) + 4);
    const auto* text = static_cast<const uint8_t*>(data) + 8;
    const auto available = (size_t)std::max(0, std::min(lengthField, sizeInBytes - 8));
    const auto textLength = (size_t)(std::find(text, text + available, 0) - text);
    return isValidUtf8(text, textLength);
}
} // namespace

namespace SavedState
{
void write(const Values& values, juce::MemoryBlock& destination)
{
    juce::XmlElement xml(settingsTag);
    xml.setAttribute("dbEnable", values.enabled ? 1 : 0);
    xml.setAttribute("dbMain", (double)values.level);
    xml.setAttribute("dbVocal", values.vocal ? 1 : 0);
    juce::AudioProcessor::copyXmlToBinary(xml, destination);
}

std::unique_ptr<juce::XmlElement> read(const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8 || !textIsReadable(data, sizeInBytes))
        return nullptr;

    auto xml = juce::AudioProcessor::getXmlFromBinary(data, sizeInBytes);
    if (xml == nullptr || !xml->getTagName().equalsIgnoreCase(settingsTag))
        return nullptr;
    return xml;
}

float valueOf(const juce::XmlElement& settings, const char* attribute, double fallback)
{
    const double value = settings.getDoubleAttribute(attribute, fallback);
    if (std::isnan(value))
        return (float)fallback;
    return (float)juce::jlimit(0.0, 1.0, value);
}
} // namespace SavedState
