#include "PluginEditor.h"

#include "BinaryData.h"
#include "PreferredLanguages.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#ifndef KELVANE_UPDATE_URL_BASE
 #error "KELVANE_UPDATE_URL_BASE must name the maker's web server (set by the build)"
#endif

namespace
{
const char* const versionText = "2.5.4";
const char* const productName = "Kelvane";

constexpr int faceWidth = 256;
constexpr int faceHeight = 480;

// The artwork, decoded once by the image cache and then looked up by the address of its bytes.
juce::Image temp1() { return juce::ImageCache::getFromMemory (BinaryData::temp1_png, BinaryData::temp1_pngSize); }
juce::Image temp2() { return juce::ImageCache::getFromMemory (BinaryData::temp2_png, BinaryData::temp2_pngSize); }
juce::Image temp3() { return juce::ImageCache::getFromMemory (BinaryData::temp3_png, BinaryData::temp3_pngSize); }
juce::Image temp4() { return juce::ImageCache::getFromMemory (BinaryData::temp4_png, BinaryData::temp4_pngSize); }
juce::Image temp5() { return juce::ImageCache::getFromMemory (BinaryData::temp5_png, BinaryData::temp5_pngSize); }
juce::Image temp6() { return juce::ImageCache::getFromMemory (BinaryData::temp6_png, BinaryData::temp6_pngSize); }
juce::Image temp7() { return juce::ImageCache::getFromMemory (BinaryData::temp7_png, BinaryData::temp7_pngSize); }
juce::Image temp8() { return juce::ImageCache::getFromMemory (BinaryData::temp8_png, BinaryData::temp8_pngSize); }
juce::Image temp9() { return juce::ImageCache::getFromMemory (BinaryData::temp9_png, BinaryData::temp9_pngSize); }

// Draws the source rectangle (0, sourceY, width, height) of an image at (x, y) at its own size.
void drawImagePart (juce::Graphics& g, const juce::Image& image, int x, int y, int sourceY, int width, int height)
{
    g.drawImage (image, x, y, width, height, 0, sourceY, width, height, false);
}

// Glyph of a readout character in the digit strip: the digits 0 to 9, then the minus sign.
int glyphIndexFor (char c)
{
    if (c < '-' || c > '9')
        return 0;

    static constexpr int glyphFromMinus[] = { 10, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    return glyphFromMinus[c - '-'];
}

bool isOn (const juce::RangedAudioParameter& parameter)
{
    return parameter.getValue() >= 0.5f;
}

std::atomic<int> updateChecksRunning { 0 };

juce::String& updateServerOverride()
{
    static juce::String serverBase;
    return serverBase;
}

//==============================================================================
class DesktopDialogs final : public WindowDialogs
{
public:
    void showMessageBox (juce::MessageBoxIconType icon, const juce::String& title,
                         const juce::String& message) override
    {
        juce::AlertWindow::showMessageBox (icon, title, message, {}, nullptr);
    }

    int runAlertBox (const AlertBoxRequest& request) override
    {
        juce::AlertWindow box (request.title, request.message, request.icon, nullptr);

        for (int i = 0; i < request.buttonTexts.size(); ++i)
            box.addButton (request.buttonTexts[i], i + 1, juce::KeyPress(), juce::KeyPress());

        return box.runModalLoop();
    }

    void openInBrowser (const juce::URL& page) override
    {
        page.launchInDefaultBrowser();
    }
};

WindowDialogs* dialogsInUse = nullptr;
} // namespace

//==============================================================================
UiLanguage uiLanguageForPreferredLanguages (const std::vector<std::string>& languageTags)
{
    if (languageTags.empty())
        return UiLanguage::English;

    const auto& first = languageTags.front();

    if (first.rfind ("zh", 0) == 0)
        return UiLanguage::Chinese;

    if (first.rfind ("ja", 0) == 0)
        return UiLanguage::Japanese;

    return UiLanguage::English;
}

UiLanguage currentUiLanguage()
{
    return uiLanguageForPreferredLanguages (kelvane::platform::preferredLanguages());
}

juce::String languageTypefaceName (UiLanguage language)
{
    switch (language)
    {
       #if JUCE_MAC
        case UiLanguage::Chinese:  return "PingFang SC";
        case UiLanguage::Japanese: return "Arial Unicode MS";
       #else
        // Elsewhere the framework reads single-font TrueType and OpenType files only (not font collections),
        // and Droid Sans Fallback is the one of those that covers both the Chinese and the Japanese texts.
        case UiLanguage::Chinese:
        case UiLanguage::Japanese: return "Droid Sans Fallback";
       #endif
        case UiLanguage::English:  break;
    }

    return {};
}

void applyLanguageFont (UiLanguage language)
{
    const auto typeface = languageTypefaceName (language);

    if (typeface.isNotEmpty())
        juce::Desktop::getInstance().getDefaultLookAndFeel().setDefaultSansSerifTypefaceName (typeface);
}

//==============================================================================
void CustomLookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                          float minSliderPos, float maxSliderPos,
                                          juce::Slider::SliderStyle style, juce::Slider& slider)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    g.fillAll (slider.findColour (juce::Slider::backgroundColourId));
    drawLinearSliderBackground (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
    drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

void CustomLookAndFeel::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height,
                                                    float, float, float, juce::Slider::SliderStyle,
                                                    juce::Slider& slider)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    const auto r = (float) getSliderThumbRadius (slider);

    if (! slider.isHorizontal())
        return;

    const auto proportion = (float) slider.valueToProportionOfLength (slider.getValue());
    const auto length = (float) width + r;
    const auto filled = juce::jmin (length, proportion * length);
    const auto start = (float) x - r / 2.0f;
    const auto barTop = (float) y + ((float) height - r) / 2.0f;

    const auto bar = [&] (float from, float to)
    {
        juce::Path path;
        path.addRectangle (juce::jmin (from, to), barTop, std::abs (to - from), r);
        return path;
    };

    g.setColour (slider.findColour (juce::Slider::rotarySliderFillColourId));
    g.fillPath (bar (start, start + filled));
    g.setColour (slider.findColour (juce::Slider::trackColourId));
    g.fillPath (bar (start + filled, start + length));
}

void CustomLookAndFeel::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height,
                                               float sliderPos, float minSliderPos, float maxSliderPos,
                                               juce::Slider::SliderStyle style, juce::Slider& slider)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    const auto r = (float) getSliderThumbRadius (slider);

    if (style != juce::Slider::LinearVertical)
    {
        juce::LookAndFeel_V2::drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos,
                                                     maxSliderPos, style, slider);
        return;
    }

    const auto knob = temp8();
    const auto half = (float) (knob.getHeight() / 2);
    // The knob travels a little less than the track so that it stays (almost) inside the fader.
    const auto top = (int) (((maxSliderPos - half - r) / (maxSliderPos + r)) * sliderPos - r);
    g.drawImage (knob, 0, top, knob.getWidth(), knob.getHeight(), 0, 0, knob.getWidth(), knob.getHeight(), false);
}

void CustomLookAndFeel_EnableBtn::drawTickBox (juce::Graphics& g, juce::Component&, float, float, float, float,
                                               bool, bool, bool, bool)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
}

void CustomLookAndFeel_VocalBtn::drawTickBox (juce::Graphics& g, juce::Component&, float, float, float, float,
                                              bool, bool, bool, bool)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
}

void CustomLookAndFeel_NoticationBtn::drawImageButton (juce::Graphics& g, juce::Image*, int, int, int, int,
                                                       const juce::Colour&, float, juce::ImageButton&)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);

    const float far = 18.6f;
    const float near = 24.0f - far;

    juce::Path disc;
    disc.startNewSubPath (12.0f, 0.0f);
    disc.cubicTo (far, 0.0f, 24.0f, near, 24.0f, 12.0f);
    disc.cubicTo (24.0f, far, far, 24.0f, 12.0f, 24.0f);
    disc.cubicTo (near, 24.0f, 0.0f, far, 0.0f, 12.0f);
    disc.cubicTo (0.0f, near, near, 0.0f, 12.0f, 0.0f);
    disc.closeSubPath();
    g.setColour (juce::Colour (0xFFFF0000));
    g.fillPath (disc);

    juce::Path mark;
    mark.addRectangle (10.0f, 4.0f, 4.0f, 10.0f);
    mark.addRectangle (10.0f, 17.0f, 4.0f, 4.0f);
    g.setColour (juce::Colour (0xFFFFFFFF));
    g.fillPath (mark);
}

void setupSquareLookAndFeelColours (juce::LookAndFeel& lf)
{
    lf.setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xFFFF0000));
    lf.setColour (juce::Slider::thumbColourId, juce::Colour (0xFFF2F2F2));
    lf.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00FFFFFF));
    lf.setColour (juce::Slider::trackColourId, juce::Colour (0xFF000000));
    lf.setColour (juce::TextButton::buttonColourId, juce::Colour (0xFFFFFFFF));
    lf.setColour (juce::TextButton::textColourOffId, juce::Colour (0xFFFF0000));
    lf.setColour (juce::TextButton::buttonOnColourId, lf.findColour (juce::TextButton::textColourOffId));
    lf.setColour (juce::TextButton::textColourOnId, lf.findColour (juce::TextButton::buttonColourId));
}

//==============================================================================
juce::String makerServerBase()
{
    return KELVANE_UPDATE_URL_BASE;
}

juce::String updateServerBase()
{
    const auto& serverBase = updateServerOverride();
    return serverBase.isNotEmpty() ? serverBase : makerServerBase();
}

void setUpdateServerForTesting (const juce::String& serverBase)
{
    updateServerOverride() = serverBase;
}

void runUpdateCheck (SharedUpdateFlag isNewVersionAvailable, juce::String serverBase)
{
    const juce::URL address (serverBase + "/kelvane_update.php?v=" + versionText);

    juce::StringPairArray responseHeaders;
    int statusCode = 0;

    const auto options = juce::URL::InputStreamOptions (juce::URL::ParameterHandling::inAddress)
                             .withConnectionTimeoutMs (3000)
                             .withResponseHeaders (&responseHeaders)
                             .withStatusCode (&statusCode)
                             .withNumRedirectsToFollow (5);

    // Only the status counts: the stream is dropped without reading the body.
    if (auto stream = address.createInputStream (options))
        isNewVersionAvailable->store (statusCode == 202);

    isNewVersionAvailable.reset();
}

void startUpdateCheckThread (SharedUpdateFlag isNewVersionAvailable, juce::String serverBase)
{
    ++updateChecksRunning;

    try
    {
        std::thread ([flag = std::move (isNewVersionAvailable), serverBase = std::move (serverBase)]() mutable
                     {
                         runUpdateCheck (std::move (flag), std::move (serverBase));
                         --updateChecksRunning;
                     })
            .detach();
    }
    catch (...)
    {
        --updateChecksRunning;
        throw;
    }
}

int runningUpdateChecks()
{
    return updateChecksRunning.load();
}

//==============================================================================
WindowDialogs& windowDialogs()
{
    static DesktopDialogs desktopDialogs;
    return dialogsInUse != nullptr ? *dialogsInUse : desktopDialogs;
}

void setWindowDialogs (WindowDialogs* dialogs)
{
    dialogsInUse = dialogs;
}

DialogTexts dialogTextsFor (UiLanguage language)
{
    const auto utf8 = [] (const char* text) { return juce::String::fromUTF8 (text); };
    const juce::String product (productName);
    const auto aboutMessage = [&] (const char* credit1, const char* credit2, const char* credit3,
                                   const char* credit4, const char* closing)
    {
        return juce::String ("Version:") + versionText + "\n"
               + "\n"
               + utf8 (credit1) + "\n" + utf8 (credit2) + "\n" + utf8 (credit3) + "\n" + utf8 (credit4) + "\n"
               + "\n"
               + utf8 (closing);
    };

    DialogTexts texts;
    texts.aboutButton = "  OK  ";

    switch (language)
    {
        case UiLanguage::Japanese:
            texts.noticeTitle = utf8 ("新しいバージョンの") + product + utf8 ("がリリースされています");
            texts.noticeMessage = utf8 ("Webサイトから新しいバージョンを入手しますか？ ");
            texts.noticeYes = utf8 ("はい");
            texts.noticeNo = utf8 ("いいえ");
            texts.aboutTitle = product + utf8 ("について");
            texts.aboutMessage = aboutMessage ("Kelvane 制作: ZELVO-AUDIO",
                                               "信号処理とデザイン: Kelvane チーム",
                                               "JUCE (juce.com) を使用しています",
                                               "アートワーク: Kelvane チーム",
                                               "ご利用いただきありがとうございます。");
            break;

        case UiLanguage::Chinese:
            texts.noticeTitle = utf8 ("新") + product + utf8 ("发布");
            texts.noticeMessage = utf8 ("你想获得新版本吗？");
            texts.noticeYes = utf8 ("是的");
            texts.noticeNo = utf8 ("没有");
            texts.aboutTitle = utf8 ("关于") + product;
            texts.aboutMessage = aboutMessage ("Kelvane 由 ZELVO-AUDIO 制作",
                                               "信号处理与设计：Kelvane 团队",
                                               "使用 JUCE (juce.com) 构建",
                                               "美术设计：Kelvane 团队",
                                               "感谢您的使用。");
            break;

        case UiLanguage::English:
            texts.noticeTitle = "New " + product + " is released";
            texts.noticeMessage = "Do you want to get the new version ? ";
            texts.noticeYes = "Yes, open the webpage";
            texts.noticeNo = "No, check later";
            texts.aboutTitle = "About " + product;
            texts.aboutMessage = aboutMessage ("Kelvane by ZELVO-AUDIO",
                                               "Signal processing and design: the Kelvane team",
                                               "Built with JUCE (juce.com)",
                                               "Artwork: the Kelvane team",
                                               "Thank you for using Kelvane.");
            break;
    }

    return texts;
}

//==============================================================================
KelvaneAudioProcessorEditor::KelvaneAudioProcessorEditor (KelvaneAudioProcessor& p)
    : juce::AudioProcessorEditor (&p),
      processorRef (p),
      logoButton (juce::String()),
      noticeButton (juce::String()),
      isNewVersionAvailable (std::make_shared<std::atomic<bool>> (false))
{
    applyLanguageFont (currentUiLanguage());

    bgImage = juce::Image (juce::Image::ARGB, faceWidth, faceHeight, true);

    faderLookAndFeel = std::make_unique<CustomLookAndFeel>();
    setupSquareLookAndFeelColours (*faderLookAndFeel);

    const auto parameters = processorRef.getParameters();

    for (auto* parameter : parameters)
    {
        if (parameter == nullptr)
            continue;

        if (auto* boolParameter = dynamic_cast<juce::AudioParameterBool*> (parameter))
        {
            const auto& id = boolParameter->getParameterID();

            if (id == "dbEnable")
                addSwitch (*boolParameter, enableButton, enableLookAndFeel,
                           std::make_unique<CustomLookAndFeel_EnableBtn>());
            else if (id == "dbVocal")
                addSwitch (*boolParameter, vocalButton, vocalLookAndFeel,
                           std::make_unique<CustomLookAndFeel_VocalBtn>());
            else
                windowDialogs().showMessageBox (juce::MessageBoxIconType::WarningIcon, "ParamError",
                                                "paramID : " + id);
        }

        if (auto* floatParameter = dynamic_cast<juce::AudioParameterFloat*> (parameter))
        {
            const auto& id = floatParameter->getParameterID();

            if (id == "dbMain")
                addFader (*floatParameter);
            else
                windowDialogs().showMessageBox (juce::MessageBoxIconType::WarningIcon, "ParamError",
                                                "paramID : " + id);
        }
    }

    addAndMakeVisible (logoButton);
    logoButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    logoButton.addListener (this);

    addAndMakeVisible (noticeButton);
    noticeLookAndFeel = std::make_unique<CustomLookAndFeel_NoticationBtn>();
    noticeButton.setLookAndFeel (noticeLookAndFeel.get());
    noticeButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    noticeButton.addListener (this);
    noticeButton.setVisible (false);
    // The badge's look-and-feel ignores the image, but an image button draws only while it has a valid one.
    const auto logo = temp6();
    const juce::Colour noOverlay (0x00000000);
    noticeButton.setImages (false, false, false, logo, 1.0f, noOverlay, logo, 1.0f, noOverlay, logo, 1.0f,
                            noOverlay, 0.0f);

    setSize (faceWidth, faceHeight);

    gainDbDisplay = (double) processorRef.levelParameter->get() * 15.0 - 12.0;
    drawBG();

    startTimer (50);

    startUpdateCheckThread (isNewVersionAvailable, updateServerBase());
}

KelvaneAudioProcessorEditor::~KelvaneAudioProcessorEditor() = default;

void KelvaneAudioProcessorEditor::addSwitch (juce::AudioParameterBool& parameter,
                                             std::unique_ptr<juce::ToggleButton>& button,
                                             std::unique_ptr<juce::LookAndFeel>& switchLookAndFeel,
                                             std::unique_ptr<juce::LookAndFeel> newLookAndFeel)
{
    auto toggle = std::make_unique<juce::ToggleButton> (juce::String());
    toggle->setName (parameter.getName (100));
    // Every switch starts on; the first refresh tick brings it in line with its parameter.
    toggle->setToggleState (true, juce::dontSendNotification);
    toggle->setMouseCursor (juce::MouseCursor::PointingHandCursor);
    toggle->addListener (this);
    addAndMakeVisible (*toggle);
    toggle->setLookAndFeel (newLookAndFeel.get());

    // Replacing an earlier control of the same parameter destroys that control before its look-and-feel.
    button = std::move (toggle);
    switchLookAndFeel = std::move (newLookAndFeel);
}

void KelvaneAudioProcessorEditor::addFader (juce::AudioParameterFloat& parameter)
{
    auto slider = std::make_unique<juce::Slider>();
    slider->setName (parameter.getName (100));
    addAndMakeVisible (*slider);
    slider->setSliderStyle (juce::Slider::LinearVertical);
    slider->addListener (this);
    slider->setRange (0.0, 1.0, 0.001);
    slider->setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    slider->setMouseDragSensitivity (500);
    slider->setDoubleClickReturnValue (true, 0.5, juce::ModifierKeys::altModifier);
    slider->setSliderSnapsToMousePosition (false);

    mainSlider = std::move (slider);
    mainSlider->setLookAndFeel (faderLookAndFeel.get());
}

//==============================================================================
void KelvaneAudioProcessorEditor::resized()
{
    if (enableButton != nullptr)
    {
        const auto art = temp4();
        enableButton->setBounds (12, 12, art.getWidth(), art.getHeight() / 2);
    }

    const auto logo = temp6();
    logoButton.setBounds (85, 11, logo.getWidth(), logo.getHeight());

    if (mainSlider != nullptr)
        mainSlider->setBounds (180, 62, temp8().getWidth(), 275);

    if (vocalButton != nullptr)
    {
        const auto art = temp9();
        vocalButton->setBounds (130, 425, art.getWidth(), art.getHeight() / 2);
    }

    noticeButton.setBounds (226, 6, 24, 24);
}

void KelvaneAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    const auto width = bgImage.getWidth();
    const auto height = bgImage.getHeight();
    g.drawImage (bgImage, 0, 0, width, height, 0, 0, width, height, false);
}

void KelvaneAudioProcessorEditor::handleAsyncUpdate()
{
    drawBG();
}

void KelvaneAudioProcessorEditor::drawBG()
{
    juce::Graphics g (bgImage);

    // Background: the vocal mode has its own.
    const auto background = isOn (*processorRef.vocalParameter) ? temp2() : temp1();
    g.drawImage (background, 0, 0, faceWidth, faceHeight, 0, 0, background.getWidth(), background.getHeight(),
                 false);

    // Gain readout, right-aligned so that the last glyph of a one-decimal text ends at x = 249.
    {
        char text[6] = {};
        std::snprintf (text, sizeof (text), "%.1f", gainDbDisplay);
        const auto length = (int) std::strlen (text);

        if (length >= 1)
        {
            const auto glyphs = temp7();
            const auto point = temp3();
            const auto glyphWidth = glyphs.getWidth();
            const auto glyphHeight = glyphs.getHeight() / 11;
            auto x = 177 + (5 - length) * glyphWidth;

            for (int i = 0; i < length; ++i)
            {
                if (i > 0)
                    x += text[i - 1] == '.' ? point.getWidth() : glyphWidth;

                if (text[i] == '.')
                    drawImagePart (g, point, x, 372, 0, point.getWidth(), point.getHeight());
                else
                    drawImagePart (g, glyphs, x, 372, glyphIndexFor (text[i]) * glyphHeight, glyphWidth, glyphHeight);
            }
        }
    }

    // Level meters: the bottom rows of the lit strip, one segment per step.
    {
        const auto strip = temp5();
        const auto segment = strip.getHeight() / 11;
        const auto stripHeight = strip.getHeight();

        const auto drawMeter = [&] (double step, int x)
        {
            // A step outside 0..11 (or not a number) must not reach the integer conversion or read
            // outside the strip.
            const auto litRows = std::isfinite (step) ? juce::jlimit (0.0, (double) stripHeight, segment * step) : 0.0;
            const auto lit = (int) litRows;

            if (lit > 0)
                drawImagePart (g, strip, x, 87 + stripHeight - lit, stripHeight - lit, strip.getWidth(), lit);
        };

        drawMeter (processorRef.meterStepLeft.load (std::memory_order_relaxed), 47);
        drawMeter (processorRef.meterStepRight.load (std::memory_order_relaxed), 117);
    }

    // Switch frames: the lower half of each two-state image shows "on".
    const auto drawSwitch = [&] (const juce::Image& art, const juce::ToggleButton* button, int x, int y)
    {
        const auto half = art.getHeight() / 2;
        const auto on = button != nullptr && button->getToggleState();
        drawImagePart (g, art, x, y, on ? half : 0, art.getWidth(), half);
    };

    drawSwitch (temp4(), enableButton.get(), 12, 12);
    drawSwitch (temp9(), vocalButton.get(), 130, 425);

    const auto logo = temp6();
    drawImagePart (g, logo, 95, 12, 0, logo.getWidth(), logo.getHeight());
}

//==============================================================================
void KelvaneAudioProcessorEditor::timerCallback()
{
    if (enableButton != nullptr)
        enableButton->setToggleState (isOn (*processorRef.enableParameter), juce::dontSendNotification);

    if (mainSlider != nullptr)
        mainSlider->setValue ((double) processorRef.levelParameter->get(), juce::dontSendNotification);

    gainDbDisplay = (double) processorRef.levelParameter->get() * 15.0 - 12.0;

    if (vocalButton != nullptr)
        vocalButton->setToggleState (isOn (*processorRef.vocalParameter), juce::dontSendNotification);

    if (! isShowing())
        return;

    noticeButton.setVisible (isNewVersionAvailable->load());

    // At most one render waits at any time; the repaint shows the latest finished one.
    if (! isUpdatePending())
    {
        triggerAsyncUpdate();
        repaint();
    }
}

juce::AudioParameterFloat* KelvaneAudioProcessorEditor::getParameterForSlider (juce::Slider* slider)
{
    for (auto* parameter : processorRef.getParameters())
        if (parameter != nullptr && parameter->getName (100) == slider->getName())
            return dynamic_cast<juce::AudioParameterFloat*> (parameter);

    return nullptr;
}

void KelvaneAudioProcessorEditor::sliderDragStarted (juce::Slider* slider)
{
    if (auto* parameter = getParameterForSlider (slider))
        parameter->beginChangeGesture();
}

void KelvaneAudioProcessorEditor::sliderDragEnded (juce::Slider* slider)
{
    if (auto* parameter = getParameterForSlider (slider))
        parameter->endChangeGesture();
}

void KelvaneAudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    auto* parameter = getParameterForSlider (slider);

    if (parameter == nullptr || slider != mainSlider.get())
        return;

    const auto value = parameter->convertTo0to1 ((float) slider->getValue());
    static_cast<juce::AudioProcessorParameter*> (parameter)->setValue (value);
    parameter->sendValueChangedMessageToListeners (value);
}

void KelvaneAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == &logoButton || button == &noticeButton)
    {
        showUpdateNoticeAndAbout();
        return;
    }

    juce::AudioParameterBool* parameter = nullptr;

    for (auto* candidate : processorRef.getParameters())
    {
        if (candidate != nullptr && candidate->getName (100) == button->getName())
        {
            parameter = dynamic_cast<juce::AudioParameterBool*> (candidate);
            break;
        }
    }

    if (parameter == nullptr || (button != enableButton.get() && button != vocalButton.get()))
        return;

    const auto state = button->getToggleState();

    parameter->beginChangeGesture();

    if (isOn (*parameter) != state)
    {
        const auto value = state ? 1.0f : 0.0f;
        static_cast<juce::AudioProcessorParameter*> (parameter)->setValue (value);
        parameter->sendValueChangedMessageToListeners (value);
    }

    parameter->endChangeGesture();
}

void KelvaneAudioProcessorEditor::showUpdateNoticeAndAbout()
{
    const auto texts = dialogTextsFor (currentUiLanguage());
    auto& dialogs = windowDialogs();

    if (isNewVersionAvailable->load())
    {
        AlertBoxRequest notice;
        notice.icon = juce::MessageBoxIconType::WarningIcon;
        notice.title = texts.noticeTitle;
        notice.message = texts.noticeMessage;
        notice.buttonTexts = { texts.noticeYes, texts.noticeNo };

        if (dialogs.runAlertBox (notice) == 1)
            dialogs.openInBrowser (juce::URL (makerServerBase() + "/"));
    }

    AlertBoxRequest about;
    about.icon = juce::MessageBoxIconType::NoIcon;
    about.title = texts.aboutTitle;
    about.message = texts.aboutMessage;
    about.buttonTexts = { texts.aboutButton };
    dialogs.runAlertBox (about);
}
