#include "EditorTestSupport.h"

#include "BinaryData.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace editor_test
{
bool waitFor (const std::function<bool()>& condition, int deadlineMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) deadlineMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return condition();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    return true;
}

bool waitForUpdateChecksToEnd (int deadlineMs)
{
    return waitFor ([] { return runningUpdateChecks() == 0; }, deadlineMs);
}

void flushMessages()
{
    // Messages are delivered in the order they were posted: once this one arrives, all earlier ones have.
    auto delivered = std::make_shared<bool> (false);
    juce::MessageManager::callAsync ([delivered] { *delivered = true; });
    waitFor ([&] { return *delivered; });
}

ScopedPreferredLanguage::ScopedPreferredLanguage (const char* localeName)
{
    waitForUpdateChecksToEnd();
    const char* value = std::getenv ("LANGUAGE");
    hadValue = value != nullptr;
    previous = hadValue ? value : "";
    ::setenv ("LANGUAGE", localeName, 1);
}

ScopedPreferredLanguage::~ScopedPreferredLanguage()
{
    waitForUpdateChecksToEnd();

    if (hadValue)
        ::setenv ("LANGUAGE", previous.c_str(), 1);
    else
        ::unsetenv ("LANGUAGE");
}

void ScopedPreferredLanguage::change (const char* localeName)
{
    waitForUpdateChecksToEnd();
    ::setenv ("LANGUAGE", localeName, 1);
}

void showOnDesktop (juce::Component& component)
{
    component.setVisible (true);
    component.addToDesktop (0);
}

juce::String refusingServerBase()
{
    // A port that was free a moment ago and on which nobody listens.
    const int probe = ::socket (AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
    ::bind (probe, reinterpret_cast<sockaddr*> (&address), sizeof (address));
    socklen_t length = sizeof (address);
    ::getsockname (probe, reinterpret_cast<sockaddr*> (&address), &length);
    ::close (probe);
    return "http://127.0.0.1:" + juce::String (ntohs (address.sin_port));
}

juce::Image snapshotOf (juce::Component& component)
{
    juce::Image image (juce::Image::ARGB, component.getWidth(), component.getHeight(), true);
    juce::Graphics g (image);
    component.paintEntireComponent (g, true);
    return image;
}

juce::Image artwork (int number)
{
    const char* const data[] = { BinaryData::temp1_png, BinaryData::temp2_png, BinaryData::temp3_png,
                                 BinaryData::temp4_png, BinaryData::temp5_png, BinaryData::temp6_png,
                                 BinaryData::temp7_png, BinaryData::temp8_png, BinaryData::temp9_png };
    const int sizes[] = { BinaryData::temp1_pngSize, BinaryData::temp2_pngSize, BinaryData::temp3_pngSize,
                          BinaryData::temp4_pngSize, BinaryData::temp5_pngSize, BinaryData::temp6_pngSize,
                          BinaryData::temp7_pngSize, BinaryData::temp8_pngSize, BinaryData::temp9_pngSize };
    return juce::ImageCache::getFromMemory (data[number - 1], sizes[number - 1]);
}

::testing::AssertionResult samePixels (const juce::Image& actual, const juce::Image& expected)
{
    if (actual.getWidth() != expected.getWidth() || actual.getHeight() != expected.getHeight())
        return ::testing::AssertionFailure() << "sizes differ: " << actual.getWidth() << " x " << actual.getHeight()
                                             << " against " << expected.getWidth() << " x " << expected.getHeight();

    for (int y = 0; y < actual.getHeight(); ++y)
        for (int x = 0; x < actual.getWidth(); ++x)
            if (actual.getPixelAt (x, y) != expected.getPixelAt (x, y))
                return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << ")";

    return ::testing::AssertionSuccess();
}
} // namespace editor_test
