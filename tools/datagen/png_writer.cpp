#include "png_writer.h"

#include "bytes.h"

#include <algorithm>

namespace dg {

namespace {

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

// Length, type, data, then the CRC over type and data.
void Chunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, PngCrc(out.data() + typeAt, 4 + data.size()));
}

// zlib wrapper around stored deflate blocks of at most 65535 bytes each.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01}; // deflate, 32 KiB window; 0x7801 % 31 == 0
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0); // BFINAL, BTYPE 00 (stored)
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    // Adler-32 of the uncompressed bytes, most significant byte first.
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(out, (b << 16) | a);
    return out;
}

} // namespace

uint32_t PngCrc(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<uint8_t> EncodePng(const RgbaImage& image) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBe32(header, static_cast<uint32_t>(image.width));
    PutBe32(header, static_cast<uint32_t>(image.height));
    // 8 bits per channel, colour type 6 (RGBA), deflate, adaptive filters, no interlace.
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Chunk(out, "IHDR", header);

    const size_t rowBytes = static_cast<size_t>(image.width) * 4;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0); // filter: none
        const auto row = image.rgba.begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    Chunk(out, "IDAT", StoredZlib(raw));
    Chunk(out, "IEND", {});
    return out;
}

bool WritePng(const std::string& path, const RgbaImage& image) {
    return WriteFileBytes(path, EncodePng(image));
}

} // namespace dg
