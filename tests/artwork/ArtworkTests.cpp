// The window's face is cut from nine PNG files by fixed rectangles. These tests check the committed files:
// their PNG headers, that JUCE decodes them, and that the content sits where the editor cuts it.

#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <vector>

namespace
{
struct ExpectedImage
{
    const char* name;
    int width;
    int height;
    int colourType; // 2: RGB, 6: RGBA
};

const std::array<ExpectedImage, 9> expectedImages { {
    { "temp1", 256, 480, 2 },
    { "temp2", 256, 480, 2 },
    { "temp3", 8, 22, 6 },
    { "temp4", 44, 88, 6 },
    { "temp5", 34, 300, 6 },
    { "temp6", 164, 49, 6 },
    { "temp7", 16, 242, 6 },
    { "temp8", 55, 72, 6 },
    { "temp9", 109, 78, 6 },
} };

juce::File imageFile(const juce::String& name)
{
    return juce::File(KELVANE_ARTWORK_DIR).getChildFile(name + ".png");
}

juce::Image loadImage(const juce::String& name)
{
    return juce::ImageFileFormat::loadFrom(imageFile(name));
}

struct PngHeader
{
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, compression = 0, filter = 0, interlace = 0;
};

uint32_t bigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// The signature and the IHDR chunk, which a PNG file must start with.
std::optional<PngHeader> readPngHeader(const juce::File& file)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData(data) || data.getSize() < 33)
        return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(data.getData());
    static const uint8_t signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    if (std::memcmp(bytes, signature, 8) != 0 || bigEndian32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return std::nullopt;
    PngHeader header;
    header.width = bigEndian32(bytes + 16);
    header.height = bigEndian32(bytes + 20);
    header.bitDepth = bytes[24];
    header.colourType = bytes[25];
    header.compression = bytes[26];
    header.filter = bytes[27];
    header.interlace = bytes[28];
    return header;
}

bool isVisible(juce::Colour c) { return c.getAlpha() > 128; }

int countVisible(const juce::Image& image, juce::Rectangle<int> area)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += isVisible(image.getPixelAt(x, y)) ? 1 : 0;
    return count;
}

int channelDistance(juce::Colour a, juce::Colour b)
{
    return std::max({ std::abs(a.getRed() - b.getRed()), std::abs(a.getGreen() - b.getGreen()),
                      std::abs(a.getBlue() - b.getBlue()), std::abs(a.getAlpha() - b.getAlpha()) });
}

// Pixels of two equally sized areas that clearly differ.
int countDifferent(const juce::Image& a, juce::Rectangle<int> areaA, const juce::Image& b, juce::Point<int> originB,
                   int threshold = 40)
{
    int count = 0;
    for (int y = 0; y < areaA.getHeight(); ++y)
        for (int x = 0; x < areaA.getWidth(); ++x)
            count += channelDistance(a.getPixelAt(areaA.getX() + x, areaA.getY() + y),
                                     b.getPixelAt(originB.x + x, originB.y + y)) > threshold
                         ? 1
                         : 0;
    return count;
}

// The colour a face pixel gets when `over` is drawn with its alpha on `under`.
juce::Colour over(juce::Colour under, juce::Colour top) { return under.overlaidWith(top); }

void PrintTo(const ExpectedImage& image, std::ostream* out) { *out << image.name; }

class EachArtworkImage : public ::testing::TestWithParam<ExpectedImage>
{
};

// ---------------------------------------------------------------------------------------------------------
TEST_P(EachArtworkImage, HeaderHasTheSizeAndFormatTheEditorExpects)
{
    const ExpectedImage expected = GetParam();
    const auto header = readPngHeader(imageFile(expected.name));
    ASSERT_TRUE(header.has_value()) << expected.name << " is not a PNG file starting with IHDR";
    EXPECT_EQ(header->width, (uint32_t) expected.width);
    EXPECT_EQ(header->height, (uint32_t) expected.height);
    EXPECT_EQ(header->bitDepth, 8);
    EXPECT_EQ(header->colourType, expected.colourType);
    EXPECT_EQ(header->compression, 0);
    EXPECT_EQ(header->filter, 0);
    EXPECT_EQ(header->interlace, 0);
}

TEST_P(EachArtworkImage, DecodesWithJuceToItsSizeAndAlpha)
{
    const ExpectedImage expected = GetParam();
    const juce::Image image = loadImage(expected.name);
    ASSERT_TRUE(image.isValid()) << expected.name;
    EXPECT_EQ(image.getWidth(), expected.width);
    EXPECT_EQ(image.getHeight(), expected.height);
    EXPECT_EQ(image.hasAlphaChannel(), expected.colourType == 6);
}

INSTANTIATE_TEST_SUITE_P(FaceImages, EachArtworkImage, ::testing::ValuesIn(expectedImages),
                         [](const ::testing::TestParamInfo<ExpectedImage>& param) { return std::string(param.param.name); });

// ---------------------------------------------------------------------------------------------------------
TEST(ArtworkBackgrounds, VocalModeLooksDifferentFromNormalMode)
{
    const juce::Image normal = loadImage("temp1");
    const juce::Image vocal = loadImage("temp2");
    ASSERT_TRUE(normal.isValid() && vocal.isValid());
    // The vocal face has its own panel tint and accents, so most of its pixels differ at least a little.
    EXPECT_GT(countDifferent(normal, normal.getBounds(), vocal, {}, 5), 256 * 480 / 4);
    EXPECT_GT(countDifferent(normal, normal.getBounds(), vocal, {}), 200);
}

// ---------------------------------------------------------------------------------------------------------
constexpr int glyphWidth = 16, glyphHeight = 22, glyphCount = 11;

TEST(ArtworkReadoutGlyphs, ElevenCellsAreEachDrawnAndAllDiffer)
{
    const juce::Image strip = loadImage("temp7");
    ASSERT_TRUE(strip.isValid());
    for (int i = 0; i < glyphCount; ++i)
    {
        const juce::Rectangle<int> cell { 0, i * glyphHeight, glyphWidth, glyphHeight };
        EXPECT_GT(countVisible(strip, cell), 6) << "glyph " << i << " is empty";
        for (int j = 0; j < i; ++j)
            EXPECT_GT(countDifferent(strip, cell, strip, { 0, j * glyphHeight }), 5)
                << "glyphs " << j << " and " << i << " look the same";
    }
}

TEST(ArtworkReadoutGlyphs, StripIsInDigitOrderWithMinusLast)
{
    const juce::Image strip = loadImage("temp7");
    ASSERT_TRUE(strip.isValid());
    std::vector<int> lit;
    for (int i = 0; i < glyphCount; ++i)
        lit.push_back(countVisible(strip, { 0, i * glyphHeight, glyphWidth, glyphHeight }));
    // An 8 lights every segment, the minus only one; a 1 lights two segments, fewer than any other digit.
    EXPECT_EQ(std::max_element(lit.begin(), lit.end()) - lit.begin(), 8);
    EXPECT_EQ(std::min_element(lit.begin(), lit.end()) - lit.begin(), 10);
    for (int digit = 0; digit <= 9; ++digit)
    {
        if (digit != 1)
        {
            EXPECT_LT(lit[1], lit[(size_t) digit]) << "digit " << digit;
        }
    }
    // The minus sits in the middle of its cell.
    const int minusTop = 10 * glyphHeight;
    EXPECT_EQ(countVisible(strip, { 0, minusTop, glyphWidth, 6 }), 0);
    EXPECT_EQ(countVisible(strip, { 0, minusTop + glyphHeight - 6, glyphWidth, 6 }), 0);
}

TEST(ArtworkReadoutGlyphs, DecimalPointSitsOnTheBaseline)
{
    const juce::Image point = loadImage("temp3");
    ASSERT_TRUE(point.isValid());
    EXPECT_GT(countVisible(point, { 0, point.getHeight() / 2, point.getWidth(), point.getHeight() / 2 }), 2);
    EXPECT_EQ(countVisible(point, { 0, 0, point.getWidth(), point.getHeight() / 2 }), 0);
}

// ---------------------------------------------------------------------------------------------------------
constexpr int meterSegments = 11, meterTop = 87;
constexpr std::array<int, 2> meterXs { 47, 117 };

TEST(ArtworkMeterStrip, EverySegmentBandLightsAgainstBothBackgrounds)
{
    const juce::Image strip = loadImage("temp5");
    ASSERT_TRUE(strip.isValid());
    const int segment = strip.getHeight() / meterSegments;
    for (const char* backgroundName : { "temp1", "temp2" })
    {
        const juce::Image background = loadImage(backgroundName);
        ASSERT_TRUE(background.isValid());
        for (int meterX : meterXs)
            for (int k = 1; k <= meterSegments; ++k)
            {
                // The band of step k, as the renderer cuts it from the bottom of the strip.
                const int bandTop = strip.getHeight() - segment * k;
                int changed = 0;
                for (int y = bandTop; y < bandTop + segment; ++y)
                    for (int x = 0; x < strip.getWidth(); ++x)
                    {
                        const juce::Colour under = background.getPixelAt(meterX + x, meterTop + y);
                        changed += channelDistance(under, over(under, strip.getPixelAt(x, y))) > 60 ? 1 : 0;
                    }
                EXPECT_GT(changed, segment * strip.getWidth() / 3)
                    << "segment " << k << " barely changes " << backgroundName << " at x " << meterX;
            }
    }
}

TEST(ArtworkMeterStrip, ColoursRunFromGreenAtTheBottomToRedAtTheTop)
{
    const juce::Image strip = loadImage("temp5");
    ASSERT_TRUE(strip.isValid());
    const int segment = strip.getHeight() / meterSegments;
    auto averageOfBand = [&](int k)
    {
        const int bandTop = strip.getHeight() - segment * k;
        int64_t r = 0, g = 0, n = 0;
        for (int y = bandTop; y < bandTop + segment; ++y)
            for (int x = 0; x < strip.getWidth(); ++x)
                if (const juce::Colour c = strip.getPixelAt(x, y); isVisible(c))
                {
                    r += c.getRed();
                    g += c.getGreen();
                    ++n;
                }
        return std::pair { n > 0 ? r / n : 0, n > 0 ? g / n : 0 };
    };
    const auto [bottomRed, bottomGreen] = averageOfBand(1);
    const auto [topRed, topGreen] = averageOfBand(meterSegments);
    EXPECT_GT(bottomGreen, bottomRed + 60);
    EXPECT_GT(topRed, topGreen + 60);
}

// ---------------------------------------------------------------------------------------------------------
void expectHalvesDiffer(const char* name)
{
    const juce::Image image = loadImage(name);
    ASSERT_TRUE(image.isValid()) << name;
    const int half = image.getHeight() / 2;
    const juce::Rectangle<int> upper { 0, 0, image.getWidth(), half };
    EXPECT_GT(countVisible(image, upper), half * image.getWidth() / 3) << name << " off state";
    EXPECT_GT(countVisible(image, upper.translated(0, half)), half * image.getWidth() / 3) << name << " on state";
    EXPECT_GT(countDifferent(image, upper, image, { 0, half }), 20) << name << " on and off look alike";
}

TEST(ArtworkSwitches, EnableSwitchOnAndOffHalvesDiffer) { expectHalvesDiffer("temp4"); }
TEST(ArtworkSwitches, VocalSwitchOnAndOffHalvesDiffer) { expectHalvesDiffer("temp9"); }

// Bright, strongly coloured pixels: what a lit lamp on a switch cap looks like.
int countGlowing(const juce::Image& image, juce::Rectangle<int> area)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const juce::Colour c = image.getPixelAt(x, y);
            count += isVisible(c) && c.getSaturation() > 0.45f && c.getBrightness() > 0.6f ? 1 : 0;
        }
    return count;
}

void expectLowerHalfLit(const char* name)
{
    const juce::Image image = loadImage(name);
    ASSERT_TRUE(image.isValid()) << name;
    const int half = image.getHeight() / 2;
    const juce::Rectangle<int> upper { 0, 0, image.getWidth(), half };
    const int offGlow = countGlowing(image, upper);
    const int onGlow = countGlowing(image, upper.translated(0, half));
    EXPECT_GT(onGlow, 30) << name;
    EXPECT_GT(onGlow, 4 * offGlow) << name << ": the lower half is the on state and must be the lit one";
}

TEST(ArtworkSwitches, EnableSwitchLightsInTheLowerHalf) { expectLowerHalfLit("temp4"); }
TEST(ArtworkSwitches, VocalSwitchLightsInTheLowerHalf) { expectLowerHalfLit("temp9"); }

// ---------------------------------------------------------------------------------------------------------
float brightnessOfRow(const juce::Image& image, int y, int x0, int x1)
{
    float sum = 0.0f;
    for (int x = x0; x < x1; ++x)
    {
        const juce::Colour c = image.getPixelAt(x, y);
        sum += c.getBrightness() * c.getFloatAlpha();
    }
    return sum / (float) (x1 - x0);
}

TEST(ArtworkFaderKnob, CentreLineMarksHalfTheKnobHeight)
{
    // The fader scale on the background is laid out for the knob's centre at half its height.
    const juce::Image knob = loadImage("temp8");
    ASSERT_TRUE(knob.isValid());
    const int centre = knob.getHeight() / 2;
    const int x0 = knob.getWidth() / 2 - 8, x1 = knob.getWidth() / 2 + 8;
    const float line = std::min(brightnessOfRow(knob, centre - 1, x0, x1), brightnessOfRow(knob, centre, x0, x1));
    EXPECT_GT(line, 0.8f);
    for (int y = 0; y < knob.getHeight(); ++y)
    {
        if (y < centre - 3 || y > centre + 2)
        {
            EXPECT_LT(brightnessOfRow(knob, y, x0, x1), line - 0.2f) << "row " << y;
        }
    }
}

// Where the fader's look-and-feel draws the knob's top, in canvas rows, for a fader value: the fader is a
// 55 x 275 slider at (180, 62) with a thumb radius of 9 and a 72 pixel knob.
int knobTopOnCanvas(double value)
{
    const float radius = 9.0f, maxPos = 266.0f, half = 36.0f;
    const float sliderPos = radius + (float) (1.0 - value) * 257.0f;
    return 62 + (int) (((maxPos - half - radius) / (maxPos + radius)) * sliderPos - radius);
}

TEST(ArtworkFaderScale, MajorMarksLineUpWithTheKnobCentreLine)
{
    const juce::Image knob = loadImage("temp8");
    ASSERT_TRUE(knob.isValid());
    const int centre = knob.getHeight() / 2;
    for (const char* backgroundName : { "temp1", "temp2" })
    {
        const juce::Image background = loadImage(backgroundName);
        ASSERT_TRUE(background.isValid());
        // Marks every 3 dB from +3 to -12 dB; the fader maps 0..1 to -12..+3 dB.
        for (int dB = 3; dB >= -12; dB -= 3)
        {
            const int lineRow = knobTopOnCanvas((dB + 12) / 15.0) + centre; // the line is rows centre-1, centre
            // The mark sits just left of the knob's cap, in the knob image's transparent margin.
            const int x = 186;
            EXPECT_LT(knob.getPixelAt(x - 180, centre).getAlpha(), 128) << "the knob would hide the mark";
            for (int row : { lineRow - 1, lineRow })
            {
                EXPECT_GT(background.getPixelAt(x, row).getBrightness(), 0.55f)
                    << backgroundName << ": no mark at " << dB << " dB, row " << row;
            }
            for (int row : { lineRow - 4, lineRow + 3 })
            {
                EXPECT_LT(background.getPixelAt(x, row).getBrightness(), 0.3f)
                    << backgroundName << ": mark at " << dB << " dB is not where the knob's line is, row " << row;
            }
        }
    }
}

TEST(ArtworkLogo, IsDrawnAndLeavesTheColumnsPastTheWindowEdgeEmpty)
{
    // The logo is drawn at x 95, so its last 3 columns fall outside the 256 pixel window.
    const juce::Image logo = loadImage("temp6");
    ASSERT_TRUE(logo.isValid());
    EXPECT_GT(countVisible(logo, logo.getBounds()), 300);
    EXPECT_EQ(countVisible(logo, { 256 - 95, 0, logo.getWidth() - (256 - 95), logo.getHeight() }), 0);
}
} // namespace
