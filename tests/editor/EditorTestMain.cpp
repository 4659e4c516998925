#include "WindowManagerAtoms.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include "UpdateCheck.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    // The update checks of these tests talk to servers on this machine only, never through a proxy.
    ::setenv("no_proxy", "127.0.0.1,localhost", 1);
    ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);

    // These tests make the window and its dialogs directly, not through the processor's createEditor, which
    // is where the plug-in makes the atoms a display without a window manager lacks.
    const kelvane::platform::WindowManagerAtoms atoms;
    const juce::ScopedJuceInitialiser_GUI juce;
    const auto result = RUN_ALL_TESTS();
    waitForUpdateChecksToFinish(20000);
    juce::ImageCache::releaseUnusedImages();
    return result;
}
