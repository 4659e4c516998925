#include "RgbImage.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kelvane::host
{
std::vector<char> encodePng(const RgbImage& image)
{
    if (image.width <= 0 || image.height <= 0
        || image.rgb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3)
        return {};

    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    info.width = static_cast<png_uint_32>(image.width);
    info.height = static_cast<png_uint_32>(image.height);
    info.format = PNG_FORMAT_RGB;

    // Asked for the size first, then written into room of that size.
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&info, nullptr, &size, 0, image.rgb.data(), 0, nullptr) == 0 || size == 0)
        return {};
    std::vector<char> bytes(size);
    if (png_image_write_to_memory(&info, bytes.data(), &size, 0, image.rgb.data(), 0, nullptr) == 0)
        return {};
    bytes.resize(size);
    return bytes;
}

RgbImage readPng(const std::string& path)
{
    png_image info{};
    info.version = PNG_IMAGE_VERSION;

    if (png_image_begin_read_from_file(&info, path.c_str()) == 0)
        return {};

    info.format = PNG_FORMAT_RGB;
    RgbImage image(static_cast<int>(info.width), static_cast<int>(info.height));
    const png_color black{0, 0, 0};

    if (png_image_finish_read(&info, &black, image.rgb.data(), 0, nullptr) == 0)
    {
        png_image_free(&info);
        return {};
    }

    return image;
}

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance)
{
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return {255, 1.0};

    ImageDifference result;
    std::size_t pixelsAbove = 0;

    for (std::size_t i = 0; i < a.rgb.size(); i += 3)
    {
        int pixelLargest = 0;

        for (std::size_t c = 0; c < 3; ++c)
            pixelLargest = std::max(pixelLargest, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));

        result.largest = std::max(result.largest, pixelLargest);
        pixelsAbove += pixelLargest > tolerance ? 1 : 0;
    }

    result.shareAbove = double(pixelsAbove) / double(a.rgb.size() / 3);
    return result;
}
} // namespace kelvane::host
