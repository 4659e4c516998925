#include "EditorTestSupport.h"

#include <cmath>

using namespace editor_test;

namespace
{
juce::MouseEvent mouseAt(juce::Component& c, juce::Point<float> position, juce::Point<float> downAt,
                         juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier, int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return {juce::Desktop::getInstance().getMainMouseSource(),
            position,
            mods,
            juce::MouseInputSource::defaultPressure,
            0.0f,
            0.0f,
            0.0f,
            0.0f,
            &c,
            &c,
            now,
            downAt,
            now,
            clicks,
            position != downAt};
}

// A press and release inside the component, as a user's click arrives.
void click(juce::Component& c, juce::ModifierKeys mods = {})
{
    const juce::Point<float> centre(c.getWidth() / 2.0f, c.getHeight() / 2.0f);
    c.mouseDown(mouseAt(c, centre, centre, mods.withFlags(juce::ModifierKeys::leftButtonModifier)));
    c.mouseUp(mouseAt(c, centre, centre, mods));
}

// Presses the fader, moves it the given pixels upwards in steps of 10 and releases it.
void drag(juce::Slider& slider, int pixelsUp)
{
    const juce::Point<float> start(27.0f, 137.0f);
    slider.mouseDown(mouseAt(slider, start, start));

    for (int moved = 10; moved <= pixelsUp; moved += 10)
        slider.mouseDrag(mouseAt(slider, start.translated(0.0f, (float)-moved), start));

    slider.mouseUp(mouseAt(slider, start.translated(0.0f, (float)-pixelsUp), start, {}));
}

// Counts the requests to repaint the whole component it is installed on (the component then owns it).
struct RepaintCounter : juce::CachedComponentImage
{
    void paint(juce::Graphics&) override {}
    bool invalidateAll() override { return ++wholeRepaints > 0; }
    bool invalidate(const juce::Rectangle<int>&) override { return true; }
    void releaseResources() override {}

    int wholeRepaints = 0;
};
} // namespace

TEST(Controls, AreNamedAfterTheirParametersAndTakeTheClicksOverTheirArt)
{
    Window window;
    juce::StringArray names;
    for (auto* child : window.editor->getChildren())
        names.add(child->getName());
    EXPECT_EQ(names, juce::StringArray({"Enable", "Level", "Vocal Mode", "", ""}));
    EXPECT_TRUE(window.button("Enable").getButtonText().isEmpty());

    window.editor->setVisible(true);
    const auto at = [&](int x, int y) { return window.editor->getComponentAt(x, y); };
    for (auto [x, y, name] : {std::tuple{20, 20, "Enable"}, {200, 100, "Level"}, {150, 440, "Vocal Mode"}})
        EXPECT_EQ(at(x, y), &window.control(name));
    EXPECT_EQ(at(100, 40), &window.logo());
    EXPECT_EQ(at(230, 15), &window.logo());
    window.badge().setVisible(true);
    EXPECT_EQ(at(230, 15), &window.badge()); // the shown badge lies over the logo's corner
}

TEST(Controls, UnknownParameterShowsParamErrorAndGetsNoControl)
{
    Window window([](KelvaneAudioProcessor& p) {
        p.addParameter(new juce::AudioParameterBool({"dbOther", 1}, "Other", false));
        p.addParameter(new juce::AudioParameterFloat({"dbExtra", 1}, "Extra", 0.0f, 1.0f, 0.5f));
        p.addParameter(new juce::AudioParameterInt({"dbCount", 1}, "Count", 0, 3, 0)); // passed over
    });

    const auto warning = juce::String((int)juce::MessageBoxIconType::WarningIcon);
    EXPECT_EQ(window.dialogs.shown, juce::StringArray(warning + "|ParamError|paramID : dbOther|",
                                                      warning + "|ParamError|paramID : dbExtra|"));
    EXPECT_EQ(window.editor->getNumChildComponents(), 5);
}

TEST(Refresh, RendersAndShowsTheBadgeOnlyWhileShowingAndNeverQueuesRenders)
{
    KELVANE_REQUIRE_DISPLAY();
    Window window;
    window.editor->stopTimer(); // only the ticks below
    window.check->isNewVersionAvailable = true;
    auto* repaints = new RepaintCounter();
    window.editor->setCachedComponentImage(repaints);
    window.editor->setVisible(true); // but on no screen, as when the host's window is minimised
    repaints->wholeRepaints = 0;

    window.editor->timerCallback();
    EXPECT_FALSE(window.editor->isUpdatePending());
    EXPECT_FALSE(window.badge().isVisible());
    EXPECT_EQ(repaints->wholeRepaints, 0);

    window.editor->addToDesktop(0);
    waitFor([] { return false; }, 50);
    repaints->wholeRepaints = 0;
    window.editor->timerCallback();
    window.editor->timerCallback(); // while the render still waits: nothing more
    EXPECT_TRUE(window.badge().isVisible());
    EXPECT_EQ(repaints->wholeRepaints, 1);
    EXPECT_TRUE(waitFor([&] { return !window.editor->isUpdatePending(); }));
    window.editor->timerCallback();
    EXPECT_EQ(repaints->wholeRepaints, 2);
}

TEST(WriteBack, FaderDragIsOneGestureOfValuesInThousandthsAndDoubleOrAltClickGiveOneHalf)
{
    Window window([](KelvaneAudioProcessor& p) { p.levelParameter->setValueNotifyingHost(0.0f); });
    window.editor->timerCallback();
    auto& fader = window.fader();

    const HostView host(window.processor);
    drag(fader, 250); // 250 of 500 pixels
    EXPECT_NEAR(window.processor.levelParameter->get(), 0.5f, 1e-6f);
    ASSERT_GE(host.events.size(), 12);
    EXPECT_EQ(host.events[0] + ", " + host.events.strings.getLast(), "begin 1, end 1");
    for (int i = 1; i < host.events.size() - 1; ++i)
    {
        const auto value = host.events[i].fromFirstOccurrenceOf("value 1 ", false, false).getDoubleValue() * 1000.0;
        EXPECT_NEAR(value, std::round(value), 1e-3) << host.events[i];
    }

    const HostView still(window.processor);
    drag(fader, 0); // a press without moving still makes a gesture
    EXPECT_EQ(still.events, juce::StringArray({"begin 1", "end 1"}));

    for (bool alt : {false, true})
    {
        window.processor.levelParameter->setValueNotifyingHost(0.9f);
        window.editor->timerCallback();
        const juce::Point<float> at(27.0f, 100.0f);
        if (alt)
            click(fader, juce::ModifierKeys::altModifier);
        else
            fader.mouseDoubleClick(mouseAt(fader, at, at, juce::ModifierKeys::leftButtonModifier, 2));
        EXPECT_NEAR(window.processor.levelParameter->get(), 0.5f, 1e-6f) << (alt ? "alt-click" : "double-click");
    }
}

TEST(WriteBack, SwitchClickSendsItsNewStateInsideOneGesture)
{
    Window window;
    window.editor->timerCallback(); // enable on, vocal off

    const HostView host(window.processor);
    click(window.button("Enable"));
    click(window.button("Vocal Mode"));
    EXPECT_EQ(host.events,
              juce::StringArray({"begin 0", "value 0 0.000", "end 0", "begin 2", "value 2 1.000", "end 2"}));
    EXPECT_FALSE(window.processor.enableParameter->get());
    EXPECT_TRUE(window.processor.vocalParameter->get());

    // The host turns vocal mode off less than one tick before the user's click: the gesture carries no value.
    window.processor.vocalParameter->setValueNotifyingHost(0.0f);
    const HostView late(window.processor);
    click(window.button("Vocal Mode"));
    EXPECT_EQ(late.events, juce::StringArray({"begin 2", "end 2"}));
}

TEST(WriteBack, ControlsWhoseNameMatchesNoParameterSendNothing)
{
    Window window;
    const HostView host(window.processor);
    juce::ToggleButton strayButton("Enable"); // the right name, but not one of the switches
    juce::Slider straySlider("Level");        // the right name, but not the fader
    window.editor->buttonClicked(&strayButton);
    window.editor->sliderValueChanged(&straySlider);
    auto& fader = window.fader();
    fader.setName("Nothing");
    drag(fader, 100); // a fader whose name matches no parameter
    EXPECT_TRUE(host.events.isEmpty());
}
