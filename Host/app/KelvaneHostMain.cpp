// kelvane_host: the AAX host stand-in as a command-line program. It loads a plug-in bundle, lists what the
// plug-in describes, and renders audio files through it. Every failure ends with one line on stderr and a
// non-zero exit status; warnings are lines on stderr too, after a run that succeeded.
#include "HostEnvironment.h"
#include "HostError.h"
#include "HostInstance.h"
#include "HostPlugIn.h"
#include "InterruptCleanup.h"
#include "RenderJob.h"
#include "RenderOptions.h"
#include "ReplacingFiles.h"
#include "WindowCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace
{
// Why the standard output first failed, or 0.
int stdoutError = 0;

void flushStdout()
{
    errno = 0;
    if (std::fflush(stdout) != 0 && stdoutError == 0)
        stdoutError = errno != 0 ? errno : EIO;
}

// A command's status, made a failure when what it printed did not reach the standard output (a full disk):
// whoever reads it would take a part for the whole.
int checkedStdout(int status)
{
    flushStdout();
    if (status != 0 || (stdoutError == 0 && !std::ferror(stdout)))
        return status;
    std::fprintf(stderr, "kelvane_host: cannot write the standard output: %s\n",
                 fileErrorText(stdoutError != 0 ? stdoutError : EIO).c_str());
    return 1;
}

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
    for (const std::string& argument : arguments)
        if (argument.size() > 1 && argument[0] == '-')
            throw HostError("unknown option '" + argument + "' (try --help)");
    if (arguments.size() != 1)
        throw HostError("list needs exactly one bundle");
    HostEnvironment host;
    HostPlugIn plugIn(host, arguments[0]);
    std::fputs(plugIn.description().c_str(), stdout);
    listParameters(plugIn);
    // The plug-in's unloading flushes the standard output too; done here first, a failure keeps its reason.
    flushStdout();
    plugIn.finish();
    return 0;
}
const struct
{
    const char* name;
    const char* (*usage)();
} kCommands[] = {{"list", listUsage}, {"render", renderUsage}, {"window", windowUsage}};

// The usage of one command, or of all of them for an empty name.
void printUsage(const std::string& command, FILE* stream)
{
    std::fputs("usage:\n", stream);
    for (const auto& known : kCommands)
        if (command.empty() || command == known.name)
            std::fputs(known.usage(), stream);
    std::fputs(bundleUsage(), stream);
}

bool isCommand(const std::string& name)
{
    return std::any_of(std::begin(kCommands), std::end(kCommands),
                       [&](const auto& known) { return name == known.name; });
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
    {
        printUsage("", stderr);
        return 2;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    const bool helpAsked = std::any_of(
        rest.begin(), rest.end(), [](const std::string& argument) { return argument == "--help" || argument == "-h"; });
    try
    {
        const std::string& command = arguments[0];
        if (command == "--help" || command == "-h" || command == "help")
        {
            if (rest.size() > 1)
                throw HostError("help takes at most one command");
            if (rest.size() == 1 && !isCommand(rest[0]))
                throw HostError("help: unknown command '" + rest[0] + "' (the commands are list, render and window)");
            printUsage(rest.empty() ? "" : rest[0], stdout);
            return checkedStdout(0);
        }
        if (!isCommand(command))
            throw HostError("unknown command '" + command + "' (try --help)");
        if (helpAsked)
        {
            printUsage(command, stdout);
            return checkedStdout(0);
        }
        if (command == "list")
            return checkedStdout(list(rest));
        if (command == "render")
        {
            const RenderOptions options = parseRenderOptions(rest);
            interrupt_cleanup::install();
            const RenderSummary summary = render(options);
            std::printf("rendered %lld frames (%d channel%s, %d Hz) through %s into %s%s\n",
                        static_cast<long long>(summary.frames), summary.channels, summary.channels == 1 ? "" : "s",
                        summary.sampleRate, options.bundlePath.c_str(), options.outputPath.c_str(),
                        summary.container == AudioContainer::Rf64 ? ", written as RF64 (a WAV file holds at most 4 GiB)"
                                                                  : "");
            if (const int status = checkedStdout(0))
                return status;
            for (const std::string& leftover : summary.leftovers)
                std::fprintf(stderr, "kelvane_host: %s\n", leftover.c_str());
            for (const std::string& warning : summary.warnings)
                std::fprintf(stderr, "kelvane_host: warning: %s\n", warning.c_str());
            return 0;
        }
        return checkedStdout(runWindowCommand(rest));
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
