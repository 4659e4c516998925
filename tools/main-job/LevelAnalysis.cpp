// Measures what the plug-in did to a file: peaks and loudness (EBU R 128, through libebur128) of the input
// and the output, and their levels over time for the main job's plot.
//   kelvane_level_analysis <input.wav> <output.wav> <levels.csv>
//   kelvane_level_analysis --check <track>
// Prints "name=value" lines; the CSV has one row per 50 ms window (the last one may be shorter): the window's
// middle, input and output RMS level (dBFS) and the applied gain (output minus input, left empty where the
// input is too quiet to tell).
// --check says whether the host can take the track (any file libsndfile reads, mono or stereo, at a rate an
// AAX host runs, not empty): one line on stderr and status 1 if not, its format and length if so.

#include <ebur128.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr double windowSeconds = 0.05;
constexpr double floorDb = -120.0;
constexpr double quietestInputForGainDb = -70.0;
constexpr int hostRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

struct Audio
{
    int rate = 0;
    int channels = 0;
    std::vector<double> samples; // interleaved
    std::size_t frames() const { return channels > 0 ? samples.size() / std::size_t(channels) : 0; }
};

bool readAudio(const std::string& path, Audio& audio)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);

    if (file == nullptr)
        return false;

    audio.rate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.resize(std::size_t(info.frames) * std::size_t(info.channels));
    const auto read = sf_readf_double(file, audio.samples.data(), info.frames);
    sf_close(file);
    audio.samples.resize(std::size_t(std::max<sf_count_t>(read, 0)) * std::size_t(info.channels));
    return audio.rate > 0 && audio.channels > 0;
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

Summary summarise(const Audio& audio)
{
    Summary summary;
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter(
        ebur128_init(static_cast<unsigned>(audio.channels), static_cast<unsigned long>(audio.rate),
                     EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });

    if (meter == nullptr
        || ebur128_add_frames_double(meter.get(), audio.samples.data(), audio.frames()) != EBUR128_SUCCESS)
        return summary;

    double loudness = 0.0;

    if (ebur128_loudness_global(meter.get(), &loudness) == EBUR128_SUCCESS && std::isfinite(loudness))
        summary.loudnessLufs = loudness;

    for (unsigned channel = 0; channel < unsigned(audio.channels); ++channel)
    {
        double peak = 0.0, truePeak = 0.0;

        if (ebur128_sample_peak(meter.get(), channel, &peak) == EBUR128_SUCCESS)
            summary.peakDb = std::max(summary.peakDb, toDb(peak));

        if (ebur128_true_peak(meter.get(), channel, &truePeak) == EBUR128_SUCCESS)
            summary.truePeakDb = std::max(summary.truePeakDb, toDb(truePeak));
    }

    return summary;
}

// RMS level of all channels over one window, in dBFS.
double windowLevelDb(const Audio& audio, std::size_t firstFrame, std::size_t frameCount)
{
    double sum = 0.0;
    const auto first = firstFrame * std::size_t(audio.channels);
    const auto count = frameCount * std::size_t(audio.channels);

    for (std::size_t i = first; i < first + count; ++i)
        sum += audio.samples[i] * audio.samples[i];

    return toDb(std::sqrt(sum / double(count)));
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

    std::printf("sample_rate=%d\nchannels=%d\nframes=%lld\nseconds=%.6f\n", info.samplerate, info.channels,
                static_cast<long long>(info.frames), double(info.frames) / info.samplerate);
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

    Audio input, output;

    for (auto [path, audio] : {std::pair{argv[1], &input}, std::pair{argv[2], &output}})
        if (!readAudio(path, *audio))
        {
            std::cerr << "kelvane_level_analysis: cannot read " << path << "\n";
            return 1;
        }

    if (input.rate != output.rate || input.channels != output.channels || input.frames() != output.frames())
    {
        std::cerr << "kelvane_level_analysis: input and output differ in rate, channels or length\n";
        return 1;
    }

    FILE* csv = std::fopen(argv[3], "w");

    if (csv == nullptr)
    {
        std::cerr << "kelvane_level_analysis: cannot write " << argv[3] << "\n";
        return 1;
    }

    std::fprintf(csv, "time_s,input_dbfs,output_dbfs,gain_db\n");
    const auto window = std::size_t(windowSeconds * input.rate);

    for (std::size_t first = 0; first < input.frames(); first += window)
    {
        const auto length = std::min(window, input.frames() - first);
        const double in = windowLevelDb(input, first, length);
        const double out = windowLevelDb(output, first, length);
        std::fprintf(csv, "%.4f,%.2f,%.2f,", (double(first) + double(length) / 2.0) / input.rate, in, out);

        if (in >= quietestInputForGainDb)
            std::fprintf(csv, "%.2f", out - in);

        std::fprintf(csv, "\n");
    }

    const bool written = std::fclose(csv) == 0;
    std::printf("sample_rate=%d\nchannels=%d\nframes=%zu\nseconds=%.6f\n", input.rate, input.channels, input.frames(),
                double(input.frames()) / input.rate);
    printSummary("input", summarise(input));
    printSummary("output", summarise(output));
    return written ? 0 : 1;
}
