// Draws the nine PNG images of Kelvane's window face (Source/Images/temp1.png ... temp9.png).
//
// Regenerate the committed images from the repository root:
//     cmake --build build/release --target kelvane_artwork
//     build/release/tools/artwork/kelvane_artwork Source/Images [preview-dir]
// With a preview directory it also writes pictures of the whole window in a few states, drawn by the
// window's own face code (Source/WindowFace.h) from the new images, to judge the look.
//
// The positions come from the window's layout and the sizes below follow how the window cuts the images: switch images
// hold two halves (off above, on below), the meter strip holds 11 segments of 27 rows counted from the bottom, the
// readout strip holds 11 glyphs of 16 x 22 (0-9, minus). Text uses the DejaVu fonts of Debian's fonts-dejavu-core,
// loaded from their files, so a rerun on any machine with that package gives the same pixels.

#include "WindowFace.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

namespace
{
using juce::Colour;
using juce::Graphics;
using juce::Image;
using juce::Path;
using juce::Rectangle;

namespace face = kelvane::face;

// ---------------------------------------------------------------------------------------------------------
// The sizes of the pieces. Where they stand on the face is the window's own layout (Source/WindowFace.h).
constexpr int meterWidth = 34;
constexpr int meterHeight = 300;
constexpr int meterSegmentHeight = meterHeight / face::meterSegments; // 27

constexpr int glyphWidth = 16;
constexpr int glyphHeight = 22;
constexpr int pointWidth = 8;
// With one decimal the readout always ends at the same place: digits at 177, 193, 209, the point at 225, a
// digit at 233.
constexpr int readoutPointX = face::readoutLeft + 3 * glyphWidth;
constexpr std::array<int, 4> readoutDigitXs{face::readoutLeft, face::readoutLeft + glyphWidth,
                                            face::readoutLeft + 2 * glyphWidth, readoutPointX + pointWidth};

constexpr int enableSize = 44;
constexpr int vocalWidth = 109, vocalHalfHeight = 39;
constexpr int logoWidth = 164, logoHeight = 49;

// The knob is drawn at the fader's left edge.
constexpr int knobWidth = 55, knobHeight = 72;
constexpr float knobCentreX = face::faderAt.x + knobWidth * 0.5f;

Image knobImage();

// The canvas y of the knob's centre line when the fader shows the given gain (-12..+3 dB).
float faderMarkY(double dB)
{
    static const Image knob = knobImage();
    return (float)(face::faderKnobTopOnCanvas((dB + 12.0) / 15.0, knob) + knobHeight / 2);
}

// Lower edge of meter segment k (1 = bottom) on the canvas, and its top edge.
int segmentBottomY(int k)
{
    return face::meterTop + meterHeight - meterSegmentHeight * (k - 1);
}
int segmentTopY(int k)
{
    return segmentBottomY(k) - meterSegmentHeight;
}

// ---------------------------------------------------------------------------------------------------------
// Palette.
const Colour panelTop{0xff2d3136};
const Colour panelBottom{0xff1b1d21};
const Colour wellColour{0xff111316};
const Colour labelColour{0xffb4bcc5};
const Colour dimLabelColour{0xff79828c};
const Colour normalAccent{0xff3fd3e6};
const Colour vocalAccent{0xffffa83a};
const Colour readoutColour{0xff8ff0ff};
const Colour meterGreen{0xff3ee872};
const Colour meterAmber{0xffffb424};
const Colour meterRed{0xffff3b2f};

Colour segmentColour(int k)
{
    // Segment 8 lights from -6 dB, 10 from 0 dB.
    if (k >= 10)
        return meterRed;
    if (k >= 8)
        return meterAmber;
    return meterGreen;
}

// ---------------------------------------------------------------------------------------------------------
// Fonts, loaded from their files so the result does not depend on the font configuration.
struct Fonts
{
    juce::Typeface::Ptr bold, condensed, condensedBold;
};

juce::Typeface::Ptr loadTypeface(const char* fileName)
{
    const juce::File file(juce::String("/usr/share/fonts/truetype/dejavu/") + fileName);
    juce::MemoryBlock data;
    if (!file.loadFileAsData(data) || data.getSize() == 0)
    {
        std::fprintf(stderr, "cannot read %s (install fonts-dejavu-core)\n", file.getFullPathName().toRawUTF8());
        std::exit(1);
    }
    return juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
}

juce::Font makeFont(const juce::Typeface::Ptr& typeface, float height, float extraKerning = 0.0f)
{
    juce::Font font(typeface);
    font.setHeight(height);
    font.setExtraKerningFactor(extraKerning);
    return font;
}

// Text as a path, so it can take gradients, glows and shadows.
Path textPath(const juce::Font& font, const juce::String& text, Rectangle<float> area,
              juce::Justification justification)
{
    juce::GlyphArrangement glyphs;
    glyphs.addFittedText(font, text, area.getX(), area.getY(), area.getWidth(), area.getHeight(), justification, 1,
                         1.0f);
    Path path;
    glyphs.createPath(path);
    return path;
}

void drawLabel(Graphics& g, const juce::Font& font, const juce::String& text, Rectangle<float> area, Colour colour,
               juce::Justification justification = juce::Justification::centred)
{
    const Path path = textPath(font, text, area, justification);
    // A faint dark line below each letter reads as text engraved into the panel.
    g.setColour(juce::Colours::black.withAlpha(0.55f));
    g.fillPath(path, juce::AffineTransform::translation(0.0f, 1.0f));
    g.setColour(colour);
    g.fillPath(path);
}

// A scale number with a typographic minus, which reads better than a hyphen at small sizes.
juce::String scaleText(int dB)
{
    if (dB < 0)
        return juce::String::charToString((juce::juce_wchar)0x2212) + juce::String(-dB);
    return dB > 0 ? "+" + juce::String(dB) : juce::String(dB);
}

void glow(Graphics& g, const Path& path, Colour colour, int radius)
{
    juce::DropShadow(colour, radius, {}).drawForPath(g, path);
}

// ---------------------------------------------------------------------------------------------------------
// Seven-segment glyphs, slanted a little like a real LED display. Segments a..g in the usual order:
// a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle.
constexpr float digitLeft = 3.0f, digitRight = 13.0f, digitTop = 2.5f, digitBottom = 19.5f;
constexpr float segmentThickness = 2.9f;
constexpr float segmentGap = 0.45f;
constexpr float slant = 0.09f;

juce::AffineTransform glyphSlant()
{
    const float middle = (digitTop + digitBottom) * 0.5f;
    return juce::AffineTransform::shear(-slant, 0.0f).translated(slant * middle, 0.0f);
}

Path horizontalSegment(float x0, float x1, float y)
{
    const float t = segmentThickness * 0.5f;
    x0 += segmentGap;
    x1 -= segmentGap;
    Path p;
    p.startNewSubPath(x0, y);
    p.lineTo(x0 + t, y - t);
    p.lineTo(x1 - t, y - t);
    p.lineTo(x1, y);
    p.lineTo(x1 - t, y + t);
    p.lineTo(x0 + t, y + t);
    p.closeSubPath();
    return p;
}

Path verticalSegment(float x, float y0, float y1)
{
    const float t = segmentThickness * 0.5f;
    y0 += segmentGap;
    y1 -= segmentGap;
    Path p;
    p.startNewSubPath(x, y0);
    p.lineTo(x + t, y0 + t);
    p.lineTo(x + t, y1 - t);
    p.lineTo(x, y1);
    p.lineTo(x - t, y1 - t);
    p.lineTo(x - t, y0 + t);
    p.closeSubPath();
    return p;
}

Path segmentPath(char segment)
{
    const float t = segmentThickness * 0.5f;
    const float left = digitLeft + t, right = digitRight - t;
    const float top = digitTop + t, bottom = digitBottom - t, middle = (digitTop + digitBottom) * 0.5f;
    switch (segment)
    {
        case 'a': return horizontalSegment(left, right, top);
        case 'b': return verticalSegment(right, top, middle);
        case 'c': return verticalSegment(right, middle, bottom);
        case 'd': return horizontalSegment(left, right, bottom);
        case 'e': return verticalSegment(left, middle, bottom);
        case 'f': return verticalSegment(left, top, middle);
        default: return horizontalSegment(left, right, middle);
    }
}

// Segments of glyphs 0..9 and 10 (minus), in the order of the readout strip.
const std::array<const char*, 11> glyphSegments{"abcdef", "bc",  "abdeg",   "abcdg",  "bcfg", "acdfg",
                                                "acdefg", "abc", "abcdefg", "abcdfg", "g"};

Path glyphPath(const char* segments)
{
    Path path;
    for (const char* s = segments; *s != 0; ++s)
        path.addPath(segmentPath(*s));
    return path.createPathWithRoundedCorners(0.6f);
}

Path pointPath()
{
    // Sits on the digits' baseline, centred in the 8 pixel cell that follows a digit.
    Path path;
    path.addRoundedRectangle(2.6f, digitBottom - 2.5f, 2.5f, 2.5f, 0.5f);
    return path;
}

void drawLitSegments(Graphics& g, const Path& path)
{
    glow(g, path, readoutColour.withAlpha(0.55f), 4);
    g.setColour(readoutColour);
    g.fillPath(path);
    // A whiter core, as a lit segment looks on a real display.
    g.setColour(juce::Colours::white.withAlpha(0.3f));
    g.fillPath(path);
}

// ---------------------------------------------------------------------------------------------------------
// Meter segments. Each segment band (27 rows) holds three LED bars on a 9 pixel pitch, so the column reads
// as a fine ladder; the bars of one band light together. The same shapes are drawn unlit on the backgrounds
// and lit on the strip.
constexpr int barsPerSegment = 3;
constexpr float barPitch = (float)meterSegmentHeight / barsPerSegment; // 9
constexpr float barHeight = 7.0f;

Rectangle<float> barRect(float bandTop, float x, int bar)
{
    return {x + 5.0f, bandTop + 1.0f + barPitch * (float)bar, (float)meterWidth - 10.0f, barHeight};
}

void drawUnlitSegment(Graphics& g, float bandTop, float x, Colour colour)
{
    for (int bar = 0; bar < barsPerSegment; ++bar)
    {
        const Rectangle<float> r = barRect(bandTop, x, bar);
        g.setColour(juce::Colours::black.withAlpha(0.75f));
        g.fillRoundedRectangle(r.expanded(1.0f), 2.0f);
        g.setGradientFill(juce::ColourGradient(
            colour.withMultipliedBrightness(0.24f).withMultipliedSaturation(0.75f), r.getX(), r.getY(),
            colour.withMultipliedBrightness(0.14f).withMultipliedSaturation(0.75f), r.getX(), r.getBottom(), false));
        g.fillRoundedRectangle(r, 1.5f);
        g.setColour(juce::Colours::white.withAlpha(0.06f));
        g.fillRect(r.getX() + 1.5f, r.getY(), r.getWidth() - 3.0f, 1.0f);
    }
}

void drawLitSegment(Graphics& g, float bandTop, float x, Colour colour)
{
    Path bars;
    for (int bar = 0; bar < barsPerSegment; ++bar)
        bars.addRoundedRectangle(barRect(bandTop, x, bar), 1.5f);
    glow(g, bars, colour.withAlpha(0.8f), 3);
    for (int bar = 0; bar < barsPerSegment; ++bar)
    {
        const Rectangle<float> r = barRect(bandTop, x, bar);
        juce::ColourGradient fill(colour.brighter(0.3f), r.getX(), r.getY(), colour.darker(0.1f), r.getX(),
                                  r.getBottom(), false);
        g.setGradientFill(fill);
        g.fillRoundedRectangle(r, 1.5f);
        // Hot centre, as a diffused LED looks.
        juce::ColourGradient hot(juce::Colours::white.withAlpha(0.5f), r.getCentreX(), r.getCentreY(),
                                 juce::Colours::white.withAlpha(0.0f), r.getX() + 1.0f, r.getCentreY(), true);
        g.setGradientFill(hot);
        g.fillRoundedRectangle(r, 1.5f);
        g.setColour(juce::Colours::white.withAlpha(0.45f));
        g.fillRect(r.getX() + 1.5f, r.getY() + 1.0f, r.getWidth() - 3.0f, 1.0f);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Panel details.
void fillPanel(Graphics& g, Image& image, bool vocal)
{
    const Colour top = vocal ? Colour(0xff37302a) : panelTop;
    const Colour bottom = vocal ? Colour(0xff201b18) : panelBottom;
    g.setGradientFill(juce::ColourGradient(top, 0.0f, 0.0f, bottom, 0.0f, (float)face::height, false));
    g.fillAll();

    // Fine vertical brushing, the same grain on every run.
    juce::Random random(0x4b656c76);
    std::array<int, face::width> columnGrain{};
    for (auto& grain : columnGrain)
        grain = random.nextInt(7) - 3;
    Image::BitmapData pixels(image, Image::BitmapData::readWrite);
    for (int y = 0; y < face::height; ++y)
        for (int x = 0; x < face::width; ++x)
        {
            const int delta = columnGrain[(size_t)x] + random.nextInt(3) - 1;
            const Colour c = pixels.getPixelColour(x, y);
            auto shift = [delta](juce::uint8 v) { return (juce::uint8)juce::jlimit(0, 255, (int)v + delta); };
            pixels.setPixelColour(x, y, Colour(shift(c.getRed()), shift(c.getGreen()), shift(c.getBlue())));
        }
}

void drawWell(Graphics& g, Rectangle<float> r, float corner)
{
    // A recess: dark floor, shadow along the top edge, light catch along the bottom edge.
    g.setColour(juce::Colours::white.withAlpha(0.07f));
    g.fillRoundedRectangle(r.translated(0.0f, 1.0f), corner);
    g.setColour(wellColour);
    g.fillRoundedRectangle(r, corner);
    juce::ColourGradient shade(juce::Colours::black.withAlpha(0.45f), 0.0f, r.getY(),
                               juce::Colours::black.withAlpha(0.0f), 0.0f, r.getY() + 8.0f, false);
    g.setGradientFill(shade);
    g.fillRoundedRectangle(r, corner);
    g.setColour(juce::Colours::black.withAlpha(0.6f));
    g.drawRoundedRectangle(r.reduced(0.5f), corner, 1.0f);
}

void drawScrew(Graphics& g, float cx, float cy)
{
    const float radius = 3.6f;
    g.setColour(juce::Colours::black.withAlpha(0.5f));
    g.fillEllipse(cx - radius - 0.5f, cy - radius + 0.5f, radius * 2.0f + 1.0f, radius * 2.0f + 1.0f);
    g.setGradientFill(juce::ColourGradient(Colour(0xff9aa1a8), cx - radius, cy - radius, Colour(0xff3b4046),
                                           cx + radius, cy + radius, false));
    g.fillEllipse(cx - radius, cy - radius, radius * 2.0f, radius * 2.0f);
    g.setColour(Colour(0xff24272b));
    Path slot;
    slot.addRectangle(-radius + 0.8f, -0.6f, radius * 2.0f - 1.6f, 1.2f);
    g.fillPath(slot, juce::AffineTransform::rotation(0.6f).translated(cx, cy));
}

void drawMeterColumn(Graphics& g, int x)
{
    for (int k = 1; k <= face::meterSegments; ++k)
        drawUnlitSegment(g, (float)segmentTopY(k), (float)x, segmentColour(k));
}

void drawBackground(Image& image, const Fonts& fonts, bool vocal)
{
    Graphics g(image);
    fillPanel(g, image, vocal);
    const Colour accent = vocal ? vocalAccent : normalAccent;

    // A bevel round the whole face.
    g.setColour(juce::Colours::white.withAlpha(0.09f));
    g.drawRect(0, 0, face::width, face::height, 1);
    g.setColour(juce::Colours::black.withAlpha(0.5f));
    g.drawRect(1, 1, face::width - 2, face::height - 2, 1);
    for (auto [x, y] : {std::pair{6.0f, 6.0f}, {250.0f, 6.0f}, {6.0f, 474.0f}, {250.0f, 474.0f}})
        drawScrew(g, x, y);

    const juce::Font small = makeFont(fonts.condensedBold, 8.5f, 0.08f);
    const juce::Font tiny = makeFont(fonts.condensed, 8.0f, 0.04f);

    // Enable switch: a seat for the cap and its label.
    drawWell(g,
             {(float)face::enableSwitchAt.x - 2.0f, (float)face::enableSwitchAt.y - 2.0f, enableSize + 4.0f,
              enableSize + 4.0f},
             7.0f);
    drawLabel(g, small, "ENABLE", {4.0f, 59.0f, 60.0f, 10.0f}, labelColour);

    // Meters: one well for both, L and R heads, unlit segments, a dB scale between them.
    drawWell(g, {41.0f, 70.0f, 116.0f, 324.0f}, 6.0f);
    drawLabel(g, small, "L", {(float)face::leftMeterX, 73.0f, (float)meterWidth, 11.0f}, labelColour);
    drawLabel(g, small, "R", {(float)face::rightMeterX, 73.0f, (float)meterWidth, 11.0f}, labelColour);
    drawMeterColumn(g, face::leftMeterX);
    drawMeterColumn(g, face::rightMeterX);
    // Each segment is labelled with the peak level from which it lights.
    const std::array<int, face::meterSegments> meterLevels{0, -48, -36, -24, -18, -12, -9, -6, -3, 0, 3};
    for (int k = 2; k <= face::meterSegments; ++k)
    {
        const float centre = (float)segmentTopY(k) + meterSegmentHeight * 0.5f;
        const Colour c = k >= 10 ? meterRed.interpolatedWith(labelColour, 0.35f)
                                 : (k >= 8 ? meterAmber.interpolatedWith(labelColour, 0.45f) : dimLabelColour);
        drawLabel(g, tiny, scaleText(meterLevels[(size_t)k - 1]), {84.0f, centre - 5.0f, 30.0f, 10.0f}, c);
    }
    drawLabel(g, tiny, "dBFS", {81.0f, 376.0f, 36.0f, 10.0f}, dimLabelColour);

    // Fader: slot, scale marks on both sides of the cap's path and their dB labels.
    drawWell(g, {182.0f, 66.0f, 51.0f, 270.0f}, 6.0f);
    {
        const float top = faderMarkY(3.0) - 9.0f, bottom = faderMarkY(-12.0) + 9.0f;
        g.setColour(Colour(0xff050607));
        g.fillRoundedRectangle(knobCentreX - 3.0f, top, 6.0f, bottom - top, 3.0f);
        g.setColour(juce::Colours::white.withAlpha(0.08f));
        g.drawVerticalLine((int)(knobCentreX + 3.0f), top + 3.0f, bottom - 3.0f);
    }
    for (int dB = 3; dB >= -12; --dB)
    {
        const float y = faderMarkY(dB);
        const bool major = dB % 3 == 0;
        const Colour markColour = dB == 0 ? accent : (major ? labelColour : dimLabelColour);
        g.setColour(markColour.withAlpha(major ? 0.95f : 0.6f));
        // Major marks take the same two rows as the knob's centre line (y - 1 and y); minor marks the lower.
        const float length = major ? 7.0f : 4.0f;
        const float top = major ? y - 1.0f : y;
        const float thickness = major ? 2.0f : 1.0f;
        g.fillRect(face::faderAt.x + 2.0f + (7.0f - length), top, length, thickness);
        g.fillRect(face::faderAt.x + knobWidth - 9.0f, top, length, thickness);
        if (major)
        {
            const juce::String text = scaleText(dB);
            drawLabel(g, tiny, text, {157.0f, y - 5.5f, 22.0f, 10.0f}, markColour, juce::Justification::centredRight);
        }
    }
    drawLabel(g, small, "LEVEL", {158.0f, 341.0f, 98.0f, 10.0f}, labelColour);

    // Readout window with the unlit segments of every digit place.
    drawWell(g, {170.0f, 364.0f, 84.0f, 37.0f}, 4.0f);
    {
        const Path ghost = glyphPath("abcdefg");
        g.setColour(readoutColour.withAlpha(0.075f));
        for (int x : readoutDigitXs)
            g.fillPath(ghost, glyphSlant().translated((float)x, (float)face::readoutTop));
        g.fillPath(pointPath(), glyphSlant().translated((float)readoutPointX, (float)face::readoutTop));
        g.setColour(juce::Colours::white.withAlpha(0.025f));
        g.fillRect(172.0f, 366.0f, 80.0f, 14.0f);
    }
    drawLabel(g, small, "OUTPUT dB", {158.0f, 403.0f, 98.0f, 10.0f}, labelColour);

    // Mode panel: which detector settings are active.
    drawWell(g, {12.0f, 412.0f, 106.0f, 56.0f}, 5.0f);
    drawLabel(g, small, "MODE", {18.0f, 416.0f, 60.0f, 10.0f}, dimLabelColour, juce::Justification::centredLeft);
    auto modeLine = [&](float y, const juce::String& text, bool active, Colour colour) {
        const Rectangle<float> led{20.0f, y + 2.0f, 6.0f, 6.0f};
        Path dot;
        dot.addEllipse(led);
        if (active)
        {
            glow(g, dot, colour.withAlpha(0.8f), 4);
            g.setColour(colour);
        }
        else
        {
            g.setColour(colour.withMultipliedBrightness(0.25f));
        }
        g.fillPath(dot);
        drawLabel(g, small, text, {31.0f, y, 84.0f, 10.0f},
                  active ? colour.interpolatedWith(juce::Colours::white, 0.3f) : dimLabelColour,
                  juce::Justification::centredLeft);
    };
    modeLine(429.0f, vocal ? "NORMAL" : "NORMAL  -45 dB", !vocal, normalAccent);
    modeLine(443.0f, vocal ? "VOCAL  -55 dB" : "VOCAL", vocal, vocalAccent);
    drawLabel(g, tiny, vocal ? "BOOST UP TO +12.4 dB" : "BOOST UP TO +20.8 dB", {18.0f, 455.0f, 100.0f, 10.0f},
              dimLabelColour, juce::Justification::centredLeft);

    // Vocal switch seat.
    drawWell(g,
             {(float)face::vocalSwitchAt.x - 2.0f, (float)face::vocalSwitchAt.y - 2.0f, vocalWidth + 4.0f,
              vocalHalfHeight + 4.0f},
             8.0f);
}

// ---------------------------------------------------------------------------------------------------------
// Switch caps.
void drawCapBody(Graphics& g, Rectangle<float> r, float corner, bool pressed, Colour tint)
{
    Path body;
    body.addRoundedRectangle(r, corner);
    juce::DropShadow(juce::Colours::black.withAlpha(pressed ? 0.5f : 0.8f), pressed ? 2 : 4, {0, pressed ? 1 : 2})
        .drawForPath(g, body);
    const Colour light = (pressed ? Colour(0xff3f444a) : Colour(0xff565c63)).interpolatedWith(tint, 0.12f);
    const Colour dark = (pressed ? Colour(0xff2a2e33) : Colour(0xff2f3338)).interpolatedWith(tint, 0.08f);
    g.setGradientFill(juce::ColourGradient(light, 0.0f, r.getY(), dark, 0.0f, r.getBottom(), false));
    g.fillPath(body);
    g.setColour(juce::Colours::white.withAlpha(pressed ? 0.10f : 0.22f));
    g.drawRoundedRectangle(r.reduced(0.5f), corner, 1.0f);
    g.setColour(juce::Colours::black.withAlpha(0.7f));
    g.drawRoundedRectangle(r.expanded(0.5f), corner + 0.5f, 1.0f);
}

Path powerSymbol(float cx, float cy, float radius)
{
    Path arc;
    arc.addCentredArc(cx, cy, radius, radius, 0.0f, 0.65f, juce::MathConstants<float>::twoPi - 0.65f, true);
    Path stroked;
    juce::PathStrokeType(2.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
        .createStrokedPath(stroked, arc);
    Path bar;
    bar.addRoundedRectangle(cx - 1.1f, cy - radius - 1.6f, 2.2f, radius + 1.2f, 1.1f);
    stroked.addPath(bar);
    return stroked;
}

void drawEnableHalf(Graphics& g, float top, bool on)
{
    const Rectangle<float> r{3.0f, top + 3.0f, enableSize - 6.0f, enableSize - 6.0f};
    drawCapBody(g, r, 6.0f, on, on ? meterGreen : juce::Colours::grey);
    const Path icon = powerSymbol(r.getCentreX(), r.getCentreY() + 0.5f, 8.5f);
    if (on)
    {
        glow(g, icon, meterGreen.withAlpha(0.9f), 5);
        g.setColour(meterGreen.brighter(0.35f));
    }
    else
    {
        g.setColour(juce::Colours::black.withAlpha(0.6f));
        g.fillPath(icon, juce::AffineTransform::translation(0.0f, 1.0f));
        g.setColour(Colour(0xff858d96));
    }
    g.fillPath(icon);
}

void drawVocalHalf(Graphics& g, const Fonts& fonts, float top, bool on)
{
    const Rectangle<float> r{3.0f, top + 3.0f, vocalWidth - 6.0f, vocalHalfHeight - 6.0f};
    drawCapBody(g, r, 7.0f, on, on ? vocalAccent : juce::Colours::grey);

    Path led;
    led.addEllipse(r.getX() + 10.0f, r.getCentreY() - 4.5f, 9.0f, 9.0f);
    if (on)
    {
        glow(g, led, vocalAccent, 6);
        g.setGradientFill(juce::ColourGradient(Colour(0xfffff1d0), r.getX() + 13.0f, r.getCentreY() - 2.0f, vocalAccent,
                                               r.getX() + 19.0f, r.getCentreY() + 4.5f, true));
    }
    else
    {
        g.setGradientFill(juce::ColourGradient(Colour(0xff4a3a26), r.getX() + 13.0f, r.getCentreY() - 2.0f,
                                               Colour(0xff1e1711), r.getX() + 19.0f, r.getCentreY() + 4.5f, true));
    }
    g.fillPath(led);
    g.setColour(juce::Colours::black.withAlpha(0.6f));
    g.strokePath(led, juce::PathStrokeType(1.0f));

    const juce::Font font = makeFont(fonts.condensedBold, 15.0f, 0.16f);
    const Path text = textPath(font, "VOCAL", {r.getX() + 24.0f, r.getY(), r.getWidth() - 30.0f, r.getHeight()},
                               juce::Justification::centred);
    if (on)
    {
        glow(g, text, vocalAccent.withAlpha(0.6f), 4);
        g.setColour(Colour(0xffffc46a));
    }
    else
    {
        g.setColour(juce::Colours::black.withAlpha(0.6f));
        g.fillPath(text, juce::AffineTransform::translation(0.0f, 1.0f));
        g.setColour(Colour(0xff9aa2ab));
    }
    g.fillPath(text);
}

// ---------------------------------------------------------------------------------------------------------
// The fader knob: a cap over the slot with a bright centre line at the knob's half height, which is
// where the scale marks on the background are placed.
void drawKnob(Graphics& g)
{
    const Rectangle<float> cap{10.5f, 8.0f, 34.0f, 56.0f};
    Path body;
    body.addRoundedRectangle(cap, 4.0f);
    juce::DropShadow(juce::Colours::black.withAlpha(0.85f), 6, {0, 3}).drawForPath(g, body);

    juce::ColourGradient metal(Colour(0xff6b727a), 0.0f, cap.getY(), Colour(0xff23272b), 0.0f, cap.getBottom(), false);
    metal.addColour(0.42, Colour(0xff3b4046));
    metal.addColour(0.5, Colour(0xff2a2e33));
    metal.addColour(0.58, Colour(0xff40454b));
    g.setGradientFill(metal);
    g.fillPath(body);

    // Grip ridges above and below the centre line.
    for (int i = 0; i < 4; ++i)
    {
        for (float y : {cap.getY() + 7.0f + (float)i * 5.0f, cap.getBottom() - 9.0f - (float)i * 5.0f})
        {
            g.setColour(juce::Colours::black.withAlpha(0.45f));
            g.fillRect(cap.getX() + 4.0f, y, cap.getWidth() - 8.0f, 1.0f);
            g.setColour(juce::Colours::white.withAlpha(0.13f));
            g.fillRect(cap.getX() + 4.0f, y + 1.0f, cap.getWidth() - 8.0f, 1.0f);
        }
    }

    // Side shading gives the cap its roundness.
    juce::ColourGradient sides(juce::Colours::black.withAlpha(0.35f), cap.getX(), 0.0f,
                               juce::Colours::black.withAlpha(0.35f), cap.getRight(), 0.0f, false);
    sides.addColour(0.3, juce::Colours::transparentBlack);
    sides.addColour(0.7, juce::Colours::transparentBlack);
    g.setGradientFill(sides);
    g.fillPath(body);

    g.setColour(juce::Colours::white.withAlpha(0.28f));
    g.drawRoundedRectangle(cap.reduced(0.5f), 4.0f, 1.0f);
    g.setColour(juce::Colours::black.withAlpha(0.8f));
    g.drawRoundedRectangle(cap.expanded(0.5f), 4.5f, 1.0f);

    // Centre line: rows 35 and 36, so its middle is the knob's half height (36).
    const float lineY = (float)(knobHeight / 2) - 1.0f;
    g.setColour(juce::Colours::black.withAlpha(0.6f));
    g.fillRect(cap.getX() + 1.0f, lineY - 1.0f, cap.getWidth() - 2.0f, 4.0f);
    g.setColour(Colour(0xfff4f6f8));
    g.fillRect(cap.getX() + 1.0f, lineY, cap.getWidth() - 2.0f, 2.0f);
}

// ---------------------------------------------------------------------------------------------------------
// The logo: the wordmark with the maker's name under it. The top right corner stays clear, because the
// update badge appears there.
void drawLogo(Graphics& g, const Fonts& fonts)
{
    const juce::Font wordFont = makeFont(fonts.bold, 30.0f, -0.01f);
    const Path word = textPath(wordFont, "Kelvane", {4.0f, 2.0f, 130.0f, 32.0f}, juce::Justification::centredLeft);
    juce::DropShadow(juce::Colours::black.withAlpha(0.8f), 3, {0, 2}).drawForPath(g, word);
    juce::ColourGradient chrome(Colour(0xfffafcfd), 0.0f, 8.0f, Colour(0xff9aa4ae), 0.0f, 32.0f, false);
    chrome.addColour(0.55, Colour(0xffd9dfe4));
    chrome.addColour(0.62, Colour(0xffaeb7c0));
    g.setGradientFill(chrome);
    g.fillPath(word);

    const juce::Font makerFont = makeFont(fonts.condensedBold, 8.5f, 0.42f);
    const Path maker =
        textPath(makerFont, "ZELVO AUDIO", {5.0f, 36.0f, 120.0f, 10.0f}, juce::Justification::centredLeft);
    g.setColour(normalAccent.withAlpha(0.9f));
    g.fillPath(maker);

    // A small mark of what the plug-in does: the level rides up from quiet to boosted and holds.
    Path ramp;
    ramp.startNewSubPath(98.0f, 43.5f);
    ramp.lineTo(114.0f, 43.5f);
    ramp.cubicTo(121.0f, 43.5f, 123.0f, 35.5f, 130.0f, 35.5f);
    ramp.lineTo(150.0f, 35.5f);
    Path stroke;
    juce::PathStrokeType(1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
        .createStrokedPath(stroke, ramp);
    glow(g, stroke, normalAccent.withAlpha(0.7f), 4);
    g.setColour(normalAccent.brighter(0.4f));
    g.fillPath(stroke);
}

// ---------------------------------------------------------------------------------------------------------
Image makeImage(bool alpha, int width, int height)
{
    return Image(alpha ? Image::ARGB : Image::RGB, width, height, true);
}

Image backgroundImage(const Fonts& fonts, bool vocal)
{
    Image image = makeImage(false, face::width, face::height);
    drawBackground(image, fonts, vocal);
    return image;
}

Image pointImage()
{
    Image image = makeImage(true, pointWidth, glyphHeight);
    Graphics g(image);
    Path p = pointPath();
    p.applyTransform(glyphSlant());
    drawLitSegments(g, p);
    return image;
}

Image enableImage()
{
    Image image = makeImage(true, enableSize, enableSize * 2);
    Graphics g(image);
    drawEnableHalf(g, 0.0f, false);
    drawEnableHalf(g, (float)enableSize, true);
    return image;
}

Image meterImage()
{
    Image image = makeImage(true, meterWidth, meterHeight);
    Graphics g(image);
    for (int k = 1; k <= face::meterSegments; ++k)
    {
        const int bandTop = meterHeight - meterSegmentHeight * k;
        // Each segment's glow stays inside its own band: the renderer cuts the strip at band edges.
        Graphics::ScopedSaveState state(g);
        g.reduceClipRegion(0, bandTop, meterWidth, meterSegmentHeight);
        drawLitSegment(g, (float)bandTop, 0.0f, segmentColour(k));
    }
    return image;
}

Image logoImage(const Fonts& fonts)
{
    Image image = makeImage(true, logoWidth, logoHeight);
    Graphics g(image);
    drawLogo(g, fonts);
    return image;
}

Image glyphStripImage()
{
    Image image = makeImage(true, glyphWidth, glyphHeight * 11);
    Graphics g(image);
    for (size_t i = 0; i < glyphSegments.size(); ++i)
    {
        Graphics::ScopedSaveState state(g);
        const int top = (int)i * glyphHeight;
        g.reduceClipRegion(0, top, glyphWidth, glyphHeight);
        Path glyph = glyphPath(glyphSegments[i]);
        glyph.applyTransform(glyphSlant().translated(0.0f, (float)top));
        drawLitSegments(g, glyph);
    }
    return image;
}

Image knobImage()
{
    Image image = makeImage(true, knobWidth, knobHeight);
    Graphics g(image);
    drawKnob(g);
    return image;
}

Image vocalImage(const Fonts& fonts)
{
    Image image = makeImage(true, vocalWidth, vocalHalfHeight * 2);
    Graphics g(image);
    drawVocalHalf(g, fonts, 0.0f, false);
    drawVocalHalf(g, fonts, (float)vocalHalfHeight, true);
    return image;
}

bool writePng(const Image& image, const juce::File& file)
{
    file.deleteFile(); // an output stream would append to an existing file
    juce::FileOutputStream out(file);
    if (!out.openedOk())
        return false;
    juce::PNGImageFormat png;
    return png.writeImageToStream(image, out);
}

// ---------------------------------------------------------------------------------------------------------
// Preview: the window as it draws itself with these images.
struct Preview
{
    const char* name;
    bool vocal, enableOn;
    double level;
    int meterLeft, meterRight;
    bool badge;
};

Image previewOf(const std::array<Image, 9>& images, const Preview& preview)
{
    face::State state;
    state.vocalBackground = state.vocalOn = preview.vocal;
    state.enableOn = preview.enableOn;
    state.gainDb = 15.0 * preview.level - 12.0;
    state.meterStepLeft = preview.meterLeft;
    state.meterStepRight = preview.meterRight;
    const face::Art art = [&](face::Piece piece) { return images[(size_t)piece]; };
    return face::renderWindowPicture(art, state, preview.level, preview.badge);
}

Image scaledUp(const Image& image, int factor)
{
    Image big(Image::ARGB, image.getWidth() * factor, image.getHeight() * factor, true);
    Graphics g(big);
    g.setImageResamplingQuality(Graphics::lowResamplingQuality);
    g.drawImageTransformed(image, juce::AffineTransform::scale((float)factor));
    return big;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s <image-dir> [preview-dir]\n", argv[0]);
        return 2;
    }
    // The preview lays out a fader, which takes the framework's GUI classes.
    const juce::ScopedJuceInitialiser_GUI juceGui;
    const juce::File outDir = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
    if (!outDir.createDirectory())
    {
        std::fprintf(stderr, "cannot create %s\n", outDir.getFullPathName().toRawUTF8());
        return 1;
    }

    Fonts fonts;
    fonts.bold = loadTypeface("DejaVuSans-Bold.ttf");
    fonts.condensed = loadTypeface("DejaVuSansCondensed.ttf");
    fonts.condensedBold = loadTypeface("DejaVuSansCondensed-Bold.ttf");

    const std::array<Image, 9> images{
        backgroundImage(fonts, false),
        backgroundImage(fonts, true),
        pointImage(),
        enableImage(),
        meterImage(),
        logoImage(fonts),
        glyphStripImage(),
        knobImage(),
        vocalImage(fonts),
    };

    for (size_t i = 0; i < images.size(); ++i)
    {
        const juce::File file = outDir.getChildFile("temp" + juce::String((int)i + 1) + ".png");
        if (!writePng(images[i], file))
        {
            std::fprintf(stderr, "cannot write %s\n", file.getFullPathName().toRawUTF8());
            return 1;
        }
    }

    if (argc >= 3)
    {
        const juce::File previewDir = juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]);
        previewDir.createDirectory();
        const Preview previews[] = {
            {"preview-normal.png", false, true, 0.5, 8, 6, false},
            {"preview-vocal.png", true, true, 0.8, 10, 11, false},
            {"preview-off.png", false, false, 0.0, 0, 0, false},
            {"preview-max.png", false, true, 1.0, 11, 9, true},
        };
        // The overlay images side by side, enlarged, on a mid grey that shows their edges and glows.
        {
            Image sheet(Image::ARGB, 4 * (16 + 8 + 34 + 44 + 55 + 109) + 70, 4 * 300 + 20, true);
            Graphics g(sheet);
            g.fillAll(Colour(0xff808080));
            int x = 10;
            for (size_t i : {6u, 2u, 4u, 3u, 7u, 8u})
            {
                g.drawImageTransformed(scaledUp(images[i], 4), juce::AffineTransform::translation((float)x, 10.0f));
                x += images[i].getWidth() * 4 + 10;
            }
            g.drawImageTransformed(scaledUp(images[5], 4),
                                   juce::AffineTransform::translation(10.0f + 4 * 80.0f, 4 * 200.0f));
            writePng(sheet, previewDir.getChildFile("sheet.png"));
        }
        for (const auto& preview : previews)
        {
            const Image window = previewOf(images, preview);
            writePng(window, previewDir.getChildFile(preview.name));
            writePng(scaledUp(window, 2), previewDir.getChildFile(juce::String("x2-") + preview.name));
        }
    }
    return 0;
}
