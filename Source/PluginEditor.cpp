#include "PluginEditor.h"

#include "BinaryData.h"

namespace face = kelvane::face;

namespace
{
bool isOn(const juce::RangedAudioParameter& parameter)
{
    return parameter.getValue() >= 0.5f;
}

juce::URL makersHomePage()
{
    return juce::URL(makerServerBase() + "/");
}
} // namespace

juce::Image embeddedArtwork(face::Piece piece)
{
    struct Data
    {
        const char* bytes;
        int size;
    };

    static const Data data[] = {
        {BinaryData::temp1_png, BinaryData::temp1_pngSize}, {BinaryData::temp2_png, BinaryData::temp2_pngSize},
        {BinaryData::temp3_png, BinaryData::temp3_pngSize}, {BinaryData::temp4_png, BinaryData::temp4_pngSize},
        {BinaryData::temp5_png, BinaryData::temp5_pngSize}, {BinaryData::temp6_png, BinaryData::temp6_pngSize},
        {BinaryData::temp7_png, BinaryData::temp7_pngSize}, {BinaryData::temp8_png, BinaryData::temp8_pngSize},
        {BinaryData::temp9_png, BinaryData::temp9_pngSize},
    };

    // Decoded once by the image cache and then looked up by the address of the bytes.
    const auto& entry = data[(size_t)piece];
    return juce::ImageCache::getFromMemory(entry.bytes, entry.size);
}

//==============================================================================
void CustomLookAndFeel::drawLinearSlider(juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                         float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                                         juce::Slider& slider)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
    g.fillAll(slider.findColour(juce::Slider::backgroundColourId));
    drawLinearSliderBackground(g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
    drawLinearSliderThumb(g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

void CustomLookAndFeel::drawLinearSliderBackground(juce::Graphics& g, int x, int y, int width, int height, float, float,
                                                   float, juce::Slider::SliderStyle, juce::Slider& slider)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
    const auto r = (float)getSliderThumbRadius(slider);

    if (!slider.isHorizontal())
        return;

    const auto proportion = (float)slider.valueToProportionOfLength(slider.getValue());
    const auto length = (float)width + r;
    const auto filled = juce::jmin(length, proportion * length);
    const auto start = (float)x - r / 2.0f;
    const auto barTop = (float)y + ((float)height - r) / 2.0f;

    const auto bar = [&](float from, float to) {
        juce::Path path;
        path.addRectangle(juce::jmin(from, to), barTop, std::abs(to - from), r);
        return path;
    };

    g.setColour(slider.findColour(juce::Slider::rotarySliderFillColourId));
    g.fillPath(bar(start, start + filled));
    g.setColour(slider.findColour(juce::Slider::trackColourId));
    g.fillPath(bar(start + filled, start + length));
}

void CustomLookAndFeel::drawLinearSliderThumb(juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                              float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle style,
                                              juce::Slider& slider)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);

    if (style != juce::Slider::LinearVertical)
    {
        juce::LookAndFeel_V2::drawLinearSliderThumb(g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos,
                                                    style, slider);
        return;
    }

    face::drawFaderKnob(g, embeddedArtwork(face::Piece::knob), sliderPos, maxSliderPos,
                        (float)getSliderThumbRadius(slider));
}

void CustomLookAndFeel_EnableBtn::drawTickBox(juce::Graphics& g, juce::Component&, float, float, float, float, bool,
                                              bool, bool, bool)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
}

void CustomLookAndFeel_VocalBtn::drawTickBox(juce::Graphics& g, juce::Component&, float, float, float, float, bool,
                                             bool, bool, bool)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
}

void CustomLookAndFeel_NoticationBtn::drawImageButton(juce::Graphics& g, juce::Image*, int, int, int, int,
                                                      const juce::Colour&, float, juce::ImageButton&)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
    face::drawUpdateBadge(g);
}

void setupSquareLookAndFeelColours(juce::LookAndFeel& lf)
{
    lf.setColour(juce::Slider::rotarySliderFillColourId, juce::Colour(0xFFFF0000));
    lf.setColour(juce::Slider::thumbColourId, juce::Colour(0xFFF2F2F2));
    lf.setColour(juce::Slider::textBoxOutlineColourId, juce::Colour(0x00FFFFFF));
    lf.setColour(juce::Slider::trackColourId, juce::Colour(0xFF000000));
    lf.setColour(juce::TextButton::buttonColourId, juce::Colour(0xFFFFFFFF));
    lf.setColour(juce::TextButton::textColourOffId, juce::Colour(0xFFFF0000));
    lf.setColour(juce::TextButton::buttonOnColourId, lf.findColour(juce::TextButton::textColourOffId));
    lf.setColour(juce::TextButton::textColourOnId, lf.findColour(juce::TextButton::buttonColourId));
}

//==============================================================================
KelvaneAudioProcessorEditor::KelvaneAudioProcessorEditor(KelvaneAudioProcessor& p, WindowServices services)
    : juce::AudioProcessorEditor(&p), dialogs(*services.dialogs), processorRef(p), logoButton(juce::String()),
      noticeButton(juce::String()), updateCheck(std::make_shared<UpdateCheckShare>())
{
    applyLanguageFont(currentUiLanguage());

    bgImage = juce::Image(juce::Image::ARGB, face::width, face::height, true);

    faderLookAndFeel = std::make_unique<CustomLookAndFeel>();
    setupSquareLookAndFeelColours(*faderLookAndFeel);

    const auto parameters = processorRef.getParameters();

    for (auto* parameter : parameters)
    {
        if (parameter == nullptr)
            continue;

        if (auto* boolParameter = dynamic_cast<juce::AudioParameterBool*>(parameter))
        {
            const auto& id = boolParameter->getParameterID();

            if (id == "dbEnable")
                addSwitch(*boolParameter, enableButton, enableLookAndFeel,
                          std::make_unique<CustomLookAndFeel_EnableBtn>());
            else if (id == "dbVocal")
                addSwitch(*boolParameter, vocalButton, vocalLookAndFeel,
                          std::make_unique<CustomLookAndFeel_VocalBtn>());
            else
                showParamError(dialogs, id);
        }

        if (auto* floatParameter = dynamic_cast<juce::AudioParameterFloat*>(parameter))
        {
            const auto& id = floatParameter->getParameterID();

            if (id == "dbMain")
                addFader(*floatParameter);
            else
                showParamError(dialogs, id);
        }
    }

    addAndMakeVisible(logoButton);
    logoButton.setMouseCursor(juce::MouseCursor::PointingHandCursor);
    logoButton.addListener(this);

    addAndMakeVisible(noticeButton);
    noticeLookAndFeel = std::make_unique<CustomLookAndFeel_NoticationBtn>();
    noticeButton.setLookAndFeel(noticeLookAndFeel.get());
    noticeButton.setMouseCursor(juce::MouseCursor::PointingHandCursor);
    noticeButton.addListener(this);
    noticeButton.setVisible(false);
    // The badge's look-and-feel ignores the image, but an image button draws only while it has a valid one.
    const auto logo = embeddedArtwork(face::Piece::logo);
    const juce::Colour noOverlay(0x00000000);
    noticeButton.setImages(false, false, false, logo, 1.0f, noOverlay, logo, 1.0f, noOverlay, logo, 1.0f, noOverlay,
                           0.0f);

    setSize(face::width, face::height);

    gainDbDisplay = (double)processorRef.levelParameter->get() * 15.0 - 12.0;
    drawBG();

    startTimer(50);

    services.checkForUpdates(updateCheck);
}

KelvaneAudioProcessorEditor::~KelvaneAudioProcessorEditor()
{
    // A check still waiting for the server is of no use any more.
    updateCheck->abandon();
}

void KelvaneAudioProcessorEditor::addSwitch(juce::AudioParameterBool& parameter,
                                            std::unique_ptr<juce::ToggleButton>& button,
                                            std::unique_ptr<juce::LookAndFeel>& switchLookAndFeel,
                                            std::unique_ptr<juce::LookAndFeel> newLookAndFeel)
{
    auto toggle = std::make_unique<juce::ToggleButton>(juce::String());
    toggle->setName(parameter.getName(100));
    // Every switch starts on; the first refresh tick brings it in line with its parameter.
    toggle->setToggleState(true, juce::dontSendNotification);
    toggle->setMouseCursor(juce::MouseCursor::PointingHandCursor);
    toggle->addListener(this);
    addAndMakeVisible(*toggle);
    toggle->setLookAndFeel(newLookAndFeel.get());

    // Replacing an earlier control of the same parameter destroys that control before its look-and-feel.
    button = std::move(toggle);
    switchLookAndFeel = std::move(newLookAndFeel);
}

void KelvaneAudioProcessorEditor::addFader(juce::AudioParameterFloat& parameter)
{
    auto slider = std::make_unique<juce::Slider>();
    slider->setName(parameter.getName(100));
    addAndMakeVisible(*slider);
    slider->addListener(this);
    face::configureLevelFader(*slider);

    mainSlider = std::move(slider);
    mainSlider->setLookAndFeel(faderLookAndFeel.get());
}

//==============================================================================
void KelvaneAudioProcessorEditor::resized()
{
    const auto bounds = face::controlBounds(embeddedArtwork);

    if (enableButton != nullptr)
        enableButton->setBounds(bounds.enableSwitch);

    logoButton.setBounds(bounds.logoHotSpot);

    if (mainSlider != nullptr)
        mainSlider->setBounds(bounds.fader);

    if (vocalButton != nullptr)
        vocalButton->setBounds(bounds.vocalSwitch);

    noticeButton.setBounds(bounds.badge);
}

void KelvaneAudioProcessorEditor::paint(juce::Graphics& g)
{
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
    const auto width = bgImage.getWidth();
    const auto height = bgImage.getHeight();
    g.drawImage(bgImage, 0, 0, width, height, 0, 0, width, height, false);
}

void KelvaneAudioProcessorEditor::handleAsyncUpdate()
{
    drawBG();
}

void KelvaneAudioProcessorEditor::drawBG()
{
    face::State state;
    state.vocalBackground = isOn(*processorRef.vocalParameter);
    state.gainDb = gainDbDisplay;
    state.meterStepLeft = processorRef.meterStepLeft.load(std::memory_order_relaxed);
    state.meterStepRight = processorRef.meterStepRight.load(std::memory_order_relaxed);
    state.enableOn = enableButton != nullptr && enableButton->getToggleState();
    state.vocalOn = vocalButton != nullptr && vocalButton->getToggleState();

    juce::Graphics g(bgImage);
    face::draw(g, embeddedArtwork, state);
}

//==============================================================================
void KelvaneAudioProcessorEditor::timerCallback()
{
    if (enableButton != nullptr)
        enableButton->setToggleState(isOn(*processorRef.enableParameter), juce::dontSendNotification);

    if (mainSlider != nullptr)
        mainSlider->setValue((double)processorRef.levelParameter->get(), juce::dontSendNotification);

    gainDbDisplay = (double)processorRef.levelParameter->get() * 15.0 - 12.0;

    if (vocalButton != nullptr)
        vocalButton->setToggleState(isOn(*processorRef.vocalParameter), juce::dontSendNotification);

    if (!isShowing())
        return;

    noticeButton.setVisible(updateCheck->isNewVersionAvailable.load());

    // At most one render waits at any time; the repaint shows the latest finished one.
    if (!isUpdatePending())
    {
        triggerAsyncUpdate();
        repaint();
    }
}

juce::AudioParameterFloat* KelvaneAudioProcessorEditor::getParameterForSlider(juce::Slider* slider)
{
    for (auto* parameter : processorRef.getParameters())
        if (parameter != nullptr && parameter->getName(100) == slider->getName())
            return dynamic_cast<juce::AudioParameterFloat*>(parameter);

    return nullptr;
}

void KelvaneAudioProcessorEditor::sliderDragStarted(juce::Slider* slider)
{
    if (auto* parameter = getParameterForSlider(slider))
        parameter->beginChangeGesture();
}

void KelvaneAudioProcessorEditor::sliderDragEnded(juce::Slider* slider)
{
    if (auto* parameter = getParameterForSlider(slider))
        parameter->endChangeGesture();
}

void KelvaneAudioProcessorEditor::sliderValueChanged(juce::Slider* slider)
{
    auto* parameter = getParameterForSlider(slider);

    if (parameter == nullptr || slider != mainSlider.get())
        return;

    const auto value = parameter->convertTo0to1((float)slider->getValue());
    static_cast<juce::AudioProcessorParameter*>(parameter)->setValue(value);
    parameter->sendValueChangedMessageToListeners(value);
}

void KelvaneAudioProcessorEditor::buttonClicked(juce::Button* button)
{
    if (button == &logoButton || button == &noticeButton)
    {
        showUpdateNoticeAndAbout(dialogs, currentUiLanguage(), updateCheck->isNewVersionAvailable.load(),
                                 makersHomePage());
        return;
    }

    juce::AudioParameterBool* parameter = nullptr;

    for (auto* candidate : processorRef.getParameters())
    {
        if (candidate != nullptr && candidate->getName(100) == button->getName())
        {
            parameter = dynamic_cast<juce::AudioParameterBool*>(candidate);
            break;
        }
    }

    if (parameter == nullptr || (button != enableButton.get() && button != vocalButton.get()))
        return;

    const auto state = button->getToggleState();

    parameter->beginChangeGesture();

    if (isOn(*parameter) != state)
    {
        const auto value = state ? 1.0f : 0.0f;
        static_cast<juce::AudioProcessorParameter*>(parameter)->setValue(value);
        parameter->sendValueChangedMessageToListeners(value);
    }

    parameter->endChangeGesture();
}
