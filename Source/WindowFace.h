#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The window's face: where everything stands on the canvas and how the canvas is drawn from the nine pieces
// of artwork. The window and the artwork tool's preview both draw through here, so they cannot disagree.
namespace kelvane::face
{
/** The pieces of artwork, in the order of the embedded images temp1 ... temp9. */
enum class Piece
{
    background,      // vocal mode off; opaque, the size of the canvas
    vocalBackground, // vocal mode on
    decimalPoint,    // of the readout
    enableSwitch,    // two halves: off above, on below
    meterStrip,      // fully lit, 11 segments counted from the bottom
    logo,
    digits,     // readout glyphs stacked: 0 to 9, then the minus sign
    knob,       // of the fader
    vocalSwitch // two halves like the enable switch
};

/** Gives one piece of artwork. */
using Art = std::function<juce::Image(Piece)>;

// Canvas pixels, x to the right and y downwards from the top left. Sizes not given here come from the art.
constexpr int width = 256, height = 480;
constexpr juce::Point<int> enableSwitchAt{12, 12};
constexpr juce::Point<int> vocalSwitchAt{130, 425};
constexpr juce::Point<int> logoAt{95, 12};
constexpr juce::Point<int> logoHotSpotAt{85, 11};
constexpr juce::Point<int> faderAt{180, 62};
constexpr int faderHeight = 275;
constexpr juce::Point<int> badgeAt{226, 6};
constexpr int badgeSize = 24;
constexpr int readoutTop = 372;
constexpr int readoutLeft = 177; // where a text of readoutCharacters starts; shorter texts end at the same x
constexpr int readoutCharacters = 5;
constexpr int readoutGlyphs = 11;
constexpr int meterTop = 87;
constexpr int leftMeterX = 47, rightMeterX = 117;
constexpr int meterSegments = 11;

/** Where the controls laid over the face stand. */
struct ControlBounds
{
    juce::Rectangle<int> enableSwitch, logoHotSpot, fader, vocalSwitch, badge;
};

ControlBounds controlBounds(const Art& art);

/** What one rendering of the face shows. */
struct State
{
    bool vocalBackground = false;
    double gainDb = 0.0; // the readout, shown with one decimal
    double meterStepLeft = 0.0, meterStepRight = 0.0;
    bool enableOn = true, vocalOn = true; // the switch frames
};

/** Draws the whole face over the canvas (the background covers every pixel). */
void draw(juce::Graphics& g, const Art& art, const State& state);

/** Gives a slider the fader's style, range and handling. */
void configureLevelFader(juce::Slider& fader);

/** Draws the fader knob in the fader's own coordinates, for the positions the slider reports to its
    look-and-feel. */
void drawFaderKnob(juce::Graphics& g, const juce::Image& knob, float sliderPos, float maxSliderPos, float thumbRadius);

/** The top row of the knob, in canvas pixels, while the fader stands at a level (0..1). */
int faderKnobTopOnCanvas(double level, const juce::Image& knob);

/** The update badge, in its own 24 x 24 box. */
void drawUpdateBadge(juce::Graphics& g);

/** The window as it looks with the fader at a level and with or without the badge. */
juce::Image renderWindowPicture(const Art& art, const State& state, double level, bool badge);
} // namespace kelvane::face
