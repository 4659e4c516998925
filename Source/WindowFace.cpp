#include "WindowFace.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kelvane::face
{
namespace
{
// Draws the source rectangle (0, sourceY, width, height) of an image at (x, y) at its own size.
void drawImagePart(juce::Graphics& g, const juce::Image& image, int x, int y, int sourceY, int width, int height)
{
    g.drawImage(image, x, y, width, height, 0, sourceY, width, height, false);
}

// Glyph of a readout character in the digit strip: the digits 0 to 9, then the minus sign.
int glyphIndexFor(char c)
{
    if (c < '-' || c > '9')
        return 0;

    static constexpr int glyphFromMinus[] = {10, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    return glyphFromMinus[c - '-'];
}

void drawReadout(juce::Graphics& g, const Art& art, double gainDb)
{
    char text[readoutCharacters + 1] = {};
    std::snprintf(text, sizeof(text), "%.1f", gainDb);
    const auto length = (int)std::strlen(text);

    if (length < 1)
        return;

    const auto glyphs = art(Piece::digits);
    const auto point = art(Piece::decimalPoint);
    const auto glyphWidth = glyphs.getWidth();
    const auto glyphHeight = glyphs.getHeight() / readoutGlyphs;
    auto x = readoutLeft + (readoutCharacters - length) * glyphWidth;

    for (int i = 0; i < length; ++i)
    {
        if (i > 0)
            x += text[i - 1] == '.' ? point.getWidth() : glyphWidth;

        if (text[i] == '.')
            drawImagePart(g, point, x, readoutTop, 0, point.getWidth(), point.getHeight());
        else
            drawImagePart(g, glyphs, x, readoutTop, glyphIndexFor(text[i]) * glyphHeight, glyphWidth, glyphHeight);
    }
}

// The bottom rows of the lit strip, one segment per step.
void drawMeter(juce::Graphics& g, const juce::Image& strip, double step, int x)
{
    const auto stripHeight = strip.getHeight();
    const auto segment = stripHeight / meterSegments;
    // A step outside 0..11 (or not a number) must not reach the integer conversion or read outside the strip.
    const auto lit = (int)(std::isfinite(step) ? juce::jlimit(0.0, (double)stripHeight, segment * step) : 0.0);

    if (lit > 0)
        drawImagePart(g, strip, x, meterTop + stripHeight - lit, stripHeight - lit, strip.getWidth(), lit);
}

// The lower half of each two-state image shows "on".
void drawSwitch(juce::Graphics& g, const juce::Image& art, juce::Point<int> at, bool on)
{
    const auto half = art.getHeight() / 2;
    drawImagePart(g, art, at.x, at.y, on ? half : 0, art.getWidth(), half);
}

juce::Rectangle<int> faderBounds(const juce::Image& knob)
{
    return {faderAt.x, faderAt.y, knob.getWidth(), faderHeight};
}

int faderKnobTop(float sliderPos, float maxSliderPos, float thumbRadius, int knobHeight)
{
    // The knob travels a little less than the track so that it stays (almost) inside the fader.
    const auto half = (float)(knobHeight / 2);
    return (int)(((maxSliderPos - half - thumbRadius) / (maxSliderPos + thumbRadius)) * sliderPos - thumbRadius);
}
} // namespace

ControlBounds controlBounds(const Art& art)
{
    const auto enable = art(Piece::enableSwitch);
    const auto logo = art(Piece::logo);
    const auto vocal = art(Piece::vocalSwitch);

    return {{enableSwitchAt.x, enableSwitchAt.y, enable.getWidth(), enable.getHeight() / 2},
            {logoHotSpotAt.x, logoHotSpotAt.y, logo.getWidth(), logo.getHeight()},
            faderBounds(art(Piece::knob)),
            {vocalSwitchAt.x, vocalSwitchAt.y, vocal.getWidth(), vocal.getHeight() / 2},
            {badgeAt.x, badgeAt.y, badgeSize, badgeSize}};
}

void draw(juce::Graphics& g, const Art& art, const State& state)
{
    const auto background = art(state.vocalBackground ? Piece::vocalBackground : Piece::background);
    g.drawImage(background, 0, 0, width, height, 0, 0, background.getWidth(), background.getHeight(), false);

    drawReadout(g, art, state.gainDb);

    const auto strip = art(Piece::meterStrip);
    drawMeter(g, strip, state.meterStepLeft, leftMeterX);
    drawMeter(g, strip, state.meterStepRight, rightMeterX);

    drawSwitch(g, art(Piece::enableSwitch), enableSwitchAt, state.enableOn);
    drawSwitch(g, art(Piece::vocalSwitch), vocalSwitchAt, state.vocalOn);

    const auto logo = art(Piece::logo);
    drawImagePart(g, logo, logoAt.x, logoAt.y, 0, logo.getWidth(), logo.getHeight());
}

void configureLevelFader(juce::Slider& fader)
{
    fader.setSliderStyle(juce::Slider::LinearVertical);
    fader.setRange(0.0, 1.0, 0.001);
    fader.setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
    fader.setMouseDragSensitivity(500);
    fader.setDoubleClickReturnValue(true, 0.5, juce::ModifierKeys::altModifier);
    fader.setSliderSnapsToMousePosition(false);
}

void drawFaderKnob(juce::Graphics& g, const juce::Image& knob, float sliderPos, float maxSliderPos, float thumbRadius)
{
    const auto top = faderKnobTop(sliderPos, maxSliderPos, thumbRadius, knob.getHeight());
    g.drawImage(knob, 0, top, knob.getWidth(), knob.getHeight(), 0, 0, knob.getWidth(), knob.getHeight(), false);
}

int faderKnobTopOnCanvas(double level, const juce::Image& knob)
{
    // Asks a slider laid out as the window's fader, so the positions are the framework's own.
    juce::LookAndFeel_V3 layout;
    juce::Slider fader;
    fader.setLookAndFeel(&layout);
    configureLevelFader(fader);
    fader.setBounds(faderBounds(knob).withZeroOrigin());
    fader.setValue(level, juce::dontSendNotification);

    const auto top = faderKnobTop(fader.getPositionOfValue(fader.getValue()), fader.getPositionOfValue(0.0),
                                  (float)layout.getSliderThumbRadius(fader), knob.getHeight());
    fader.setLookAndFeel(nullptr);
    return faderAt.y + top;
}

void drawUpdateBadge(juce::Graphics& g)
{
    const float far = 18.6f;
    const float near = 24.0f - far;

    juce::Path disc;
    disc.startNewSubPath(12.0f, 0.0f);
    disc.cubicTo(far, 0.0f, 24.0f, near, 24.0f, 12.0f);
    disc.cubicTo(24.0f, far, far, 24.0f, 12.0f, 24.0f);
    disc.cubicTo(near, 24.0f, 0.0f, far, 0.0f, 12.0f);
    disc.cubicTo(0.0f, near, near, 0.0f, 12.0f, 0.0f);
    disc.closeSubPath();
    g.setColour(juce::Colour(0xFFFF0000));
    g.fillPath(disc);

    juce::Path mark;
    mark.addRectangle(10.0f, 4.0f, 4.0f, 10.0f);
    mark.addRectangle(10.0f, 17.0f, 4.0f, 4.0f);
    g.setColour(juce::Colour(0xFFFFFFFF));
    g.fillPath(mark);
}

juce::Image renderWindowPicture(const Art& art, const State& state, double level, bool badge)
{
    juce::Image picture(juce::Image::ARGB, width, height, true);
    juce::Graphics g(picture);
    draw(g, art, state);

    const auto bounds = controlBounds(art);
    const auto knob = art(Piece::knob);
    {
        const juce::Graphics::ScopedSaveState clip(g);
        g.reduceClipRegion(bounds.fader);
        g.drawImageAt(knob, bounds.fader.getX(), faderKnobTopOnCanvas(level, knob));
    }

    if (badge)
    {
        g.reduceClipRegion(bounds.badge);
        g.setOrigin(bounds.badge.getPosition());
        drawUpdateBadge(g);
    }

    return picture;
}
} // namespace kelvane::face
