// kelvane_host: the AAX host stand-in as a command-line program. It loads a plug-in bundle, lists what the
// plug-in describes, and renders audio files through it. Every failure ends with one line on stderr and a
// non-zero exit status.
#include "HostEnvironment.h"
#include "HostError.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "RenderJob.h"
#include "RenderOptions.h"
#include "WindowCommand.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace
{
// The parameters as an instance shows them to a host: ID, name, current value and its text.
void listParameters(const HostPlugIn& plugIn)
{
    for (AAX_EStemFormat format : {AAX_eStemFormat_Stereo, AAX_eStemFormat_Mono})
    {
        try
        {
            HostInstance::Setup setup;
            setup.stemFormat = format;
            const HostInstance instance(plugIn, setup);
            std::printf("parameters (%s instance at 48000 Hz):\n", hostStemFormatName(format).c_str());
            for (const std::string& id : instance.parameterIDs())
                std::printf("  %-16s \"%s\" %.6g (%s)\n", id.c_str(), instance.parameterName(id).c_str(),
                            instance.parameter(id), instance.parameterText(id).c_str());
            return;
        }
        catch (const HostError&)
        {
        }
    }
    std::printf("parameters: no instance could be made\n");
}

int list(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1)
        throw HostError("list needs exactly one bundle");
    HostEnvironment host;
    HostPlugIn plugIn(host, arguments[0]);
    std::fputs(plugIn.description().c_str(), stdout);
    listParameters(plugIn);
    plugIn.finish();
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h")
    {
        std::fputs(renderUsage(), arguments.empty() ? stderr : stdout);
        std::fputs(windowUsage(), arguments.empty() ? stderr : stdout);
        return arguments.empty() ? 2 : 0;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    try
    {
        if (arguments[0] == "list")
            return list(rest);
        if (arguments[0] == "render")
        {
            const RenderOptions options = parseRenderOptions(rest);
            const RenderSummary summary = render(options);
            std::printf("rendered %lld frames (%d channels, %d Hz) through %s into %s\n",
                        static_cast<long long>(summary.frames), summary.channels, summary.sampleRate,
                        options.bundlePath.c_str(), options.outputPath.c_str());
            return 0;
        }
        if (arguments[0] == "window")
            return runWindowCommand(rest);
        throw HostError("unknown command '" + arguments[0] + "' (try --help)");
    }
    catch (const HostError& error)
    {
        std::fprintf(stderr, "kelvane_host: %s\n", error.what());
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "kelvane_host: unexpected failure: %s\n", error.what());
    }
    return 1;
}
