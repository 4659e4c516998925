// The real plug-in bundle, loaded and driven by the host stand-in, beside the engine's processor run
// directly in the test process.
#pragma once

#include "HostInstance.h"
#include "HostPlugIn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bundle_test
{
using Audio = std::vector<std::vector<float>>; // [channel][frame]

inline std::string bundlePath()
{
    return KELVANE_BUNDLE_PATH;
}

constexpr AAX_CTypeID kElck = 0x656C636B; // 'elck'
constexpr AAX_CTypeID kJuce = 0x6A756365; // 'juce'

// A host parameter change made between blocks: before block `block`.
struct Change
{
    int block;
    std::string parameterID;
    double value;
};

// Programme-like audio: loud passages with peaks above full scale and quiet ones below the detector's
// thresholds, so the boost ramp and both limiters work.
Audio programme(int channels, double sampleRate, int frames);

// Blocks of the given sizes (cycled) through the instance, with the changes made as a host makes them.
Audio renderThroughHost(HostInstance& instance, const Audio& input, const std::vector<int>& blockSizes,
                        const std::vector<Change>& changes);
// The same through the engine's processor, set up and called as JUCE's AAX client does (blocks bypassed by
// "MasterBypassID" go to processBlockBypassed). Its meter steps after each block go to `meterSteps`.
Audio renderDirectly(double sampleRate, const Audio& input, const std::vector<int>& blockSizes,
                     const std::vector<Change>& changes, std::vector<double>* meterSteps = nullptr);

HostInstance::Setup setupFor(int channels, float sampleRate);

// Every parameter's value, as the host reads it and as the 'elck' chunk saves it, is finite and within 0..1;
// so is every packet posted to the algorithm.
void expectParametersValid(const HostInstance& instance);
} // namespace bundle_test
