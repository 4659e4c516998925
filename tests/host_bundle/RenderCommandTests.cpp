// kelvane_host render as a user runs it: bad input ends with one clear line and a non-zero status and
// leaves the output file as it was; a good run writes a complete file; what a run got through but the user
// should know comes as warnings; an interrupted run leaves no partial file.
#include "HostProgram.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace
{
class RenderCommand : public HostProgram
{
protected:
    void SetUp() override
    {
        HostProgram::SetUp();
        writeWav("in.wav", 1, 48000, 24000);
        writeWav("three.wav", 3, 48000, 100);
        writeWav("slow.wav", 1, 22050, 100);
        std::ofstream(folder + "/text.txt") << "not audio";
        std::ofstream(folder + "/out.wav") << "old";
        std::ofstream(folder + "/garbage.chunk") << "these bytes are no saved settings of any plug-in";
    }

    // Runs a render expected to fail: status 1, one line naming `message`, the output and every other file
    // as they were, nothing new left behind.
    void expectRefused(const std::vector<std::string>& arguments, const std::string& message)
    {
        const std::vector<std::string> before = filesHere();
        const std::string input = contents(folder + "/in.wav");
        std::vector<std::string> all = {"render"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::string errors;
        EXPECT_EQ(run(all, errors), 1) << message;
        EXPECT_EQ(errors.rfind("kelvane_host: ", 0), 0u) << errors;
        EXPECT_NE(errors.find(message), std::string::npos) << errors;
        EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
        EXPECT_EQ(contents(folder + "/out.wav"), "old") << message;
        EXPECT_EQ(contents(folder + "/in.wav"), input) << message;
        EXPECT_EQ(filesHere().size(), before.size()) << "a file was left behind: " << message;
    }
};

TEST_F(RenderCommand, BadInputEndsWithOneClearLineAndLeavesTheOutputAsItWas)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, in = folder + "/in.wav", out = folder + "/out.wav";
    const struct
    {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{bundle, folder + "/missing.wav", out}, "cannot read '"},
        {{bundle, folder + "/text.txt", out}, "cannot read '"},
        {{bundle, folder + "/three.wav", out}, "has 3 channels; the plug-in takes mono or stereo"},
        {{bundle, folder + "/slow.wav", out}, "is at 22050 Hz"},
        {{bundle, in, out, "--set", "dbMian=0.5"}, "unknown parameter ID 'dbMian'"},
        {{bundle, in, out, "--set", "dbMain=1.5"}, "1.5 is out of range (0 to 1)"},
        {{bundle, in, out, "--automate", "dbMain=0:0.2,1:nan"}, "is not a number"},
        {{bundle, in, out, "--bypass", "2-1"}, "the end must come after the start"},
        {{bundle, in, out, "--block", "2048"}, "a block holds 1 to 1024 samples"},
        {{folder + "/none.aaxplugin", in, out}, "no plug-in bundle at"},
        {{folder, in, out}, "is not a plug-in bundle"},
        {{folder + "/text.txt", in, out}, "could not be loaded"},
        {{KELVANE_FAILING_BUNDLE_PATH, in, out}, "failed to register (ACFRegisterPlugin: -20004 (AAX_ERROR_NULL_OBJECT))"},
        {{bundle, in, out, "--restore-chunk", "elck=" + folder + "/none"}, "cannot read '"},
        {{bundle, in, out, "--save-chunk", "abcd=" + folder + "/chunk"}, "the plug-in has no chunk 'abcd'"},
        {{bundle, in, folder + "/no/out.wav"}, "cannot write '"},
        {{bundle, in, out, "--frobnicate", "3"}, "unknown option '--frobnicate'"},
        {{bundle, in, out, "-q"}, "unknown option '-q'"},
        {{bundle, in, out, "--set"}, "option '--set' needs a value"},
        {{bundle, in, out, "--set", "--block", "64"}, "option '--set' needs a value"},
        {{bundle, in, out, "--set", "dbMain=0.5", "--automate", "dbMain=0:0.2,1:0.8"},
         "--set dbMain and --automate dbMain both given"},
        {{bundle, in, out, "--automate", "dbMain=0:0.2", "--automate", "dbMain=1:0.8"},
         "--automate dbMain is given twice"},
        {{bundle, folder + "/empty.wav", out}, "the file is empty"},
        // Garbage where saved settings belong: the library's chunk is refused by name, the engine's one
        // answers success but is not taken.
        {{bundle, in, out, "--restore-chunk", "elck=" + folder + "/garbage.chunk"},
         "failed: -20026 (AAX_ERROR_MALFORMED_CHUNK)"},
        {{bundle, in, out, "--restore-chunk", "juce=" + folder + "/garbage.chunk"}, "did not take the settings"},
    };
    std::ofstream(folder + "/empty.wav").close();
    for (const auto& row : cases)
        expectRefused(row.arguments, row.message);
}

TEST_F(RenderCommand, RefusesToWriteOverTheFileItReadsAndReadsNothing)
{
    const std::string bundle = KELVANE_BUNDLE_PATH, in = folder + "/in.wav";
    std::filesystem::create_symlink("in.wav", folder + "/link.wav");
    std::filesystem::create_hard_link(in, folder + "/hard.wav");
    std::filesystem::create_directory(folder + "/sub");
    const struct
    {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{bundle, in, in}, "refusing to write the output '"},
        // Refused before the input is read: read, this one would fail as no audio.
        {{bundle, folder + "/text.txt", folder + "/text.txt"}, "refusing to write the output '"},
        {{bundle, "in.wav", "./in.wav"}, "it is the input 'in.wav'"},
        {{bundle, in, folder + "/sub/../in.wav"}, "refusing to write the output '"},
        {{bundle, in, folder + "/link.wav"}, "refusing to write the output '"},
        {{bundle, folder + "/link.wav", in}, "refusing to write the output '"},
        {{bundle, in, folder + "/hard.wav"}, "refusing to write the output '"},
        {{bundle, folder + "/out.wav", folder + "/x.wav", "--save-chunk", "elck=" + folder + "/out.wav"},
         "refusing to write the saved chunk '"},
        {{bundle, folder + "/out.wav", folder + "/x.wav", "--save-chunk", "elck=" + folder + "/x.wav"},
         "it is also the output"},
    };
    for (const auto& row : cases)
        expectRefused(row.arguments, row.message);
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "/link.wav"));
    EXPECT_EQ(std::filesystem::hard_link_count(in), 2u);
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

    // Both chunks the plug-in saved are taken back, and checked to be so.
    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, folder + "/in.wav", folder + "/again.wav", "--restore-chunk",
                   "elck=" + chunk, "--restore-chunk", "juce=" + folder + "/settings.juce", "--format", "pcm16"},
                  errors),
              0)
        << errors;
    EXPECT_EQ(AudioFileReader(folder + "/again.wav").frames(), 24000);
}

// Each warning: a run that completes (status 0, the output written) with one line on stderr saying what the
// user would otherwise not notice.
TEST_F(RenderCommand, WarnsOfWhatItRenderedAroundButDoesNotFail)
{
    const std::string bundle = KELVANE_BUNDLE_PATH;
    writeWav("whole.wav", 2, 48000, 4800, 0.5f, AudioSampleFormat::Pcm16);
    const std::string whole = contents(folder + "/whole.wav");
    // Cut inside the audio data: 4800 frames promised, 3000 kept (44 header bytes, 4 bytes a frame).
    std::ofstream(folder + "/cut.wav", std::ios::binary) << whole.substr(0, 44 + 3000 * 4);
    writeWav("loud.wav", 1, 48000, 4800, 0.99f);
    const struct
    {
        std::vector<std::string> arguments;
        const char* warning;
    } cases[] = {
        {{bundle, folder + "/cut.wav", folder + "/out.wav"}, "its header promises 4800 frames, it holds 3000"},
        {{bundle, folder + "/loud.wav", folder + "/out.wav", "--format", "pcm16", "--set", "dbMain=1"},
         "samples beyond full scale were clipped in the pcm16 output"},
        {{bundle, folder + "/loud.wav", folder + "/out.wav", "--format", "pcm24", "--set", "dbMain=1"},
         "samples beyond full scale were clipped in the pcm24 output"},
        {{bundle, folder + "/in.wav", folder + "/out.wav", "--bypass", "0.6-0.9"},
         "--bypass 0.6 s to 0.9 s lies past the end of '"},
    };
    for (const auto& row : cases)
    {
        std::vector<std::string> arguments = {"render"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        std::string errors;
        EXPECT_EQ(run(arguments, errors), 0) << errors;
        EXPECT_EQ(errors.rfind("kelvane_host: warning: ", 0), 0u) << errors;
        EXPECT_NE(errors.find(row.warning), std::string::npos) << errors;
        EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
        EXPECT_NE(contents(folder + "/out.wav"), "old") << row.warning;
    }
    EXPECT_EQ(AudioFileReader(folder + "/out.wav").frames(), 24000);

    // Quiet enough not to clip, the whole file, a bypass inside it: nothing to say.
    std::string errors;
    EXPECT_EQ(
        run({"render", bundle, folder + "/whole.wav", folder + "/out.wav", "--format", "pcm16", "--bypass", "0.05-0.2"},
            errors),
        0);
    EXPECT_EQ(errors, "");
}

// The count is of samples beyond full scale after the plug-in, whichever channel they are in.
TEST_F(RenderCommand, CountsEveryClippedSample)
{
    writeWav("loud.wav", 2, 48000, 4800, 0.99f);
    std::string errors;
    ASSERT_EQ(
        run({"render", KELVANE_BUNDLE_PATH, folder + "/loud.wav", folder + "/float.wav", "--set", "dbMain=1"}, errors),
        0);
    EXPECT_EQ(errors, "") << "float keeps what lies beyond full scale";
    AudioFileReader rendered(folder + "/float.wav");
    std::vector<float> samples(4800 * 2);
    ASSERT_EQ(rendered.read(samples.data(), 4800), 4800);
    const auto beyond = std::count_if(samples.begin(), samples.end(), [](float x) { return std::fabs(x) > 1.0f; });
    ASSERT_GT(beyond, 0);
    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, folder + "/loud.wav", folder + "/pcm.wav", "--set", "dbMain=1",
                   "--format", "pcm16"},
                  errors),
              0);
    EXPECT_EQ(errors.find("warning: " + std::to_string(beyond) + " samples beyond"), 14u) << errors;
}

// Stopped by a signal, a render removes its partial output, leaves the old output alone and ends by that signal.
TEST_F(RenderCommand, InterruptedRenderLeavesNoPartialFile)
{
    // Long enough, in one-sample blocks, that it is still running when the signal comes.
    writeWav("long.wav", 1, 48000, 48000 * 120, 0.5f, AudioSampleFormat::Pcm16);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
    {
        const pid_t child = start({"render", KELVANE_BUNDLE_PATH, folder + "/long.wav", folder + "/out.wav", "--block",
                                   "1", "--save-chunk", "elck=" + folder + "/saved.chunk"});
        ASSERT_GT(child, 0);
        const auto partial = [&] {
            for (const std::string& name : filesHere())
                if (name.rfind(".out.wav.partial-", 0) == 0)
                    return true;
            return false;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!partial() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(partial()) << "the render never began writing";
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_FALSE(partial()) << "signal " << signal;
        EXPECT_EQ(contents(folder + "/out.wav"), "old");
        EXPECT_FALSE(std::filesystem::exists(folder + "/saved.chunk"));
    }
}
} // namespace
