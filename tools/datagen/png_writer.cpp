#include "png_writer.h"

#include "bytes.h"

#include <png.h>

namespace dg {

namespace {

png_image Describe(const RgbaImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    return png;
}

} // namespace

std::vector<uint8_t> EncodePng(const RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        return {};
    }
    png_image png = Describe(image);
    png_alloc_size_t size = 0;
    // The first call measures, the second writes.
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgba.data(), 0, nullptr)) {
        return {};
    }
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgba.data(), 0, nullptr)) {
        return {};
    }
    bytes.resize(size);
    return bytes;
}

bool WritePng(const std::string& path, const RgbaImage& image) {
    const std::vector<uint8_t> bytes = EncodePng(image);
    return !bytes.empty() && WriteFileBytes(path, bytes);
}

} // namespace dg
