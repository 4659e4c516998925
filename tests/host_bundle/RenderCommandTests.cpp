// kelvane_host render as a user runs it: bad input ends with one clear line and a non-zero status and
// leaves the output file as it was; a good run writes a complete file.
#include "AudioFiles.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    void writeWav(const std::string& name, int channels, int sampleRate, int frames)
    {
        std::vector<float> samples(static_cast<size_t>(frames * channels));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>((i * 7919 % 2000) / 1000.0 - 1.0) * 0.5f;
        AtomicWavWriter writer(folder + "/" + name, channels, sampleRate, AudioSampleFormat::Float32);
        writer.write(samples.data(), frames);
        writer.commit();
    }

    // Runs the program; its exit status, and what it wrote to stderr in `errors`.
    int run(const std::vector<std::string>& arguments, std::string& errors)
    {
        std::string command = "'" KELVANE_HOST_PROGRAM "'";
        for (const std::string& argument : arguments)
            command += " '" + argument + "'";
        const int status = std::system((command + " >/dev/null 2>'" + folder + "/errors'").c_str());
        std::ifstream file(folder + "/errors");
        errors.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    size_t files() const { return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {})); }

    std::string folder;
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
        {{KELVANE_FAILING_BUNDLE_PATH, in, out}, "failed to register (ACFRegisterPlugin: -20004)"},
        {{bundle, in, out, "--restore-chunk", "elck=" + folder + "/none"}, "cannot read '"},
        {{bundle, in, out, "--save-chunk", "abcd=" + folder + "/chunk"}, "the plug-in has no chunk 'abcd'"},
        {{bundle, in, folder + "/no/out.wav"}, "cannot write '"},
    };
    for (const auto& row : cases)
    {
        std::vector<std::string> arguments = {"render"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        std::string errors;
        EXPECT_EQ(run(arguments, errors), 1) << row.message;
        EXPECT_EQ(errors.rfind("kelvane_host: ", 0), 0u) << errors;
        EXPECT_NE(errors.find(row.message), std::string::npos) << errors;
        EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
        std::ifstream output(out);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(output), std::istreambuf_iterator<char>()), "old")
            << row.message;
        EXPECT_EQ(files(), 6u) << "a temporary file was left behind: " << row.message;
    }
}

TEST_F(RenderCommand, RendersAFileAndItsSavedSettingsThroughTheBundle)
{
    const std::string out = folder + "/out.wav", chunk = folder + "/settings.elck";
    std::string errors;
    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, folder + "/in.wav", out, "--block", "100", "--set", "dbMain=0.9",
                   "--bypass", "0.1-0.2", "--save-chunk", "elck=" + chunk},
                  errors),
              0)
        << errors;
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

    ASSERT_EQ(run({"render", KELVANE_BUNDLE_PATH, folder + "/in.wav", folder + "/again.wav", "--restore-chunk",
                   "elck=" + chunk, "--format", "pcm16"},
                  errors),
              0)
        << errors;
    EXPECT_EQ(AudioFileReader(folder + "/again.wav").frames(), 24000);
}
} // namespace
