// Renders the plug-in's window, and the update notice and About box in each language, into PNG files, so
// that they can be looked at without a host:
//   kelvane_render_window <output folder>
// The window renders off screen; the dialogs are the framework's alert windows and need a display (run under
// xvfb-run where there is none). Nothing is asked of any web server.

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "WindowManagerAtoms.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <vector>

namespace
{
struct WindowState
{
    const char* name;
    bool enable;
    bool vocal;
    float level;
    double meterLeft, meterRight;
    bool badge;
};

// The dialogs a click shows, kept instead of shown; the update notice is answered "No".
struct KeptDialogs final : WindowDialogs
{
    void showMessageBox(juce::MessageBoxIconType, const juce::String&, const juce::String&) override {}
    int runAlertBox(const AlertBoxRequest& request) override
    {
        requests.push_back(request);
        return 2;
    }
    void openInBrowser(const juce::URL&) override {}

    std::vector<AlertBoxRequest> requests;
};

void knowANewVersion(SharedUpdateCheck check)
{
    check->isNewVersionAvailable = true;
}
void knowNothing(SharedUpdateCheck) {}

// The logo hot spot, or with `badge` the update badge: the two image buttons over the face.
juce::Button& imageButton(juce::Component& editor, bool badge)
{
    for (auto* child : editor.getChildren())
        if (auto* button = dynamic_cast<juce::ImageButton*>(child))
            if (badge == (dynamic_cast<CustomLookAndFeel_NoticationBtn*>(&button->getLookAndFeel()) != nullptr))
                return *button;

    throw std::logic_error("the window has no such button");
}

bool writePng(const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat png;
    const auto written = out.openedOk() && png.writeImageToStream(image, out);

    if (written)
        std::cout << file.getFullPathName() << "\n";

    return written;
}

int renderWindows(const juce::File& folder)
{
    const WindowState states[] = {
        {"normal", true, false, 0.5f, 7.0, 6.0, false},        {"vocal", true, true, 0.8f, 10.0, 9.0, false},
        {"quiet", true, false, 0.0f, 1.0, 2.0, false},         {"disabled", false, false, 1.0f, 0.0, 0.0, false},
        {"update-badge", true, true, 0.65f, 11.0, 11.0, true},
    };

    int failures = 0;

    for (const auto& state : states)
    {
        KelvaneAudioProcessor processor;
        processor.enableParameter->setValueNotifyingHost(state.enable ? 1.0f : 0.0f);
        processor.vocalParameter->setValueNotifyingHost(state.vocal ? 1.0f : 0.0f);
        processor.levelParameter->setValueNotifyingHost(state.level);
        processor.meterStepLeft = state.meterLeft;
        processor.meterStepRight = state.meterRight;

        KelvaneAudioProcessorEditor editor(processor, {&desktopDialogs(), state.badge ? knowANewVersion : knowNothing});
        editor.timerCallback(); // brings the switches and the fader in line with the parameters
        editor.handleAsyncUpdate();
        // On screen the next refresh tick would show it.
        imageButton(editor, true).setVisible(state.badge);

        const auto file = folder.getChildFile(juce::String("kelvane-window-") + state.name + ".png");
        failures += writePng(editor.createComponentSnapshot(editor.getLocalBounds()), file) ? 0 : 1;
    }

    return failures;
}

// A click on the badge of a window that knows of a newer version, in each language; English first, as a
// Japanese or Chinese window leaves its typeface to the windows after it.
int renderDialogs(const juce::File& folder)
{
    int failures = 0;

    for (const auto* language : {"en_US.UTF-8", "ja_JP.UTF-8", "zh_CN.UTF-8"})
    {
        ::setenv("LANGUAGE", language, 1);
        KeptDialogs dialogs;
        KelvaneAudioProcessor processor;
        KelvaneAudioProcessorEditor editor(processor, {&dialogs, knowANewVersion});
        editor.buttonClicked(&imageButton(editor, true));

        const juce::String suffix = juce::String(language).substring(0, 2) + ".png";
        const char* const names[] = {"kelvane-update-notice-", "kelvane-about-"};

        for (size_t i = 0; i < dialogs.requests.size() && i < 2; ++i)
        {
            const auto box = makeAlertWindow(dialogs.requests[i]);
            failures +=
                writePng(box->createComponentSnapshot(box->getLocalBounds()), folder.getChildFile(names[i] + suffix))
                    ? 0
                    : 1;
        }
    }

    return failures;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: kelvane_render_window <output folder>\n";
        return 2;
    }

    // The windows and dialogs here are made directly, not through the processor's createEditor, which is
    // where the plug-in makes the atoms a display without a window manager lacks.
    const kelvane::platform::WindowManagerAtoms atoms;
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::File folder(juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]));

    if (!folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    auto failures = renderWindows(folder);

    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr)
        failures += renderDialogs(folder);
    else
        std::cerr << "no display: the dialogs are not rendered (run under xvfb-run)\n";

    return failures == 0 ? 0 : 1;
}
