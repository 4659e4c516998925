#include "WindowCommand.h"

#include "AudioFiles.h"
#include "HostAudioPlayback.h"
#include "HostEnvironment.h"
#include "HostError.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "HostPlugInWindow.h"
#include "RenderJob.h"
#include "RenderOptions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace
{
struct WindowOptions
{
    std::string bundlePath;
    std::string inputPath;    // empty: silence
    double fromSeconds = 0.0; // where in the input the audio starts
    double seconds = -1.0;    // negative: until the window is closed
    std::string capturePath;  // empty: no capture
    RenderOptions render;     // --set and --block, as render takes them
};

double seconds(const std::string& text, const std::string& option)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || value < 0.0)
        throw HostError(option + ": '" + text + "' is not a time in seconds");
    return value;
}

WindowOptions parseWindowOptions(const std::vector<std::string>& arguments)
{
    WindowOptions options;
    std::vector<std::string> renderArguments;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        const bool own =
            argument == "--input" || argument == "--from" || argument == "--seconds" || argument == "--capture";
        if (!own)
        {
            renderArguments.push_back(argument);
            continue;
        }
        if (i + 1 >= arguments.size())
            throw HostError(argument + " needs a value");
        const std::string& value = arguments[++i];
        if (argument == "--input")
            options.inputPath = value;
        else if (argument == "--capture")
            options.capturePath = value;
        else
            (argument == "--from" ? options.fromSeconds : options.seconds) = seconds(value, argument);
    }
    // The bundle and the shared options are checked as render checks them; the two file names stand empty.
    renderArguments.insert(renderArguments.begin() + std::min<size_t>(1, renderArguments.size()), {"", ""});
    options.render = parseRenderOptions(renderArguments);
    if (!options.render.automation.empty() || !options.render.bypassed.empty() || !options.render.restoredChunks.empty()
        || !options.render.savedChunks.empty())
        throw HostError("window takes --set and --block of the render options, nothing else of them");
    options.bundlePath = options.render.bundlePath;
    return options;
}

// The input, whole, one vector per channel; silence of one second when there is no input.
std::vector<std::vector<float>> loadAudio(const WindowOptions& options, int& sampleRate)
{
    if (options.inputPath.empty())
    {
        sampleRate = 48000;
        return std::vector<std::vector<float>>(2, std::vector<float>(48000));
    }
    AudioFileReader reader(options.inputPath);
    const std::vector<int>& rates = hostSampleRates();
    if ((reader.channels() != 1 && reader.channels() != 2) || reader.frames() <= 0
        || std::find(rates.begin(), rates.end(), reader.sampleRate()) == rates.end())
        throw HostError("'" + options.inputPath + "' is not mono or stereo audio at a rate an AAX host runs");
    sampleRate = reader.sampleRate();
    std::vector<float> interleaved(static_cast<size_t>(reader.frames()) * static_cast<size_t>(reader.channels()));
    const int64_t frames = reader.read(interleaved.data(), reader.frames());
    std::vector<std::vector<float>> audio(static_cast<size_t>(reader.channels()),
                                          std::vector<float>(static_cast<size_t>(frames)));
    for (int64_t frame = 0; frame < frames; ++frame)
        for (size_t channel = 0; channel < audio.size(); ++channel)
            audio[channel][static_cast<size_t>(frame)] =
                interleaved[static_cast<size_t>(frame) * audio.size() + channel];
    return audio;
}

} // namespace

int runWindowCommand(const std::vector<std::string>& arguments)
{
    const WindowOptions options = parseWindowOptions(arguments);
    int sampleRate = 0;
    std::vector<std::vector<float>> audio = loadAudio(options, sampleRate);

    HostEnvironment host;
    HostPlugIn plugIn(host, options.bundlePath);
    {
        HostInstance::Setup setup;
        setup.sampleRate = static_cast<AAX_CSampleRate>(sampleRate);
        setup.stemFormat = audio.size() == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
        HostInstance instance(plugIn, setup);
        for (const RenderOptions::Setting& setting : options.render.settings)
        {
            if (!instance.hasParameter(setting.parameterID))
                throw HostError("unknown parameter ID '" + setting.parameterID + "'");
            instance.setParameter(setting.parameterID, setting.value);
        }

        std::mutex hostLock;
        kelvane::host::HostPlugInWindow window(plugIn, instance, hostLock, "Kelvane");
        {
            const kelvane::host::HostAudioPlayback playback(instance, hostLock, std::move(audio), sampleRate,
                                                            options.fromSeconds, options.render.blockSize);
            window.runFor(options.seconds < 0 ? std::chrono::milliseconds::max()
                                              : std::chrono::milliseconds(std::llround(options.seconds * 1000.0)));
            if (!options.capturePath.empty() && !kelvane::host::writePng(window.capture(), options.capturePath))
                throw HostError("cannot write the window's picture to '" + options.capturePath + "'");
        }
    }
    plugIn.finish();
    if (!options.capturePath.empty())
        std::printf("captured the window into %s\n", options.capturePath.c_str());
    // finish() throws unless the plug-in let the bundle go.
    std::printf(
        "window closed; ACFCanUnloadNow answered 0 (no object left alive), the bundle was shut down and unloaded\n");
    return 0;
}

const char* windowUsage()
{
    return "  kelvane_host window BUNDLE [options]\n"
           "      opens the plug-in's window on the X display with audio playing through the plug-in\n"
           "options of window:\n"
           "  --input FILE.wav        audio played in a loop (default: silence)\n"
           "  --from S                start the audio S seconds into the file\n"
           "  --seconds S             close the window after S seconds (default: when closed on the desktop)\n"
           "  --capture FILE.png      write a picture of the window just before it closes\n"
           "  --set ID=VALUE, --block N as for render\n";
}
