#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>

namespace
{
// A bare X server (Xvfb without a window manager) lacks the window-manager atoms that JUCE only looks up
// and then uses when it creates a window; interning them first lets windows open as on a desktop. The
// connection stays open until the end, because the server forgets its atoms when its last client leaves.
Display* internWindowManagerAtoms()
{
    if (std::getenv ("DISPLAY") == nullptr)
        return nullptr;

    auto* display = XOpenDisplay (nullptr);

    if (display != nullptr)
    {
        for (const char* name : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING",
                                  "WM_CHANGE_STATE", "WM_STATE" })
            XInternAtom (display, name, False);

        XSync (display, False);
    }

    return display;
}
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // The update checks of these tests talk to servers on this machine only, never through a proxy.
    ::setenv ("no_proxy", "127.0.0.1,localhost", 1);
    ::setenv ("NO_PROXY", "127.0.0.1,localhost", 1);

    auto* atomKeeper = internWindowManagerAtoms();

    int result = 0;
    {
        const juce::ScopedJuceInitialiser_GUI juce;
        // Editors built by tests that do not start a server of their own ask a port where nobody listens.
        setUpdateServerForTesting (editor_test::refusingServerBase());

        result = RUN_ALL_TESTS();

        editor_test::waitForUpdateChecksToEnd();
        juce::ImageCache::releaseUnusedImages();
    }

    if (atomKeeper != nullptr)
        XCloseDisplay (atomKeeper);

    return result;
}
