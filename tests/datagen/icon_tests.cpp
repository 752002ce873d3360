// The desktop icon, read back by a PNG reader written here for stored deflate blocks.
#include "test_data.h"

#include "datagen.h"
#include "png_writer.h"

#include <gtest/gtest.h>

using namespace dgtest;

namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

struct Png {
    std::string why; // empty when the file read back
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> header; // IHDR's 13 bytes
    std::vector<uint8_t> raw;    // inflated IDAT: filter byte + row, per row
};

// Chunks with their CRCs, then the zlib stream: header, stored blocks, Adler-32.
Png ReadPng(const std::vector<uint8_t>& b) {
    Png png;
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 8 || !std::equal(signature, signature + 8, b.begin()))
        return png.why = "no PNG signature", png;
    std::vector<uint8_t> idat;
    std::vector<std::string> order;
    for (size_t at = 8; at < b.size();) {
        if (at + 12 > b.size())
            return png.why = "chunk cut short", png;
        const uint32_t n = Be32(b, at);
        if (at + 12 + n > b.size())
            return png.why = "chunk data cut short", png;
        const std::string type(b.begin() + at + 4, b.begin() + at + 8);
        if (dg::PngCrc(&b[at + 4], 4 + n) != Be32(b, at + 8 + n))
            return png.why = "bad CRC in " + type, png;
        order.push_back(type);
        const auto data = b.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (type == "IHDR")
            png.header.assign(data, data + n);
        if (type == "IDAT")
            idat.insert(idat.end(), data, data + n);
        at += 12 + n;
    }
    if (order.empty() || order.front() != "IHDR" || order.back() != "IEND" ||
        png.header.size() != 13)
        return png.why = "chunks out of order", png;
    png.width = Be32(png.header, 0);
    png.height = Be32(png.header, 4);
    if (idat.size() < 6 || ((idat[0] << 8) | idat[1]) % 31 != 0 || (idat[0] & 0x0F) != 8)
        return png.why = "bad zlib header", png;
    size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > idat.size())
            return png.why = "block cut short", png;
        last = (idat[at] & 1) != 0;
        if ((idat[at] & 6) != 0)
            return png.why = "not a stored block", png;
        const uint32_t len = idat[at + 1] | (idat[at + 2] << 8);
        const uint32_t nlen = idat[at + 3] | (idat[at + 4] << 8);
        if ((len ^ 0xFFFF) != nlen || at + 5 + len > idat.size())
            return png.why = "bad stored length", png;
        png.raw.insert(png.raw.end(), idat.begin() + at + 5, idat.begin() + at + 5 + len);
        at += 5 + len;
    }
    uint32_t a = 1, s = 0;
    for (uint8_t v : png.raw) {
        a = (a + v) % 65521;
        s = (s + a) % 65521;
    }
    if (at + 4 != idat.size() || Be32(idat, at) != ((s << 16) | a))
        return png.why = "bad Adler-32", png;
    return png;
}

TEST(Icon, CrcCheckValue) {
    const std::string text = "123456789";
    EXPECT_EQ(dg::PngCrc(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
}

TEST(Icon, GeneratedFileIsA64By64RgbaPngOfTheIcon) {
    const std::string path = DataDir() + "/../Icons/ostravel.png";
    const Png png = ReadPng(ReadBytes(path));
    ASSERT_EQ(png.why, "") << path;
    EXPECT_EQ(png.width, 64u);
    EXPECT_EQ(png.height, 64u);
    EXPECT_EQ(std::vector<uint8_t>(png.header.begin() + 8, png.header.end()),
              (std::vector<uint8_t>{8, 6, 0, 0, 0}));
    const dg::RgbaImage icon = dg::MakeIcon();
    ASSERT_EQ(png.raw.size(), 64u * (1 + 64 * 4));
    for (int y = 0; y < 64; ++y) {
        const size_t row = static_cast<size_t>(y) * (1 + 64 * 4);
        ASSERT_EQ(png.raw[row], 0) << "filter of row " << y;
        ASSERT_TRUE(std::equal(png.raw.begin() + row + 1, png.raw.begin() + row + 1 + 256,
                               icon.rgba.begin() + y * 256))
            << "row " << y;
    }
    // Transparent corners, an opaque middle.
    EXPECT_EQ(png.raw[1 + 3], 0);
    EXPECT_EQ(png.raw[32 * 257 + 1 + 32 * 4 + 3], 255);
}

TEST(Icon, LargeImagesSpanSeveralStoredBlocks) {
    // 300 x 100 RGBA is 120100 bytes of rows: two blocks.
    dg::RgbaImage image(300, 100);
    for (size_t i = 0; i < image.rgba.size(); ++i)
        image.rgba[i] = static_cast<uint8_t>(i * 7);
    const Png png = ReadPng(dg::EncodePng(image));
    ASSERT_EQ(png.why, "");
    ASSERT_EQ(png.raw.size(), 100u * 1201);
    EXPECT_TRUE(std::equal(png.raw.begin() + 1, png.raw.begin() + 1201, image.rgba.begin()));
    EXPECT_TRUE(std::equal(png.raw.end() - 1200, png.raw.end(), image.rgba.end() - 1200));
}

} // namespace
