// RGB images and the 24-bit BMP writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dg {

// An RGB picture held top row first, as it is painted. The writer turns it
// into the bottom-row-first order of a BMP file.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // width * height * 3, row y = 0 at the top

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}
    uint8_t* At(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // Colour components in 0 ... 1, clamped and rounded.
    void Set(int x, int y, float r, float g, float b);
};

// Writes an uncompressed 24-bit BMP (14-byte file header, 40-byte info header,
// rows bottom first, each padded to a multiple of four bytes).
bool WriteBmp(const std::string& path, const Image& image);

} // namespace dg
