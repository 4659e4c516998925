#include "EngineState.h"

#include "DetectorMode.h"
#include "SamplePair.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr double ln10 = 2.302585092994046;

// Samples are taken through the chain in chunks of this many, each unit running over a whole chunk before
// the next one takes it: short loops that keep their state in registers.
constexpr int chunkLength = LimiterStage::maxBlock;

inline double gainForLevel(float level) noexcept
{
    return std::exp((((double)level * 15.0) + (-12.0)) / 20.0 * ln10);
}

template <typename Sample>
inline double outputSample(Sample* destination, double value, double peak) noexcept
{
    *destination = (Sample)value;
    const double magnitude = std::abs(value);
    return magnitude > peak ? magnitude : peak;
}
} // namespace

int32_t windowLengthForSampleRate(double sampleRate) noexcept
{
    double product = sampleRate * 10.0;
    // Below 100 Hz (and for rates that are no number) ten milliseconds hold no whole sample; the window keeps
    // one sample so that the detector always has a window to average over.
    if (!(product >= 1000.0))
        return 1;
    product = std::min(product, (double)std::numeric_limits<int32_t>::max());
    const auto truncatedProduct = (int32_t)product;
    return std::max((int32_t)((double)truncatedProduct / 1000.0), (int32_t)1);
}

void EngineState::prepare(double sampleRate)
{
    detectorWindow.prepare(windowLengthForSampleRate(sampleRate));
    detectorFilter.reset();
    boostRamp.reset();
    for (auto& stage : limiterStages)
        stage.reset();
}

bool EngineState::beginBlock(double sampleRate, bool vocal, int numSamples) noexcept
{
    if (!detectorWindow.isReady() || !std::isfinite(sampleRate) || sampleRate <= 0.0)
        return false;

    const DetectorMode& mode = vocal ? vocalMode : normalMode;
    detectorFilter.setCoefficients(BiquadCoefficients::lowPass(mode.lowPassOmega, sampleRate),
                                   BiquadCoefficients::highPass(mode.highPassOmega, sampleRate));
    if (numSamples > 0)
    {
        boostRamp.setMode(mode, sampleRate);
        for (auto& stage : limiterStages)
            stage.setSampleRate(sampleRate);
    }
    return true;
}

template <typename Sample>
EngineState::Peaks EngineState::process(Sample* left, Sample* right, int numSamples, LevelSource& level) noexcept
{
    Peaks peaks;
    for (int start = 0; start < numSamples; start += chunkLength)
    {
        const int count = std::min(chunkLength, numSamples - start);
        if (right != nullptr)
            processChunk<true>(left + start, right + start, count, level, peaks);
        else
            processChunk<false>(left + start, right, count, level, peaks);
    }
    return peaks;
}

template <bool stereo, typename Sample>
void EngineState::processChunk(Sample* left, Sample* right, int count, LevelSource& level, Peaks& peaks) noexcept
{
    double inLeft[chunkLength], inRight[chunkLength], bandLeft[chunkLength], bandRight[chunkLength];
    double levels[chunkLength];
    float outputLevels[chunkLength];
    level.readLevels(outputLevels, count);

    for (int i = 0; i < count; ++i)
        inLeft[i] = (double)left[i];
    if (stereo)
        for (int i = 0; i < count; ++i)
            inRight[i] = (double)right[i];

    // Detector and boost: the detector listens to the input before the boost.
    if (stereo)
    {
        detectorFilter.processStereo(inLeft, inRight, bandLeft, bandRight, count);
        detectorWindow.processStereo(bandLeft, bandRight, levels, count);
    }
    else
    {
        detectorFilter.processMono(inLeft, bandLeft, count);
        detectorWindow.processMono(bandLeft, levels, count);
    }
    double* const gains = levels;
    boostRamp.process(levels, gains, count);
    for (int i = 0; i < count; ++i)
    {
        if (stereo)
        {
            const SamplePair boosted = sanitizeSample(gains[i] * SamplePair{inLeft[i], inRight[i]});
            inLeft[i] = boosted[0];
            inRight[i] = boosted[1];
        }
        else
        {
            inLeft[i] = sanitizeSample(gains[i] * inLeft[i]);
        }
    }

    for (auto& stage : limiterStages)
    {
        if (stereo)
            stage.processStereo(inLeft, inRight, count);
        else
            stage.processMono(inLeft, count);
    }

    for (int i = 0; i < count; ++i)
    {
        if (outputLevels[i] != lastLevel)
        {
            lastLevel = outputLevels[i];
            levelGain = gainForLevel(lastLevel);
        }
        peaks.left = outputSample(left + i, inLeft[i] * levelGain, peaks.left);
        if (stereo)
            peaks.right = outputSample(right + i, inRight[i] * levelGain, peaks.right);
    }
}

template EngineState::Peaks EngineState::process(float*, float*, int, LevelSource&) noexcept;
template EngineState::Peaks EngineState::process(double*, double*, int, LevelSource&) noexcept;
