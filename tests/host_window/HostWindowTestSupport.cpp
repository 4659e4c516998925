#include "HostWindowTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace host_window_test
{
RgbImage crop(const RgbImage& image, Region region)
{
    RgbImage part(region.width, region.height);

    for (int y = 0; y < region.height; ++y)
        for (int x = 0; x < region.width; ++x)
            std::copy_n(image.pixel(region.x + x, region.y + y), 3, part.pixel(x, y));

    return part;
}

double changedShare(const RgbImage& before, const RgbImage& after, Region region)
{
    return kelvane::host::compareImages(crop(before, region), crop(after, region), 32).shareAbove;
}

std::vector<std::string> automationCalls(const HostEnvironment& host)
{
    std::vector<std::string> calls;

    for (const HostCall& call : host.log().callsTo("AutomationDelegate"))
    {
        if (call.method == 7)
            calls.push_back("touch " + call.arguments[0]);
        else if (call.method == 5)
            calls.push_back("request " + call.arguments[0] + " " + call.arguments[1]);
        else if (call.method == 8)
            calls.push_back("release " + call.arguments[0]);
    }

    return calls;
}

std::vector<std::vector<float>> swingingTone()
{
    std::vector<float> tone(48000);

    for (std::size_t n = 0; n < tone.size(); ++n)
    {
        const double t = double(n) / 48000.0;
        tone[n] = float(0.9 * std::pow(std::sin(2.0 * M_PI * 2.0 * t), 8.0) * std::sin(2.0 * M_PI * 440.0 * t));
    }

    return {tone, tone};
}

int threadsInProcess()
{
    int count = 0;

    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;

    return count;
}

void HostWindowTest::SetUpTestSuite()
{
    // The window's update check goes through a proxy at a closed port on this machine, and fails at once.
    ::setenv("https_proxy", "http://127.0.0.1:9", 1);
    ::setenv("HTTPS_PROXY", "http://127.0.0.1:9", 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
}

void HostWindowTest::SetUp()
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display";

    // A sanitizer's own helper thread starts with the process's first thread; it belongs to the baseline.
    std::thread([] {}).join();
    threadsBeforeLoading = threadsInProcess();
    plugIn = std::make_unique<HostPlugIn>(host, KELVANE_BUNDLE_PATH);
    instance = std::make_unique<HostInstance>(*plugIn, HostInstance::Setup{});
}

void HostWindowTest::TearDown()
{
    window.reset();
    audio.reset();
    instance.reset();

    if (plugIn != nullptr)
    {
        EXPECT_NO_THROW(plugIn->finish()) << "the plug-in kept objects alive";
    }
}

void HostWindowTest::openWindow()
{
    window = std::make_unique<kelvane::host::HostPlugInWindow>(*plugIn, *instance, hostLock, "Kelvane test");
}

void HostWindowTest::setFromHost(const std::string& parameterID, double value)
{
    const std::lock_guard<std::mutex> lock(hostLock);
    ASSERT_EQ(instance->setParameter(parameterID, value), 0);
}

void HostWindowTest::startAudio()
{
    audio = std::make_unique<kelvane::host::HostAudioPlayback>(*instance, hostLock, swingingTone(), 48000, 0.0, 256);
}

HostWindowTest::Point HostWindowTest::onScreen(Region region)
{
    Point point{};
    window->hostWindow().screenPosition(point.x, point.y);
    return {point.x + region.centreX(), point.y + region.centreY()};
}
} // namespace host_window_test
