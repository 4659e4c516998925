#pragma once

#include "BoostRamp.h"
#include "DetectorFilter.h"
#include "DetectorWindow.h"
#include "LimiterStage.h"
#include "SanitizeSample.h"

#include <cstdint>
#include <limits>

// Where the chain reads the output level (0..1): once for every sample, in order.
class LevelSource
{
public:
    virtual ~LevelSource() = default;
    virtual void readLevels(float* levels, int count) noexcept = 0;
};

// Detector window length in samples (10 ms, rounded down) for a sample rate; never less than 1.
int32_t windowLengthForSampleRate(double sampleRate) noexcept;

// All working state of one instance's signal chain, and the chain itself: the detector (band-limiting filter
// and 10 ms window) drives the boost ramp, the boosted samples pass two limiter stages, then the output level.
struct EngineState
{
    DetectorFilter detectorFilter;
    DetectorWindow detectorWindow;
    BoostRamp boostRamp;
    LimiterStage limiterStages[2]{LimiterStage({0.0, 0.6, 800.0}), LimiterStage({-0.01, 0.001, 500.0})};

    // Sizes the windows for the rate and starts from silence. Throws std::bad_alloc when a window cannot be
    // had; blocks then pass unchanged until a preparation succeeds.
    void prepare(double sampleRate);

    // Once per block, before its samples: false when the block is to pass unchanged (not prepared, or no
    // usable rate). Otherwise the detector's coefficients are updated for the mode (both chains share them)
    // and, for a block that has samples, the ramp's and the limiters' block constants.
    bool beginBlock(double sampleRate, bool vocal, int numSamples) noexcept;

    // Runs the chain in place over one block begun with beginBlock (right is null in mono) and gives each
    // channel's output peak.
    struct Peaks
    {
        double left = 0.0, right = 0.0;
    };
    template <typename Sample>
    Peaks process(Sample* left, Sample* right, int numSamples, LevelSource& level) noexcept;

private:
    template <bool stereo, typename Sample>
    void processChunk(Sample* left, Sample* right, int count, LevelSource& level, Peaks& peaks) noexcept;

    // The level's gain is recomputed only when the level moves.
    float lastLevel = std::numeric_limits<float>::quiet_NaN();
    double levelGain = 0.0;
};
