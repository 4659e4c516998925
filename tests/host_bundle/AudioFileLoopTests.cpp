// The window's playback reads its track as it plays: blocks from any start frame wrap to the file's start frame
// for frame, and a file cut short under it is an error rather than a shorter loop.
#include "AudioFileLoop.h"
#include "HostError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace
{
// Every sample tells its frame and channel, exactly in 32-bit float.
float sampleAt(int64_t frame, int channel)
{
    return static_cast<float>(frame + 1) / 1024.0f + static_cast<float>(channel);
}

std::string writeTrack(int channels, int64_t frames)
{
    std::vector<float> samples;
    for (int64_t frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < channels; ++channel)
            samples.push_back(sampleAt(frame, channel));
    const auto path = std::filesystem::temp_directory_path() / ("kelvane-loop-" + std::to_string(::getpid()) + ".wav");
    AtomicWavWriter writer(path.string(), channels, 48000, AudioSampleFormat::Float32, frames);
    writer.write(samples.data(), frames);
    writer.commit();
    return path.string();
}

TEST(AudioFileLoop, BlocksWrapToTheStartFrameForFrame)
{
    const struct
    {
        int channels;
        int64_t length, start;
        int block, blocks;
    } rows[] = {
        {1, 100, 97, 8, 30},      // a block across the end
        {2, 100, 99, 3, 70},      // the last frame first, blocks not dividing the length
        {2, 100, 0, 250, 3},      // a block longer than the whole file
        {1, 5000, 4990, 9000, 2}, // a block read in pieces, wrapping between them
        {2, 1, 0, 5, 2},          // a track of one frame
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(::testing::Message() << row.channels << " channels, " << row.length << " frames from " << row.start
                                          << " in blocks of " << row.block);
        const std::string path = writeTrack(row.channels, row.length);
        AudioFileLoop loop(std::make_unique<AudioFileReader>(path), row.start);
        std::filesystem::remove(path); // read on through the open file
        std::vector<float> left(static_cast<size_t>(row.block)), right(left.size());
        float* channels[] = {left.data(), right.data()};
        for (int64_t played = 0; played < int64_t{row.block} * row.blocks; played += row.block)
        {
            loop.read(channels, row.block);
            for (int frame = 0; frame < row.block; ++frame)
                for (int channel = 0; channel < row.channels; ++channel)
                    ASSERT_EQ(channels[channel][frame], sampleAt((row.start + played + frame) % row.length, channel))
                        << "frame " << played + frame << ", channel " << channel;
        }
    }
}

TEST(AudioFileLoop, AFileCutShortUnderItIsAnErrorNotAShorterLoop)
{
    const std::string path = writeTrack(2, 1000);
    AudioFileLoop loop(std::make_unique<AudioFileReader>(path), 900);
    std::vector<float> left(200), right(200);
    float* channels[] = {left.data(), right.data()};
    loop.read(channels, 50);
    // Its last 400 frames cut off, 8 bytes each.
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(std::filesystem::file_size(path)) - 400 * 8), 0);
    std::filesystem::remove(path);
    EXPECT_THROW(loop.read(channels, 200), HostError);
}
} // namespace
