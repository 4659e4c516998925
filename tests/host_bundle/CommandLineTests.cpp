// kelvane_host's commands as a user finds them: help on stdout, a bundle named as in its own folder, and the
// window command's arguments checked before a window opens (so these run without a display, except the last).
#include "HostProgram.h"

#include <chrono>
#include <thread>

namespace
{
using CommandLine = HostProgram;

TEST_F(CommandLine, HelpPrintsTheCommandsUsageOnStdout)
{
    const struct
    {
        std::vector<std::string> arguments;
        std::vector<std::string> shown;
        std::vector<std::string> notShown;
    } cases[] = {
        {{"help"}, {"kelvane_host list", "kelvane_host render", "kelvane_host window", "BUNDLE is"}, {}},
        {{"--help"}, {"kelvane_host list", "kelvane_host render", "kelvane_host window"}, {}},
        {{"help", "render"}, {"kelvane_host render", "--restore-chunk", "--format"}, {"kelvane_host window"}},
        {{"render", "--help"}, {"kelvane_host render", "--bypass"}, {"kelvane_host list"}},
        {{"render", KELVANE_BUNDLE_PATH, "-h"}, {"kelvane_host render"}, {"kelvane_host window"}},
        {{"window", "-h"}, {"kelvane_host window", "--capture", "--from"}, {"kelvane_host render"}},
        {{"list", "--help"}, {"kelvane_host list"}, {"kelvane_host render"}},
    };
    for (const auto& row : cases)
    {
        std::string errors, output;
        EXPECT_EQ(run(row.arguments, errors, &output), 0) << row.arguments.back();
        EXPECT_EQ(errors, "");
        EXPECT_EQ(output.rfind("usage:\n", 0), 0u) << output;
        for (const std::string& text : row.shown)
            EXPECT_NE(output.find(text), std::string::npos) << row.arguments.back() << ": " << text;
        for (const std::string& text : row.notShown)
            EXPECT_EQ(output.find(text), std::string::npos) << row.arguments.back() << ": " << text;
    }
    std::string errors;
    EXPECT_EQ(run({"help", "mix"}, errors), 1);
    EXPECT_NE(errors.find("unknown command 'mix'"), std::string::npos) << errors;
}

TEST_F(CommandLine, BundleGivenByItsBareNameIsTheOneInTheCurrentFolder)
{
    writeWav("in.wav", 1, 48000, 4800);
    const std::string bundle = KELVANE_BUNDLE_PATH;
    const std::string binaryFolder = bundle + "/Contents/x86_64-linux";
    const std::string bundleFolder = std::filesystem::path(bundle).parent_path().string();
    const std::string bundleName = std::filesystem::path(bundle).filename().string();
    std::string errors, output;
    EXPECT_EQ(run({"render", "Kelvane.so", folder + "/in.wav", folder + "/out.wav"}, errors, &output, binaryFolder), 0)
        << errors;
    EXPECT_EQ(AudioFileReader(folder + "/out.wav").frames(), 4800);
    EXPECT_EQ(run({"list", bundleName}, errors, &output, bundleFolder), 0) << errors;
    EXPECT_NE(output.find("Kelvane.so"), std::string::npos) << output;
}

// Each fails on its arguments alone, before a display or the bundle is needed: no window, no X server.
TEST_F(CommandLine, WindowChecksItsArgumentsBeforeOpeningAnything)
{
    writeWav("in.wav", 2, 48000, 48000);
    writeWav("silent.wav", 1, 48000, 0);
    std::ofstream(folder + "/empty.wav").close();
    const std::string bundle = KELVANE_BUNDLE_PATH;
    const struct
    {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{bundle, "--capture", folder + "/none/window.png"}, "there is no folder '"},
        {{bundle, "--capture", folder + "/window.jpg"}, "its name ends in .png"},
        {{bundle, "--capture", folder + "/in.wav/window.png"}, "there is no folder '"},
        {{bundle, "--input", "in.wav", "--from", "1"}, "--from 1: 'in.wav' is only 1.000 s long"},
        {{bundle, "--input", "in.wav", "--from", "2.5"}, "is only 1.000 s long"},
        {{bundle, "--from", "0.5"}, "--from needs an --input"},
        {{bundle, "--input", "silent.wav"}, "holds no audio to play"},
        {{bundle, "--input", "empty.wav"}, "the file is empty"},
        {{bundle, "--seconds"}, "option '--seconds' needs a value"},
        {{bundle, "--capture", "--seconds", "1"}, "option '--capture' needs a value"},
        {{bundle, "--frame-rate", "30"}, "unknown option '--frame-rate'"},
        {{bundle, "--format", "pcm16"}, "window takes --set and --block"},
        {{}, "window needs one bundle (0 given)"},
    };
    for (const auto& row : cases)
    {
        std::vector<std::string> arguments = {"window"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        std::string errors;
        EXPECT_EQ(run(arguments, errors), 1) << row.message;
        EXPECT_EQ(errors.rfind("kelvane_host: ", 0), 0u) << errors;
        EXPECT_NE(errors.find(row.message), std::string::npos) << errors;
        EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
    }
}

// A signal closes the window as the desktop does: the plug-in goes in host order, the picture is written
// whole, and the program then ends by that signal.
TEST_F(CommandLine, SignalClosesTheWindowInHostOrder)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    for (const int signal : {SIGTERM, SIGINT})
    {
        const std::string picture = folder + "/window.png", output = folder + "/stdout.txt";
        std::filesystem::remove(picture);
        const pid_t child = start({"window", KELVANE_BUNDLE_PATH, "--capture", picture}, output);
        ASSERT_GT(child, 0);
        // Whether the window is already up or still opening, the signal must close it the same way.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_NE(contents(output).find("window closed; ACFCanUnloadNow answered 0"), std::string::npos)
            << contents(output);
        // A whole PNG file: its signature first, its end chunk last.
        const std::string png = contents(picture);
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << "signal " << signal;
        EXPECT_TRUE(png.size() > 20 && png.substr(png.size() - 12, 8) == std::string("\0\0\0\0IEND", 8))
            << "signal " << signal;
        for (const std::string& name : filesHere())
            EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
    }
}
} // namespace
