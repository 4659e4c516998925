#include "EditorTestSupport.h"

namespace editor_test
{
juce::String describe(const AlertBoxRequest& request)
{
    return juce::String((int)request.icon) + "|" + request.title + "|" + request.message + "|"
           + request.buttonTexts.joinIntoString("/");
}

Window::Window(std::function<void(KelvaneAudioProcessor&)> setUp,
               std::function<void(SharedUpdateCheck)> checkForUpdates)
{
    if (setUp)
        setUp(processor);

    const auto keepShare = [this, checkForUpdates](SharedUpdateCheck share) {
        check = share;

        if (checkForUpdates)
            checkForUpdates(share);
    };
    editor = std::make_unique<KelvaneAudioProcessorEditor>(processor, WindowServices{&dialogs, keepShare});
}

juce::Component& Window::control(const juce::String& name)
{
    for (auto* child : editor->getChildren())
        if (child->getName() == name)
            return *child;

    throw std::runtime_error("no control named " + name.toStdString());
}

juce::Image Window::picture()
{
    juce::Image image(juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true);
    juce::Graphics g(image);
    editor->paintEntireComponent(g, true);
    return image;
}

bool waitFor(const std::function<bool()>& condition, int deadlineMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)deadlineMs;

    while (!condition() && juce::Time::getMillisecondCounter() < deadline)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(5);

    return condition();
}

void preferLanguage(const char* localeName)
{
    waitForUpdateChecksToFinish(20000);
    ::setenv("LANGUAGE", localeName, 1);
}

::testing::AssertionResult samePixels(const juce::Image& actual, const juce::Image& expected)
{
    if (actual.getBounds() != expected.getBounds())
        return ::testing::AssertionFailure() << "sizes differ";

    for (int y = 0; y < actual.getHeight(); ++y)
        for (int x = 0; x < actual.getWidth(); ++x)
            if (actual.getPixelAt(x, y) != expected.getPixelAt(x, y))
                return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << ")";

    return ::testing::AssertionSuccess();
}
} // namespace editor_test
