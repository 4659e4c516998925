#pragma once

#include <cstdint>
#include <memory>

// The detector's 10 ms windows: per channel a ring of the last band-limited samples and the running sum of
// their absolute values, so each mean costs the same whatever the window length. Both rings share the slot
// written last.
class DetectorWindow
{
public:
    ~DetectorWindow();

    // Releases the rings, then allocates two of `length` samples, all 0. When an allocation fails there are no
    // rings at all and the exception propagates.
    void prepare(int32_t length);
    // Empty windows: every slot, the sums and the slot written last back to 0.
    void reset() noexcept;
    bool isReady() const noexcept { return rings[0] != nullptr && rings[1] != nullptr; }
    int32_t length() const noexcept { return windowLength; }

    // Writes one sample per channel and moment and gives the detector level after each: the mean absolute
    // value over the window, in stereo the larger of the two channels' means.
    void processMono(const double* input, double* levels, int count) noexcept;
    void processStereo(const double* left, const double* right, double* levels, int count) noexcept;

private:
    void release() noexcept;
    template <bool stereo>
    void process(const double* left, const double* right, double* levels, int count) noexcept;

    std::unique_ptr<double[]> rings[2];
    double sums[2] = {};
    // Per channel: slots holding a sample far beyond any real audio (see the .cpp).
    int32_t extremeSamples[2] = {};
    int32_t position = 0;
    int32_t windowLength = 400;
};
