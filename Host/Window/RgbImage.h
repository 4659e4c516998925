#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture of a window as the host sees it: 8-bit red, green and blue per pixel, rows from the top.
namespace kelvane::host
{
struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3 bytes

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3) {}

    std::uint8_t* pixel(int x, int y)
    {
        return rgb.data()
               + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    }
    const std::uint8_t* pixel(int x, int y) const { return const_cast<RgbImage*>(this)->pixel(x, y); }
};

/** The picture as the bytes of an 8-bit RGB PNG file; empty on failure. Written to a file by the caller,
    which knows how that file is to be replaced. */
std::vector<char> encodePng(const RgbImage& image);

/** Reads a PNG file of any colour type, transparency composed over black; empty on failure. */
RgbImage readPng(const std::string& path);

/** How far two pictures of the same size are apart: the largest difference of one colour value (0-255)
    and the share of pixels whose difference exceeds a tolerance. Pictures of different sizes differ
    entirely (255 and 1). */
struct ImageDifference
{
    int largest = 0;
    double shareAbove = 0.0;
};

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance);
} // namespace kelvane::host
