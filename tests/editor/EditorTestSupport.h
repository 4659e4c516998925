#pragma once

#include "PluginEditor.h"
#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Access to the window's insides for tests; the editor befriends this struct.
struct EditorProbe
{
    static juce::Image face (KelvaneAudioProcessorEditor& e) { return e.bgImage; }
    static void render (KelvaneAudioProcessorEditor& e) { e.drawBG(); }
    static juce::ToggleButton* enableButton (KelvaneAudioProcessorEditor& e) { return e.enableButton.get(); }
    static juce::ToggleButton* vocalButton (KelvaneAudioProcessorEditor& e) { return e.vocalButton.get(); }
    static juce::Slider* fader (KelvaneAudioProcessorEditor& e) { return e.mainSlider.get(); }
    static juce::ImageButton& logoButton (KelvaneAudioProcessorEditor& e) { return e.logoButton; }
    static juce::ImageButton& noticeButton (KelvaneAudioProcessorEditor& e) { return e.noticeButton; }
    static double gainDbDisplay (KelvaneAudioProcessorEditor& e) { return e.gainDbDisplay; }
    static void setGainDbDisplay (KelvaneAudioProcessorEditor& e, double db) { e.gainDbDisplay = db; }
    static SharedUpdateFlag updateFlag (KelvaneAudioProcessorEditor& e) { return e.isNewVersionAvailable; }
};

namespace editor_test
{
/** What the host would see of parameter changes: the processor's listeners, as JUCE's AAX client is one. */
class HostView : public juce::AudioProcessorListener
{
public:
    struct Event
    {
        enum Kind { begin, value, end } kind;
        int index;
        float newValue;
    };

    explicit HostView (juce::AudioProcessor& p) : processor (p) { processor.addListener (this); }
    ~HostView() override { processor.removeListener (this); }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float newValue) override
    {
        events.push_back ({ Event::value, index, newValue });
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        events.push_back ({ Event::begin, index, 0.0f });
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        events.push_back ({ Event::end, index, 0.0f });
    }

    int count (Event::Kind kind) const
    {
        int n = 0;
        for (const auto& e : events)
            n += e.kind == kind ? 1 : 0;
        return n;
    }

    std::vector<Event> events;

private:
    juce::AudioProcessor& processor;
};

/** Dialogs that record what would be shown and answer with preset results instead of blocking. */
class RecordingDialogs : public WindowDialogs
{
public:
    struct Shown
    {
        enum Kind { messageBox, alertBox } kind;
        AlertBoxRequest request;
    };

    RecordingDialogs() { setWindowDialogs (this); }
    ~RecordingDialogs() override { setWindowDialogs (nullptr); }

    void showMessageBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message) override
    {
        shown.push_back ({ Shown::messageBox, { icon, title, message, {} } });
    }

    int runAlertBox (const AlertBoxRequest& request) override
    {
        shown.push_back ({ Shown::alertBox, request });
        const auto n = alertBoxes++;
        return answers.empty() ? 0 : answers[std::min (n, answers.size() - 1)];
    }

    void openInBrowser (const juce::URL& page) override { openedPages.add (page.toString (true)); }

    std::vector<Shown> shown;
    std::vector<int> answers; // the result of the n-th alert box; the last one repeats
    juce::StringArray openedPages;

private:
    size_t alertBoxes = 0;
};

/** Waits, pumping the message loop, until the condition holds or the deadline passes; returns the condition. */
bool waitFor (const std::function<bool()>& condition, int deadlineMs = 20000);

/** Waits until every update-check thread has ended (so the process may end safely). */
bool waitForUpdateChecksToEnd (int deadlineMs = 20000);

/** Runs the message loop until everything posted to it before this call has been delivered. */
void flushMessages();

/** Points the update checks of editors built in its lifetime at another server, then restores the previous one. */
class ScopedUpdateServer
{
public:
    explicit ScopedUpdateServer (const juce::String& serverBase) : previous (updateServerBase())
    {
        setUpdateServerForTesting (serverBase);
    }
    ~ScopedUpdateServer() { setUpdateServerForTesting (previous); }

private:
    juce::String previous;
};

/** Makes the given locale name the user's first preferred language (through LANGUAGE) for its lifetime.
    The environment is changed only while no update check runs, as those threads read it too. */
class ScopedPreferredLanguage
{
public:
    explicit ScopedPreferredLanguage (const char* localeName);
    ~ScopedPreferredLanguage();

    void change (const char* localeName);

private:
    bool hadValue;
    std::string previous;
};

/** The window as the plug-in wrapper holds it: closing it tells the processor first, then deletes it. */
struct OpenWindow
{
    explicit OpenWindow (juce::AudioProcessor& p) : processor (p), editor (p.createEditorIfNeeded()) {}
    ~OpenWindow() { close(); }

    void close()
    {
        if (editor != nullptr)
        {
            processor.editorBeingDeleted (editor);
            delete editor;
            editor = nullptr;
        }
    }

    KelvaneAudioProcessorEditor& window() { return dynamic_cast<KelvaneAudioProcessorEditor&> (*editor); }

    juce::AudioProcessor& processor;
    juce::AudioProcessorEditor* editor;
};

/** Tests that put windows on the screen skip themselves where there is no X display (the sanitizer runs). */
#define KELVANE_REQUIRE_DISPLAY()                                   \
    if (std::getenv ("DISPLAY") == nullptr)                         \
        GTEST_SKIP() << "needs an X display (run under xvfb-run)"

/** Puts a component on the (virtual) desktop so that it counts as showing. */
void showOnDesktop (juce::Component& component);

/** A base address on which nothing listens (connections are refused at once). */
juce::String refusingServerBase();

/** Renders one component with its children into a transparent image of its size. */
juce::Image snapshotOf (juce::Component& component);

/** Loads one of the nine embedded images by number (1 to 9). */
juce::Image artwork (int number);

/** Whether two images have the same size and the same pixels; on failure, where they first differ. */
::testing::AssertionResult samePixels (const juce::Image& actual, const juce::Image& expected);
} // namespace editor_test
