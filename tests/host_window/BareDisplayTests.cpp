// The plug-in's window on a display that nothing else has touched: no window manager, no atoms made by anyone,
// and a host (kelvane_host, whose window makes only its own atoms) that does nothing for the plug-in.

#include "RgbImage.h"

// GoogleTest before Xlib, whose macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

extern char** environ;

namespace host_window_test
{
namespace
{
// Every atom the framework's X11 layer reads only if it exists; on a desktop the window manager has made them.
const char* const atomsTheFrameworkOnlyLooksUp[] = {"WM_PROTOCOLS",        "WM_TAKE_FOCUS",   "WM_DELETE_WINDOW",
                                                    "_NET_WM_PING",        "WM_CHANGE_STATE", "WM_STATE",
                                                    "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE",   "_NET_WM_STATE_HIDDEN"};

// A fresh Xvfb on a display number it picks itself, and a connection of the test's own that makes no atoms but
// keeps the server from resetting (and forgetting its atoms) when the host's connections close.
class BareDisplay
{
public:
    BareDisplay()
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;

        const std::string readyFd = std::to_string(ready[1]);
        const char* const arguments[] = {"Xvfb",         "-displayfd", readyFd.c_str(), "-screen", "0",
                                         "1280x1024x24", "-nolisten",  "tcp",           nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ready[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const bool started =
            posix_spawnp(&server, "Xvfb", &actions, nullptr, const_cast<char* const*>(arguments), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(ready[1]);

        if (!started)
            server = 0;

        // The server writes its display number once it takes connections.
        std::string number;
        pollfd waiting{ready[0], POLLIN, 0};
        char digit = 0;
        while (started && ::poll(&waiting, 1, 10000) == 1 && ::read(ready[0], &digit, 1) == 1 && digit != '\n')
            number += digit;
        ::close(ready[0]);

        if (!number.empty())
        {
            name = ":" + number;
            observer = XOpenDisplay(name.c_str());
        }
    }

    ~BareDisplay()
    {
        if (observer != nullptr)
            XCloseDisplay(observer);

        if (server > 0)
        {
            ::kill(server, SIGTERM);
            ::waitpid(server, nullptr, 0);
        }
    }

    bool ready() const { return observer != nullptr; }
    bool atomExists(const char* atom) const { return XInternAtom(observer, atom, True) != None; }

    std::string name;

private:
    pid_t server = 0;
    Display* observer = nullptr;
};

std::string contentsOf(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BareDisplay, HostThatMakesNoAtomsForThePlugInOpensItsWindowSeesItPaintAndEndsNormally)
{
    const BareDisplay display;
    ASSERT_TRUE(display.ready()) << "could not start Xvfb";

    for (const char* atom : atomsTheFrameworkOnlyLooksUp)
        ASSERT_FALSE(display.atomExists(atom)) << atom << " exists on a display nothing has touched";

    const auto folder = std::filesystem::temp_directory_path() / ("kelvane-bare-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);

    // The window's update check goes through a proxy at a closed port on this machine, and fails at once.
    ::setenv("https_proxy", "http://127.0.0.1:9", 1);
    ::setenv("HTTPS_PROXY", "http://127.0.0.1:9", 1);
    // The preview tool's "disabled" state: switched off, level at the top, meters dark (no audio).
    const std::string host = "DISPLAY=" + display.name
                             + " '" KELVANE_HOST_PROGRAM "' window '" KELVANE_BUNDLE_PATH
                               "' --set dbEnable=0 --set dbMain=1 --seconds 1 --capture '"
                             + (folder / "shown.png").string() + "' > /dev/null 2> '" + (folder / "errors.txt").string()
                             + "'";
    const int status = std::system(host.c_str());

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the host ended with status " << status << ": " << contentsOf(folder / "errors.txt");

    for (const char* atom : atomsTheFrameworkOnlyLooksUp)
        EXPECT_TRUE(display.atomExists(atom)) << atom << " was not made before the window";

    ASSERT_EQ(
        std::system(("'" KELVANE_RENDER_WINDOW_PATH "' '" + (folder / "rendered").string() + "' > /dev/null").c_str()),
        0);
    const auto shown = kelvane::host::readPng((folder / "shown.png").string());
    const auto rendered = kelvane::host::readPng((folder / "rendered" / "kelvane-window-disabled.png").string());
    std::filesystem::remove_all(folder);

    ASSERT_EQ(shown.width, 256);
    ASSERT_EQ(shown.height, 480);
    const auto difference = kelvane::host::compareImages(shown, rendered, 8);
    EXPECT_LE(difference.shareAbove, 0.001) << "largest difference " << difference.largest;
}
} // namespace
} // namespace host_window_test
