// Measures what the plug-in did to a file: peaks and loudness (EBU R 128, through libebur128) of the input
// and the output, and their levels over time for the main job's plot.
//   kelvane_level_analysis <input.wav> <output.wav> <levels.csv>
//   kelvane_level_analysis --check <track>
// Prints "name=value" lines; the CSV has one row per 50 ms window (the last one may be shorter): the window's
// middle, input and output RMS level (dBFS) and the applied gain (output minus input, left empty where the
// input is too quiet to tell). Both files are read side by side in blocks, so an hour-long track takes no
// more memory than a short one.
// --check says whether the host can take the track (any file libsndfile reads, mono or stereo, at a rate an
// AAX host runs, not empty): one line on stderr and status 1 if not, its format and length if so, and the
// container and size of the float output kelvane_host writes of it. A WAV header that wrapped past 4 GiB is
// warned of on stderr.

#include "OutputContainer.h"
#include "WrappedWavHeader.h"

#include <ebur128.h>
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{
constexpr double windowSeconds = 0.05;
constexpr double floorDb = -120.0;
constexpr double quietestInputForGainDb = -70.0;
constexpr int hostRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

// Frame and sample counts are size_t: an output past 4 GiB holds more than 32 bits count.
static_assert(sizeof(std::size_t) >= 8, "frame counts need 64 bits");

// Blocks this long are read from each file at a time, so memory stays the same whatever the track's length.
constexpr sf_count_t blockFrames = 8192;

struct SoundFile
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file{nullptr, sf_close};
};

bool openAudio(const std::string& path, SoundFile& sound)
{
    sound.file.reset(sf_open(path.c_str(), SFM_READ, &sound.info));
    return sound.file != nullptr && sound.info.samplerate > 0 && sound.info.channels > 0;
}

double toDb(double amplitude)
{
    return amplitude > 0.0 ? std::max(floorDb, 20.0 * std::log10(amplitude)) : floorDb;
}

struct Summary
{
    double peakDb = floorDb;
    double truePeakDb = floorDb;
    double loudnessLufs = floorDb;
};

// Peaks and loudness of one file, fed its frames in order; libebur128 carries its filters across the blocks.
class LoudnessMeter
{
public:
    LoudnessMeter(int channels, int rate)
        : meter(ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate),
                             EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK),
                [](ebur128_state* s) { ebur128_destroy(&s); }),
          channels(channels)
    {
    }

    void add(const double* interleaved, std::size_t frames)
    {
        failed = failed || meter == nullptr
                 || ebur128_add_frames_double(meter.get(), interleaved, frames) != EBUR128_SUCCESS;
    }

    Summary summary() const
    {
        Summary summary;

        if (failed || meter == nullptr)
            return summary;

        double loudness = 0.0;

        if (ebur128_loudness_global(meter.get(), &loudness) == EBUR128_SUCCESS && std::isfinite(loudness))
            summary.loudnessLufs = loudness;

        for (unsigned channel = 0; channel < unsigned(channels); ++channel)
        {
            double peak = 0.0, truePeak = 0.0;

            if (ebur128_sample_peak(meter.get(), channel, &peak) == EBUR128_SUCCESS)
                summary.peakDb = std::max(summary.peakDb, toDb(peak));

            if (ebur128_true_peak(meter.get(), channel, &truePeak) == EBUR128_SUCCESS)
                summary.truePeakDb = std::max(summary.truePeakDb, toDb(truePeak));
        }

        return summary;
    }

private:
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter;
    int channels;
    bool failed = false;
};

// The sum of squares of all channels' samples, added in the order they come, over one window.
double sumOfSquares(const double* samples, std::size_t count, double sum)
{
    for (std::size_t i = 0; i < count; ++i)
        sum += samples[i] * samples[i];

    return sum;
}

// The system's reason for a failed call, as the messages here word it.
std::string reason(int error)
{
    std::string text = std::strerror(error);
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

int cannotWrite(const std::string& what, int error)
{
    std::cerr << "kelvane_level_analysis: cannot write " << what << ": " << reason(error) << "\n";
    return 1;
}

void printSummary(const char* name, const Summary& s)
{
    std::printf("%s_peak_dbfs=%.2f\n%s_true_peak_dbtp=%.2f\n%s_loudness_lufs=%.2f\n", name, s.peakDb, name,
                s.truePeakDb, name, s.loudnessLufs);
}

// Refuses what the host would refuse, in the same order of questions, before the main job writes anything.
int checkTrack(const std::string& path)
{
    const auto refuse = [&path](const std::string& why) {
        std::cerr << path << ": " << why << "\n";
        return 1;
    };
    std::error_code error;

    if (!std::filesystem::exists(path, error))
        return refuse("no such file");

    if (std::filesystem::is_directory(path, error))
        return refuse("is a folder, not an audio file");

    if (!std::ifstream(path, std::ios::binary))
        return refuse("cannot be read");

    if (std::filesystem::file_size(path, error) == 0)
        return refuse("the file is empty");

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);

    if (file == nullptr)
    {
        std::string why = sf_strerror(nullptr);
        why.erase(why.find_last_not_of(". ") + 1);
        return refuse("not an audio file this machine reads (" + why + ")");
    }

    sf_close(file);

    if (info.channels != 1 && info.channels != 2)
        return refuse("has " + std::to_string(info.channels) + " channels; the plug-in takes mono or stereo");

    if (std::find(std::begin(hostRates), std::end(hostRates), info.samplerate) == std::end(hostRates))
        return refuse("is at " + std::to_string(info.samplerate)
                      + " Hz; an AAX host runs plug-ins at 44100, 48000, 88200, 96000, 176400 or 192000 Hz");

    if (info.frames <= 0)
        return refuse("holds no audio (0 samples)");

    const std::string wrapped = wrappedWavHeaderWarning(path);

    if (!wrapped.empty())
        std::cerr << "kelvane_level_analysis: warning: " << wrapped << "\n";

    const OutputLayout output = outputLayout(info.frames, info.channels, AudioSampleFormat::Float32);
    std::printf("sample_rate=%d\nchannels=%d\nframes=%lld\nseconds=%.6f\noutput_container=%s\noutput_bytes=%llu\n",
                info.samplerate, info.channels, static_cast<long long>(info.frames),
                double(info.frames) / info.samplerate, containerName(output.container),
                static_cast<unsigned long long>(output.bytes));
    return 0;
}

// Which of rate, channels and length differ between the two files, and both files' figures, e.g. "length: the
// input has 2 channels, 22051 frames at 44100 Hz, the output 2 channels, 22052 frames at 44100 Hz"; empty
// when none does.
std::string differences(const SF_INFO& input, const SF_INFO& output)
{
    std::vector<std::string> differ;

    if (input.samplerate != output.samplerate)
        differ.push_back("rate");

    if (input.channels != output.channels)
        differ.push_back("channels");

    if (input.frames != output.frames)
        differ.push_back("length");

    if (differ.empty())
        return "";

    const auto figures = [](const SF_INFO& info) {
        return std::to_string(info.channels) + (info.channels == 1 ? " channel, " : " channels, ")
               + std::to_string(info.frames) + (info.frames == 1 ? " frame" : " frames") + " at "
               + std::to_string(info.samplerate) + " Hz";
    };
    std::string what = differ.front();

    for (std::size_t i = 1; i < differ.size(); ++i)
        what += (i + 1 == differ.size() ? " and " : ", ") + differ[i];

    return what + ": the input has " + figures(input) + ", the output " + figures(output);
}

// One pass over both files side by side: the CSV's rows as their windows fill, the meters fed the same blocks.
// A failure part way leaves the rows written so far in the CSV; the main job then discards its work folder.
int analyse(const std::string& inputPath, const std::string& outputPath, const std::string& csvPath)
{
    SoundFile input, output;

    for (auto [path, sound] : {std::pair{&inputPath, &input}, std::pair{&outputPath, &output}})
        if (!openAudio(*path, *sound))
        {
            std::cerr << "kelvane_level_analysis: cannot read " << *path << "\n";
            return 1;
        }

    const int rate = input.info.samplerate;
    const int channels = input.info.channels;
    const auto frames = std::size_t(input.info.frames);

    if (const std::string differ = differences(input.info, output.info); !differ.empty())
    {
        std::cerr << "kelvane_level_analysis: input and output differ in " << differ << "\n";
        return 1;
    }

    std::unique_ptr<FILE, int (*)(FILE*)> csv(std::fopen(csvPath.c_str(), "w"), std::fclose);
    const std::string csvName = "'" + csvPath + "'";

    if (csv == nullptr)
        return cannotWrite(csvName, errno);

    std::fprintf(csv.get(), "time_s,input_dbfs,output_dbfs,gain_db\n");
    const auto window = std::max<std::size_t>(1, std::size_t(windowSeconds * rate));
    LoudnessMeter inputMeter(channels, rate), outputMeter(channels, rate);
    std::vector<double> in(std::size_t(blockFrames) * std::size_t(channels)), out(in.size());
    std::size_t windowFirst = 0, windowLength = 0;
    double inSum = 0.0, outSum = 0.0;

    for (std::size_t done = 0; done < frames;)
    {
        const auto wanted = std::min(std::size_t(blockFrames), frames - done);

        for (auto [path, sound, samples] :
             {std::tuple{&inputPath, &input, &in}, std::tuple{&outputPath, &output, &out}})
        {
            const auto read = sf_readf_double(sound->file.get(), samples->data(), sf_count_t(wanted));

            if (read != sf_count_t(wanted))
            {
                std::cerr << "kelvane_level_analysis: cannot read " << *path << ": its audio ends after "
                          << done + std::size_t(std::max<sf_count_t>(read, 0)) << " of the " << frames
                          << " frames its header promises\n";
                return 1;
            }
        }

        inputMeter.add(in.data(), wanted);
        outputMeter.add(out.data(), wanted);

        for (std::size_t frame = 0; frame < wanted;)
        {
            const auto span = std::min(window - windowLength, wanted - frame);
            const auto first = frame * std::size_t(channels), count = span * std::size_t(channels);
            inSum = sumOfSquares(in.data() + first, count, inSum);
            outSum = sumOfSquares(out.data() + first, count, outSum);
            frame += span;
            windowLength += span;

            if (windowLength < window && done + frame < frames)
                continue;

            const double samples = double(windowLength * std::size_t(channels));
            const double inDb = toDb(std::sqrt(inSum / samples)), outDb = toDb(std::sqrt(outSum / samples));
            std::fprintf(csv.get(), "%.4f,%.2f,%.2f,", (double(windowFirst) + double(windowLength) / 2.0) / rate, inDb,
                         outDb);

            if (inDb >= quietestInputForGainDb)
                std::fprintf(csv.get(), "%.2f", outDb - inDb);

            std::fprintf(csv.get(), "\n");

            if (std::ferror(csv.get()))
                return cannotWrite(csvName, errno);

            windowFirst += windowLength;
            windowLength = 0;
            inSum = outSum = 0.0;
        }

        done += wanted;
    }

    if (std::fclose(csv.release()) != 0)
        return cannotWrite(csvName, errno);

    std::printf("sample_rate=%d\nchannels=%d\nframes=%zu\nseconds=%.6f\n", rate, channels, frames,
                double(frames) / rate);
    printSummary("input", inputMeter.summary());
    printSummary("output", outputMeter.summary());

    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return cannotWrite("the standard output", errno);

    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--check")
        return checkTrack(argv[2]);

    if (argc != 4)
    {
        std::cerr << "usage: kelvane_level_analysis <input.wav> <output.wav> <levels.csv>\n"
                     "       kelvane_level_analysis --check <track>\n";
        return 2;
    }

    return analyse(argv[1], argv[2], argv[3]);
}
