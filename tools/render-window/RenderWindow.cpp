// Renders the plug-in's window off screen into PNG files, so that its face can be looked at without a host:
//   kelvane_render_window <output folder>

#include "PluginEditor.h"
#include "PluginProcessor.h"

#include <iostream>

// The editor lets this struct set up the states a preview shows.
struct EditorProbe
{
    static void refreshAndRender (KelvaneAudioProcessorEditor& e)
    {
        e.timerCallback(); // brings the switches and the fader in line with the parameters
        e.drawBG();
    }

    static void showBadge (KelvaneAudioProcessorEditor& e)
    {
        e.isNewVersionAvailable->store (true);
        e.noticeButton.setVisible (true);
    }
};

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

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: kelvane_render_window <output folder>\n";
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juce;
    // A preview asks no web server: the update check of each editor fails at once on an unusable address.
    setUpdateServerForTesting ("http://127.0.0.1:0");

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));

    if (! folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    const WindowState states[] = {
        { "normal", true, false, 0.5f, 7.0, 6.0, false },
        { "vocal", true, true, 0.8f, 10.0, 9.0, false },
        { "quiet", true, false, 0.0f, 1.0, 2.0, false },
        { "disabled", false, false, 1.0f, 0.0, 0.0, false },
        { "update-badge", true, true, 0.65f, 11.0, 11.0, true },
    };

    int failures = 0;

    for (const auto& state : states)
    {
        KelvaneAudioProcessor processor;
        processor.enableParameter->setValueNotifyingHost (state.enable ? 1.0f : 0.0f);
        processor.vocalParameter->setValueNotifyingHost (state.vocal ? 1.0f : 0.0f);
        processor.levelParameter->setValueNotifyingHost (state.level);
        processor.meterStepLeft = state.meterLeft;
        processor.meterStepRight = state.meterRight;

        {
            KelvaneAudioProcessorEditor editor (processor);
            EditorProbe::refreshAndRender (editor);

            if (state.badge)
                EditorProbe::showBadge (editor);

            const auto file = folder.getChildFile (juce::String ("kelvane-window-") + state.name + ".png");
            const auto picture = editor.createComponentSnapshot (editor.getLocalBounds());

            if (writePng (picture, file))
                std::cout << file.getFullPathName() << "\n";
            else
                ++failures;
        }
    }

    // The editors' update checks end quickly; wait for them so that nothing runs while the process ends.
    for (int i = 0; i < 500 && runningUpdateChecks() > 0; ++i)
        juce::Thread::sleep (10);

    return failures == 0 ? 0 : 1;
}
