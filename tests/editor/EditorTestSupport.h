#pragma once

#include "PluginEditor.h"
#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace editor_test
{
/** What the host hears of parameter changes ("begin 0", "value 0 1.000", "end 0"): JUCE's AAX client listens
    to the processor the same way. */
struct HostView : juce::AudioProcessorListener
{
    explicit HostView(juce::AudioProcessor& p) : processor(p) { processor.addListener(this); }
    ~HostView() override { processor.removeListener(this); }

    void audioProcessorParameterChanged(juce::AudioProcessor*, int i, float v) override
    {
        events.add("value " + juce::String(i) + " " + juce::String(v, 3));
    }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int i) override
    {
        events.add("begin " + juce::String(i));
    }
    void audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int i) override
    {
        events.add("end " + juce::String(i));
    }

    juce::AudioProcessor& processor;
    juce::StringArray events;
};

/** One dialog as "<icon number>|<title>|<message>|<buttons joined by />". */
juce::String describe(const AlertBoxRequest& request);

/** Dialogs that record what would be shown and answer with preset results instead of blocking. */
struct RecordingDialogs : WindowDialogs
{
    void showMessageBox(juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message) override
    {
        shown.add(describe({icon, title, message, {}}));
    }
    int runAlertBox(const AlertBoxRequest& request) override
    {
        shown.add(describe(request));
        return answers.isEmpty() ? 0 : answers.removeAndReturn(0);
    }
    void openInBrowser(const juce::URL& page) override { openedPages.add(page.toString(true)); }

    juce::StringArray shown, openedPages;
    juce::Array<int> answers; // the results of the next alert boxes, in order
};

/** A processor and its window as the plug-in builds them, but with recorded dialogs. Unless given another,
    the update check only keeps the window's share, through which a test can report a newer version. */
struct Window
{
    explicit Window(std::function<void(KelvaneAudioProcessor&)> setUp = {},
                    std::function<void(SharedUpdateCheck)> checkForUpdates = {});

    juce::Component& control(const juce::String& name); // controls are bound to parameters by their names
    juce::Button& button(const juce::String& name) { return dynamic_cast<juce::Button&>(control(name)); }
    juce::Slider& fader() { return dynamic_cast<juce::Slider&>(control("Level")); }
    juce::Button& logo() { return dynamic_cast<juce::Button&>(*editor->getChildComponent(3)); }
    juce::Button& badge() { return dynamic_cast<juce::Button&>(*editor->getChildComponent(4)); }
    juce::Image picture(); // the whole window as it would appear, controls included

    KelvaneAudioProcessor processor;
    RecordingDialogs dialogs;
    SharedUpdateCheck check;
    std::unique_ptr<KelvaneAudioProcessorEditor> editor;
};

/** Pumps the message loop until the condition holds or the deadline passes; returns the condition. */
bool waitFor(const std::function<bool()>& condition, int deadlineMs = 20000);

/** Makes the locale name the user's first preferred language, once no update check (which reads it) runs. */
void preferLanguage(const char* localeName);

/** Tests that put windows on the screen skip themselves where there is no X display. */
#define KELVANE_REQUIRE_DISPLAY()                                                                                      \
    if (std::getenv("DISPLAY") == nullptr)                                                                             \
    GTEST_SKIP() << "needs an X display (run under xvfb-run)"

/** Whether two images have the same size and pixels; on failure, where they first differ. */
::testing::AssertionResult samePixels(const juce::Image& actual, const juce::Image& expected);
} // namespace editor_test
