#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editor_test;

namespace
{
// The fader as the window builds it, alone: 55 x 275, vertical, 0..1 in steps of 0.001.
struct LoneFader
{
    LoneFader()
    {
        setupSquareLookAndFeelColours (lookAndFeel);
        slider.setSliderStyle (juce::Slider::LinearVertical);
        slider.setRange (0.0, 1.0, 0.001);
        slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        slider.setLookAndFeel (&lookAndFeel);
        slider.setBounds (0, 0, 55, 275);
    }
    ~LoneFader() { slider.setLookAndFeel (nullptr); }

    CustomLookAndFeel lookAndFeel;
    juce::Slider slider;
};

// Where the knob's top row is: the knob image drawn alone at that offset must equal the fader's picture.
juce::Image knobAlone (int top)
{
    const auto knob = artwork (8);
    juce::Image expected (juce::Image::ARGB, 55, 275, true);
    juce::Graphics g (expected);
    g.drawImage (knob, 0, top, knob.getWidth(), knob.getHeight(), 0, 0, knob.getWidth(), knob.getHeight());
    return expected;
}
} // namespace

TEST (FaderLookAndFeel, KnobTopFollowsTheValue)
{
    ASSERT_FALSE (samePixels (knobAlone (101), knobAlone (102))) << "the knob art must show its position";

    LoneFader fader;

    for (auto [value, top] : { std::pair { 1.0, -1 }, std::pair { 0.5, 101 }, std::pair { 0.0, 204 } })
    {
        fader.slider.setValue (value, juce::dontSendNotification);
        EXPECT_TRUE (samePixels (snapshotOf (fader.slider), knobAlone (top))) << "value " << value;
    }
}

TEST (FaderLookAndFeel, WindowFaderShowsOnlyTheKnobAtTheLevel)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);
    auto& fader = *EditorProbe::fader (editor);

    for (auto [value, top] : { std::pair { 1.0f, -1 }, std::pair { 0.5f, 101 }, std::pair { 0.0f, 204 } })
    {
        processor.levelParameter->setValueNotifyingHost (value);
        editor.timerCallback();
        EXPECT_TRUE (samePixels (snapshotOf (fader), knobAlone (top))) << "level " << value;
    }
}

TEST (FaderLookAndFeel, ColourSchemeIsSetInOrder)
{
    juce::LookAndFeel_V3 lf;
    setupSquareLookAndFeelColours (lf);
    EXPECT_EQ (lf.findColour (juce::Slider::rotarySliderFillColourId).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (lf.findColour (juce::Slider::thumbColourId).getARGB(), 0xFFF2F2F2u);
    EXPECT_EQ (lf.findColour (juce::Slider::textBoxOutlineColourId).getARGB(), 0x00FFFFFFu);
    EXPECT_EQ (lf.findColour (juce::Slider::trackColourId).getARGB(), 0xFF000000u);
    EXPECT_EQ (lf.findColour (juce::TextButton::buttonColourId).getARGB(), 0xFFFFFFFFu);
    EXPECT_EQ (lf.findColour (juce::TextButton::textColourOffId).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (lf.findColour (juce::TextButton::buttonOnColourId).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (lf.findColour (juce::TextButton::textColourOnId).getARGB(), 0xFFFFFFFFu);
}

TEST (FaderLookAndFeel, HorizontalSliderDrawsFillAndTrackBars)
{
    CustomLookAndFeel lf;
    setupSquareLookAndFeelColours (lf);
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lf);
    slider.setRange (0.0, 1.0);
    slider.setValue (0.25, juce::dontSendNotification);
    slider.setBounds (0, 0, 140, 30);

    juce::Image image (juce::Image::ARGB, 140, 30, true);
    {
        juce::Graphics g (image);
        lf.drawLinearSliderBackground (g, 20, 0, 100, 30, 0.0f, 0.0f, 0.0f, juce::Slider::LinearHorizontal, slider);
    }
    slider.setLookAndFeel (nullptr);

    // r = 9: the fill bar runs from 15.5 over 27.25 pixels, the track on to 124.5; both 9 thick around y 15.
    EXPECT_EQ (image.getPixelAt (20, 15).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (image.getPixelAt (41, 15).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (image.getPixelAt (44, 15).getARGB(), 0xFF000000u);
    EXPECT_EQ (image.getPixelAt (123, 15).getARGB(), 0xFF000000u);
    EXPECT_EQ (image.getPixelAt (126, 15).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (14, 15).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (60, 5).getAlpha(), 0);
}

TEST (SwitchLookAndFeel, SwitchesDrawNothingInAnyState)
{
    CustomLookAndFeel_EnableBtn enableLook;
    CustomLookAndFeel_VocalBtn vocalLook;

    for (juce::LookAndFeel* lf : { static_cast<juce::LookAndFeel*> (&enableLook), static_cast<juce::LookAndFeel*> (&vocalLook) })
    {
        for (bool on : { false, true })
        {
            juce::ToggleButton button;
            button.setLookAndFeel (lf);
            button.setBounds (0, 0, 44, 44);
            button.setToggleState (on, juce::dontSendNotification);
            const auto picture = snapshotOf (button);
            button.setLookAndFeel (nullptr);

            for (int y = 0; y < 44; ++y)
                for (int x = 0; x < 44; ++x)
                    ASSERT_EQ (picture.getPixelAt (x, y).getAlpha(), 0) << x << "," << y;
        }
    }
}

TEST (BadgeLookAndFeel, RedDiscWithWhiteExclamationMark)
{
    CustomLookAndFeel_NoticationBtn lf;
    juce::ImageButton badge;
    badge.setLookAndFeel (&lf);
    const auto logo = artwork (6);
    badge.setImages (false, false, false, logo, 1.0f, {}, logo, 1.0f, {}, logo, 1.0f, {});
    badge.setBounds (0, 0, 24, 24);

    for (bool down : { false, true })
    {
        badge.setState (down ? juce::Button::buttonDown : juce::Button::buttonNormal);
        const auto picture = snapshotOf (badge);

        const auto red = 0xFFFF0000u;
        const auto white = 0xFFFFFFFFu;
        EXPECT_EQ (picture.getPixelAt (12, 2).getARGB(), red);   // disc above the bar
        EXPECT_EQ (picture.getPixelAt (11, 6).getARGB(), white); // bar
        EXPECT_EQ (picture.getPixelAt (12, 13).getARGB(), white);
        EXPECT_EQ (picture.getPixelAt (12, 15).getARGB(), red);  // gap between bar and dot
        EXPECT_EQ (picture.getPixelAt (11, 18).getARGB(), white); // dot
        EXPECT_EQ (picture.getPixelAt (12, 22).getARGB(), red);  // disc below the dot
        EXPECT_EQ (picture.getPixelAt (9, 8).getARGB(), red);    // left of the bar
        EXPECT_EQ (picture.getPixelAt (14, 8).getARGB(), red);   // right of the bar
        EXPECT_EQ (picture.getPixelAt (3, 12).getARGB(), red);
        EXPECT_EQ (picture.getPixelAt (20, 12).getARGB(), red);
        EXPECT_EQ (picture.getPixelAt (0, 0).getAlpha(), 0);    // corners stay clear
        EXPECT_EQ (picture.getPixelAt (23, 23).getAlpha(), 0);
        EXPECT_EQ (picture.getPixelAt (23, 0).getAlpha(), 0);
    }

    badge.setLookAndFeel (nullptr);
}
