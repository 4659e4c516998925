// The container an output is written in and the exact size of its file, proved against libsndfile: small files
// in both containers, and the edge itself in sparse files, where the largest WAV must still count itself and
// one frame more must not. Files past 4 GiB (RF64, Wave64) are read to their last frame, an RF64 output holds
// nothing of the time of writing, and a WAV header that wrapped round is named, with both lengths.
#include "AudioFileLoop.h"
#include "AudioFiles.h"
#include "HostError.h"
#include "OutputContainer.h"
#include "WrappedWavHeader.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// Announced to a writer, this makes RF64 of whatever it is given, in every format.
constexpr int64_t kPastTheEdge = 4000000000;

const AudioSampleFormat kFormats[] = {AudioSampleFormat::Float32, AudioSampleFormat::Pcm16, AudioSampleFormat::Pcm24};

const char* formatName(AudioSampleFormat format)
{
    return format == AudioSampleFormat::Float32 ? "float" : format == AudioSampleFormat::Pcm16 ? "pcm16" : "pcm24";
}

int sndfileFormat(int container, AudioSampleFormat format)
{
    return container
           | (format == AudioSampleFormat::Float32 ? SF_FORMAT_FLOAT
              : format == AudioSampleFormat::Pcm16 ? SF_FORMAT_PCM_16
                                                   : SF_FORMAT_PCM_24);
}

class OutputFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kelvane-container-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return folder + "/" + name; }

    // Whether the folder's file system keeps files sparse, so that files of 4 GiB cost next to nothing.
    bool sparse() const
    {
        const std::string probe = path("probe");
        {
            std::ofstream(probe).put('x');
        }
        struct stat status
        {
        };
        const bool kept = ::truncate(probe.c_str(), 1ll << 33) == 0 && ::stat(probe.c_str(), &status) == 0
                          && status.st_blocks * 512 < (1ll << 20);
        fs::remove(probe);
        return kept;
    }

    // Writes through libsndfile as kelvane_host does (PEAK chunk off), but only the first frame and the last
    // two, the rest left a hole; the written frames are 0.5, then 0.25 and -0.5 in every channel (exact in
    // every format).
    void writeSparse(const std::string& file, int container, int channels, AudioSampleFormat format, int64_t frames)
    {
        SF_INFO info{};
        info.channels = channels;
        info.samplerate = 48000;
        info.format = sndfileFormat(container, format);
        SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
        ASSERT_NE(sound, nullptr) << sf_strerror(nullptr);
        sf_command(sound, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
        const auto count = static_cast<size_t>(channels);
        const std::vector<float> first(count, 0.5f);
        std::vector<float> last(count, 0.25f);
        last.resize(2 * count, -0.5f);
        EXPECT_EQ(sf_writef_float(sound, first.data(), 1), 1);
        EXPECT_EQ(sf_seek(sound, frames - 2, SEEK_SET), frames - 2);
        EXPECT_EQ(sf_writef_float(sound, last.data(), 2), 2);
        sf_close(sound);
    }

    static uint64_t fileBytes(const std::string& file) { return fs::file_size(file); }

    // The RIFF size field of a file written as WAV.
    static uint64_t riffSize(const std::string& file)
    {
        std::ifstream stream(file, std::ios::binary);
        unsigned char header[8] = {};
        stream.read(reinterpret_cast<char*>(header), sizeof header);
        return uint64_t(header[4]) | uint64_t(header[5]) << 8 | uint64_t(header[6]) << 16 | uint64_t(header[7]) << 24;
    }

    static std::string contents(const std::string& file)
    {
        std::ifstream stream(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    }

    std::string folder;
};

// Worked out by hand from the headers libsndfile writes (44 bytes for pcm, 72 + 8 per channel for float;
// RF64 60 bytes more for pcm, 48 for float): the last frame count whose WAV file is at most 4 GiB + 7 bytes
// (its RIFF size at most 0xFFFFFFFF), that file's length, and the RF64 file of one frame more.
const struct
{
    AudioSampleFormat format;
    int channels;
    int64_t largestWavFrames;
    uint64_t largestWavBytes, smallestRf64Bytes;
} kEdges[] = {
    {AudioSampleFormat::Float32, 1, 1073741805, 4294967300u, 4294967352u},
    {AudioSampleFormat::Float32, 2, 536870901, 4294967296u, 4294967352u},
    {AudioSampleFormat::Pcm16, 1, 2147483629, 4294967302u, 4294967364u},
    {AudioSampleFormat::Pcm16, 2, 1073741814, 4294967300u, 4294967364u},
    // An odd count of 3-byte samples takes a pad byte, in the largest WAV's next frame as in RF64.
    {AudioSampleFormat::Pcm24, 1, 1431655752, 4294967300u, 4294967364u},
    {AudioSampleFormat::Pcm24, 2, 715827876, 4294967300u, 4294967366u},
};

TEST(OutputLayout, StaysWavToTheLastFrameThatFitsAndIsRf64FromTheNext)
{
    for (const auto& edge : kEdges)
    {
        SCOPED_TRACE(std::string(formatName(edge.format)) + ", " + std::to_string(edge.channels) + " channels");
        const OutputLayout wav = outputLayout(edge.largestWavFrames, edge.channels, edge.format);
        const OutputLayout rf64 = outputLayout(edge.largestWavFrames + 1, edge.channels, edge.format);
        EXPECT_EQ(wav.container, AudioContainer::Wav);
        EXPECT_EQ(wav.bytes, edge.largestWavBytes);
        EXPECT_EQ(rf64.container, AudioContainer::Rf64);
        EXPECT_EQ(rf64.bytes, edge.smallestRf64Bytes);
    }
    // The track the fault was seen on: 3 h 12 min of stereo at 48 kHz.
    EXPECT_EQ(outputLayout(552960000, 2, AudioSampleFormat::Float32).container, AudioContainer::Rf64);
    EXPECT_EQ(outputLayout(552960000, 2, AudioSampleFormat::Pcm16).container, AudioContainer::Wav);
    // A stream of unknown length (libsndfile says the most frames there are) may be of any length.
    const OutputLayout unknown = outputLayout(INT64_MAX, 2, AudioSampleFormat::Float32);
    EXPECT_EQ(unknown.container, AudioContainer::Rf64);
    EXPECT_EQ(unknown.bytes, UINT64_MAX);
}

// Through the host's own writer: an announced length past the edge makes a small file RF64.
TEST_F(OutputFiles, SmallFilesAreAsLongAsTheLayoutSaysInBothContainers)
{
    for (const AudioContainer container : {AudioContainer::Wav, AudioContainer::Rf64})
        for (const AudioSampleFormat format : kFormats)
            for (const int channels : {1, 2})
                for (const int64_t frames : {0, 1, 2, 3, 1001})
                {
                    const std::string file = path("small.wav"),
                                      what = std::string(containerName(container)) + " " + formatName(format) + " "
                                             + std::to_string(channels) + "ch " + std::to_string(frames);
                    const int64_t announced = container == AudioContainer::Rf64 ? kPastTheEdge : frames;
                    AtomicWavWriter writer(file, channels, 48000, format, announced);
                    ASSERT_EQ(writer.container(), container) << what;
                    const std::vector<float> samples(static_cast<size_t>(frames * channels), 0.125f);
                    writer.write(samples.data(), frames);
                    writer.commit();
                    EXPECT_EQ(fileBytes(file), outputFileBytes(container, frames, channels, format)) << what;
                    if (frames > 0)
                    {
                        AudioFileReader reader(file);
                        EXPECT_EQ(reader.frames(), frames) << what;
                        EXPECT_EQ(reader.promisedFrames(), frames) << what;
                    }
                }
}

// libsndfile itself at the edge, in sparse files: the largest WAV has the length the layout gives and a RIFF
// size that still counts it; one frame more no longer fits a WAV (its RIFF size wraps round; libsndfile
// overlooks that, other readers do not) and is read whole as RF64 of the length the layout gives.
TEST_F(OutputFiles, TheEdgeIsWhereLibsndfilesWavStopsCountingItself)
{
    if (!sparse())
        GTEST_SKIP() << folder << " keeps no sparse files; the edge would take 4 GiB of disk a file";
    const std::string file = path("edge.wav");
    for (const auto& edge : kEdges)
    {
        SCOPED_TRACE(std::string(formatName(edge.format)) + ", " + std::to_string(edge.channels) + " channels");
        const int64_t frames = edge.largestWavFrames;
        writeSparse(file, SF_FORMAT_WAV, edge.channels, edge.format, frames);
        EXPECT_EQ(fileBytes(file), edge.largestWavBytes);
        EXPECT_EQ(riffSize(file), edge.largestWavBytes - 8);
        EXPECT_EQ(AudioFileReader(file).frames(), frames);

        writeSparse(file, SF_FORMAT_WAV, edge.channels, edge.format, frames + 1);
        EXPECT_EQ(riffSize(file), (fileBytes(file) - 8) % (1ull << 32));

        writeSparse(file, SF_FORMAT_RF64, edge.channels, edge.format, frames + 1);
        EXPECT_EQ(fileBytes(file), edge.smallestRf64Bytes);
        EXPECT_EQ(AudioFileReader(file).frames(), frames + 1);
        fs::remove(file);
    }
}

// libsndfile's RF64 keeps a PEAK chunk with the time of writing whatever it is told; the writer makes it the
// PAD chunk a WAV file has in its place.
TEST_F(OutputFiles, AnRf64OutputHoldsNothingOfTheTimeOfWriting)
{
    std::vector<float> samples(2 * 4800);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(i % 97) / 97.0f - 0.5f;
    for (const std::string round : {"first", "second"})
        for (const AudioSampleFormat format : kFormats)
        {
            AtomicWavWriter writer(path(round + formatName(format)), 2, 48000, format, kPastTheEdge);
            writer.write(samples.data(), 4800);
            writer.commit();
            if (round == "first" && format == AudioSampleFormat::Pcm24)
                std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        }
    for (const AudioSampleFormat format : kFormats)
    {
        const std::string first = contents(path(std::string("first") + formatName(format)));
        EXPECT_EQ(first.substr(0, 4), "RF64");
        EXPECT_EQ(first.find("PEAK"), std::string::npos) << formatName(format);
        EXPECT_TRUE(first == contents(path(std::string("second") + formatName(format)))) << formatName(format);
    }
    // The float file's PAD chunk stands where the PEAK chunk stood, as long, all zeros.
    const std::string floats = contents(path("firstfloat"));
    EXPECT_EQ(floats.substr(96, 8), std::string("PAD \x18\0\0\0", 8));
    EXPECT_EQ(floats.substr(104, 28), std::string(24, '\0') + "data");
    AudioFileReader reader(path("firstfloat"));
    std::vector<float> back(samples.size());
    ASSERT_EQ(reader.read(back.data(), 4800), 4800);
    EXPECT_EQ(back, samples);
}

TEST_F(OutputFiles, TheWriterTakesNoMoreFramesThanItWasStartedFor)
{
    AtomicWavWriter writer(path("out.wav"), 1, 48000, AudioSampleFormat::Float32, 10);
    const std::vector<float> samples(11);
    writer.write(samples.data(), 6);
    EXPECT_THROW(writer.write(samples.data(), 5), HostError);
}

// Past 4 GiB in the containers that can say so, and an RF64 file cut short, which promises more than it holds.
TEST_F(OutputFiles, FilesPast4GiBAreReadToTheirLastFrame)
{
    if (!sparse())
        GTEST_SKIP() << folder << " keeps no sparse files; a file past 4 GiB would take as much disk";
    const struct
    {
        int container;
        int channels;
        AudioSampleFormat format;
        int64_t frames;
    } rows[] = {
        {SF_FORMAT_RF64, 2, AudioSampleFormat::Float32, 600000000},
        {SF_FORMAT_RF64, 1, AudioSampleFormat::Pcm16, 2200000000},
        {SF_FORMAT_W64, 2, AudioSampleFormat::Float32, 600000000},
        {SF_FORMAT_W64, 1, AudioSampleFormat::Pcm24, 1500000000},
    };
    const std::string file = path("long");
    for (const auto& row : rows)
    {
        const std::string what = std::string(row.container == SF_FORMAT_RF64 ? "RF64 " : "W64 ")
                                 + formatName(row.format) + " " + std::to_string(row.channels) + "ch";
        writeSparse(file, row.container, row.channels, row.format, row.frames);
        auto reader = std::make_unique<AudioFileReader>(file);
        EXPECT_EQ(reader->frames(), row.frames) << what;
        EXPECT_EQ(reader->promisedFrames(), row.frames) << what;
        // The last frame, then round to the first: the loop the window plays.
        AudioFileLoop loop(std::move(reader), row.frames - 1);
        std::vector<std::vector<float>> channels(static_cast<size_t>(row.channels), std::vector<float>(2));
        std::vector<float*> pointers;
        for (auto& channel : channels)
            pointers.push_back(channel.data());
        loop.read(pointers.data(), 2);
        for (const auto& channel : channels)
            EXPECT_EQ(channel, (std::vector<float>{-0.5f, 0.5f})) << what;
        fs::remove(file);
    }

    AtomicWavWriter writer(path("cut.wav"), 2, 48000, AudioSampleFormat::Pcm16, kPastTheEdge);
    const std::vector<float> samples(2 * 1000);
    writer.write(samples.data(), 1000);
    writer.commit();
    fs::resize_file(path("cut.wav"), outputFileBytes(AudioContainer::Rf64, 600, 2, AudioSampleFormat::Pcm16));
    const AudioFileReader cut(path("cut.wav"));
    EXPECT_EQ(cut.frames(), 600);
    EXPECT_EQ(cut.promisedFrames(), 1000);
}

// A header that wrapped round leaves at least 4 GiB more after the data chunk's start than it says; its words are
// checked where kelvane_host and the level analysis print them.
TEST_F(OutputFiles, OnlyAWavHeaderThatWrappedRoundIsWarnedOf)
{
    const std::vector<float> samples(2 * 4800);
    for (const auto& [name, frames] : {std::pair{"short.wav", int64_t(4800)}, std::pair{"rf64.wav", kPastTheEdge}})
    {
        // Float, so that "fact" and "PAD " chunks lie between "fmt " and "data".
        AtomicWavWriter writer(path(name), 2, 48000, AudioSampleFormat::Float32, frames);
        writer.write(samples.data(), 4800);
        writer.commit();
    }
    std::ofstream(path("text")) << "RIFF but not a WAVE file";
    const uint64_t wav = 88 + 4800 * 8;
    const struct
    {
        const char* source;
        uint64_t bytes; // the copy's length, its end a hole
        bool warns;
    } rows[] = {
        {"short.wav", wav + (1ull << 32), true},
        {"short.wav", wav + (1ull << 32) - 1, false},
        {"short.wav", wav, false},
        {"rf64.wav", 1ull << 33, false},
        {"text", 1ull << 33, false},
    };
    for (const auto& row : rows)
    {
        fs::copy_file(path(row.source), path("grown.wav"), fs::copy_options::overwrite_existing);
        fs::resize_file(path("grown.wav"), row.bytes);
        const std::string warning = wrappedWavHeaderWarning(path("grown.wav"));
        EXPECT_EQ(!warning.empty(), row.warns) << row.source << " " << row.bytes << ": " << warning;
        EXPECT_TRUE(!row.warns || warning.find("says 38400 bytes (4800 frames") != std::string::npos) << warning;
    }
    EXPECT_EQ(wrappedWavHeaderWarning(path("missing.wav")), "");
    EXPECT_EQ(wrappedWavHeaderWarning(folder), "");
}
} // namespace
