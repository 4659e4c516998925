// The real plug-in bundle loaded by the host stand-in, one stereo instance at 48 kHz, and its window opened
// on the X display as a host opens it. The test's thread is the host's GUI thread.
#pragma once

#include "HostAudioPlayback.h"
#include "HostEnvironment.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "HostPlugInWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace host_window_test
{
using namespace std::chrono_literals;
using kelvane::host::RgbImage;

struct Region
{
    int x, y, width, height;
    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
};

// Places on the plug-in's 256 x 480 window.
constexpr Region enableSwitch{12, 12, 44, 44};
constexpr Region logo{95, 15, 130, 35};
constexpr Region fader{180, 62, 55, 275};
constexpr Region meters{40, 85, 110, 300};
constexpr Region vocalSwitch{10, 410, 230, 60};

RgbImage crop(const RgbImage& image, Region region);
// The share of the region's pixels that differ by more than 32 in a colour value.
double changedShare(const RgbImage& before, const RgbImage& after, Region region);

// Calls the plug-in made to the host's automation delegate, as "touch ID", "request ID VALUE", "release ID".
std::vector<std::string> automationCalls(const HostEnvironment& host);

// Mono test audio: a tone whose level swings between loud and silent twice a second, as two channels.
std::vector<std::vector<float>> swingingTone();

int threadsInProcess();

class HostWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    void openWindow();
    void closeWindow() { window.reset(); }
    // The host's GUI timer for this long, one tick every 10 ms.
    void tickFor(std::chrono::milliseconds duration) { window->runFor(duration, 10ms); }
    // Runs the GUI timer until done() holds or the limit passes: a slow build may need more ticks than usual
    // to take the pointer's events in.
    bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < end)
            tickFor(20ms);
        return done();
    }
    RgbImage capture() const { return window->capture(); }
    void setFromHost(const std::string& parameterID, double value);
    void startAudio();
    // The middle of a place on the window, on the screen.
    struct Point
    {
        int x, y;
    };
    Point onScreen(Region region);

    HostEnvironment host;
    int threadsBeforeLoading = 0;
    std::unique_ptr<HostPlugIn> plugIn;
    std::unique_ptr<HostInstance> instance;
    std::mutex hostLock;
    std::unique_ptr<kelvane::host::HostAudioPlayback> audio;
    std::unique_ptr<kelvane::host::HostPlugInWindow> window;
};
} // namespace host_window_test
