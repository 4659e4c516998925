#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace editor_test;
using Event = HostView::Event;

namespace
{
constexpr int enableIndex = 0, levelIndex = 1, vocalIndex = 2;

juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> position, juce::Point<float> downAt,
                          juce::ModifierKeys mods = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                          int clicks = 1, bool dragged = false)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, downAt,
                             now, clicks, dragged);
}

// A press and release inside the button, as a user's click arrives.
void click (juce::Button& button)
{
    const juce::Point<float> centre (button.getWidth() / 2.0f, button.getHeight() / 2.0f);
    juce::Component& target = button;
    target.mouseDown (mouseAt (button, centre, centre));
    target.mouseUp (mouseAt (button, centre, centre, juce::ModifierKeys()));
}

// Presses the fader, moves it the given pixels upwards in steps of 10 and releases it.
void drag (juce::Slider& slider, int pixelsUp)
{
    const juce::Point<float> start (27.0f, 137.0f);
    slider.mouseDown (mouseAt (slider, start, start));

    for (int moved = 10; moved <= std::abs (pixelsUp); moved += 10)
        slider.mouseDrag (mouseAt (slider, start.translated (0.0f, pixelsUp > 0 ? -moved : moved), start,
                                   juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1, true));

    slider.mouseUp (mouseAt (slider, start.translated (0.0f, (float) -pixelsUp), start, juce::ModifierKeys(), 1, true));
}

bool isMultipleOfAThousandth (float v)
{
    return std::abs (v * 1000.0 - std::round (v * 1000.0)) < 1e-3;
}

// Counts the requests to repaint the whole component it is installed on (the component then owns it).
struct RepaintCounter : juce::CachedComponentImage
{
    void paint (juce::Graphics&) override {}
    bool invalidateAll() override { ++wholeRepaints; return true; }
    bool invalidate (const juce::Rectangle<int>&) override { return true; }
    void releaseResources() override {}

    int wholeRepaints = 0;
};

struct Window
{
    Window() : editor (processor) {}

    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor;
};
} // namespace

TEST (Refresh, ControlsFollowHostChangesWithoutSendingAnythingBack)
{
    Window window;
    window.processor.enableParameter->setValueNotifyingHost (0.0f);
    window.processor.vocalParameter->setValueNotifyingHost (1.0f);
    window.processor.levelParameter->setValueNotifyingHost (0.8f);

    const HostView host (window.processor);
    window.editor.timerCallback();
    flushMessages(); // a control notified asynchronously would call back only now

    EXPECT_FALSE (EditorProbe::enableButton (window.editor)->getToggleState());
    EXPECT_TRUE (EditorProbe::vocalButton (window.editor)->getToggleState());
    EXPECT_NEAR (EditorProbe::fader (window.editor)->getValue(), 0.8, 1e-6);
    EXPECT_NEAR (EditorProbe::gainDbDisplay (window.editor), 0.0, 1e-5);
    EXPECT_TRUE (host.events.empty());

    window.processor.enableParameter->setValueNotifyingHost (1.0f);
    window.processor.levelParameter->setValueNotifyingHost (0.0f);
    const HostView quiet (window.processor);
    window.editor.timerCallback();
    flushMessages();
    EXPECT_TRUE (EditorProbe::enableButton (window.editor)->getToggleState());
    EXPECT_EQ (EditorProbe::fader (window.editor)->getValue(), 0.0);
    EXPECT_DOUBLE_EQ (EditorProbe::gainDbDisplay (window.editor), -12.0);
    EXPECT_TRUE (quiet.events.empty());
}

TEST (Refresh, NothingIsRenderedOrShownWhileTheWindowIsNotShowing)
{
    Window window;
    window.editor.setVisible (true); // visible, but on no screen: as when the host's window is minimised
    ASSERT_FALSE (window.editor.isShowing());
    auto* repaints = new RepaintCounter();
    window.editor.setCachedComponentImage (repaints);
    repaints->wholeRepaints = 0; // installing it repaints once
    EditorProbe::updateFlag (window.editor)->store (true);

    window.editor.timerCallback();

    EXPECT_FALSE (window.editor.isUpdatePending());
    EXPECT_EQ (repaints->wholeRepaints, 0);
    EXPECT_FALSE (EditorProbe::noticeButton (window.editor).isVisible());
}

TEST (Refresh, EachTickRepaintsUnlessARenderIsStillWaiting)
{
    KELVANE_REQUIRE_DISPLAY();
    Window window;
    window.editor.stopTimer(); // only the ticks below
    showOnDesktop (window.editor);
    auto* repaints = new RepaintCounter();
    window.editor.setCachedComponentImage (repaints);
    flushMessages();
    repaints->wholeRepaints = 0;

    window.editor.timerCallback();
    EXPECT_TRUE (window.editor.isUpdatePending());
    EXPECT_EQ (repaints->wholeRepaints, 1);

    window.editor.timerCallback();
    EXPECT_EQ (repaints->wholeRepaints, 1) << "a tick while the render waits must add nothing";

    window.editor.handleUpdateNowIfNeeded();
    window.editor.timerCallback();
    EXPECT_TRUE (window.editor.isUpdatePending());
    EXPECT_EQ (repaints->wholeRepaints, 2);
}

TEST (Refresh, BadgeShowsAtTheFirstTickAfterTheFlagIsSet)
{
    KELVANE_REQUIRE_DISPLAY();
    Window window;
    showOnDesktop (window.editor);
    ASSERT_TRUE (window.editor.isShowing());

    window.editor.timerCallback();
    EXPECT_FALSE (EditorProbe::noticeButton (window.editor).isVisible());

    EditorProbe::updateFlag (window.editor)->store (true);
    window.editor.timerCallback();
    EXPECT_TRUE (EditorProbe::noticeButton (window.editor).isVisible());
}

TEST (Refresh, RendersNeverQueueUp)
{
    KELVANE_REQUIRE_DISPLAY();
    Window window;
    showOnDesktop (window.editor);

    window.editor.timerCallback();
    EXPECT_TRUE (window.editor.isUpdatePending());

    // A second tick while the render still waits schedules nothing more: one render brings the face up to date.
    window.processor.vocalParameter->setValueNotifyingHost (1.0f);
    window.editor.timerCallback();
    window.editor.handleUpdateNowIfNeeded();
    EXPECT_FALSE (window.editor.isUpdatePending());

    const auto face = EditorProbe::face (window.editor);
    const auto vocalBackground = artwork (2);
    EXPECT_EQ (face.getPixelAt (5, 470), vocalBackground.getPixelAt (5, 470));
}

TEST (Refresh, ShowingWindowRendersThroughTheMessageLoop)
{
    KELVANE_REQUIRE_DISPLAY();
    Window window;
    showOnDesktop (window.editor);
    const auto before = EditorProbe::face (window.editor).createCopy();
    window.processor.meterStepLeft = 11.0;

    const auto meterChanged = [&]
    {
        const auto face = EditorProbe::face (window.editor);
        for (int y = 90; y < 387; ++y)
            for (int x = 47; x < 81; ++x)
                if (face.getPixelAt (x, y) != before.getPixelAt (x, y))
                    return true;
        return false;
    };

    EXPECT_FALSE (meterChanged());
    window.editor.timerCallback();
    EXPECT_TRUE (waitFor ([&] { return ! window.editor.isUpdatePending(); }));
    EXPECT_TRUE (meterChanged());
}

TEST (WriteBack, FaderDragIsOneGestureWithSnappedValues)
{
    Window window;
    window.processor.levelParameter->setValueNotifyingHost (0.3f);
    window.editor.timerCallback();

    const HostView host (window.processor);
    drag (*EditorProbe::fader (window.editor), 200); // 200 of 500 pixels: +0.4

    ASSERT_GE (host.events.size(), 3u);
    EXPECT_EQ (host.events.front().kind, Event::begin);
    EXPECT_EQ (host.events.back().kind, Event::end);
    EXPECT_EQ (host.count (Event::begin), 1);
    EXPECT_EQ (host.count (Event::end), 1);
    EXPECT_GE (host.count (Event::value), 10);

    for (const auto& e : host.events)
    {
        EXPECT_EQ (e.index, levelIndex);
        if (e.kind == Event::value)
        {
            EXPECT_TRUE (isMultipleOfAThousandth (e.newValue)) << e.newValue;
            EXPECT_GE (e.newValue, 0.0f);
            EXPECT_LE (e.newValue, 1.0f);
        }
    }

    EXPECT_NEAR (window.processor.levelParameter->get(), 0.7f, 1e-6f);

    // The readout follows at the next tick.
    window.editor.timerCallback();
    EXPECT_NEAR (EditorProbe::gainDbDisplay (window.editor), 0.7 * 15.0 - 12.0, 1e-5);
}

TEST (WriteBack, DraggingTwoHundredFiftyPixelsUpFromZeroGivesOneHalf)
{
    Window window;
    window.processor.levelParameter->setValueNotifyingHost (0.0f);
    window.editor.timerCallback();

    drag (*EditorProbe::fader (window.editor), 250);
    EXPECT_NEAR (window.processor.levelParameter->get(), 0.5f, 1e-6f);
}

TEST (WriteBack, FaderPressWithoutMovingStillSendsBothGestures)
{
    Window window;
    window.editor.timerCallback();

    const HostView host (window.processor);
    drag (*EditorProbe::fader (window.editor), 0);
    EXPECT_EQ (host.count (Event::begin), 1);
    EXPECT_EQ (host.count (Event::end), 1);
    EXPECT_EQ (host.count (Event::value), 0);
}

TEST (WriteBack, DoubleClickOrAltClickSetsTheFaderToOneHalf)
{
    const auto leftButton = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    const auto withAlt = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier);
    const juce::Point<float> at (27.0f, 100.0f);

    const std::function<void (juce::Slider&)> gestures[] = {
        [&] (juce::Slider& fader) { fader.mouseDoubleClick (mouseAt (fader, at, at, leftButton, 2)); },
        [&] (juce::Slider& fader)
        {
            fader.mouseDown (mouseAt (fader, at, at, withAlt));
            fader.mouseUp (mouseAt (fader, at, at, juce::ModifierKeys::altModifier));
        }
    };

    for (const auto& gesture : gestures)
    {
        Window window;
        window.processor.levelParameter->setValueNotifyingHost (0.9f);
        window.editor.timerCallback();

        gesture (*EditorProbe::fader (window.editor));
        EXPECT_NEAR (window.processor.levelParameter->get(), 0.5f, 1e-6f);
    }
}

TEST (WriteBack, SwitchClickSendsOneValueInsideOneGesture)
{
    Window window;
    window.editor.timerCallback(); // enable on, vocal off

    const HostView host (window.processor);
    click (*EditorProbe::enableButton (window.editor));

    ASSERT_EQ (host.events.size(), 3u);
    EXPECT_EQ (host.events[0].kind, Event::begin);
    EXPECT_EQ (host.events[1].kind, Event::value);
    EXPECT_EQ (host.events[1].newValue, 0.0f);
    EXPECT_EQ (host.events[2].kind, Event::end);
    for (const auto& e : host.events)
        EXPECT_EQ (e.index, enableIndex);
    EXPECT_FALSE (window.processor.enableParameter->get());
    EXPECT_FALSE (EditorProbe::enableButton (window.editor)->getToggleState());

    const HostView vocalHost (window.processor);
    click (*EditorProbe::vocalButton (window.editor));
    ASSERT_EQ (vocalHost.events.size(), 3u);
    EXPECT_EQ (vocalHost.events[1].index, vocalIndex);
    EXPECT_EQ (vocalHost.events[1].newValue, 1.0f);
    EXPECT_TRUE (window.processor.vocalParameter->get());
}

TEST (WriteBack, SwitchClickWhenTheParameterAlreadyHasTheNewStateSendsNoValue)
{
    Window window;
    window.editor.timerCallback(); // enable shows on

    // The host turns it off less than one tick before the user's click.
    window.processor.enableParameter->setValueNotifyingHost (0.0f);

    const HostView host (window.processor);
    click (*EditorProbe::enableButton (window.editor));

    ASSERT_EQ (host.events.size(), 2u);
    EXPECT_EQ (host.events[0].kind, Event::begin);
    EXPECT_EQ (host.events[1].kind, Event::end);
    EXPECT_FALSE (window.processor.enableParameter->get());
}

TEST (WriteBack, ControlsWhoseNameMatchesNoParameterSendNothing)
{
    Window window;
    window.editor.timerCallback();
    const HostView host (window.processor);

    auto& fader = *EditorProbe::fader (window.editor);
    fader.setName ("Nothing");
    drag (fader, 100);

    juce::ToggleButton stray ("stray");
    stray.setName ("Enable");
    window.editor.buttonClicked (&stray); // a button of the right name that is not one of the switches

    juce::Slider straySlider;
    straySlider.setName ("Level");
    straySlider.setValue (0.9, juce::dontSendNotification);
    window.editor.sliderValueChanged (&straySlider); // a slider of the right name that is not the fader

    EXPECT_TRUE (host.events.empty());
}
