// RGBA PNG writer for the desktop icon: no compression library, the pixels go into stored
// (uncompressed) deflate blocks, which every PNG reader accepts.
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

// CRC-32 as PNG chunks carry it (polynomial 0xEDB88320, reflected).
uint32_t PngCrc(const uint8_t* data, size_t size, uint32_t crc = 0);
// The whole file: signature, IHDR (8-bit RGBA), one IDAT holding a zlib stream of stored
// blocks (each row led by filter byte 0), IEND.
std::vector<uint8_t> EncodePng(const RgbaImage& image);
bool WritePng(const std::string& path, const RgbaImage& image);

} // namespace dg
