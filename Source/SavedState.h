#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// The saved state: the three parameter values as one element in the framework's packed-XML block.
namespace SavedState
{
struct Values
{
    bool enabled;
    float level;
    bool vocal;
};

// Replaces the block's contents with the state of these values.
void write(const Values& values, juce::MemoryBlock& destination);

// The settings element of a block, or null when the block is to be ignored (too short, another magic, an
// empty length, text that is not valid UTF-8 or not XML, another root tag).
std::unique_ptr<juce::XmlElement> read(const void* data, int sizeInBytes);

// The value to apply for one attribute: clamped to 0..1, and `fallback` when the attribute is missing or reads
// as no number (NaN), so a damaged block cannot put a NaN into the audio path.
float valueOf(const juce::XmlElement& settings, const char* attribute, double fallback);
} // namespace SavedState
