// RGBA PNG files for the desktop icon, written through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dg {

// A picture with an alpha channel, top row first (as PNG stores it).
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba; // width * height * 4

    RgbaImage(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// The whole file as bytes (8-bit RGBA); empty when libpng refuses the picture.
std::vector<uint8_t> EncodePng(const RgbaImage& image);
bool WritePng(const std::string& path, const RgbaImage& image);

} // namespace dg
