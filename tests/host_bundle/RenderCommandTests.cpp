// kelvane_host as a user runs it: bad input ends with one clear line and a non-zero status and leaves the
// output file as it was; a good run writes a complete file; what a run got through but the user should know
// comes as warnings; a signal leaves no partial file; help, bare bundle names and the window's arguments.
#include "AudioFiles.h"
#include "ReplacingFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace
{
class RenderCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kelvane-render-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        writeWav("in.wav", 1, 48000, 24000);
        writeWav("three.wav", 3, 48000, 100);
        writeWav("slow.wav", 1, 22050, 100);
        std::ofstream(folder + "/text.txt") << "not audio";
        std::ofstream(folder + "/out.wav") << "old";
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "' '" + folder + "'.*").c_str()); }

    void writeWav(const std::string& name, int channels, int sampleRate, int frames, float scale = 0.5f,
                  AudioSampleFormat format = AudioSampleFormat::Float32)
    {
        std::vector<float> samples(static_cast<size_t>(frames * channels));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>((i * 7919 % 2000) / 1000.0 - 1.0) * scale;
        AtomicWavWriter writer(folder + "/" + name, channels, sampleRate, format, frames);
        writer.write(samples.data(), frames);
        writer.commit();
    }

    // The shell command that runs the program in `directory` (default: the test's folder), its stdout going
    // to folder + ".output".
    std::string commandLine(const std::vector<std::string>& arguments, const std::string& directory = "") const
    {
        std::string line = "cd '" + (directory.empty() ? folder : directory) + "' && exec "
                           + (namedTemporaries ? "env KELVANE_HOST_NO_TMPFILE=1 " : "") + runAs
                           + "'" KELVANE_HOST_PROGRAM "'";
        for (const std::string& argument : arguments)
            line += " '" + argument + "'";
        return line + " >'" + folder + ".output'";
    }

    // Runs the program; its exit status, and what it wrote to stderr in `errors`.
    int run(const std::vector<std::string>& arguments, std::string& errors, const std::string& directory = "")
    {
        const int status = std::system((commandLine(arguments, directory) + " 2>'" + folder + ".errors'").c_str());
        std::ifstream file(folder + ".errors");
        errors.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Starts the program with the stopping signals at their defaults, as a shell in a terminal starts it.
    pid_t start(const std::vector<std::string>& arguments)
    {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            std::signal(signal, SIG_DFL);
        const std::string line = commandLine(arguments);
        const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
        pid_t child = -1;
        return posix_spawn(&child, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) == 0 ? child : -1;
    }

    // Sends `signal` to a started program, which must end by that very signal.
    static void expectEndedBy(pid_t child, int signal)
    {
        ASSERT_GT(child, 0);
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    }

    static std::string contents(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // Runs `command`, which must end with `status` and one line on stderr naming `message`, and leave no file
    // behind; one that fails leaves the output as it was.
    void expectOneLine(const std::string& command, int status, std::vector<std::string> arguments,
                       const std::string& message)
    {
        const size_t before = files();
        arguments.insert(arguments.begin(), command);
        std::string errors;
        EXPECT_EQ(run(arguments, errors), status) << message;
        EXPECT_TRUE(errors.rfind("kelvane_host: ", 0) == 0 && errors.find(message) != std::string::npos
                    && errors.find('\n') == errors.size() - 1)
            << errors;
        EXPECT_TRUE(status == 0 || contents(folder + "/out.wav") == "old") << message;
        EXPECT_EQ(files(), before) << "a file was left behind: " << message;
    }

    size_t files() const { return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {})); }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Files the program `child` has open in the folder that have no name there (O_TMPFILE: "#NNN (deleted)").
    size_t unnamedFiles(pid_t child) const
    {
        std::error_code error;
        size_t count = 0;
        for (auto entry = std::filesystem::directory_iterator("/proc/" + std::to_string(child) + "/fd", error);
             entry != std::filesystem::directory_iterator(); entry.increment(error))
            count += std::filesystem::read_symlink(entry->path(), error).string().rfind(folder + "/#", 0) == 0;
        return count;
    }

    // Whether a started render began writing `count` files, named ones beside the folder's `before` files or
    // unnamed ones, within 30 s.
    bool beganWriting(pid_t child, size_t before, size_t count) const
    {
        for (int waited = 0; files() + unnamedFiles(child) < before + count; ++waited)
        {
            if (waited == 30000)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // The line a run that went through prints for a file that looks left by a run stopped by force.
    static std::string leftoverLine(const std::string& name, const std::string& beside)
    {
        return "kelvane_host: '" + name + "' beside '" + beside
               + "' looks left by a run stopped by force; remove it if it is not yours\n";
    }

    static std::vector<std::string> sortedLines(const std::string& text)
    {
        std::vector<std::string> lines;
        for (size_t start = 0, end; start < text.size(); start = end + 1)
            lines.push_back(text.substr(start, (end = text.find('\n', start)) - start));
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    std::string folder;
    bool namedTemporaries = false; // as on a file system without unnamed files
    std::string runAs;             // a command that runs the program as another user
};
using CommandLine = RenderCommand;

TEST_F(RenderCommand, BadInputEndsWithOneClearLineAndLeavesTheOutputAsItWas)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, in = folder + "/in.wav", out = folder + "/out.wav";
    const struct
    {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{bundle, folder + "/missing.wav", out}, "cannot read '" + folder + "/missing.wav': there is no such file"},
        {{bundle, folder + "/text.txt", out}, "/text.txt': it is not an audio file (WAV, AIFF, FLAC"},
        {{bundle, folder, out}, "cannot read '" + folder + "': it is a folder"},
        {{bundle, folder + "/silent.wav", out}, "'" + folder + "/silent.wav' holds no audio to render"},
        {{bundle, folder + "/three.wav", out}, "has 3 channels; the plug-in takes mono or stereo"},
        {{bundle, folder + "/slow.wav", out}, "is at 22050 Hz"},
        {{bundle, in, out, "--set", "dbMian=0.5"}, "unknown parameter ID 'dbMian'"},
        {{bundle, in, out, "--set", "dbMain=1.5"}, "1.5 is out of range (0 to 1)"},
        {{bundle, in, out, "--automate", "dbMain=0:0.2,1:nan"}, "is not a number"},
        {{bundle, in, out, "--bypass", "2-1"}, "the end must come after the start"},
        {{bundle, in, out, "--block", "2048"}, "a block holds 1 to 1024 samples"},
        {{bundle, in, out, "--block", "0x10"}, "--block: '0x10' is not a number"},
        {{bundle, in, out, "--block", "inf"}, "--block: 'inf' is not a number"},
        {{bundle, in, out, "--set", "dbMain=0x1p-1"}, "'0x1p-1' is not a number"},
        {{bundle, in, out, "--bypass", " 1-2"}, "--bypass start: ' 1' is not a number"},
        {{folder + "/none.aaxplugin", in, out}, "no plug-in bundle at"},
        {{folder, in, out}, "is not a plug-in bundle"},
        {{folder + "/text.txt", in, out}, "could not be loaded"},
        {{KELVANE_FAILING_BUNDLE_PATH, in, out},
         "failed to register (ACFRegisterPlugin: -20004 (AAX_ERROR_NULL_OBJECT))"},
        {{bundle, in, out, "--restore-chunk", "elck=" + folder + "/none"}, "/none': there is no such file"},
        {{bundle, in, out, "--restore-chunk", "elck=" + folder}, "cannot read '" + folder + "': it is a folder"},
        {{bundle, in, out, "--save-chunk", "abcd=" + folder + "/chunk"},
         "the plug-in has no chunk 'abcd' (GetChunkSize: -20007 (AAX_ERROR_INVALID_CHUNK_ID))"},
        {{bundle, in, folder + "/no/out.wav"}, "cannot write '"},
        {{bundle, in, out, "-q"}, "unknown option '-q'"},
        {{bundle, in, out, "--set", "--block", "64"}, "option '--set' needs a value"},
        {{bundle, in, out, "--set", "dbMain=0.5", "--automate", "dbMain=0:0.2"}, "--set dbMain and --automate dbMain"},
        {{bundle, in, out, "--automate", "dbMain=0:0.2", "--automate", "dbMain=1:0.3"}, "is given twice"},
        {{bundle, folder + "/empty.wav", out}, "the file is empty"},
        // The library's chunk is refused by its code's name; the engine's answers success but is not taken.
        {{bundle, in, out, "--restore-chunk", "elck=" + folder + "/text.txt"}, "-20026 (AAX_ERROR_MALFORMED_CHUNK)"},
        {{bundle, in, out, "--restore-chunk", "juce=" + folder + "/text.txt"}, "did not take the settings"},
    };
    std::ofstream(folder + "/empty.wav").close();
    writeWav("silent.wav", 2, 48000, 0);
    for (const auto& row : cases)
        expectOneLine("render", 1, row.arguments, row.message);
}

// Compared as files, before anything is read: text.txt would otherwise fail as no audio.
TEST_F(RenderCommand, RefusesToWriteOverTheFileItReadsAndReadsNothing)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, in = folder + "/in.wav", out = folder + "/out.wav";
    std::filesystem::create_hard_link(in, folder + "/hard.wav");
    expectOneLine("render", 1, {bundle, in, folder + "/hard.wav"}, "/hard.wav': it is the input '");
    expectOneLine("render", 1, {bundle, folder + "/text.txt", folder + "/text.txt"}, "refusing to write the output '");
    expectOneLine("render", 1, {bundle, out, folder + "/x.wav", "--save-chunk", "elck=" + out},
                  "refusing to write the saved chunk");
    expectOneLine("render", 1, {bundle, out, folder + "/x.wav", "--save-chunk", "elck=" + folder + "/x.wav"},
                  "it is also the output");
}

// Neither exists yet: the paths are compared where they lead.
TEST_F(RenderCommand, RefusesTwoOfItsOutputsThatAreOneFile)
{
    const std::string bundle = KELVANE_BUNDLE_PATH;
    std::filesystem::create_directory(folder + "/sub");
    std::filesystem::create_symlink("sub/target.wav", folder + "/link.wav");
    const struct
    {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{bundle, "in.wav", "o5.wav", "--save-chunk", "juce=./o5.wav"}, "'./o5.wav': it is also the output 'o5.wav'"},
        {{bundle, "in.wav", "o.wav", "--save-chunk", "juce=c2.bin", "--save-chunk", "elck=./c2.bin"},
         "'./c2.bin': it is also the saved chunk 'c2.bin'"},
        {{bundle, "in.wav", "sub/../o.wav", "--save-chunk", "elck=o.wav"}, "'o.wav': it is also the output"},
        {{bundle, "in.wav", "link.wav", "--save-chunk", "elck=sub/target.wav"}, "it is also the output 'link.wav'"},
    };
    for (const auto& row : cases)
        expectOneLine("render", 1, row.arguments, row.message);
}

// Each refused before the input is read or the bundle loaded: both of those are missing here too.
TEST_F(RenderCommand, ChecksWhereItWritesBeforeRendering)
{
    const std::string none = folder + "/none.aaxplugin", missing = folder + "/missing.wav";
    std::filesystem::create_directory(folder + "/dirout");
    std::filesystem::create_directory(folder + "/locked");
    std::filesystem::permissions(folder + "/locked",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    std::ofstream(folder + "/k.elck") << "mine";
    struct Case
    {
        std::vector<std::string> arguments;
        std::string message;
    };
    std::vector<Case> cases = {
        {{none, missing, "dirout", "--save-chunk", "elck=k.elck"}, "cannot write 'dirout': it is a folder"},
        {{none, missing, "out.wav", "--save-chunk", "elck=dirout"}, "cannot write 'dirout': it is a folder"},
        {{none, missing, "no/out.wav"}, "cannot write 'no/out.wav': there is no folder 'no'"},
        {{none, missing, "out.wav", "--save-chunk", "elck=no/k.elck"}, "there is no folder 'no'"},
        {{none, missing, "/dev/null"}, "cannot write '/dev/null': it is not a plain file"},
    };
    // The superuser writes into any folder.
    if (::geteuid() != 0)
        cases.push_back({{none, missing, "locked/out.wav"}, "the folder 'locked' cannot be written to"});
    for (const Case& row : cases)
        expectOneLine("render", 1, row.arguments, row.message);
    EXPECT_EQ(contents(folder + "/k.elck"), "mine");

    // The plug-in's chunks are known once it is loaded, still long before this render's end.
    writeWav("long.wav", 1, 48000, 48000 * 120, 0.5f, AudioSampleFormat::Pcm16);
    const auto begun = std::chrono::steady_clock::now();
    expectOneLine("render", 1,
                  {KELVANE_BUNDLE_PATH, "long.wav", "out.wav", "--block", "1", "--save-chunk", "abcd=k.elck"},
                  "the plug-in has no chunk 'abcd'");
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(5));
}

// The output and the chunk files are all put in place at the very end, or none of them is.
TEST_F(RenderCommand, AFailedOrStoppedRunChangesNoneOfItsFiles)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, chunk = folder + "/k.elck";
    std::ofstream(chunk) << "mine";
    std::filesystem::create_directory(folder + "/dirout");
    expectOneLine("render", 1, {bundle, "in.wav", "dirout", "--save-chunk", "elck=k.elck"}, "it is a folder");
    EXPECT_EQ(contents(chunk), "mine");

    // Its output turned into a folder while it renders, a run fails at its very end, the chunk not written.
    writeWav("medium.wav", 1, 48000, 48000 * 20, 0.5f, AudioSampleFormat::Pcm16);
    std::ofstream(folder + "/late.wav") << "old";
    size_t before = files();
    const pid_t late =
        start({"render", bundle, "medium.wav", "late.wav", "--block", "1", "--save-chunk", "elck=k.elck"});
    EXPECT_TRUE(beganWriting(late, before, 2));
    std::filesystem::remove(folder + "/late.wav");
    std::filesystem::create_directory(folder + "/late.wav");
    int status = 0;
    ASSERT_EQ(::waitpid(late, &status, 0), late);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(contents(chunk), "mine");
    EXPECT_EQ(files(), before);

    writeWav("long.wav", 1, 48000, 48000 * 120, 0.5f, AudioSampleFormat::Pcm16);
    before = files();
    const std::vector<std::string> arguments = {"render",  bundle, "long.wav",     "out.wav",
                                                "--block", "1",    "--save-chunk", "elck=k.elck"};
    const pid_t child = start(arguments);
    // The output's and the chunk's temporary files.
    EXPECT_TRUE(beganWriting(child, before, 2)) << "the render never began writing";
    expectEndedBy(child, SIGTERM);
    EXPECT_EQ(files(), before);
    EXPECT_EQ(contents(chunk), "mine");
    EXPECT_EQ(contents(folder + "/out.wav"), "old");

    // Stopped anywhere near its end, a run leaves both old files or both new ones.
    const std::vector<std::string> shortRun = {"render", bundle, "in.wav", "out.wav", "--save-chunk", "elck=k.elck"};
    const auto begun = std::chrono::steady_clock::now();
    std::string errors;
    ASSERT_EQ(run(shortRun, errors), 0) << errors;
    const auto length = std::chrono::steady_clock::now() - begun;
    for (int tenth = 4; tenth <= 12; ++tenth)
    {
        std::ofstream(chunk) << "mine";
        std::ofstream(folder + "/out.wav") << "old";
        const pid_t stopped = start(shortRun);
        std::this_thread::sleep_for(length * tenth / 10);
        ::kill(stopped, SIGTERM);
        ASSERT_EQ(::waitpid(stopped, &status, 0), stopped);
        EXPECT_EQ(contents(chunk) == "mine", contents(folder + "/out.wav") == "old") << "stopped at " << tenth << "/10";
        EXPECT_EQ(files(), before) << "stopped at " << tenth << "/10";
    }
}

// Compared across a second: the clock once went into the header.
TEST_F(RenderCommand, TheSameRenderGivesTheSameBytes)
{
    const std::string bundle = KELVANE_BUNDLE_PATH;
    const std::vector<std::string> formats = {"float", "pcm16"};
    std::string errors;
    for (const std::string round : {"first", "second"})
    {
        for (const std::string& format : formats)
            ASSERT_EQ(run({"render", bundle, "in.wav", round + "-" + format + ".wav", "--format", format}, errors), 0)
                << errors;
        std::this_thread::sleep_for(std::chrono::milliseconds(round == "first" ? 1100 : 0));
    }
    for (const std::string& format : formats)
    {
        const std::string first = contents(folder + "/first-" + format + ".wav");
        EXPECT_GT(first.size(), 24000u);
        EXPECT_TRUE(first == contents(folder + "/second-" + format + ".wav")) << format;
    }
}

// As most tools do: a replaced file keeps its permissions, a symbolic link is written through and stays.
TEST_F(RenderCommand, ReplacedFilesKeepTheirPermissionsAndLinks)
{
    const std::string bundle = KELVANE_BUNDLE_PATH;
    namespace fs = std::filesystem;
    std::ofstream(folder + "/k.elck") << "mine";
    fs::permissions(folder + "/out.wav", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder + "/k.elck", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_directory(folder + "/real");
    std::ofstream(folder + "/real/old.wav") << "old";
    fs::create_symlink("real/old.wav", folder + "/link.wav");
    fs::create_symlink("real/new.wav", folder + "/dangling.wav");
    fs::create_symlink("real/chunk", folder + "/chunk-link");
    std::string errors;
    ASSERT_EQ(run({"render", bundle, "in.wav", "out.wav", "--save-chunk", "elck=k.elck"}, errors), 0) << errors;
    EXPECT_EQ(fs::status(folder + "/out.wav").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(folder + "/k.elck").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    for (const std::string output : {"link.wav", "dangling.wav"})
        ASSERT_EQ(run({"render", bundle, "in.wav", output, "--save-chunk", "elck=chunk-link"}, errors), 0) << errors;
    for (const std::string link : {"link.wav", "dangling.wav", "chunk-link"})
        EXPECT_TRUE(fs::is_symlink(folder + "/" + link)) << link;
    EXPECT_EQ(AudioFileReader(folder + "/real/old.wav").frames(), 24000);
    EXPECT_EQ(AudioFileReader(folder + "/real/new.wav").frames(), 24000);
    EXPECT_EQ(readWholeFile(folder + "/real/chunk").size(), 64u);
}

TEST_F(RenderCommand, RendersAFileAndItsSavedSettingsThroughTheBundle)
{
    const std::string out = folder + "/out.wav", chunk = folder + "/settings.elck";
    std::string errors;
    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, folder + "/in.wav", out, "--block", "100", "--set", "dbMain=0.9",
                   "--bypass", "0.1-0.2", "--save-chunk", "elck=" + chunk, "--save-chunk",
                   "juce=" + folder + "/settings.juce"},
                  errors),
              0)
        << errors;
    EXPECT_EQ(errors, "");
    // A plain WAV output is not named as one: the line is as it always was.
    EXPECT_EQ(contents(folder + ".output"),
              "rendered 24000 frames (1 channel, 48000 Hz) through " KELVANE_BUNDLE_PATH " into " + out + "\n");
    AudioFileReader input(folder + "/in.wav"), output(out);
    EXPECT_EQ(output.channels(), 1);
    EXPECT_EQ(output.sampleRate(), 48000);
    ASSERT_EQ(output.frames(), 24000);
    std::vector<float> before(24000), after(24000);
    input.read(before.data(), 24000);
    output.read(after.data(), 24000);
    // Bypassed from 0.1 s to 0.2 s, to the sample: the input itself there and only there.
    EXPECT_EQ(std::vector<float>(after.begin() + 4800, after.begin() + 9600),
              std::vector<float>(before.begin() + 4800, before.begin() + 9600));
    EXPECT_NE(after[4799], before[4799]);
    EXPECT_NE(after[9600], before[9600]);
    EXPECT_EQ(readWholeFile(chunk).size(), 64u);

    // Both chunks are taken back, and checked to be so.
    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, folder + "/in.wav", folder + "/again.wav", "--restore-chunk",
                   "elck=" + chunk, "--restore-chunk", "juce=" + folder + "/settings.juce", "--format", "pcm16"},
                  errors),
              0)
        << errors;
    EXPECT_EQ(AudioFileReader(folder + "/again.wav").frames(), 24000);
}

// Each a run that completes with one line on stderr telling what the user would otherwise not notice.
TEST_F(RenderCommand, WarnsOfWhatItRenderedAroundButDoesNotFail)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, out = folder + "/out.wav";
    writeWav("loud.wav", 2, 48000, 4800, 0.99f);
    writeWav("whole.wav", 2, 48000, 4800, 0.5f, AudioSampleFormat::Pcm16);
    // Cut inside the audio data: 4800 frames promised, 3000 kept (44 header bytes, 4 bytes a frame).
    std::ofstream(folder + "/cut.wav") << contents(folder + "/whole.wav").substr(0, 44 + 3000 * 4);
    // Counted after the plug-in, in every channel; float keeps them, which is why it says nothing then.
    std::string errors;
    ASSERT_EQ(run({"render", bundle, "loud.wav", out, "--set", "dbMain=1"}, errors), 0);
    std::vector<float> samples(4800 * 2);
    ASSERT_EQ(AudioFileReader(out).read(samples.data(), 4800), 4800);
    const std::string clipped =
        std::to_string(std::count_if(samples.begin(), samples.end(), [](float x) { return x > 1.0f || x < -1.0f; }))
        + " samples beyond full scale were clipped in the pcm";
    // A quiet pcm16 output has nothing to say beside the cut.
    expectOneLine("render", 0, {bundle, "cut.wav", out, "--format", "pcm16"},
                  "warning: 'cut.wav' is cut short: its header promises 4800 frames, it holds 3000");
    expectOneLine("render", 0, {bundle, "loud.wav", out, "--format", "pcm16", "--set", "dbMain=1"},
                  "warning: " + clipped + "16 output");
    expectOneLine("render", 0, {bundle, "loud.wav", out, "--format", "pcm24", "--set", "dbMain=1"},
                  "warning: " + clipped + "24 output");
    expectOneLine("render", 0, {bundle, "in.wav", out, "--bypass", "0.6-0.9"},
                  "warning: --bypass 0.6 s to 0.9 s lies past the end");
    // Split at the dash between two numbers, not at an exponent's.
    expectOneLine("render", 0, {bundle, "in.wav", out, "--bypass", "6e-1-9E-1"},
                  "warning: --bypass 0.6 s to 0.9 s lies past the end");
}

// A WAV file past 4 GiB from a tool that wrapped its header round (here 4 GiB of hole after the audio): the
// header's length is rendered, and never silently.
TEST_F(RenderCommand, WarnsOfAWavHeaderThatWrappedRound)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, wrapped = folder + "/wrapped.wav";
    writeWav("whole.wav", 2, 48000, 4800, 0.5f, AudioSampleFormat::Pcm16);
    std::filesystem::copy_file(folder + "/whole.wav", wrapped);
    std::filesystem::resize_file(wrapped, std::filesystem::file_size(wrapped) + (1ull << 32));
    expectOneLine("render", 0, {bundle, "wrapped.wav", "out.wav"},
                  "warning: 'wrapped.wav' holds more audio than its WAV header says: the header says 19200 bytes "
                  "(4800 frames, 0.1 s), the file holds 4294986496 bytes (1073746624 frames, 6 h 13 min) after the "
                  "data chunk's start, more than a WAV header can count (4 GiB); it is read as libsndfile reads it, "
                  "to the header's length");
    EXPECT_EQ(AudioFileReader(folder + "/out.wav").frames(), 4800);
}

// Stopped by a signal, a render removes its partial output, leaves the old output alone and ends by that signal.
TEST_F(RenderCommand, InterruptedRenderLeavesNoPartialFile)
{
    // Long enough, in one-sample blocks, that it is still running when the signal comes.
    writeWav("long.wav", 1, 48000, 48000 * 120, 0.5f, AudioSampleFormat::Pcm16);
    const size_t before = files();
    for (const bool named : {false, true})
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        {
            namedTemporaries = named;
            const pid_t child =
                start({"render", KELVANE_BUNDLE_PATH, folder + "/long.wav", folder + "/out.wav", "--block", "1"});
            // Its partial output is the one file more.
            EXPECT_TRUE(beganWriting(child, before, 1)) << "the render never began writing";
            expectEndedBy(child, signal);
            EXPECT_EQ(files(), before) << "signal " << signal << (named ? ", named temporary" : "");
            EXPECT_EQ(contents(folder + "/out.wav"), "old");
        }
}

// Even SIGKILL leaves the earlier files as they were. An unnamed file goes with the program; a named one, where
// the file system has no unnamed files, stays: nothing in it proves whose it is. A later run leaves it too, and
// names it only when that run goes through and no live run holds it.
TEST_F(RenderCommand, KilledRenderLeavesTheEarlierFilesAsTheyWere)
{
    const std::string bundle = KELVANE_BUNDLE_PATH;
    writeWav("long.wav", 1, 48000, 48000 * 120, 0.5f, AudioSampleFormat::Pcm16);
    std::ofstream(folder + "/k.elck") << "mine";
    const std::vector<std::string> before = entries();
    // Named files aged past the instant between making and locking one, then another run on the same files.
    const auto ageAndRun = [&](const std::string& input, int status) {
        for (const std::string& name : entries())
            if (name[0] == '.')
                std::filesystem::last_write_time(folder + "/" + name, std::filesystem::file_time_type::clock::now()
                                                                          - std::chrono::minutes(1));
        std::string errors;
        EXPECT_EQ(run({"render", bundle, input, "out.wav", "--save-chunk", "elck=k.elck"}, errors), status) << errors;
        return errors;
    };
    const auto named = [](const std::string& errors) {
        size_t count = 0;
        for (size_t at = 0; (at = errors.find("looks left by a run stopped by force", at)) != std::string::npos; ++at)
            ++count;
        return count;
    };
    for (const bool namedFiles : {false, true})
    {
        namedTemporaries = namedFiles;
        const pid_t child =
            start({"render", bundle, "long.wav", "out.wav", "--block", "1", "--save-chunk", "elck=k.elck"});
        EXPECT_TRUE(beganWriting(child, before.size(), 2)) << "the render never began writing";
        if (namedFiles)
        {
            // A live run's files are not named: its lock keeps the chunk's, which it has not touched since.
            EXPECT_EQ(named(ageAndRun("in.wav", 0)), 0u);
            EXPECT_EQ(entries().size(), before.size() + 2);
            std::ofstream(folder + "/out.wav") << "old";
            std::ofstream(folder + "/k.elck") << "mine";
        }
        expectEndedBy(child, SIGKILL);
        EXPECT_EQ(contents(folder + "/out.wav"), "old");
        EXPECT_EQ(contents(folder + "/k.elck"), "mine");
        if (!namedFiles)
        {
            EXPECT_EQ(entries(), before);
            continue;
        }
        const std::vector<std::string> left = entries();
        EXPECT_EQ(left.size(), before.size() + 2);
        const std::string refused = ageAndRun("missing.wav", 1);
        EXPECT_EQ(std::count(refused.begin(), refused.end(), '\n'), 1) << refused;
        EXPECT_EQ(entries(), left);
        EXPECT_EQ(named(ageAndRun("in.wav", 0)), 2u);
        EXPECT_EQ(entries(), left);
    }
}

// A file named as a temporary of kelvane_host may be the user's: whatever its age or lock, a run leaves it.
// One that goes through names those that match the pattern and no live run holds.
TEST_F(RenderCommand, NextRunNamesButNeverRemovesTheTemporariesOfKilledRuns)
{
    const struct
    {
        const char* name;
        bool old, locked, named;
    } cases[] = {
        {".out.wav.partial-ABC123", true, false, true},   {".out.wav.partial-DEF456", true, true, false},
        {".out.wav.partial-GHI789", false, false, false}, {"out.wav.partial", true, false, false},
        {".in.wav.partial-ABC123", true, false, false},   {".out.wav.partial-ABC12", true, false, false},
    };
    std::vector<int> locks;
    std::string expected;
    for (const auto& row : cases)
    {
        const std::string path = folder + "/" + row.name;
        std::ofstream(path) << "mine";
        if (row.old)
            std::filesystem::last_write_time(path,
                                             std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
        if (row.locked)
        {
            locks.push_back(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
            ASSERT_EQ(::flock(locks.back(), LOCK_EX), 0);
        }
        if (row.named)
            expected += leftoverLine(row.name, "out.wav");
    }
    namedTemporaries = true;
    std::string errors;
    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, "in.wav", "out.wav"}, errors), 0) << errors;
    EXPECT_EQ(errors, expected);
    for (const auto& row : cases)
        EXPECT_EQ(contents(folder + "/" + row.name), "mine") << row.name;
    for (const int lock : locks)
        ::close(lock);
}

// Look-alikes of the temporaries of every file a command writes, the user's content inside, old and unlocked:
// untouched by runs that go through, which name the exact ones, and by refused runs, which say only why.
TEST_F(RenderCommand, LeavesFilesThatLookLikeItsTemporariesAsTheyWere)
{
    namespace fs = std::filesystem;
    const std::string bundle = KELVANE_BUNDLE_PATH;
    std::ofstream(folder + "/k.elck") << "mine";
    std::ofstream(folder + "/empty.wav").close();
    const struct
    {
        const char* name;
        const char* beside; // the file it is named as a temporary of, or none
    } lookAlikes[] = {
        {".out.wav.partial-abc123", "out.wav"},   {".out.wav.partial-plain1", "out.wav"},
        {".k.elck.partial-GEQL4X", "k.elck"},     {".shot.png.partial-000000", "shot.png"},
        {".out.wav.partial-abc12", nullptr},      {".out.wav.partial-abc1234", nullptr},
        {".out.wav.partial-ab_123", nullptr},     {"out.wav.partial-abc123", nullptr},
        {".out.wav.partial-abc123.wav", nullptr}, {".k.elck.partial-", nullptr},
    };
    struct stat planted[std::size(lookAlikes)];
    for (size_t i = 0; i < std::size(lookAlikes); ++i)
    {
        const std::string path = folder + "/" + lookAlikes[i].name;
        std::ofstream(path) << "mine " << i;
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(1));
        ASSERT_EQ(::stat(path.c_str(), &planted[i]), 0);
    }
    // Open in another process, as a player or an editor holds it, without a lock.
    const int held = ::open((folder + "/" + lookAlikes[1].name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);

    const std::vector<std::string> render = {"render", bundle, "in.wav", "out.wav", "--save-chunk", "elck=k.elck"};
    const auto with = [](std::vector<std::string> arguments, size_t at, const std::string& value) {
        arguments[at] = value;
        return arguments;
    };
    const struct
    {
        std::vector<std::string> arguments;
        std::string refusal;               // empty: the run goes through
        std::vector<std::string> writes{}; // the files it writes, when it goes through
    } runs[] = {
        {render, "", {"out.wav", "k.elck"}},
        {with(render, 2, "missing.wav"), "there is no such file"},
        {with(render, 1, folder + "/none.aaxplugin"), "no plug-in bundle at"},
        {with(render, 2, "empty.wav"), "the file is empty"},
        {{"render", bundle, "in.wav", "out.wav", "--set", "dbMian=0.5"}, "unknown parameter ID 'dbMian'"},
        {{"render", bundle, "in.wav", "out.wav", "--restore-chunk", "elck=text.txt"}, "AAX_ERROR_MALFORMED_CHUNK"},
        {{"window", bundle, "--seconds", "0.2", "--capture", "shot.png"}, "", {"shot.png"}},
        {{"window", bundle, "--input", "missing.wav", "--capture", "shot.png"}, "there is no such file"},
        {{"window", folder + "/none.aaxplugin", "--capture", "shot.png"}, "no plug-in bundle at"},
        {{"window", bundle, "--set", "dbMian=0.5", "--capture", "shot.png"}, "unknown parameter ID 'dbMian'"},
    };
    const auto stamp = [](const struct stat& file) {
        return std::tuple(file.st_ino, file.st_mtim.tv_sec, file.st_mtim.tv_nsec, file.st_ctim.tv_sec,
                          file.st_ctim.tv_nsec);
    };
    for (const bool named : {false, true})
        for (const auto& row : runs)
        {
            namedTemporaries = named;
            const std::string what = row.arguments[0] + (row.refusal.empty() ? " that goes through" : " refused")
                                     + (named ? ", named temporaries" : "");
            std::ofstream(folder + "/out.wav") << "old";
            if (!row.refusal.empty())
                expectOneLine(row.arguments[0], 1, {row.arguments.begin() + 1, row.arguments.end()}, row.refusal);
            else if (row.arguments[0] == "window" && std::getenv("DISPLAY") == nullptr)
                continue; // the window needs a display (run under xvfb-run)
            else
            {
                std::string errors, expected;
                ASSERT_EQ(run(row.arguments, errors), 0) << errors;
                for (const auto& lookAlike : lookAlikes)
                    if (lookAlike.beside != nullptr
                        && std::count(row.writes.begin(), row.writes.end(), lookAlike.beside) == 1)
                        expected += leftoverLine(lookAlike.name, lookAlike.beside);
                EXPECT_EQ(sortedLines(errors), sortedLines(expected)) << what;
            }
            for (size_t i = 0; i < std::size(lookAlikes); ++i)
            {
                const std::string path = folder + "/" + lookAlikes[i].name;
                struct stat now
                {
                };
                ASSERT_EQ(::stat(path.c_str(), &now), 0) << lookAlikes[i].name << " is gone after " << what;
                EXPECT_TRUE(stamp(now) == stamp(planted[i]) && contents(path) == "mine " + std::to_string(i))
                    << lookAlikes[i].name << " was changed by " << what;
            }
        }
    ::close(held);
}

// Writing into the bundle would replace the plug-in it runs: refused wherever the paths lead there. A copy of
// the bundle, so that a run that is not refused harms no other test.
TEST_F(RenderCommand, RefusesToWriteInsideThePlugInBundle)
{
    namespace fs = std::filesystem;
    const std::string so = "Kelvane.aaxplugin/Contents/x86_64-linux/Kelvane.so";
    fs::copy(KELVANE_BUNDLE_PATH, folder + "/Kelvane.aaxplugin", fs::copy_options::recursive);
    fs::create_directory(folder + "/loose");
    fs::copy_file(folder + "/" + so, folder + "/loose/Kelvane.so");
    fs::create_directory_symlink("Kelvane.aaxplugin", folder + "/Link.aaxplugin");
    fs::create_directory_symlink("Kelvane.aaxplugin/Contents", folder + "/contents");
    const std::string plugIn = contents(folder + "/" + so);
    const std::string inside = "': it is inside the plug-in bundle '";
    const struct
    {
        const char* command;
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {"render", {"Kelvane.aaxplugin", "in.wav", so}, "refusing to write the output '" + so + inside + "Kelvane"},
        {"render",
         {"Link.aaxplugin/", "in.wav", "contents/x86_64-linux/Kelvane.so"},
         "the output 'contents/x86_64-linux/Kelvane.so" + inside + "Link.aaxplugin/'"},
        {"render",
         {"Kelvane.aaxplugin", "in.wav", "out.wav", "--save-chunk", "elck=contents/k"},
         "chunk 'contents/k" + inside},
        {"render", {so, "in.wav", "Kelvane.aaxplugin/x.wav"}, "the output 'Kelvane.aaxplugin/x.wav" + inside + folder},
        {"render", {"loose/Kelvane.so", "in.wav", "loose/Kelvane.so"}, inside + folder + "/loose/Kelvane.so'"},
        {"window",
         {"Kelvane.aaxplugin", "--seconds", "0.1", "--capture", "contents/w.png"},
         "the capture 'contents/w.png" + inside},
    };
    for (const auto& row : cases)
        expectOneLine(row.command, 1, row.arguments, row.message);
    for (const std::string& kept : {so, std::string("loose/Kelvane.so")})
        EXPECT_TRUE(contents(folder + "/" + kept) == plugIn) << kept << " was replaced";
    // Beside a shared object outside any bundle is outside the bundle.
    std::string errors;
    EXPECT_EQ(run({"render", "loose/Kelvane.so", "in.wav", "loose/out.wav"}, errors), 0) << errors;
}

// As cp: a loop of links is no file, and a write-protected file is left alone, though the superuser writes it.
TEST_F(RenderCommand, RefusesALoopOfLinksAndAWriteProtectedFile)
{
    namespace fs = std::filesystem;
    const std::string bundle = KELVANE_BUNDLE_PATH;
    fs::create_symlink("b.wav", folder + "/a.wav");
    fs::create_symlink("a.wav", folder + "/b.wav");
    expectOneLine("render", 1, {bundle, "in.wav", "a.wav"}, "cannot write 'a.wav': too many levels of symbolic links");
    expectOneLine("render", 1, {bundle, "in.wav", "out.wav", "--save-chunk", "elck=b.wav"}, "cannot write 'b.wav'");
    EXPECT_TRUE(fs::is_symlink(folder + "/a.wav") && fs::is_symlink(folder + "/b.wav"));

    fs::permissions(folder + "/out.wav", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (::geteuid() == 0)
    {
        std::string errors;
        ASSERT_EQ(run({"render", bundle, "in.wav", "out.wav"}, errors), 0) << errors;
        EXPECT_NE(contents(folder + "/out.wav"), "old");
        // Then an ordinary user's own write-protected file, in a folder of that user's.
        std::ofstream(folder + "/out.wav") << "old";
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown((folder + "/out.wav").c_str(), 65534, 65534), 0);
        runAs = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
    }
    expectOneLine("render", 1, {bundle, "in.wav", "out.wav"}, "cannot write 'out.wav': it is write-protected");
    runAs.clear();
}

// Asked of one command, its own usage and no other's; asked of none, all of them.
TEST_F(CommandLine, HelpPrintsTheCommandsUsageOnStdout)
{
    const std::vector<std::vector<std::string>> asked = {{"help"},           {"--help"},
                                                         {"help", "render"}, {"render", KELVANE_BUNDLE_PATH, "-h"},
                                                         {"list", "--help"}, {"window", "-h"}};
    std::string errors;
    for (const std::vector<std::string>& arguments : asked)
    {
        EXPECT_EQ(run(arguments, errors), 0) << errors;
        const std::string command = arguments.size() == 1 ? "" : arguments[0] == "help" ? arguments[1] : arguments[0];
        for (const std::string usage : {"list", "render", "window"})
            EXPECT_EQ(contents(folder + ".output").find("kelvane_host " + usage) != std::string::npos,
                      command.empty() || command == usage);
    }
    EXPECT_EQ(run({"help", "mix"}, errors), 1);
    EXPECT_NE(errors.find("unknown command 'mix'"), std::string::npos) << errors;
}

TEST_F(CommandLine, BundleGivenByItsBareNameIsTheOneInTheCurrentFolder)
{
    const std::string binaryFolder = KELVANE_BUNDLE_PATH "/Contents/x86_64-linux";
    std::string errors;
    EXPECT_EQ(run({"render", "Kelvane.so", folder + "/in.wav", folder + "/out.wav"}, errors, binaryFolder), 0)
        << errors;
    EXPECT_EQ(run({"list", "Kelvane.so"}, errors, binaryFolder), 0) << errors;
}

// The bundle's JUCE client gives its package name twice (as description and as name): listed once.
TEST_F(CommandLine, ListOpensWithTheSdkVersionAndEachPackageNameOnce)
{
    std::string errors;
    ASSERT_EQ(run({"list", KELVANE_BUNDLE_PATH}, errors), 0) << errors;
    std::istringstream listing(contents(folder + ".output"));
    std::vector<std::string> lines;
    for (std::string line; lines.size() < 6 && std::getline(listing, line);)
        lines.push_back(line);
    const std::vector<std::string> expected = {"SDK version: 2.4, revision 20204000", "manufacturer: ZELVO-AUDIO",
                                               "package name: Kelvane", "package version: 0x20504",
                                               "effect com.zelvo-audio.kelvane"};
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), expected);
}

// The shared object is named after the bundle, whatever a link to it is called.
TEST_F(CommandLine, BundleReachedThroughALinkIsLoadedByItsOwnName)
{
    std::filesystem::create_directory_symlink(KELVANE_BUNDLE_PATH, folder + "/My.aaxplugin");
    std::string errors;
    EXPECT_EQ(run({"list", "My.aaxplugin/"}, errors), 0) << errors;
    EXPECT_EQ(run({"render", "My.aaxplugin", "in.wav", "out.wav"}, errors), 0) << errors;
}

// Each fails on its arguments alone, before the display is needed: here there is none.
TEST_F(CommandLine, WindowChecksItsArgumentsBeforeOpeningAnything)
{
    writeWav("silent.wav", 1, 48000, 0);
    const std::string bundle = KELVANE_BUNDLE_PATH, display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    ::unsetenv("DISPLAY");
    expectOneLine("window", 1, {bundle, "--capture", folder + "/none/window.png"}, "there is no folder '");
    expectOneLine("window", 1, {bundle, "--capture", folder + "/window.jpg"}, "its name ends in .png");
    expectOneLine("window", 1, {bundle, "--input", "in.wav", "--from", "0.5"},
                  "--from 0.5: 'in.wav' is only 0.500 s long");
    expectOneLine("window", 1, {bundle, "--from", "0.5"}, "--from needs an --input");
    expectOneLine("window", 1, {bundle, "--input", "silent.wav"}, "holds no audio to play");
    expectOneLine("window", 1, {bundle, "--capture", "--seconds", "1"}, "option '--capture' needs a value");
    expectOneLine("window", 1, {bundle, "--format", "pcm16"}, "window takes --set and --block");
    expectOneLine("window", 1, {}, "window needs one bundle (0 given)");
    // The capture takes the care of render's output.
    std::filesystem::copy_file(folder + "/in.wav", folder + "/track.png");
    std::filesystem::create_directory(folder + "/d.png");
    expectOneLine("window", 1, {bundle, "--input", "track.png", "--capture", "./track.png"},
                  "refusing to write the capture './track.png': it is the input 'track.png'");
    EXPECT_EQ(contents(folder + "/track.png"), contents(folder + "/in.wav"));
    expectOneLine("window", 1, {bundle, "--capture", "d.png"}, "cannot write 'd.png': it is a folder");
    // Past the name's check, on to the display.
    expectOneLine("window", 1, {bundle, "--capture", "X.PNG"}, "cannot open the X display");
    if (!display.empty())
        ::setenv("DISPLAY", display.c_str(), 1);
}

// What a command printed must reach the standard output. The render's output file is in place by then: only
// its report is lost, and the status says so.
TEST_F(CommandLine, AFullStandardOutputFailsTheCommand)
{
    const std::vector<std::vector<std::string>> commands = {
        {"list", KELVANE_BUNDLE_PATH}, {"render", KELVANE_BUNDLE_PATH, "in.wav", "out.wav"}, {"help"}};
    for (const std::vector<std::string>& arguments : commands)
    {
        const int status = std::system((commandLine(arguments) + " >/dev/full 2>'" + folder + ".errors'").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << arguments[0] << ": " << status;
        EXPECT_EQ(contents(folder + ".errors"),
                  "kelvane_host: cannot write the standard output: no space left on device\n");
    }
}

// A signal closes the window as the desktop does: the plug-in goes in host order, the picture is written
// whole, and the program then ends by that signal.
TEST_F(CommandLine, SignalClosesTheWindowInHostOrder)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    const std::string picture = folder + "/window.png";
    for (const int signal : {SIGTERM, SIGINT})
    {
        std::filesystem::remove(picture);
        const pid_t child = start({"window", KELVANE_BUNDLE_PATH, "--capture", picture});
        // Whether the window is already up or still opening, the signal must close it the same way.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        expectEndedBy(child, signal);
        EXPECT_NE(contents(folder + ".output").find("window closed; ACFCanUnloadNow answered 0"), std::string::npos);
        // A whole PNG file ends in its end chunk.
        EXPECT_EQ(contents(picture).rfind("IEND"), contents(picture).size() - 8) << signal;
    }
}

// A second signal stops at once, but never leaves half a picture; a file of the user's is never taken for a
// temporary one.
TEST_F(CommandLine, CaptureIsWholeOrAbsentAndTouchesNoOtherFile)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    const std::string picture = folder + "/window.png";
    std::ofstream(picture + ".partial") << "mine";
    const size_t before = files();
    std::string errors;
    ASSERT_EQ(run({"window", KELVANE_BUNDLE_PATH, "--seconds", "0.5", "--capture", "window.png"}, errors), 0) << errors;
    EXPECT_EQ(contents(picture + ".partial"), "mine");
    EXPECT_EQ(files(), before + 1);
    for (const int pause : {800, 1200, 1600})
    {
        std::filesystem::remove(picture);
        const pid_t child = start({"window", KELVANE_BUNDLE_PATH, "--capture", picture});
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        ::kill(child, SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(pause / 100));
        expectEndedBy(child, SIGTERM);
        const std::string written = contents(picture);
        EXPECT_TRUE(written.empty() || written.rfind("IEND") == written.size() - 8) << "after " << pause << " ms";
        EXPECT_EQ(files(), before + (written.empty() ? 0 : 1)) << "after " << pause << " ms";
    }
}
// A display that goes away under the open window (its server stopped) ends the run with one line, and the
// picture's temporary file goes with it. The display is an Xvfb of the test's own, stopped a second in.
TEST_F(CommandLine, DisplayGoneUnderTheWindowEndsWithOneLineAndNoFile)
{
    const size_t before = files();
    const std::string script = "cd '" + folder + ".d' 2>/dev/null || mkdir '" + folder + ".d' && cd '" + folder
                               + ".d' && mkfifo display && { Xvfb -displayfd 3 -nolisten tcp 3>display 2>/dev/null & "
                                 "xvfb=$!; } && read number <display && rm display && { (sleep 1; kill $xvfb) & } && "
                                 "DISPLAY=:$number '" KELVANE_HOST_PROGRAM "' window '" KELVANE_BUNDLE_PATH
                                 "' --capture '"
                               + folder + "/w.png' >/dev/null 2>'" + folder + ".errors'";
    const int status = std::system(script.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(contents(folder + ".errors"), "kelvane_host: the X display went away while the window was open\n");
    EXPECT_EQ(files(), before) << "a temporary file was left";
}
} // namespace
