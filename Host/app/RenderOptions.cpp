#include "RenderOptions.h"

#include "HostError.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iterator>

bool decimalNumber(const std::string& text, double& value)
{
    // What strtod reads besides (hexadecimal, inf, nan, leading spaces) is no number a user means here.
    size_t at = text[0] == '-' || text[0] == '+' ? 1 : 0;
    size_t digits = 0;
    for (bool point = false;
         at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || (text[at] == '.' && !point)); ++at)
    {
        point = point || text[at] == '.';
        digits += text[at] != '.';
    }
    if (digits == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E'))
    {
        at += at + 1 < text.size() && (text[at + 1] == '-' || text[at + 1] == '+') ? 2 : 1;
        const size_t exponent = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            ++at;
        if (at == exponent)
            return false;
    }
    if (at != text.size())
        return false;
    value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value);
}

namespace
{
double number(const std::string& text, const std::string& what)
{
    double value = 0.0;
    if (!decimalNumber(text, value))
        throw HostError(what + ": '" + text + "' is not a number");
    return value;
}

double normalisedValue(const std::string& text, const std::string& parameterID)
{
    const double value = number(text, "value of " + parameterID);
    if (value < 0.0 || value > 1.0)
        throw HostError("value of " + parameterID + ": " + text + " is out of range (0 to 1)");
    return value;
}

double seconds(const std::string& text, const std::string& what)
{
    const double value = number(text, what);
    if (value < 0.0)
        throw HostError(what + ": " + text + " lies before the start");
    return value;
}

// "name=rest" split at the first '='.
std::pair<std::string, std::string> assignment(const std::string& text, const std::string& option)
{
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw HostError(option + " expects NAME=VALUE, not '" + text + "'");
    return {text.substr(0, equals), text.substr(equals + 1)};
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start))
    {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

RenderOptions::ChunkFile chunkFile(const std::string& text, const std::string& option)
{
    const auto [name, path] = assignment(text, option);
    if (name.size() != 4)
        throw HostError(option + ": a chunk ID has four characters ('elck', 'juce'), not '" + name + "'");
    if (path.empty())
        throw HostError(option + ": no file given for chunk '" + name + "'");
    uint32_t id = 0;
    for (char character : name)
        id = (id << 8) | static_cast<uint8_t>(character);
    return {id, path};
}

RenderOptions::Automation automation(const std::string& text)
{
    const auto [parameterID, pointList] = assignment(text, "--automate");
    RenderOptions::Automation result{parameterID, {}};
    for (const std::string& point : split(pointList, ','))
    {
        const size_t colon = point.find(':');
        if (colon == std::string::npos)
            throw HostError("--automate " + parameterID + ": a point is SECONDS:VALUE, not '" + point + "'");
        const double time = seconds(point.substr(0, colon), "--automate " + parameterID + " time");
        if (!result.points.empty() && time <= result.points.back().seconds)
            throw HostError("--automate " + parameterID + ": the times must rise, " + point.substr(0, colon)
                            + " does not");
        result.points.push_back({time, normalisedValue(point.substr(colon + 1), parameterID)});
    }
    return result;
}

RenderOptions::TimeRange timeRange(const std::string& text)
{
    // Split at the dash with a number on both sides: an exponent has a dash of its own (1e-3-2).
    size_t dash = std::string::npos;
    for (size_t at = text.find('-', 1); at != std::string::npos && dash == std::string::npos;
         at = text.find('-', at + 1))
    {
        double value = 0.0;
        if (decimalNumber(text.substr(0, at), value) && decimalNumber(text.substr(at + 1), value))
            dash = at;
    }
    if (dash == std::string::npos)
        dash = text.rfind('-');
    if (dash == std::string::npos || dash == 0)
        throw HostError("--bypass expects START-END in seconds, not '" + text + "'");
    const double start = seconds(text.substr(0, dash), "--bypass start");
    const double end = seconds(text.substr(dash + 1), "--bypass end");
    if (end <= start)
        throw HostError("--bypass " + text + ": the end must come after the start");
    return {start, end};
}
} // namespace

RenderOptions parseRenderFlags(const std::vector<std::string>& arguments, std::vector<std::string>& positional)
{
    static const char* const kOptions[] = {"--block",         "--set",        "--automate", "--bypass",
                                           "--restore-chunk", "--save-chunk", "--format"};
    RenderOptions options;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-')
        {
            positional.push_back(argument);
            continue;
        }
        if (std::find(std::begin(kOptions), std::end(kOptions), argument) == std::end(kOptions))
            throw HostError("unknown option '" + argument + "' (try --help)");
        // No value of ours starts with "--", so what follows is the next option: this one's value is missing.
        if (i + 1 >= arguments.size() || arguments[i + 1].compare(0, 2, "--") == 0)
            throw HostError("option '" + argument + "' needs a value");
        const std::string& value = arguments[++i];
        if (argument == "--block")
        {
            const double size = number(value, "--block");
            if (size != std::floor(size) || size < 1 || size > kMaximumRenderBlockSize)
                throw HostError("--block " + value + ": a block holds 1 to " + std::to_string(kMaximumRenderBlockSize)
                                + " samples");
            options.blockSize = static_cast<int>(size);
        }
        else if (argument == "--set")
        {
            const auto [parameterID, text] = assignment(value, argument);
            options.settings.push_back({parameterID, normalisedValue(text, parameterID)});
        }
        else if (argument == "--automate")
            options.automation.push_back(automation(value));
        else if (argument == "--bypass")
            options.bypassed.push_back(timeRange(value));
        else if (argument == "--restore-chunk")
            options.restoredChunks.push_back(chunkFile(value, argument));
        else if (argument == "--save-chunk")
            options.savedChunks.push_back(chunkFile(value, argument));
        else if (!parseAudioSampleFormat(value, options.format))
            throw HostError("--format " + value + ": the output format is float, pcm16 or pcm24");
    }
    // Automation holds a parameter from the first sample on, so a fixed value beside it would be lost, and
    // two curves would fight over it: which was meant cannot be told.
    for (size_t i = 0; i < options.automation.size(); ++i)
    {
        const std::string& parameterID = options.automation[i].parameterID;
        for (size_t j = 0; j < i; ++j)
            if (options.automation[j].parameterID == parameterID)
                throw HostError("--automate " + parameterID + " is given twice; give all its points in one");
        for (const RenderOptions::Setting& setting : options.settings)
            if (setting.parameterID == parameterID)
                throw HostError("--set " + parameterID + " and --automate " + parameterID
                                + " both given; the automation holds it from the start, so give one of them");
    }
    return options;
}

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments)
{
    std::vector<std::string> positional;
    RenderOptions options = parseRenderFlags(arguments, positional);
    if (positional.size() != 3)
        throw HostError("render needs a bundle, an input file and an output file (" + std::to_string(positional.size())
                        + " given)");
    options.bundlePath = positional[0];
    options.inputPath = positional[1];
    options.outputPath = positional[2];
    return options;
}

const char* listUsage()
{
    return "  kelvane_host list BUNDLE\n"
           "      loads and registers the plug-in bundle and lists what it describes\n";
}

const char* renderUsage()
{
    return "  kelvane_host render BUNDLE INPUT OUTPUT.wav [options]\n"
           "      processes a mono or stereo audio file through the plug-in into a WAV file\n"
           "      OUTPUT and the --save-chunk files are put in place together once the run succeeds: a\n"
           "      failed or stopped run leaves them as they were; a file replaced keeps its permissions,\n"
           "      a symbolic link is followed and stays; a file that is also read is refused\n"
           "  options of render:\n"
           "    --block N               block size in samples, 1 to 1024 (default 512)\n"
           "    --set ID=VALUE          parameter value, normalised 0 to 1 (e.g. --set dbMain=0.75)\n"
           "    --automate ID=T:V,...   parameter automation: value V at T seconds, linear in between\n"
           "                            (not with --set on the same ID)\n"
           "    --bypass START-END      the host's bypass on from START to END seconds\n"
           "    --restore-chunk ID=FILE restore a saved-settings chunk ('elck' or 'juce') before rendering\n"
           "    --save-chunk ID=FILE    write a saved-settings chunk after rendering\n"
           "    --format F              output samples: float (default), pcm16 or pcm24\n"
           "  numbers are decimal: 0.5, 2, 1e-3\n";
}

const char* bundleUsage()
{
    return "BUNDLE is a Kelvane.aaxplugin folder or the shared object inside it.\n";
}
