#pragma once

#include "PluginProcessor.h"
#include "UpdateCheck.h"
#include "WindowDialogs.h"
#include "WindowFace.h"
#include "WindowLanguage.h"

#include <functional>
#include <memory>

//==============================================================================
// Look-and-feel of the window's controls

/** The fader: draws only the knob image; the face behind it is the window's rendered artwork. */
class CustomLookAndFeel : public juce::LookAndFeel_V3
{
public:
    ~CustomLookAndFeel() override = default;

    void drawLinearSlider(juce::Graphics&, int x, int y, int width, int height, float sliderPos, float minSliderPos,
                          float maxSliderPos, juce::Slider::SliderStyle, juce::Slider&) override;
    void drawLinearSliderBackground(juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                    float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                                    juce::Slider&) override;
    void drawLinearSliderThumb(juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                               float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                               juce::Slider&) override;
};

/** The enable switch: draws nothing (its two states are part of the rendered face). */
class CustomLookAndFeel_EnableBtn : public CustomLookAndFeel
{
public:
    ~CustomLookAndFeel_EnableBtn() override = default;

    void drawTickBox(juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked, bool isEnabled,
                     bool isMouseOverButton, bool isButtonDown) override;
};

/** The vocal-mode switch: draws nothing, like the enable switch. */
class CustomLookAndFeel_VocalBtn : public CustomLookAndFeel
{
public:
    ~CustomLookAndFeel_VocalBtn() override = default;

    void drawTickBox(juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked, bool isEnabled,
                     bool isMouseOverButton, bool isButtonDown) override;
};

/** The update badge: a red disc with a white exclamation mark, whatever image or state the button has. */
class CustomLookAndFeel_NoticationBtn : public CustomLookAndFeel
{
public:
    ~CustomLookAndFeel_NoticationBtn() override = default;

    void drawImageButton(juce::Graphics&, juce::Image*, int imageX, int imageY, int imageW, int imageH,
                         const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton&) override;
};

/** Sets the fixed colour scheme of the fader's look-and-feel. */
void setupSquareLookAndFeelColours(juce::LookAndFeel& lf);

/** The artwork compiled into the plug-in, looked up in the image cache at every use. */
juce::Image embeddedArtwork(kelvane::face::Piece piece);

//==============================================================================
/** What the window reaches beyond itself. The plug-in uses the defaults; tests and tools put their own in
    place. */
struct WindowServices
{
    /** The dialogs and the web browser. */
    WindowDialogs* dialogs = &desktopDialogs();

    /** Starts the window's update check with the window's share of it. */
    std::function<void(SharedUpdateCheck)> checkForUpdates = askMakersServer;
};

/** The plug-in's window: a fixed 256 x 480 face rendered from the embedded artwork into one canvas, with
    invisible switches, the level fader, a hot spot over the logo and the update badge laid over it. */
class KelvaneAudioProcessorEditor : public juce::AudioProcessorEditor,
                                    public juce::Slider::Listener,
                                    public juce::Timer,
                                    public juce::Button::Listener,
                                    public juce::AsyncUpdater
{
public:
    explicit KelvaneAudioProcessorEditor(KelvaneAudioProcessor&, WindowServices services = {});
    ~KelvaneAudioProcessorEditor() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    void timerCallback() override;
    void handleAsyncUpdate() override;
    void sliderDragStarted(juce::Slider*) override;
    void sliderDragEnded(juce::Slider*) override;
    void sliderValueChanged(juce::Slider*) override;
    void buttonClicked(juce::Button*) override;

private:
    void drawBG();
    juce::AudioParameterFloat* getParameterForSlider(juce::Slider* slider);

    void addSwitch(juce::AudioParameterBool& parameter, std::unique_ptr<juce::ToggleButton>& button,
                   std::unique_ptr<juce::LookAndFeel>& switchLookAndFeel,
                   std::unique_ptr<juce::LookAndFeel> newLookAndFeel);
    void addFader(juce::AudioParameterFloat& parameter);

    WindowDialogs& dialogs;

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
    /** Holds isNewVersionAvailable, which the update check sets. */
    SharedUpdateCheck updateCheck;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KelvaneAudioProcessorEditor)
};
