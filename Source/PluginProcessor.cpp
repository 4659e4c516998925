#include "PluginProcessor.h"
#include "PluginEditor.h"
#include "SavedState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr double ln10 = 2.302585092994046;

// Detector settings of the two modes. Corners enter the design as 2 pi times the corner frequency.
struct DetectorMode
{
    double lowPassOmega;
    double highPassOmega;
    double logThreshold;   // natural logarithm of the mean absolute level that counts as signal
    double riseMs;         // ramp time 0 -> 1
    double fallMs;         // ramp time 1 -> 0
    double logBoostFactor; // natural logarithm of K in the boost 1 + K * ramp
};

constexpr DetectorMode normalMode { 56548.66776461628, 1256.6370614359173, -5.1808164592366035, 10.0, 350.0,
                                    2.302585092994046 };
constexpr DetectorMode vocalMode { 12566.370614359172, 3141.592653589793, -6.332109005733626, 8.0, 500.0,
                                   1.151292546497023 };

// 2Q with Q = 0.7071068 held in single precision.
constexpr double twoQ = 1.4142136573791504;

struct LimiterSettings
{
    double thresholdDb;
    double attackMs;
    double releaseMs;
};

constexpr LimiterSettings limiterStages[2] { { 0.0, 0.6, 800.0 }, { -0.01, 0.001, 500.0 } };
constexpr double limiterRatio = 100.0;
constexpr double limiterKneeDb = 0.01;

constexpr double meterStepBoundsDb[] { -48.0, -36.0, -24.0, -18.0, -12.0, -9.0, -6.0, -3.0, 0.0, 2.9 };

// The larger of two values; where one is NaN, the other.
inline double largerOf (double a, double b) noexcept
{
    if (std::isnan (a))
        return b;
    if (std::isnan (b))
        return a;
    return a < b ? b : a;
}

struct BiquadCoefficients
{
    double b0, b1, b2, a1, a2;
};

BiquadCoefficients lowPass (double omega, double sampleRate) noexcept
{
    const double w0 = omega / sampleRate;
    const double s = std::sin (w0), c = std::cos (w0);
    const double alpha = s / twoQ;
    const double inv = 1.0 / (1.0 + alpha);
    const double b0 = (1.0 - c) * inv * 0.5;
    return { b0, b0 + b0, b0, (-2.0 * c) * inv, (1.0 - alpha) * inv };
}

BiquadCoefficients highPass (double omega, double sampleRate) noexcept
{
    const double w0 = omega / sampleRate;
    const double s = std::sin (w0), c = std::cos (w0);
    const double alpha = s / twoQ;
    const double inv = 1.0 / (1.0 + alpha);
    const double b0 = (1.0 + c) * inv * 0.5;
    return { b0, -2.0 * b0, b0, (-2.0 * c) * inv, (1.0 - alpha) * inv };
}

void setSection (EngineState& state, int section, const BiquadCoefficients& k) noexcept
{
    state.b0[section] = k.b0;
    state.b1[section] = k.b1;
    state.b2[section] = k.b2;
    state.a1[section] = k.a1;
    state.a2[section] = k.a2;
}

// One detector biquad section with its state, kept in registers for the length of a block.
struct Section
{
    double b0, b1, b2, a1, a2, x1, x2, y1, y2;

    // x must already be sanitised; the output is sanitised.
    inline double step (double x) noexcept
    {
        const double sum = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        const double y = sanitizeSample (sum);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        // An overflow (inputs near the largest double) would leave the section ringing near overflow for
        // good, each overflow turned into 0 kicking it again; it starts afresh instead.
        if (! (std::abs (sum) <= std::numeric_limits<double>::max()))
            x1 = x2 = y1 = y2 = 0.0;
        return y;
    }
};

void loadSections (const EngineState& state, Section* sections, int first) noexcept
{
    for (int i = 0; i < 4; ++i)
    {
        const int k = first + i;
        sections[i] = { state.b0[k], state.b1[k], state.b2[k], state.a1[k], state.a2[k],
                        state.x1[k], state.x2[k], state.y1[k], state.y2[k] };
    }
}

void storeSections (EngineState& state, const Section* sections, int first) noexcept
{
    for (int i = 0; i < 4; ++i)
    {
        const int k = first + i;
        state.x1[k] = sections[i].x1;
        state.x2[k] = sections[i].x2;
        state.y1[k] = sections[i].y1;
        state.y2[k] = sections[i].y2;
    }
}

// A running window sum that has met extreme samples (far beyond any real audio) can overflow, or keep a
// rounding residue far above any real level once they have left the window, and would then read as signal
// (or as silence) for good. So the window counts the extreme samples it holds and, when the last one has left,
// rebuilds its sum from its slots once. Real audio never reaches the bound, so its sums are never touched.
constexpr double extremeDetectorSample = 65536.0;

inline void trackExtremeSamples (double& sum, int32_t& extremeCount, double written, double removed,
                                 const double* ring, int32_t windowLength) noexcept
{
    if (std::abs (written) > extremeDetectorSample)
        ++extremeCount;
    if (std::abs (removed) > extremeDetectorSample && --extremeCount <= 0)
    {
        extremeCount = 0;
        double rebuilt = 0.0;
        for (int32_t i = 0; i < windowLength; ++i)
            rebuilt += std::abs (ring[i]);
        sum = rebuilt;
    }
}

inline double runChain (Section* chain, double rawSample) noexcept
{
    double v = sanitizeSample (rawSample);
    for (int i = 0; i < 4; ++i)
        v = chain[i].step (v);
    return v;
}

// Gain reduction in dB that a limiter stage's static curve asks for; v is already sanitised.
inline double limiterReduction (double v, double thresholdDb) noexcept
{
    const double x = sanitizeSample (v == 0.0 ? -160.0 : 20.0 * std::log10 (std::abs (v)));
    const double y = (2.0 * (x - thresholdDb) < -limiterKneeDb) ? x
                                                                 : sanitizeSample ((x - thresholdDb) / limiterRatio
                                                                                   + thresholdDb);
    return x - y;
}

// Release filter followed by attack filter of one channel of one stage; returns the smoothed reduction.
inline double smoothReduction (double r, double releaseCoefficient, double oneMinusRelease,
                               double attackCoefficient, double oneMinusAttack, double& peak,
                               double& smoothed) noexcept
{
    const double p = largerOf (oneMinusRelease * r + releaseCoefficient * sanitizeSample (peak), r);
    const double q = sanitizeSample (oneMinusAttack * p + attackCoefficient * sanitizeSample (smoothed));
    peak = sanitizeSample (p);
    smoothed = q;
    return q;
}

inline double gainForReduction (double q) noexcept
{
    return std::exp ((q / -20.0) * ln10);
}

template <typename Sample>
double peakOf (const Sample* samples, int numSamples) noexcept
{
    double peak = 0.0;
    for (int i = 0; i < numSamples; ++i)
    {
        const double magnitude = std::abs ((double) samples[i]);
        if (magnitude > peak)
            peak = magnitude;
    }
    return peak;
}

constexpr int minimumWidenedFrames = 512;
constexpr int maximumWidenedFrames = 65536;
constexpr int maximumWidenedChannels = 16;
} // namespace

double meterStepForPeak (double peak) noexcept
{
    if (sanitizeSample (peak) == 0.0)
        return 1.0;

    const double db = 20.0 * std::log10 (peak);
    int step = 1;
    for (double bound : meterStepBoundsDb)
    {
        if (db < bound)
            return step;
        ++step;
    }
    return 11.0;
}

int32_t windowLengthForSampleRate (double sampleRate) noexcept
{
    double product = sampleRate * 10.0;
    // Below 100 Hz (and for rates that are no number) ten milliseconds hold no whole sample; the window
    // keeps one sample so that the detector always has a window to average over.
    if (! (product >= 1000.0))
        return 1;
    product = std::min (product, (double) std::numeric_limits<int32_t>::max());
    const auto truncatedProduct = (int32_t) product;
    return std::max ((int32_t) ((double) truncatedProduct / 1000.0), (int32_t) 1);
}

//==============================================================================
KelvaneAudioProcessor::KelvaneAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    engineState = std::make_unique<EngineState>();
    engineState->windowLength = 400;

    enableParameter = new juce::AudioParameterBool ("dbEnable", "Enable", true);
    addParameter (enableParameter);

    // The convenience constructor's 0.01 interval fixes the two-decimal text; the values themselves move
    // in steps of 0.001.
    levelParameter = new juce::AudioParameterFloat ("dbMain", "Level", 0.0f, 1.0f, 0.5f);
    levelParameter->range = juce::NormalisableRange<float> (0.0f, 1.0f, 0.001f, 1.0f);
    addParameter (levelParameter);

    vocalParameter = new juce::AudioParameterBool ("dbVocal", "Vocal Mode", false);
    addParameter (vocalParameter);

    for (auto* parameter : { (juce::AudioProcessorParameter*) enableParameter, (juce::AudioProcessorParameter*) levelParameter,
                             (juce::AudioProcessorParameter*) vocalParameter })
        parameterGuard.watch (*parameter);

    meterStepLeft.store (0.0);
    meterStepRight.store (0.0);
}

KelvaneAudioProcessor::~KelvaneAudioProcessor()
{
    if (engineState != nullptr)
    {
        engineState->rings[0].reset();
        engineState->rings[1].reset();
        engineState.reset();
    }
}

const juce::String KelvaneAudioProcessor::getName() const
{
    return "Kelvane";
}

void KelvaneAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    // The double-precision copy of single-precision blocks comes first: when it cannot be allocated the
    // instance stays as it was. Longer blocks than this are processed in pieces.
    const int channels = std::min (std::max ({ 2, getTotalNumInputChannels(), getTotalNumOutputChannels() }),
                                   maximumWidenedChannels);
    const int frames = std::min (std::max (samplesPerBlock, minimumWidenedFrames), maximumWidenedFrames);
    if ((size_t) channels * (size_t) frames > widenedSamples.size())
        widenedSamples.resize ((size_t) channels * (size_t) frames);
    widenedChannels = channels;
    widenedCapacity = frames;

    auto& state = *engineState;
    state.windowLength = windowLengthForSampleRate (sampleRate);

    state.rings[0].reset();
    state.rings[1].reset();
    try
    {
        state.rings[0].reset (new double[(size_t) state.windowLength]());
        state.rings[1].reset (new double[(size_t) state.windowLength]());
    }
    catch (...)
    {
        // An instance without both windows passes audio unchanged until a later preparation succeeds.
        state.rings[0].reset();
        state.rings[1].reset();
        throw;
    }

    state.boostRamp = 0.0;
    state.ringPosition = 0;
    for (int s = 0; s < 2; ++s)
    {
        for (int c = 0; c < 2; ++c)
        {
            state.smoothedReduction[s][c] = 0.0;
            state.peakReduction[s][c] = 0.0;
        }
        state.cachedSampleRate[s] = 0.0;
        state.cachedReleaseMs[s] = 0.0;
        state.attackCoefficient[s] = 0.0;
        state.releaseCoefficient[s] = 0.0;
        state.ringSums[s] = 0.0;
        state.extremeSamplesInRing[s] = 0;
    }
    for (int k = 0; k < 8; ++k)
    {
        state.b0[k] = state.b1[k] = state.b2[k] = state.a1[k] = state.a2[k] = 0.0;
        state.x1[k] = state.x2[k] = state.y1[k] = state.y2[k] = 0.0;
    }
}

void KelvaneAudioProcessor::releaseResources()
{
}

//==============================================================================
bool KelvaneAudioProcessor::blockIsStereo (int numChannelsInBuffer) const noexcept
{
    return getTotalNumInputChannels() > 1 && numChannelsInBuffer > 1;
}

bool KelvaneAudioProcessor::startBlock (int numSamples, bool stereo, BlockSetup& setup)
{
    auto& state = *engineState;
    const double fs = getSampleRate();

    clearMeterSteps();

    if (! enableParameter->get())
        return false;

    // Not prepared, a failed preparation or no usable sample rate: the audio passes unchanged.
    if (state.rings[0] == nullptr || state.rings[1] == nullptr || ! std::isfinite (fs) || fs <= 0.0)
        return false;

    const DetectorMode& mode = vocalParameter->get() ? vocalMode : normalMode;

    const auto lowPassSet = lowPass (mode.lowPassOmega, fs);
    const auto highPassSet = highPass (mode.highPassOmega, fs);
    const int chains = stereo ? 2 : 1;
    for (int chain = 0; chain < chains; ++chain)
    {
        setSection (state, chain * 4 + 0, lowPassSet);
        setSection (state, chain * 4 + 1, lowPassSet);
        setSection (state, chain * 4 + 2, highPassSet);
        setSection (state, chain * 4 + 3, highPassSet);
    }

    setup.stereo = stereo;
    if (numSamples <= 0)
        return true;

    setup.threshold = std::exp (mode.logThreshold);
    setup.boostFactor = std::exp (mode.logBoostFactor);
    setup.riseStep = 1000.0 / (mode.riseMs * fs);
    setup.fallStep = 1000.0 / (mode.fallMs * fs);

    // The coefficient cache is consulted at every sample, but the rate cannot change within a block, so
    // its outcome at the first sample holds for the whole block.
    for (int s = 0; s < 2; ++s)
    {
        const double attackCandidate = std::exp (-1000.0 / (limiterStages[s].attackMs * fs));
        const double releaseCandidate = std::exp (-1000.0 / (limiterStages[s].releaseMs * fs));
        if (fs != state.cachedSampleRate[s])
        {
            state.attackCoefficient[s] = attackCandidate;
            state.releaseCoefficient[s] = releaseCandidate;
        }
        else if (state.cachedReleaseMs[s] != limiterStages[s].releaseMs)
        {
            state.releaseCoefficient[s] = releaseCandidate;
        }
        state.cachedSampleRate[s] = fs;
        state.cachedReleaseMs[s] = limiterStages[s].releaseMs;
    }
    return true;
}

void KelvaneAudioProcessor::processSamples (const BlockSetup& setup, double* left, double* right,
                                            int numSamples) noexcept
{
    if (numSamples <= 0)
        return;

    auto& state = *engineState;
    const bool stereo = setup.stereo && right != nullptr;

    Section leftChain[4], rightChain[4];
    loadSections (state, leftChain, 0);
    if (stereo)
        loadSections (state, rightChain, 4);

    double* const leftRing = state.rings[0].get();
    double* const rightRing = state.rings[1].get();
    const int32_t windowLength = state.windowLength;
    const double windowLengthAsDouble = (double) windowLength;
    int32_t position = state.ringPosition;
    double leftSum = state.ringSums[0], rightSum = state.ringSums[1];
    int32_t extremeLeft = state.extremeSamplesInRing[0], extremeRight = state.extremeSamplesInRing[1];
    double ramp = state.boostRamp;

    double aA[2], aR[2], oneMinusAttack[2], oneMinusRelease[2];
    double peak[2][2], smoothed[2][2];
    for (int s = 0; s < 2; ++s)
    {
        aA[s] = state.attackCoefficient[s];
        aR[s] = state.releaseCoefficient[s];
        oneMinusAttack[s] = 1.0 - aA[s];
        oneMinusRelease[s] = 1.0 - aR[s];
        for (int c = 0; c < 2; ++c)
        {
            peak[s][c] = state.peakReduction[s][c];
            smoothed[s][c] = state.smoothedReduction[s][c];
        }
    }

    // The level is read anew for every sample; its gain is only recomputed when the value moves.
    float lastLevel = std::numeric_limits<float>::quiet_NaN();
    double levelGain = 1.0;

    for (int i = 0; i < numSamples; ++i)
    {
        const float level = levelParameter->get();
        if (! (level == lastLevel))
        {
            lastLevel = level;
            levelGain = std::exp ((((double) level * 15.0) + (-12.0)) / 20.0 * ln10);
        }

        const double inLeft = left[i];
        const double inRight = stereo ? right[i] : 0.0;

        // Detector: band-limited copy, 10 ms mean absolute level.
        const double dLeft = runChain (leftChain, inLeft);
        const double dRight = stereo ? runChain (rightChain, inRight) : 0.0;

        if (++position >= windowLength)
            position = 0;

        const double oldLeft = leftRing[position];
        leftRing[position] = dLeft;
        leftSum = leftSum + (std::abs (dLeft) - std::abs (oldLeft));
        trackExtremeSamples (leftSum, extremeLeft, dLeft, oldLeft, leftRing, windowLength);
        double detectorLevel = leftSum / windowLengthAsDouble;

        if (stereo)
        {
            const double oldRight = rightRing[position];
            rightRing[position] = dRight;
            rightSum = rightSum + (std::abs (dRight) - std::abs (oldRight));
            trackExtremeSamples (rightSum, extremeRight, dRight, oldRight, rightRing, windowLength);
            detectorLevel = largerOf (detectorLevel, rightSum / windowLengthAsDouble);
        }

        // Boost ramp.
        if (detectorLevel >= setup.threshold)
        {
            ramp = ramp + setup.riseStep;
            if (ramp > 1.0)
                ramp = 1.0;
        }
        else
        {
            ramp = ramp - setup.fallStep;
            if (ramp < 0.0)
                ramp = 0.0;
        }

        const double boost = ramp * setup.boostFactor + 1.0;
        double vLeft = sanitizeSample (boost * inLeft);
        double vRight = stereo ? sanitizeSample (boost * inRight) : 0.0;

        // Two limiter stages; the second one sanitises what the first one hands over.
        for (int s = 0; s < 2; ++s)
        {
            if (s == 1)
            {
                vLeft = sanitizeSample (vLeft);
                vRight = sanitizeSample (vRight);
            }

            const double threshold = limiterStages[s].thresholdDb;
            double r = limiterReduction (vLeft, threshold);
            if (stereo)
                r = largerOf (r, limiterReduction (vRight, threshold));

            const double qLeft = smoothReduction (r, aR[s], oneMinusRelease[s], aA[s], oneMinusAttack[s],
                                                  peak[s][0], smoothed[s][0]);
            const double gainLeft = gainForReduction (qLeft);
            vLeft = vLeft * gainLeft;

            if (stereo)
            {
                const double qRight = smoothReduction (r, aR[s], oneMinusRelease[s], aA[s], oneMinusAttack[s],
                                                       peak[s][1], smoothed[s][1]);
                vRight = vRight * (qRight == qLeft ? gainLeft : gainForReduction (qRight));
            }
        }

        left[i] = vLeft * levelGain;
        if (stereo)
            right[i] = vRight * levelGain;
    }

    storeSections (state, leftChain, 0);
    if (stereo)
        storeSections (state, rightChain, 4);
    state.ringPosition = position;
    state.ringSums[0] = leftSum;
    state.ringSums[1] = rightSum;
    state.extremeSamplesInRing[0] = extremeLeft;
    state.extremeSamplesInRing[1] = extremeRight;
    state.boostRamp = ramp;
    for (int s = 0; s < 2; ++s)
    {
        for (int c = 0; c < 2; ++c)
        {
            state.peakReduction[s][c] = peak[s][c];
            state.smoothedReduction[s][c] = smoothed[s][c];
        }
    }
}

void KelvaneAudioProcessor::publishMeterSteps (double peakLeft, double peakRight, bool stereo) noexcept
{
    const double leftStep = meterStepForPeak (peakLeft);
    meterStepLeft.store (leftStep, std::memory_order_relaxed);
    meterStepRight.store (leftStep, std::memory_order_relaxed);
    if (stereo)
        meterStepRight.store (meterStepForPeak (peakRight), std::memory_order_relaxed);
}

// What every block does first, whatever its precision: silence the outputs that have no input, and fix
// the block's settings. False when the block is to pass unchanged (no channels, switched off, not
// prepared); the meters then show no reduction.
template <typename SampleType>
bool KelvaneAudioProcessor::beginBlock (juce::AudioBuffer<SampleType>& buffer, BlockSetup& setup)
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();

    for (int channel = getTotalNumInputChannels(); channel < std::min (getTotalNumOutputChannels(), numChannels);
         ++channel)
        buffer.clear (channel, 0, numSamples);

    if (numChannels == 0)
    {
        clearMeterSteps();
        return false;
    }

    return startBlock (numSamples, blockIsStereo (numChannels), setup);
}

void KelvaneAudioProcessor::clearMeterSteps() noexcept
{
    meterStepLeft.store (0.0, std::memory_order_relaxed);
    meterStepRight.store (0.0, std::memory_order_relaxed);
}

void KelvaneAudioProcessor::processBlock (juce::AudioBuffer<double>& buffer, juce::MidiBuffer&)
{
    BlockSetup setup;
    if (! beginBlock (buffer, setup))
        return;

    const int numSamples = buffer.getNumSamples();
    const bool stereo = setup.stereo;

    double* left = buffer.getWritePointer (0);
    double* right = stereo ? buffer.getWritePointer (1) : nullptr;
    processSamples (setup, left, right, numSamples);
    publishMeterSteps (peakOf (left, numSamples), stereo ? peakOf (right, numSamples) : 0.0, stereo);
}

void KelvaneAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();

    if (widenedCapacity == 0 || numSamples > widenedCapacity || numChannels > widenedChannels)
    {
        processOversizedFloatBlock (buffer);
        return;
    }

    // Widen into the copy kept for this purpose, process in double precision, narrow back.
    double* channels[maximumWidenedChannels] = {};
    for (int channel = 0; channel < numChannels; ++channel)
        channels[channel] = widenedSamples.data() + (size_t) channel * (size_t) widenedCapacity;

    const bool sourceIsClear = buffer.hasBeenCleared();
    for (int channel = 0; channel < numChannels; ++channel)
    {
        double* destination = channels[channel];
        if (sourceIsClear)
        {
            std::fill (destination, destination + numSamples, 0.0);
        }
        else
        {
            const float* source = buffer.getReadPointer (channel);
            for (int i = 0; i < numSamples; ++i)
                destination[i] = (double) source[i];
        }
    }

    juce::AudioBuffer<double> widened (channels, numChannels, numSamples);
    processBlock (widened, midi);

    for (int channel = 0; channel < numChannels; ++channel)
    {
        const double* source = channels[channel];
        float* destination = buffer.getWritePointer (channel);
        for (int i = 0; i < numSamples; ++i)
            destination[i] = (float) source[i];
    }
}

// A block longer than any prepared one (or with more channels) is widened and processed in pieces that
// fit the prepared copy, as one block: switches, coefficients and meter steps are handled once for all of
// it, so the result equals that of processing it whole, and nothing is allocated on the audio thread.
void KelvaneAudioProcessor::processOversizedFloatBlock (juce::AudioBuffer<float>& buffer)
{
    BlockSetup setup;
    if (! beginBlock (buffer, setup))
        return;

    const int numSamples = buffer.getNumSamples();
    const bool stereo = setup.stereo;

    if (widenedCapacity <= 0 || widenedChannels < 2)
    {
        // Cannot happen after a successful preparation; leave the audio unchanged rather than guess.
        clearMeterSteps();
        return;
    }

    double* const left = widenedSamples.data();
    double* const right = stereo ? widenedSamples.data() + widenedCapacity : nullptr;
    float* const outLeft = buffer.getWritePointer (0);
    float* const outRight = stereo ? buffer.getWritePointer (1) : nullptr;
    double peakLeft = 0.0, peakRight = 0.0;

    for (int start = 0; start < numSamples; start += widenedCapacity)
    {
        const int count = std::min (widenedCapacity, numSamples - start);
        for (int i = 0; i < count; ++i)
            left[i] = (double) outLeft[start + i];
        if (stereo)
            for (int i = 0; i < count; ++i)
                right[i] = (double) outRight[start + i];

        processSamples (setup, left, right, count);

        peakLeft = std::max (peakLeft, peakOf (left, count));
        for (int i = 0; i < count; ++i)
            outLeft[start + i] = (float) left[i];
        if (stereo)
        {
            peakRight = std::max (peakRight, peakOf (right, count));
            for (int i = 0; i < count; ++i)
                outRight[start + i] = (float) right[i];
        }
    }

    publishMeterSteps (peakLeft, peakRight, stereo);
}

//==============================================================================
double KelvaneAudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool KelvaneAudioProcessor::acceptsMidi() const
{
    return false;
}

bool KelvaneAudioProcessor::producesMidi() const
{
    return false;
}

juce::AudioProcessorEditor* KelvaneAudioProcessor::createEditor()
{
    return new KelvaneAudioProcessorEditor (*this);
}

bool KelvaneAudioProcessor::hasEditor() const
{
    return true;
}

int KelvaneAudioProcessor::getNumPrograms()
{
    return 1;
}

int KelvaneAudioProcessor::getCurrentProgram()
{
    return 0;
}

void KelvaneAudioProcessor::setCurrentProgram (int)
{
}

const juce::String KelvaneAudioProcessor::getProgramName (int)
{
    return {};
}

void KelvaneAudioProcessor::changeProgramName (int, const juce::String&)
{
}

//==============================================================================
void KelvaneAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    SavedState::write ({ enableParameter->get(), levelParameter->get(), vocalParameter->get() }, destData);
}

void KelvaneAudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    getStateInformation (destData);
}

// Every readable block sets all three parameters, in this order, each notifying the host; a missing
// attribute re-applies the current value.
void KelvaneAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto settings = SavedState::read (data, sizeInBytes);
    if (settings == nullptr)
        return;

    enableParameter->setValueNotifyingHost (
        SavedState::valueOf (*settings, "dbEnable", enableParameter->get() ? 1.0 : 0.0));
    levelParameter->setValueNotifyingHost (SavedState::valueOf (*settings, "dbMain", (double) levelParameter->get()));
    vocalParameter->setValueNotifyingHost (
        SavedState::valueOf (*settings, "dbVocal", vocalParameter->get() ? 1.0 : 0.0));
}

void KelvaneAudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    setStateInformation (data, sizeInBytes);
}

//==============================================================================
bool KelvaneAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();
    const auto input = layouts.getMainInputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return input == output;
}

// The whole chain works in double precision; single-precision blocks are widened to it.
bool KelvaneAudioProcessor::supportsDoublePrecisionProcessing() const
{
    return true;
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new KelvaneAudioProcessor();
}
