#include "bmp_writer.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace dg {

static uint8_t ToByte(float v) {
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return static_cast<uint8_t>(std::lround(v * 255.0f));
}

void Image::Set(int x, int y, float r, float g, float b) {
    uint8_t* p = At(x, y);
    p[0] = ToByte(r), p[1] = ToByte(g), p[2] = ToByte(b);
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

static void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF);
}
static void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

bool WriteBmp(const std::string& path, const Image& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * image.height;
    std::vector<uint8_t> b;
    b.reserve(54 + pixelBytes);
    b.push_back('B'), b.push_back('M');
    Put32(b, 54 + pixelBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, image.width);
    Put32(b, image.height);
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0); // no compression
    Put32(b, pixelBytes);
    Put32(b, 2835), Put32(b, 2835); // 72 dpi
    Put32(b, 0), Put32(b, 0);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* src = image.At(0, image.height - 1 - row);
        for (int x = 0; x < image.width; ++x) {
            b.push_back(src[x * 3 + 2]);
            b.push_back(src[x * 3 + 1]);
            b.push_back(src[x * 3 + 0]);
        }
        for (uint32_t pad = image.width * 3; pad < rowBytes; ++pad)
            b.push_back(0);
    }
    return WriteFileBytes(path, b);
}

} // namespace dg
