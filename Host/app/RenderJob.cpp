#include "RenderJob.h"

#include "AudioFiles.h"
#include "HostBundle.h"
#include "HostEnvironment.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "ReplacingFiles.h"
#include "WrappedWavHeader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace
{
std::string joined(const std::vector<std::string>& texts)
{
    std::string result;
    for (const std::string& text : texts)
        result += (result.empty() ? "" : ", ") + text;
    return result;
}

int64_t framesAt(double seconds, int sampleRate)
{
    return static_cast<int64_t>(std::llround(seconds * sampleRate));
}

// An automation curve: the first value before its first point, the last after its last, linear between.
double valueAt(const RenderOptions::Automation& automation, double seconds)
{
    const auto& points = automation.points;
    if (seconds <= points.front().seconds)
        return points.front().value;
    for (size_t i = 1; i < points.size(); ++i)
        if (seconds < points[i].seconds)
        {
            const double share = (seconds - points[i - 1].seconds) / (points[i].seconds - points[i - 1].seconds);
            return points[i - 1].value + share * (points[i].value - points[i - 1].value);
        }
    return points.back().value;
}

void checkParameters(const HostInstance& instance, const RenderOptions& options)
{
    std::vector<std::string> named;
    for (const RenderOptions::Setting& setting : options.settings)
        named.push_back(setting.parameterID);
    for (const RenderOptions::Automation& automation : options.automation)
        named.push_back(automation.parameterID);
    for (const std::string& parameterID : named)
        if (!instance.hasParameter(parameterID))
            throw HostError("unknown parameter ID '" + parameterID + "' (the plug-in has "
                            + joined(instance.parameterIDs()) + ")");
}

void check(AAX_Result result, const std::string& what)
{
    if (result != 0)
        throw HostError(what + " failed: " + hostResultText(result));
}

// Refuses before anything is read when a file to be written is one that is read (or another to be written),
// or lies in the bundle: the output would replace the input, or the plug-in.
void refuseOverwritingInputs(const RenderOptions& options)
{
    std::vector<RoleAndPath> read = {{"the input", options.inputPath}};
    for (const RenderOptions::ChunkFile& chunk : options.restoredChunks)
        read.push_back({"the restored chunk", chunk.path});
    std::vector<RoleAndPath> written = {{"the output", options.outputPath}};
    for (const RenderOptions::ChunkFile& chunk : options.savedChunks)
        written.push_back({"the saved chunk", chunk.path});
    refuseOverwriting(read, written);
    refuseWritingIntoBundle(options.bundlePath, written);
}

// Where the bundle's files live, resolved: the bundle folder; for a shared object, the *.aaxplugin folder
// around it, or the file alone outside one. Empty when there is no bundle there.
std::string bundlePlace(const std::string& bundlePath)
{
    char resolved[PATH_MAX];
    struct stat status
    {
    };
    if (::realpath(bundlePath.c_str(), resolved) == nullptr || ::stat(resolved, &status) != 0)
        return "";
    const std::string place = resolved;
    // A folder without the plug-in's shared object is no bundle; loading it says so.
    if (S_ISDIR(status.st_mode))
        return ::stat(HostBundle::binaryInBundle(bundlePath).c_str(), &status) == 0 ? place : "";
    const std::string suffix = ".aaxplugin";
    for (size_t slash = place.find_last_of('/'); slash != std::string::npos && slash > 0;
         slash = place.find_last_of('/', slash - 1))
        if (slash >= suffix.size() && place.compare(slash - suffix.size(), suffix.size(), suffix) == 0)
            return place.substr(0, slash);
    return place;
}

// Restoring succeeds only if the plug-in took the settings. Its own comparison answers for the chunks it
// understands; it reports every other chunk equal (the 'juce' one among them), so there the chunk is read
// back: settings that neither match the chunk nor changed at all were not taken.
void restoreChunk(HostInstance& instance, const RenderOptions::ChunkFile& chunk, const std::vector<char>& data)
{
    const std::string what = "restoring chunk " + hostFourCharacterCode(chunk.chunkID) + " from '" + chunk.path + "'";
    const std::vector<AAX_CTypeID> known = instance.chunkIDs();
    const bool readable = std::find(known.begin(), known.end(), chunk.chunkID) != known.end();
    const std::vector<char> before = readable ? instance.chunk(chunk.chunkID) : std::vector<char>();
    check(instance.restoreChunk(chunk.chunkID, data), what);
    const std::vector<char> after = readable ? instance.chunk(chunk.chunkID) : std::vector<char>();
    if (!instance.matchesChunk(chunk.chunkID, data) || (readable && after != data && after == before))
        throw HostError(what + ": the plug-in did not take the settings (its active settings differ from the chunk)");
}

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g s", seconds);
    return text;
}

class BypassSchedule
{
public:
    BypassSchedule(const std::vector<RenderOptions::TimeRange>& ranges, int sampleRate)
    {
        for (const RenderOptions::TimeRange& range : ranges)
            mRanges.push_back({framesAt(range.startSeconds, sampleRate), framesAt(range.endSeconds, sampleRate)});
    }

    bool bypassedAt(int64_t frame) const
    {
        return std::any_of(mRanges.begin(), mRanges.end(),
                           [frame](const auto& range) { return frame >= range.first && frame < range.second; });
    }

    // The first range edge after `frame`, or `limit`.
    int64_t nextEdge(int64_t frame, int64_t limit) const
    {
        for (const auto& [start, end] : mRanges)
            for (const int64_t edge : {start, end})
                if (edge > frame)
                    limit = std::min(limit, edge);
        return limit;
    }

private:
    std::vector<std::pair<int64_t, int64_t>> mRanges;
};
} // namespace

void refuseWritingIntoBundle(const std::string& bundlePath, const std::vector<RoleAndPath>& written)
{
    const std::string place = bundlePlace(bundlePath);
    if (place.empty())
        return;
    struct stat status
    {
    };
    const bool folder = ::stat(bundlePath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    for (const auto& [role, path] : written)
        if (isWithin(path, place))
            throw HostError("refusing to write " + role + " '" + path + "': it is inside the plug-in bundle '"
                            + (folder ? bundlePath : place) + "'");
}

const std::vector<int>& hostSampleRates()
{
    static const std::vector<int> rates = {44100, 48000, 88200, 96000, 176400, 192000};
    return rates;
}

RenderSummary render(const RenderOptions& options)
{
    refuseOverwritingInputs(options);
    // Every file the run writes is started before anything is read, so one that cannot be written fails
    // before the work; all of them are put in place together at the end.
    ReplacingFile outputFile(options.outputPath);
    std::vector<std::unique_ptr<ReplacingFile>> chunkFiles;
    for (const RenderOptions::ChunkFile& chunk : options.savedChunks)
        chunkFiles.push_back(std::make_unique<ReplacingFile>(chunk.path));

    AudioFileReader input(options.inputPath);
    if (input.channels() != 1 && input.channels() != 2)
        throw HostError("'" + options.inputPath + "' has " + std::to_string(input.channels())
                        + " channels; the plug-in takes mono or stereo");
    const std::vector<int>& rates = hostSampleRates();
    if (std::find(rates.begin(), rates.end(), input.sampleRate()) == rates.end())
        throw HostError("'" + options.inputPath + "' is at " + std::to_string(input.sampleRate())
                        + " Hz; an AAX host runs plug-ins at 44100, 48000, 88200, 96000, 176400 or 192000 Hz");
    if (input.frames() <= 0)
        throw HostError("'" + options.inputPath + "' holds no audio to render");
    std::vector<std::vector<char>> restored;
    for (const RenderOptions::ChunkFile& chunk : options.restoredChunks)
        restored.push_back(readWholeFile(chunk.path));

    const int channels = input.channels();
    const int sampleRate = input.sampleRate();
    HostEnvironment host;
    HostPlugIn plugIn(host, options.bundlePath);
    RenderSummary summary{0, channels, sampleRate, AudioContainer::Wav, {}, {}};
    if (const std::string wrapped = wrappedWavHeaderWarning(options.inputPath); !wrapped.empty())
        summary.warnings.push_back(wrapped);
    std::vector<ReplacingFile*> files = {&outputFile};
    {
        HostInstance::Setup setup;
        setup.sampleRate = static_cast<AAX_CSampleRate>(sampleRate);
        setup.stemFormat = channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
        HostInstance instance(plugIn, setup);
        checkParameters(instance, options);
        // Asked now, so a chunk the plug-in does not have is refused before the work rather than after it.
        for (const RenderOptions::ChunkFile& chunk : options.savedChunks)
            instance.chunk(chunk.chunkID);

        for (size_t i = 0; i < options.restoredChunks.size(); ++i)
            restoreChunk(instance, options.restoredChunks[i], restored[i]);
        for (const RenderOptions::Setting& setting : options.settings)
            check(instance.setParameter(setting.parameterID, setting.value), "setting " + setting.parameterID);

        AtomicWavWriter output(outputFile, channels, sampleRate, options.format, input.frames());
        summary.container = output.container();
        const BypassSchedule bypass(options.bypassed, sampleRate);
        const size_t blockSize = static_cast<size_t>(options.blockSize);
        std::vector<float> interleaved(blockSize * static_cast<size_t>(channels));
        std::vector<std::vector<float>> in(channels, std::vector<float>(blockSize));
        std::vector<std::vector<float>> out(channels, std::vector<float>(blockSize));
        std::vector<const float*> inputs;
        std::vector<float*> outputs;
        for (int channel = 0; channel < channels; ++channel)
        {
            inputs.push_back(in[channel].data());
            outputs.push_back(out[channel].data());
        }
        std::vector<double> automated(options.automation.size(), -1.0);
        bool bypassed = false;
        const bool clips = options.format != AudioSampleFormat::Float32;
        int64_t clipped = 0;

        int64_t position = 0;
        for (;;)
        {
            // Between blocks: the host's automation and bypass.
            for (size_t i = 0; i < options.automation.size(); ++i)
            {
                const double value = valueAt(options.automation[i], static_cast<double>(position) / sampleRate);
                if (value != automated[i])
                    check(instance.setParameter(options.automation[i].parameterID, value),
                          "automating " + options.automation[i].parameterID);
                automated[i] = value;
            }
            if (bypass.bypassedAt(position) != bypassed)
                check(instance.setBypass(bypassed = !bypassed), "switching the bypass");
            host.log().clear();

            // A block ends early where the bypass switches, so it switches on the exact sample.
            const int64_t wanted = bypass.nextEdge(position, position + static_cast<int64_t>(blockSize)) - position;
            const int64_t frames = input.read(interleaved.data(), wanted);
            if (frames == 0)
                break;
            for (int64_t frame = 0; frame < frames; ++frame)
                for (int channel = 0; channel < channels; ++channel)
                    in[channel][static_cast<size_t>(frame)] =
                        interleaved[static_cast<size_t>(frame * channels + channel)];
            instance.process(inputs.data(), outputs.data(), static_cast<int32_t>(frames));
            for (int64_t frame = 0; frame < frames; ++frame)
                for (int channel = 0; channel < channels; ++channel)
                {
                    const float sample = out[channel][static_cast<size_t>(frame)];
                    interleaved[static_cast<size_t>(frame * channels + channel)] = sample;
                    // The integer formats cannot hold what goes beyond full scale: it is clipped there.
                    clipped += clips && std::fabs(sample) > 1.0f;
                }
            output.write(interleaved.data(), frames);
            position += frames;
        }
        summary.frames = position;
        if (position < input.promisedFrames())
            summary.warnings.push_back("'" + options.inputPath + "' is cut short: its header promises "
                                       + std::to_string(input.promisedFrames()) + " frames, it holds "
                                       + std::to_string(position) + "; rendered those");
        if (clipped > 0)
            summary.warnings.push_back(std::to_string(clipped) + " samples beyond full scale were clipped in the "
                                       + (options.format == AudioSampleFormat::Pcm16 ? "pcm16" : "pcm24")
                                       + " output (the plug-in goes up to +3 dB; --format float keeps them)");
        for (const RenderOptions::TimeRange& range : options.bypassed)
            if (framesAt(range.startSeconds, sampleRate) >= position)
                summary.warnings.push_back("--bypass " + secondsText(range.startSeconds) + " to "
                                           + secondsText(range.endSeconds) + " lies past the end of '"
                                           + options.inputPath + "' (" + secondsText(double(position) / sampleRate)
                                           + "); it bypassed nothing");
        for (size_t i = 0; i < chunkFiles.size(); ++i)
        {
            chunkFiles[i]->write(instance.chunk(options.savedChunks[i].chunkID));
            files.push_back(chunkFiles[i].get());
        }
        output.finish();
    }
    // A plug-in that does not let the bundle go fails the run, so nothing is put in place before that.
    plugIn.finish();
    commitTogether(files);
    summary.leftovers = leftoverNotices(files);
    return summary;
}
