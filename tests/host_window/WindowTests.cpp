// The plug-in's window opened by the host stand-in through the AAX interface, on an X display: what it shows,
// how the host's changes reach it, and how the user's mouse reaches the host.

#include "HostWindowTestSupport.h"
#include "XTestPointer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace host_window_test
{
namespace
{
class PlugInWindow : public HostWindowTest
{
protected:
    // The user's pointer, on a connection of its own.
    struct User
    {
        // Windows may go while the user looks at them; such errors are expected, as the plug-in's own are.
        User() : display(XOpenDisplay(nullptr)), pointer(display)
        {
            XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        }
        ~User() { XCloseDisplay(display); }
        Display* display;
        kelvane::host::XTestPointer pointer;
    };

    void click(User& user, Region region)
    {
        const Point point = onScreen(region);
        user.pointer.moveTo(point.x, point.y);
        tickFor(30ms);
        user.pointer.press();
        tickFor(30ms);
        user.pointer.release();
        tickFor(100ms);
    }
};

TEST_F(PlugInWindow, LooksAsRenderedOffScreenInTheSameState)
{
    // The preview tool's "disabled" state: switched off, level at the top, meters dark.
    setFromHost("dbEnable", 0.0);
    setFromHost("dbMain", 1.0);
    openWindow();
    tickFor(300ms);
    const RgbImage shown = capture();

    const auto folder = std::filesystem::temp_directory_path() / ("kelvane-render-" + std::to_string(::getpid()));
    ASSERT_EQ(std::system((std::string(KELVANE_RENDER_WINDOW_PATH) + " " + folder.string() + " > /dev/null").c_str()),
              0);
    const RgbImage rendered = kelvane::host::readPng((folder / "kelvane-window-disabled.png").string());
    std::filesystem::remove_all(folder);

    const auto difference = kelvane::host::compareImages(shown, rendered, 8);
    EXPECT_LE(difference.shareAbove, 0.001) << "largest difference " << difference.largest;
}

TEST_F(PlugInWindow, ShowsTheHostsChangesWithin100MsOfTimerCalls)
{
    struct Case
    {
        const char* parameterID;
        double value;
        Region shownIn;
    };
    const Case cases[] = {{"dbVocal", 1.0, vocalSwitch}, {"dbMain", 0.9, fader}};

    openWindow();
    tickFor(300ms);

    for (const Case& c : cases)
    {
        const RgbImage before = capture();
        setFromHost(c.parameterID, c.value);
        tickFor(100ms);
        EXPECT_GT(changedShare(before, capture(), c.shownIn), 0.02) << c.parameterID;
    }
}

TEST_F(PlugInWindow, MetersMoveWhileAudioPlays)
{
    openWindow();
    tickFor(200ms);
    const RgbImage silent = capture();
    startAudio();

    std::vector<RgbImage> playing;
    for (int i = 0; i < 4; ++i)
    {
        tickFor(130ms);
        playing.push_back(capture());
    }

    double largestChange = 0.0, largestMovement = 0.0;
    for (std::size_t i = 0; i < playing.size(); ++i)
    {
        largestChange = std::max(largestChange, changedShare(silent, playing[i], meters));
        if (i > 0)
            largestMovement = std::max(largestMovement, changedShare(playing[i - 1], playing[i], meters));
    }
    EXPECT_GT(largestChange, 0.05) << "the meters never lit";
    EXPECT_GT(largestMovement, 0.02) << "the meters stood still";
}
// One gesture of the user on one parameter as the host saw it: opened by its touch, closed by its release,
// every touch matched by a release in between (each request comes wrapped in a touch and release of its
// own), and nothing of another parameter. Its requested values in order.
struct Gesture
{
    bool wellFormed = false;
    std::vector<double> values;
};

Gesture gestureOn(const std::vector<std::string>& calls, const std::string& id)
{
    Gesture gesture{calls.size() >= 2 && calls.front() == "touch " + id && calls.back() == "release " + id, {}};
    int depth = 0;
    for (std::size_t i = 0; i < calls.size(); ++i)
    {
        if (calls[i] == "touch " + id)
            ++depth;
        else if (calls[i] == "release " + id)
            --depth;
        else if (calls[i].rfind("request " + id + " ", 0) == 0)
            gesture.values.push_back(std::stod(calls[i].substr(id.size() + 9)));
        else
            gesture.wellFormed = false;
        gesture.wellFormed = gesture.wellFormed && (depth > 0 || i + 1 == calls.size());
    }
    gesture.wellFormed = gesture.wellFormed && depth == 0;
    return gesture;
}

// Every touch of the parameter has had its release (the library nests its own inside the window's).
bool gestureEnded(const std::vector<std::string>& calls, const std::string& id)
{
    const auto count = [&](const std::string& call) { return std::count(calls.begin(), calls.end(), call); };
    return count("touch " + id) > 0 && count("touch " + id) == count("release " + id);
}

TEST_F(PlugInWindow, ClickOnTheEnableSwitchReachesTheHostAsTouchRequestRelease)
{
    openWindow();
    tickFor(200ms);
    User user;
    host.log().clear();
    click(user, enableSwitch);
    tickUntil(
        [&] { return instance->parameter("dbEnable") == 0.0 && gestureEnded(automationCalls(host), "dbEnable"); });

    const auto calls = automationCalls(host);
    const Gesture gesture = gestureOn(calls, "dbEnable");
    EXPECT_TRUE(gesture.wellFormed) << ::testing::PrintToString(calls);
    EXPECT_EQ(gesture.values, std::vector<double>{0.0});
    EXPECT_EQ(instance->parameter("dbEnable"), 0.0);
}

TEST_F(PlugInWindow, FaderDragIsOneGestureWithValuesOnTheFadersSteps)
{
    openWindow();
    tickFor(200ms);
    User user;
    const auto [x, y] = onScreen(fader);
    host.log().clear();
    user.pointer.moveTo(x, y);
    tickFor(30ms);
    user.pointer.press();
    for (int step = 1; step <= 8; ++step)
    {
        tickFor(20ms);
        user.pointer.moveTo(x, y + 7 * step);
    }
    tickFor(30ms);
    user.pointer.release();
    tickUntil([&] { return gestureEnded(automationCalls(host), "dbMain"); });

    const auto calls = automationCalls(host);
    const Gesture gesture = gestureOn(calls, "dbMain");
    EXPECT_TRUE(gesture.wellFormed) << ::testing::PrintToString(calls);
    EXPECT_GE(gesture.values.size(), 2u);
    for (const double value : gesture.values)
        EXPECT_NEAR(value * 1000.0, std::round(value * 1000.0), 1e-3) << "off the fader's 0.001 steps: " << value;
    EXPECT_LT(instance->parameter("dbMain"), 0.5) << "dragged down, the level fell";
}

// Top-level windows of the display with this name.
std::vector<::Window> windowsNamed(Display* display, const char* name)
{
    std::vector<::Window> found;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return found;
    for (unsigned i = 0; i < count; ++i)
    {
        // The name may be a UTF-8 text, which XFetchName leaves out: the property's bytes are compared.
        XTextProperty windowName{};
        XWindowAttributes attributes{};
        if (XGetWMName(display, children[i], &windowName) != 0 && windowName.value != nullptr)
        {
            if (std::string(reinterpret_cast<const char*>(windowName.value), windowName.nitems) == name
                && XGetWindowAttributes(display, children[i], &attributes) != 0 && attributes.map_state == IsViewable)
                found.push_back(children[i]);
            XFree(windowName.value);
        }
    }
    XFree(children);
    return found;
}

TEST_F(PlugInWindow, ClickOnTheLogoShowsTheAboutBoxWhoseButtonClosesIt)
{
    openWindow();
    tickFor(200ms);
    const Point atLogo = onScreen(logo);

    // The About box is modal: the user works on while the host's GUI thread waits inside its timer call.
    std::atomic<bool> userDone{false};
    bool aboutBoxSeen = false, aboutBoxGone = false;
    std::thread userThread([&] {
        User user;
        user.pointer.moveTo(atLogo.x, atLogo.y);
        std::this_thread::sleep_for(50ms);
        user.pointer.press();
        std::this_thread::sleep_for(50ms);
        user.pointer.release();
        std::vector<::Window> about;
        for (int i = 0; i < 300 && about.empty(); ++i, std::this_thread::sleep_for(20ms))
            about = windowsNamed(user.display, "About Kelvane");
        if ((aboutBoxSeen = about.size() == 1))
        {
            XWindowAttributes box{};
            XGetWindowAttributes(user.display, about[0], &box);
            std::this_thread::sleep_for(300ms);
            // Its one button sits at the bottom, in the middle.
            user.pointer.moveTo(box.x + box.width / 2, box.y + box.height * 95 / 100 - 14);
            std::this_thread::sleep_for(50ms);
            user.pointer.press();
            std::this_thread::sleep_for(50ms);
            user.pointer.release();
            for (int i = 0; i < 150 && !aboutBoxGone; ++i, std::this_thread::sleep_for(20ms))
                aboutBoxGone = windowsNamed(user.display, "About Kelvane").empty();
            if (!aboutBoxGone)
            {
                // Closed as the desktop would close it, so that a failure does not leave the host waiting.
                XEvent close{};
                close.xclient.type = ClientMessage;
                close.xclient.window = about[0];
                close.xclient.message_type = XInternAtom(user.display, "WM_PROTOCOLS", False);
                close.xclient.format = 32;
                close.xclient.data.l[0] = static_cast<long>(XInternAtom(user.display, "WM_DELETE_WINDOW", False));
                XSendEvent(user.display, about[0], False, NoEventMask, &close);
                XFlush(user.display);
            }
        }
        userDone = true;
    });

    const auto start = std::chrono::steady_clock::now();
    while (!userDone && std::chrono::steady_clock::now() - start < 20s)
        tickFor(20ms);
    userThread.join();

    EXPECT_TRUE(aboutBoxSeen) << "no window \"About Kelvane\" of its own";
    EXPECT_TRUE(aboutBoxGone) << "the About box stayed open";
    EXPECT_TRUE(userDone) << "the host's GUI thread did not get control back";
}
TEST_F(PlugInWindow, OpensAndClosesAHundredTimesWhileAudioPlaysAndLeavesNothingRunning)
{
    startAudio();
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        openWindow();
        tickFor(20ms);
        closeWindow();
    }
    EXPECT_GT(audio->blocksPlayed(), 100);

    // Each opening started an update check; none may outlive the bundle.
    audio.reset();
    instance.reset();
    EXPECT_NO_THROW(plugIn->finish()) << "objects still alive";
    plugIn.reset();
    EXPECT_EQ(threadsInProcess(), threadsBeforeLoading);
}
} // namespace
} // namespace host_window_test
