#include "bmp_writer.h"

#include "bytes.h"

#include <cmath>

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

bool WriteBmp(const std::string& path, const Image& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * image.height;
    std::vector<uint8_t> b;
    b.reserve(54 + pixelBytes);
    b.push_back('B'), b.push_back('M');
    PutLe(b, 54 + pixelBytes, 4);
    PutLe(b, 0, 4);
    PutLe(b, 54, 4);
    PutLe(b, 40, 4);
    PutLe(b, image.width, 4);
    PutLe(b, image.height, 4);
    PutLe(b, 1, 2);
    PutLe(b, 24, 2);
    PutLe(b, 0, 4); // no compression
    PutLe(b, pixelBytes, 4);
    PutLe(b, 2835, 4), PutLe(b, 2835, 4); // 72 dpi
    PutLe(b, 0, 4), PutLe(b, 0, 4);
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
