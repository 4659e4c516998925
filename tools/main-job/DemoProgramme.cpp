// Writes the main job's demo programme: speech-like phrases with pauses, a louder music-like passage and
// speech again, over a faint noise floor; stereo, 48 kHz, 24-bit WAV. Deterministic: the same file every run.
//   kelvane_demo_programme <output.wav>

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr int sampleRate = 48000;
constexpr double seconds = 32.0;
constexpr double pi = 3.14159265358979323846;

double gainFromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

struct Stereo
{
    std::vector<double> left, right;

    explicit Stereo(std::size_t frames) : left(frames), right(frames) {}
    std::size_t frames() const { return left.size(); }
};

// A two-pole resonator: the vocal tract's formant, or a filter on noise.
class Resonator
{
public:
    void set(double centreHz, double bandwidthHz)
    {
        const double r = std::exp(-pi * bandwidthHz / sampleRate);
        a1 = 2.0 * r * std::cos(2.0 * pi * centreHz / sampleRate);
        a2 = -r * r;
        gain = 1.0 - r;
    }

    double process(double x)
    {
        const double y = gain * x + a1 * y1 + a2 * y2;
        y2 = y1;
        y1 = y;
        return y;
    }

private:
    double a1 = 0, a2 = 0, gain = 0, y1 = 0, y2 = 0;
};

class Random
{
public:
    explicit Random(std::uint32_t seed) : engine(seed) {}
    double uniform(double low, double high)
    {
        return low + (high - low) * double(engine() - engine.min()) / double(engine.max() - engine.min());
    }
    int index(int count) { return std::min(count - 1, int(uniform(0.0, double(count)))); }

private:
    std::mt19937 engine;
};

// Formants (Hz) of five vowels.
constexpr std::array<std::array<double, 3>, 5> vowels{
    {{730, 1090, 2440}, {530, 1840, 2480}, {270, 2290, 3010}, {570, 840, 2410}, {300, 870, 2240}}};

// One spoken phrase from startSeconds: syllables of a voiced source through three formants, some opened by
// a hiss, with an intonation that falls across the phrase. Returns where the phrase ends.
double addPhrase(Stereo& out, double startSeconds, int syllables, double levelDb, Random& random)
{
    std::array<Resonator, 3> formants;
    Resonator hissFilter;
    hissFilter.set(4500.0, 2500.0);
    double phase = 0.0;
    double t = startSeconds;

    for (int s = 0; s < syllables; ++s)
    {
        const double duration = random.uniform(0.13, 0.27);
        const auto& vowel = vowels[std::size_t(random.index(int(vowels.size())))];
        const bool hiss = random.uniform(0.0, 1.0) < 0.4;
        const double hissSeconds = hiss ? random.uniform(0.03, 0.06) : 0.0;
        const double accent = random.uniform(0.6, 1.0);

        for (std::size_t i = 0; i < formants.size(); ++i)
            formants[i].set(vowel[i] * random.uniform(0.95, 1.05), 70.0 + 30.0 * double(i));

        const auto first = std::size_t(t * sampleRate);
        const auto count = std::size_t((duration + hissSeconds) * sampleRate);

        for (std::size_t n = 0; n < count && first + n < out.frames(); ++n)
        {
            const double local = double(n) / sampleRate;
            const double progress = (t + local - startSeconds) / (0.2 * syllables);
            const double f0 = (165.0 - 50.0 * progress) * (1.0 + 0.04 * std::sin(2.0 * pi * 5.0 * (t + local)));
            double sample = 0.0;

            if (local < hissSeconds)
            {
                sample = 0.5 * hissFilter.process(random.uniform(-1.0, 1.0)) * std::sin(pi * local / hissSeconds);
            }
            else
            {
                const double voiced = local - hissSeconds;
                phase += f0 / sampleRate;
                phase -= std::floor(phase);
                const double pulse = (phase < 0.4 ? std::sin(pi * phase / 0.4) : 0.0) - 0.25;
                const double envelope = std::min({1.0, voiced / 0.02, (duration - voiced) / 0.04});
                sample = accent * std::max(0.0, envelope)
                         * (formants[0].process(pulse) + 0.5 * formants[1].process(pulse)
                            + 0.25 * formants[2].process(pulse));
            }

            const double value = gainFromDb(levelDb) * sample;
            out.left[first + n] += value;
            out.right[first + n] += 0.93 * value;
        }

        t += duration + hissSeconds + random.uniform(0.0, 0.05);
    }

    return t;
}

// A band: a chord pad, a bass line, a kick on each beat and hi-hats on the off-beats, louder than the speech.
void addMusic(Stereo& out, double startSeconds, double endSeconds, double levelDb, Random& random)
{
    constexpr double beat = 0.5; // 120 beats per minute
    const std::array<std::array<double, 4>, 4> chords{{{261.63, 329.63, 392.00, 130.81},
                                                       {220.00, 261.63, 329.63, 110.00},
                                                       {174.61, 220.00, 261.63, 87.31},
                                                       {196.00, 246.94, 293.66, 98.00}}};
    const double gain = gainFromDb(levelDb);
    const auto first = std::size_t(startSeconds * sampleRate);
    const auto last = std::min(out.frames(), std::size_t(endSeconds * sampleRate));
    Resonator hatFilter;
    hatFilter.set(8000.0, 4000.0);

    for (std::size_t n = first; n < last; ++n)
    {
        const double t = double(n) / sampleRate - startSeconds;
        const double fade = std::min({1.0, t / 0.05, (endSeconds - startSeconds - t) / 0.5});
        const auto& chord = chords[std::size_t(t / (4 * beat)) % chords.size()];
        const double inBeat = std::fmod(t, beat);
        double padLeft = 0.0, padRight = 0.0;

        for (std::size_t note = 0; note < 3; ++note)
            for (int harmonic = 1; harmonic <= 8; ++harmonic)
            {
                const double partial = std::sin(2.0 * pi * chord[note] * harmonic * t + double(note)) / harmonic;
                (note == 1 ? padRight : padLeft) += 0.6 * partial;
                (note == 1 ? padLeft : padRight) += 0.3 * partial;
            }

        const double bass = std::sin(2.0 * pi * chord[3] * t) * std::exp(-3.0 * std::fmod(t, 2 * beat));
        const double kick =
            std::sin(2.0 * pi * (50.0 + 120.0 * std::exp(-inBeat * 30.0)) * inBeat) * std::exp(-inBeat * 12.0);
        const double offBeat = std::fmod(t + beat / 2, beat);
        const double hat = hatFilter.process(random.uniform(-1.0, 1.0)) * std::exp(-offBeat * 60.0);

        const double centre = 1.2 * bass + 1.0 * kick;
        out.left[n] += fade * gain * (0.5 * padLeft + centre + 0.6 * hat);
        out.right[n] += fade * gain * (0.5 * padRight + centre + 1.2 * hat);
    }
}

// Speech from startSeconds until endSeconds: phrases of 5 to 11 syllables with pauses between them.
void addSpeech(Stereo& out, double startSeconds, double endSeconds, double levelDb, Random& random)
{
    for (double t = startSeconds; t < endSeconds - 1.2;)
        t = addPhrase(out, t, 5 + random.index(7), levelDb + random.uniform(-3.0, 3.0), random)
            + random.uniform(0.6, 1.3);
}

// Scales a section so that its highest peak sits at peakDb, then adds it to the programme.
void mixAtPeak(Stereo& programme, const Stereo& section, double peakDb)
{
    double peak = 0.0;

    for (std::size_t n = 0; n < section.frames(); ++n)
        peak = std::max({peak, std::abs(section.left[n]), std::abs(section.right[n])});

    const double scale = peak > 0.0 ? gainFromDb(peakDb) / peak : 0.0;

    for (std::size_t n = 0; n < section.frames(); ++n)
    {
        programme.left[n] += scale * section.left[n];
        programme.right[n] += scale * section.right[n];
    }
}

// Writes the file; an empty text when it is complete, otherwise why not, as the system words it.
std::string writeWav(const Stereo& audio, const std::string& path)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    errno = 0;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);

    if (file == nullptr)
        return errno != 0 ? std::strerror(errno) : sf_strerror(nullptr);

    std::vector<double> interleaved(audio.frames() * 2);

    for (std::size_t n = 0; n < audio.frames(); ++n)
    {
        interleaved[2 * n] = std::clamp(audio.left[n], -1.0, 1.0);
        interleaved[2 * n + 1] = std::clamp(audio.right[n], -1.0, 1.0);
    }

    errno = 0;
    const bool complete =
        sf_writef_double(file, interleaved.data(), sf_count_t(audio.frames())) == sf_count_t(audio.frames());
    const int error = errno;
    const bool closed = sf_close(file) == 0;

    if (complete && closed)
        return "";

    return error != 0   ? std::strerror(error)
           : errno != 0 ? std::strerror(errno)
                        : "the WAV file could not be completed";
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: kelvane_demo_programme <output.wav>\n";
        return 2;
    }

    Random random(20240611);
    Stereo programme(std::size_t(seconds * sampleRate));

    for (std::size_t n = 0; n < programme.frames(); ++n)
    {
        programme.left[n] = gainFromDb(-72.0) * random.uniform(-1.0, 1.0);
        programme.right[n] = gainFromDb(-72.0) * random.uniform(-1.0, 1.0);
    }

    // Quiet speech, a loud band, softer speech; phrases vary by a few dB among themselves.
    Stereo speech(programme.frames()), music(programme.frames());
    addSpeech(speech, 0.5, 12.0, 0.0, random);
    addSpeech(speech, 22.8, 30.5, -3.0, random);
    addMusic(music, 12.5, 22.0, 0.0, random);
    mixAtPeak(programme, speech, -20.0);
    mixAtPeak(programme, music, -2.0);

    if (std::string why = writeWav(programme, argv[1]); !why.empty())
    {
        why[0] = char(std::tolower(static_cast<unsigned char>(why[0])));
        std::cerr << "kelvane_demo_programme: cannot write '" << argv[1] << "': " << why << "\n";
        return 1;
    }

    return 0;
}
