#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editor_test;

TEST (EditorConstruction, ControlsStandWhereTheArtworkIs)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);

    EXPECT_EQ (editor.getWidth(), 256);
    EXPECT_EQ (editor.getHeight(), 480);
    EXPECT_FALSE (editor.isResizable());
    EXPECT_EQ (EditorProbe::enableButton (editor)->getBounds(), juce::Rectangle<int> (12, 12, 44, 44));
    EXPECT_EQ (EditorProbe::logoButton (editor).getBounds(), juce::Rectangle<int> (85, 11, 164, 49));
    EXPECT_EQ (EditorProbe::fader (editor)->getBounds(), juce::Rectangle<int> (180, 62, 55, 275));
    EXPECT_EQ (EditorProbe::vocalButton (editor)->getBounds(), juce::Rectangle<int> (130, 425, 109, 39));
    EXPECT_EQ (EditorProbe::noticeButton (editor).getBounds(), juce::Rectangle<int> (226, 6, 24, 24));

    // Every layout pass places them anew.
    EditorProbe::fader (editor)->setBounds (0, 0, 10, 10);
    editor.resized();
    EXPECT_EQ (EditorProbe::fader (editor)->getBounds(), juce::Rectangle<int> (180, 62, 55, 275));
}

TEST (EditorConstruction, ChildrenFromBottomToTopAndNamedAfterTheirParameters)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);

    ASSERT_EQ (editor.getNumChildComponents(), 5);
    EXPECT_EQ (editor.getChildComponent (0), EditorProbe::enableButton (editor));
    EXPECT_EQ (editor.getChildComponent (1), EditorProbe::fader (editor));
    EXPECT_EQ (editor.getChildComponent (2), EditorProbe::vocalButton (editor));
    EXPECT_EQ (editor.getChildComponent (3), &EditorProbe::logoButton (editor));
    EXPECT_EQ (editor.getChildComponent (4), &EditorProbe::noticeButton (editor));

    EXPECT_EQ (EditorProbe::enableButton (editor)->getName(), "Enable");
    EXPECT_EQ (EditorProbe::fader (editor)->getName(), "Level");
    EXPECT_EQ (EditorProbe::vocalButton (editor)->getName(), "Vocal Mode");
    EXPECT_TRUE (EditorProbe::enableButton (editor)->getButtonText().isEmpty());
    EXPECT_TRUE (EditorProbe::vocalButton (editor)->getButtonText().isEmpty());
}

TEST (EditorConstruction, SwitchesStartOnAndFaderAtZeroWhateverTheParameters)
{
    KelvaneAudioProcessor processor;
    processor.enableParameter->setValueNotifyingHost (0.0f);
    processor.levelParameter->setValueNotifyingHost (0.7f);
    KelvaneAudioProcessorEditor editor (processor);

    EXPECT_TRUE (EditorProbe::enableButton (editor)->getToggleState());
    EXPECT_TRUE (EditorProbe::vocalButton (editor)->getToggleState());
    EXPECT_EQ (EditorProbe::fader (editor)->getValue(), 0.0);
    EXPECT_NEAR (EditorProbe::gainDbDisplay (editor), 0.7 * 15.0 - 12.0, 1e-5);
    EXPECT_FALSE (EditorProbe::noticeButton (editor).isVisible());
    EXPECT_TRUE (EditorProbe::logoButton (editor).isVisible());
    EXPECT_TRUE (editor.isTimerRunning());
    EXPECT_EQ (editor.getTimerInterval(), 50);
}

TEST (EditorConstruction, ControlsUseTheirOwnLookAndFeel)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);

    EXPECT_NE (dynamic_cast<CustomLookAndFeel_EnableBtn*> (&EditorProbe::enableButton (editor)->getLookAndFeel()), nullptr);
    EXPECT_NE (dynamic_cast<CustomLookAndFeel_VocalBtn*> (&EditorProbe::vocalButton (editor)->getLookAndFeel()), nullptr);
    EXPECT_NE (dynamic_cast<CustomLookAndFeel_NoticationBtn*> (&EditorProbe::noticeButton (editor).getLookAndFeel()), nullptr);
    auto& faderLook = EditorProbe::fader (editor)->getLookAndFeel();
    EXPECT_NE (dynamic_cast<CustomLookAndFeel*> (&faderLook), nullptr);
    EXPECT_EQ (dynamic_cast<CustomLookAndFeel_EnableBtn*> (&faderLook), nullptr);
    EXPECT_EQ (dynamic_cast<CustomLookAndFeel*> (&EditorProbe::logoButton (editor).getLookAndFeel()), nullptr);
}

TEST (EditorConstruction, UnknownParameterShowsParamErrorAndGetsNoControl)
{
    RecordingDialogs dialogs;
    KelvaneAudioProcessor processor;
    processor.addParameter (new juce::AudioParameterBool ({ "dbOther", 1 }, "Other", false));
    processor.addParameter (new juce::AudioParameterFloat ({ "dbExtra", 1 }, "Extra", 0.0f, 1.0f, 0.5f));
    processor.addParameter (new juce::AudioParameterInt ({ "dbCount", 1 }, "Count", 0, 3, 0)); // passed over

    KelvaneAudioProcessorEditor editor (processor);

    ASSERT_EQ (dialogs.shown.size(), 2u);
    for (const auto& shown : dialogs.shown)
    {
        EXPECT_EQ (shown.kind, RecordingDialogs::Shown::messageBox);
        EXPECT_EQ (shown.request.icon, juce::MessageBoxIconType::WarningIcon);
        EXPECT_EQ (shown.request.title, "ParamError");
    }
    EXPECT_EQ (dialogs.shown[0].request.message, "paramID : dbOther");
    EXPECT_EQ (dialogs.shown[1].request.message, "paramID : dbExtra");
    EXPECT_EQ (editor.getNumChildComponents(), 5);
}

TEST (EditorConstruction, BadgeCarriesTheLogoImageSoThatItDraws)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);
    auto& badge = EditorProbe::noticeButton (editor);

    EXPECT_TRUE (badge.getNormalImage().isValid());
    EXPECT_EQ (badge.getNormalImage().getWidth(), 164);
    EXPECT_TRUE (badge.getOverImage().isValid());
    EXPECT_TRUE (badge.getDownImage().isValid());
    EXPECT_EQ (badge.getWidth(), 24); // not resized to the image
}

TEST (EditorConstruction, VisibleBadgeTakesTheClicksOnTheLogoCorner)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);
    auto& badge = EditorProbe::noticeButton (editor);
    auto& logo = EditorProbe::logoButton (editor);
    editor.setVisible (true);

    EXPECT_EQ (editor.getComponentAt (230, 15), &logo);
    EXPECT_EQ (editor.getComponentAt (100, 40), &logo);

    badge.setVisible (true);
    EXPECT_EQ (editor.getComponentAt (230, 15), &badge);
    EXPECT_EQ (editor.getComponentAt (100, 40), &logo);
    EXPECT_EQ (editor.getComponentAt (20, 20), EditorProbe::enableButton (editor));
    EXPECT_EQ (editor.getComponentAt (200, 100), EditorProbe::fader (editor));
    EXPECT_EQ (editor.getComponentAt (150, 440), EditorProbe::vocalButton (editor));
}

TEST (EditorConstruction, EverythingClickableShowsThePointingHand)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);
    const auto pointingHand = juce::MouseCursor::PointingHandCursor;

    EXPECT_TRUE (EditorProbe::enableButton (editor)->getMouseCursor() == pointingHand);
    EXPECT_TRUE (EditorProbe::vocalButton (editor)->getMouseCursor() == pointingHand);
    EXPECT_TRUE (EditorProbe::logoButton (editor).getMouseCursor() == pointingHand);
    EXPECT_TRUE (EditorProbe::noticeButton (editor).getMouseCursor() == pointingHand);
    EXPECT_TRUE (EditorProbe::fader (editor)->getMouseCursor() == juce::MouseCursor::NormalCursor);
}

TEST (EditorConstruction, ShownBadgeIsTheRedDiscWithItsMark)
{
    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor (processor);
    auto& badge = EditorProbe::noticeButton (editor);
    badge.setVisible (true);

    const auto picture = snapshotOf (badge);
    EXPECT_EQ (picture.getPixelAt (12, 2).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (picture.getPixelAt (3, 12).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (picture.getPixelAt (11, 6).getARGB(), 0xFFFFFFFFu);
    EXPECT_EQ (picture.getPixelAt (11, 18).getARGB(), 0xFFFFFFFFu);
    EXPECT_EQ (picture.getPixelAt (0, 0).getAlpha(), 0);
}
