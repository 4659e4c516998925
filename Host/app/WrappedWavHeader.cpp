#include "WrappedWavHeader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace
{
uint32_t littleEndian32(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

std::string durationText(double seconds)
{
    char text[48];
    const auto whole = static_cast<long long>(seconds + 0.5);
    const auto minutes = static_cast<long long>(seconds / 60 + 0.5);
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld h %02lld min", minutes / 60, minutes % 60);
    else if (whole >= 60)
        std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

// "N bytes (F frames, D)", the frames and duration where the format tells them.
std::string amountText(uint64_t bytes, uint32_t frameBytes, uint32_t sampleRate)
{
    std::string text = std::to_string(bytes) + " bytes";
    if (frameBytes == 0 || sampleRate == 0)
        return text;
    const uint64_t frames = bytes / frameBytes;
    return text + " (" + std::to_string(frames) + " frames, " + durationText(double(frames) / sampleRate) + ")";
}
} // namespace

std::string wrappedWavHeaderWarning(const std::string& path)
{
    struct stat status
    {
    };
    std::ifstream file(path, std::ios::binary);
    unsigned char riff[12];
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)
        || !file.read(reinterpret_cast<char*>(riff), sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0
        || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return "";
    const auto fileBytes = static_cast<uint64_t>(status.st_size);
    uint32_t frameBytes = 0, sampleRate = 0;
    // The data chunk comes within the first few; a walk through a damaged file's zeros stops long before its end.
    constexpr int mostChunks = 256;
    uint64_t offset = sizeof riff;
    for (int chunks = 0; chunks < mostChunks && offset + 8 <= fileBytes; ++chunks)
    {
        unsigned char chunk[8];
        file.seekg(static_cast<std::streamoff>(offset));
        if (!file.read(reinterpret_cast<char*>(chunk), sizeof chunk))
            return "";
        const uint64_t size = littleEndian32(chunk + 4);
        const uint64_t start = offset + sizeof chunk;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 14)
        {
            unsigned char format[14];
            if (!file.read(reinterpret_cast<char*>(format), sizeof format))
                return "";
            sampleRate = littleEndian32(format + 4);
            frameBytes = uint32_t(format[12]) | uint32_t(format[13]) << 8;
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
        {
            // Wrapped at least once: what the sizes cannot say is a multiple of 4 GiB.
            const uint64_t held = fileBytes - start;
            if (held < size + (uint64_t(1) << 32))
                return "";
            return "'" + path + "' holds more audio than its WAV header says: the header says "
                   + amountText(size, frameBytes, sampleRate) + ", the file holds "
                   + amountText(held, frameBytes, sampleRate)
                   + " after the data chunk's start, more than a WAV header can count (4 GiB); it is read as "
                     "libsndfile reads it, to the header's length";
        }
        // Chunks of odd length are followed by a pad byte.
        offset = start + size + (size & 1);
    }
    return "";
}
