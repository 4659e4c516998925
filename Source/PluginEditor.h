#pragma once

#include "PluginProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

//==============================================================================
// Window language and default font

/** The language of the window's dialogs, taken from the user's first preferred language. */
enum class UiLanguage
{
    English,
    Japanese,
    Chinese
};

/** Asks the system for the user's preferred languages anew and judges the first one. */
UiLanguage currentUiLanguage();

/** The language for a list of preferred language tags, most preferred first: only the first tag counts;
    it must start with "zh" or "ja" exactly (case-sensitive), anything else is English. */
UiLanguage uiLanguageForPreferredLanguages (const std::vector<std::string>& languageTags);

/** The sans-serif typeface the dialogs use for a language; empty for English (the current one stays).
    On macOS these are PingFang SC (Chinese) and Arial Unicode MS (Japanese); on Linux Droid Sans Fallback
    for both. */
juce::String languageTypefaceName (UiLanguage language);

/** Gives the framework's default look-and-feel a sans-serif typeface that can show the language. */
void applyLanguageFont (UiLanguage language);

//==============================================================================
// Look-and-feel of the window's controls

/** The fader: draws only the knob image; the face behind it is the window's rendered artwork. */
class CustomLookAndFeel : public juce::LookAndFeel_V3
{
public:
    ~CustomLookAndFeel() override = default;

    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                           float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                           juce::Slider&) override;
    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                     float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                                     juce::Slider&) override;
    void drawLinearSliderThumb (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                                juce::Slider&) override;
};

/** The enable switch: draws nothing (its two states are part of the rendered face). */
class CustomLookAndFeel_EnableBtn : public CustomLookAndFeel
{
public:
    ~CustomLookAndFeel_EnableBtn() override = default;

    void drawTickBox (juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked,
                      bool isEnabled, bool isMouseOverButton, bool isButtonDown) override;
};

/** The vocal-mode switch: draws nothing, like the enable switch. */
class CustomLookAndFeel_VocalBtn : public CustomLookAndFeel
{
public:
    ~CustomLookAndFeel_VocalBtn() override = default;

    void drawTickBox (juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked,
                      bool isEnabled, bool isMouseOverButton, bool isButtonDown) override;
};

/** The update badge: a red disc with a white exclamation mark, whatever image or state the button has. */
class CustomLookAndFeel_NoticationBtn : public CustomLookAndFeel
{
public:
    ~CustomLookAndFeel_NoticationBtn() override = default;

    void drawImageButton (juce::Graphics&, juce::Image*, int imageX, int imageY, int imageW, int imageH,
                          const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton&) override;
};

/** Sets the fixed colour scheme of the fader's look-and-feel. */
void setupSquareLookAndFeelColours (juce::LookAndFeel& lf);

//==============================================================================
// Update check

/** The flag that the editor and its update-check thread share; it outlives whichever ends last. */
using SharedUpdateFlag = std::shared_ptr<std::atomic<bool>>;

/** The maker's web server, fixed when the plug-in is built (scheme and host, no trailing slash). */
juce::String makerServerBase();

/** The server the editor's update check asks: the maker's server unless a local server was set with
    setUpdateServerForTesting. */
juce::String updateServerBase();

/** Points the update checks of editors built afterwards at another server (tests and the preview tool
    use loopback addresses); an empty text restores the maker's server. Nothing in the plug-in calls it. */
void setUpdateServerForTesting (const juce::String& serverBase);

/** Asks serverBase + "/kelvane_update.php?v=2.5.4" once and sets the flag when the answer's status is
    202. Blocks for up to the 3000 ms time-out; releases its share of the flag before returning. */
void runUpdateCheck (SharedUpdateFlag isNewVersionAvailable, juce::String serverBase);

/** Runs runUpdateCheck on a new detached thread; throws std::system_error when no thread can be made. */
void startUpdateCheckThread (SharedUpdateFlag isNewVersionAvailable, juce::String serverBase);

/** The number of update-check threads started and not yet ended. */
int runningUpdateChecks();

//==============================================================================
// Dialogs

/** One alert window: its buttons give the results 1, 2, ... in the order listed. */
struct AlertBoxRequest
{
    juce::MessageBoxIconType icon = juce::MessageBoxIconType::NoIcon;
    juce::String title;
    juce::String message;
    juce::StringArray buttonTexts;
};

/** How the window reaches the user beyond its face: modal dialogs and the web browser. The plug-in uses
    the desktop's; tests put their own in place to see what would be shown without blocking. */
class WindowDialogs
{
public:
    virtual ~WindowDialogs() = default;

    /** A modal message box with the framework's default "OK" button; returns when it is dismissed. */
    virtual void showMessageBox (juce::MessageBoxIconType icon, const juce::String& title,
                                 const juce::String& message) = 0;

    /** Runs a modal alert window and returns the result of the button pressed (0 when closed otherwise). */
    virtual int runAlertBox (const AlertBoxRequest& request) = 0;

    virtual void openInBrowser (const juce::URL& page) = 0;
};

/** The dialogs in use: the desktop's unless others were set. */
WindowDialogs& windowDialogs();

/** Puts other dialogs in place (null restores the desktop's); the caller keeps ownership. */
void setWindowDialogs (WindowDialogs* dialogs);

/** The texts of the update notice and the About box in one language. */
struct DialogTexts
{
    juce::String noticeTitle, noticeMessage, noticeYes, noticeNo;
    juce::String aboutTitle, aboutMessage, aboutButton;
};

DialogTexts dialogTextsFor (UiLanguage language);

//==============================================================================
/** The plug-in's window: a fixed 256 x 480 face rendered from the embedded artwork into one canvas, with
    invisible switches, the level fader, a hot spot over the logo and the update badge laid over it. */
class KelvaneAudioProcessorEditor : public juce::AudioProcessorEditor,
                                    public juce::Slider::Listener,
                                    public juce::Timer,
                                    public juce::Button::Listener,
                                    public juce::AsyncUpdater
{
public:
    explicit KelvaneAudioProcessorEditor (KelvaneAudioProcessor&);
    ~KelvaneAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    void timerCallback() override;
    void handleAsyncUpdate() override;
    void sliderDragStarted (juce::Slider*) override;
    void sliderDragEnded (juce::Slider*) override;
    void sliderValueChanged (juce::Slider*) override;
    void buttonClicked (juce::Button*) override;

private:
    friend struct EditorProbe; // lets tests and the preview tool look inside

    void drawBG();
    juce::AudioParameterFloat* getParameterForSlider (juce::Slider* slider);

    void addSwitch (juce::AudioParameterBool& parameter, std::unique_ptr<juce::ToggleButton>& button,
                    std::unique_ptr<juce::LookAndFeel>& switchLookAndFeel,
                    std::unique_ptr<juce::LookAndFeel> newLookAndFeel);
    void addFader (juce::AudioParameterFloat& parameter);
    void showUpdateNoticeAndAbout();

    // Declared before the controls so that each is destroyed only after the control that uses it.
    std::unique_ptr<juce::LookAndFeel> faderLookAndFeel;
    std::unique_ptr<juce::LookAndFeel> enableLookAndFeel;
    std::unique_ptr<juce::LookAndFeel> vocalLookAndFeel;
    std::unique_ptr<juce::LookAndFeel> noticeLookAndFeel;

    juce::Image bgImage;
    KelvaneAudioProcessor& processorRef;
    std::unique_ptr<juce::ToggleButton> enableButton;
    std::unique_ptr<juce::ToggleButton> vocalButton;
    juce::ImageButton logoButton;
    std::unique_ptr<juce::Slider> mainSlider;
    double gainDbDisplay = 0.0;
    juce::ImageButton noticeButton;
    SharedUpdateFlag isNewVersionAvailable;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvaneAudioProcessorEditor)
};
