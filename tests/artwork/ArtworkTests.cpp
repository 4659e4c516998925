// The window's face is cut from nine PNG files by fixed rectangles. These tests check the committed files:
// that the framework decodes them to the sizes the window expects, and that the art sits where it cuts.

#include "WindowFace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
juce::Image load(int number)
{
    return juce::ImageFileFormat::loadFrom(
        juce::File(KELVANE_ARTWORK_DIR).getChildFile("temp" + juce::String(number) + ".png"));
}

// Opaque enough pixels of an area; with `lit`, only bright and strongly coloured ones, as a lit lamp is.
int visiblePixels(const juce::Image& image, juce::Rectangle<int> area, bool lit = false)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto c = image.getPixelAt(x, y);
            count += c.getAlpha() > 128 && (!lit || (c.getSaturation() > 0.45f && c.getBrightness() > 0.6f));
        }
    return count;
}
} // namespace

TEST(Artwork, FilesDecodeToTheSizesAndFormatsTheWindowCutsThemBy)
{
    const struct
    {
        int width, height;
        bool alpha;
    } expected[] = {{256, 480, false}, {256, 480, false}, {8, 22, true},  {44, 88, true}, {34, 300, true},
                    {164, 49, true},   {16, 242, true},   {55, 72, true}, {109, 78, true}};

    for (int number = 1; number <= 9; ++number)
    {
        const auto image = load(number);
        const auto& e = expected[number - 1];
        EXPECT_EQ(image.getBounds(), juce::Rectangle<int>(e.width, e.height)) << number;
        EXPECT_EQ(image.hasAlphaChannel(), e.alpha) << number;
    }
}

TEST(Artwork, ReadoutStripHoldsTheDigitsThenTheMinusAndThePointSitsLow)
{
    const auto strip = load(7);
    std::vector<int> lit;
    for (int glyph = 0; glyph < 11; ++glyph)
        lit.push_back(visiblePixels(strip, {0, 22 * glyph, 16, 22}));

    // An 8 lights every segment, the minus one only, in the middle of its cell; a 1 fewer than any digit.
    EXPECT_EQ(std::max_element(lit.begin(), lit.end()) - lit.begin(), 8);
    EXPECT_EQ(std::min_element(lit.begin(), lit.end()) - lit.begin(), 10);
    EXPECT_EQ(std::min_element(lit.begin(), lit.begin() + 10) - lit.begin(), 1);
    EXPECT_EQ(visiblePixels(strip, {0, 220, 16, 6}) + visiblePixels(strip, {0, 236, 16, 6}), 0);
    EXPECT_GT(lit[10], 6);
    EXPECT_GT(visiblePixels(load(3), {0, 11, 8, 11}), 2 + 100 * visiblePixels(load(3), {0, 0, 8, 11}));
}

TEST(Artwork, EveryMeterStepAndEverySwitchStateShows)
{
    const auto strip = load(5);
    for (int step = 1; step <= 11; ++step)
        EXPECT_GT(visiblePixels(strip, {0, 300 - 27 * step, 34, 27}, true), 27 * 34 / 4) << "step " << step;

    // Switches: the upper half is off, the lower half on, and only the lower one is lit.
    for (const auto& [number, halfHeight] : {std::pair{4, 44}, std::pair{9, 39}})
    {
        const auto art = load(number);
        const juce::Rectangle<int> off(art.getWidth(), halfHeight);
        EXPECT_GT(visiblePixels(art, off), art.getWidth() * halfHeight / 3) << number;
        EXPECT_GT(visiblePixels(art, off.translated(0, halfHeight), true), 30) << number;
        EXPECT_GT(visiblePixels(art, off.translated(0, halfHeight), true), 4 * visiblePixels(art, off, true)) << number;
    }
}

TEST(Artwork, FaderScaleMarksLineUpWithTheKnobsCentreLine)
{
    const juce::ScopedJuceInitialiser_GUI gui; // the knob's place comes from a fader laid out as the window's
    const auto knob = load(8);
    const auto centre = knob.getHeight() / 2;
    EXPECT_GT(visiblePixels(knob, {20, centre - 1, 16, 2}), 30);
    EXPECT_LT(knob.getPixelAt(6, centre).getAlpha(), 128) << "the knob would hide the marks";

    for (int background : {1, 2})
        for (int dB = 3; dB >= -12; dB -= 3) // the major marks
        {
            const auto line = kelvane::face::faderKnobTopOnCanvas((dB + 12) / 15.0, knob) + centre;
            for (int row : {line - 1, line})
                EXPECT_GT(load(background).getPixelAt(186, row).getBrightness(), 0.55f) << dB << " dB, row " << row;
            for (int row : {line - 4, line + 3})
                EXPECT_LT(load(background).getPixelAt(186, row).getBrightness(), 0.3f) << dB << " dB, row " << row;
        }
}
