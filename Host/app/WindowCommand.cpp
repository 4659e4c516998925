#include "WindowCommand.h"

#include "AudioFileLoop.h"
#include "AudioFiles.h"
#include "HostAudioPlayback.h"
#include "HostEnvironment.h"
#include "HostError.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "HostPlugInWindow.h"
#include "InterruptCleanup.h"
#include "RenderJob.h"
#include "RenderOptions.h"
#include "ReplacingFiles.h"
#include "WrappedWavHeader.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

// Last: its macros (None, Status, Bool) would clash with names in the headers above.
#include <X11/Xlib.h>

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
    double value = 0.0;
    if (!decimalNumber(text, value) || value < 0.0)
        throw HostError(option + ": '" + text + "' is not a time in seconds");
    return value;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size()
           && std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char wanted, char given) {
                  return std::tolower(static_cast<unsigned char>(given)) == wanted;
              });
}

// Caught before the window opens rather than after the user has watched it for the whole run.
void checkCapturePath(const WindowOptions& options)
{
    const std::string& path = options.capturePath;
    if (!endsWith(path, ".png"))
        throw HostError("--capture '" + path + "': the picture is a PNG file, its name ends in .png");
    if (!options.inputPath.empty())
        refuseOverwriting({{"the input", options.inputPath}}, {{"the capture", path}});
    refuseWritingIntoBundle(options.bundlePath, {{"the capture", path}});
}

WindowOptions parseWindowOptions(const std::vector<std::string>& arguments)
{
    WindowOptions options;
    bool fromGiven = false;
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
        if (i + 1 >= arguments.size() || arguments[i + 1].compare(0, 2, "--") == 0)
            throw HostError("option '" + argument + "' needs a value");
        const std::string& value = arguments[++i];
        if (argument == "--input")
            options.inputPath = value;
        else if (argument == "--capture")
            options.capturePath = value;
        else
            (argument == "--from" ? options.fromSeconds : options.seconds) = seconds(value, argument);
        fromGiven = fromGiven || argument == "--from";
    }
    std::vector<std::string> positional;
    options.render = parseRenderFlags(renderArguments, positional);
    if (!options.render.automation.empty() || !options.render.bypassed.empty() || !options.render.restoredChunks.empty()
        || !options.render.savedChunks.empty() || options.render.format != AudioSampleFormat::Float32)
        throw HostError("window takes --set and --block of the render options, nothing else of them");
    if (positional.size() != 1)
        throw HostError("window needs one bundle (" + std::to_string(positional.size()) + " given)");
    options.bundlePath = positional[0];
    if (fromGiven && options.inputPath.empty())
        throw HostError("--from needs an --input to start into");
    if (!options.capturePath.empty())
        checkCapturePath(options);
    return options;
}

// What the window plays: the input in a loop from --from on, read from the file as it plays; without an input,
// stereo silence.
struct PlayedAudio
{
    int channels = 2;
    std::unique_ptr<AudioFileLoop> loop; // none: silence

    kelvane::host::PlaybackSource source() const
    {
        if (loop == nullptr)
            return {};
        return [file = loop.get()](float* const* channels, int frames) { file->read(channels, frames); };
    }
};

PlayedAudio openAudio(const WindowOptions& options, int& sampleRate)
{
    sampleRate = 48000;
    PlayedAudio audio;
    if (options.inputPath.empty())
        return audio;
    auto reader = std::make_unique<AudioFileReader>(options.inputPath);
    const std::vector<int>& rates = hostSampleRates();
    if ((reader->channels() != 1 && reader->channels() != 2)
        || std::find(rates.begin(), rates.end(), reader->sampleRate()) == rates.end())
        throw HostError("'" + options.inputPath + "' is not mono or stereo audio at a rate an AAX host runs");
    if (reader->frames() <= 0)
        throw HostError("'" + options.inputPath + "' holds no audio to play");
    const double length = static_cast<double>(reader->frames()) / reader->sampleRate();
    if (options.fromSeconds >= length)
    {
        char text[160];
        std::snprintf(text, sizeof text, "--from %g: '%s' is only %.3f s long", options.fromSeconds,
                      options.inputPath.c_str(), length);
        throw HostError(text);
    }
    sampleRate = reader->sampleRate();
    audio.channels = reader->channels();
    // Rounded to the nearest frame, a start within half a frame of the end is the first frame.
    const int64_t from = std::llround(options.fromSeconds * sampleRate) % reader->frames();
    // Said now rather than when the window closes: the user hears the track meanwhile.
    if (const std::string wrapped = wrappedWavHeaderWarning(options.inputPath); !wrapped.empty())
        std::fprintf(stderr, "kelvane_host: warning: %s\n", wrapped.c_str());
    audio.loop = std::make_unique<AudioFileLoop>(std::move(reader), from);
    return audio;
}

// The signal that asked the window to close, or 0. Set by the handler, read by the GUI loop.
std::atomic<int> closingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

void requestClose(int signal)
{
    int expected = 0;
    if (closingSignal.compare_exchange_strong(expected, signal))
        return;
    // A second signal while the window closes: the user means it, stop now, leaving no half-written picture.
    interrupt_cleanup::stopNow(signal);
}

// The display gone (its server stopped or crashed), Xlib ends the program when this returns: said in one line
// instead, and the temporary files go with it.
int displayLost(Display*)
{
    std::fprintf(stderr, "kelvane_host: the X display went away while the window was open\n");
    interrupt_cleanup::exitNow(1);
}

// The host's GUI loop, in short runs so that a signal is seen within one of them.
void runWindow(kelvane::host::HostPlugInWindow& window, double seconds)
{
    using namespace std::chrono;
    const auto slice = milliseconds(50);
    const auto end = seconds < 0 ? steady_clock::time_point::max()
                                 : steady_clock::now() + milliseconds(std::llround(seconds * 1000.0));
    while (closingSignal.load() == 0 && !window.closeRequested())
    {
        const auto now = steady_clock::now();
        if (now >= end)
            break;
        window.runFor(end - now < slice ? duration_cast<milliseconds>(end - now) + milliseconds(1) : slice);
    }
}
} // namespace

int runWindowCommand(const std::vector<std::string>& arguments)
{
    const WindowOptions options = parseWindowOptions(arguments);
    // SIGINT, SIGTERM and SIGHUP close the window the way closing it on the desktop does, so the plug-in is
    // torn down in host order and the picture is written whole; the program then ends by that signal.
    interrupt_cleanup::onStopSignals(requestClose);
    // Started before the window opens, so a capture that cannot be written fails before the user watches.
    std::unique_ptr<ReplacingFile> capture;
    if (!options.capturePath.empty())
        capture = std::make_unique<ReplacingFile>(options.capturePath);
    int sampleRate = 0;
    const PlayedAudio audio = openAudio(options, sampleRate);

    HostEnvironment host;
    HostPlugIn plugIn(host, options.bundlePath);
    {
        HostInstance::Setup setup;
        setup.sampleRate = static_cast<AAX_CSampleRate>(sampleRate);
        setup.stemFormat = audio.channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
        HostInstance instance(plugIn, setup);
        for (const RenderOptions::Setting& setting : options.render.settings)
        {
            if (!instance.hasParameter(setting.parameterID))
                throw HostError("unknown parameter ID '" + setting.parameterID + "'");
            instance.setParameter(setting.parameterID, setting.value);
        }

        std::mutex hostLock;
        XSetIOErrorHandler(displayLost);
        kelvane::host::HostPlugInWindow window(plugIn, instance, hostLock, "Kelvane");
        // The framework puts a handler of its own in place as the plug-in's window opens; the host's goes back.
        XSetIOErrorHandler(displayLost);
        {
            const kelvane::host::HostAudioPlayback playback(instance, hostLock, audio.channels, audio.source(),
                                                            sampleRate, options.render.blockSize);
            runWindow(window, options.seconds);
            if (capture)
            {
                const std::vector<char> png = kelvane::host::encodePng(window.capture());
                if (png.empty())
                    throw HostError("cannot write '" + options.capturePath + "': the window gave no picture");
                capture->write(png);
            }
        }
    }
    // A plug-in that does not let the bundle go fails the run, so the picture is put in place only after.
    plugIn.finish();
    if (capture)
    {
        commitTogether({capture.get()});
        std::printf("captured the window into %s\n", options.capturePath.c_str());
        for (const std::string& leftover : leftoverNotices({capture.get()}))
            std::fprintf(stderr, "kelvane_host: %s\n", leftover.c_str());
    }
    // finish() throws unless the plug-in let the bundle go.
    std::printf(
        "window closed; ACFCanUnloadNow answered 0 (no object left alive), the bundle was shut down and unloaded\n");
    if (const int signal = closingSignal.load())
    {
        std::fflush(stdout);
        interrupt_cleanup::endBy(signal);
    }
    return 0;
}

const char* windowUsage()
{
    return "  kelvane_host window BUNDLE [options]\n"
           "      opens the plug-in's window on the X display with audio playing through the plug-in;\n"
           "      Ctrl-C (SIGINT), SIGTERM or SIGHUP closes it as closing it on the desktop does\n"
           "  options of window:\n"
           "    --input FILE            audio played in a loop (default: silence)\n"
           "    --from S                start the audio S seconds into the file (inside it)\n"
           "    --seconds S             close the window after S seconds (default: when closed on the desktop)\n"
           "    --capture FILE.png      write a picture of the window just before it closes\n"
           "                            (checked before the window opens, replaced as render replaces OUTPUT)\n"
           "    --set ID=VALUE, --block N as for render\n";
}
