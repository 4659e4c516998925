// The arguments of `kelvane_host render`, read and checked as far as they can be without the plug-in.
#pragma once

#include "AudioFiles.h"

#include <cstdint>
#include <string>
#include <vector>

struct RenderOptions
{
    struct Setting
    {
        std::string parameterID;
        double value = 0.0; // normalised, 0 to 1
    };
    struct AutomationPoint
    {
        double seconds = 0.0;
        double value = 0.0; // normalised, 0 to 1
    };
    struct Automation
    {
        std::string parameterID;
        std::vector<AutomationPoint> points; // ascending in time
    };
    struct TimeRange
    {
        double startSeconds = 0.0;
        double endSeconds = 0.0;
    };
    struct ChunkFile
    {
        uint32_t chunkID = 0;
        std::string path;
    };

    std::string bundlePath;
    std::string inputPath;
    std::string outputPath;
    int blockSize = 512;
    AudioSampleFormat format = AudioSampleFormat::Float32;
    std::vector<Setting> settings;
    std::vector<Automation> automation;
    std::vector<TimeRange> bypassed;
    std::vector<ChunkFile> restoredChunks;
    std::vector<ChunkFile> savedChunks;
};

// The largest block the host hands the plug-in.
constexpr int kMaximumRenderBlockSize = 1024;

// Reads a decimal number (digits, one '.', an exponent) into `value`; false for anything else, hexadecimal,
// inf and nan among them.
bool decimalNumber(const std::string& text, double& value);

// Reads the arguments after "render". Throws HostError naming the first bad argument.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments);
// Reads the options alone; the other arguments are appended to `positional`. Throws HostError.
RenderOptions parseRenderFlags(const std::vector<std::string>& arguments, std::vector<std::string>& positional);

// Usage lines of the list and render commands, and the note on BUNDLE that every command shares.
const char* listUsage();
const char* renderUsage();
const char* bundleUsage();
