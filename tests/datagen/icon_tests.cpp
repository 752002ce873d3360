// The desktop icon, read back through libpng's own reader.
#include "test_data.h"

#include "datagen.h"
#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

using namespace dgtest;

namespace {

struct Decoded {
    std::string why; // empty when the file read back
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

Decoded DecodeRgba(const std::vector<uint8_t>& bytes) {
    Decoded out;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        out.why = png.message;
        return out;
    }
    png.format = PNG_FORMAT_RGBA;
    out.width = png.width;
    out.height = png.height;
    out.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, out.rgba.data(), 0, nullptr)) {
        out.why = png.message;
    }
    return out;
}

TEST(Icon, GeneratedFilesAreRgbaPngsOfTheIconAtEachSize) {
    // The desktop's, then the two a browser asks of an installable page.
    for (const auto& [name, side] : {std::pair<const char*, uint32_t>{"ostravel.png", 64},
                                     {"ostravel-192.png", 192},
                                     {"ostravel-512.png", 512}}) {
        const std::string path = DataDir() + "/../Icons/" + name;
        const std::vector<uint8_t> bytes = ReadBytes(path);
        const Decoded png = DecodeRgba(bytes);
        ASSERT_EQ(png.why, "") << path;
        EXPECT_EQ(png.width, side);
        EXPECT_EQ(png.height, side);
        // Colour type 6 (RGBA) at 8 bits: the alpha channel is in the file, not made up on reading.
        ASSERT_GT(bytes.size(), 26u);
        EXPECT_EQ(bytes[24], 8);
        EXPECT_EQ(bytes[25], 6);
        EXPECT_EQ(png.rgba, dg::MakeIcon(static_cast<int>(side)).rgba) << path;
        // Transparent corners, an opaque middle.
        EXPECT_EQ(png.rgba[3], 0);
        EXPECT_EQ(png.rgba[((side / 2) * side + side / 2) * 4 + 3], 255);
    }
}

TEST(Icon, EncoderKeepsEveryPixelAndRefusesAnEmptyPicture) {
    dg::RgbaImage image(300, 100);
    for (size_t i = 0; i < image.rgba.size(); ++i)
        image.rgba[i] = static_cast<uint8_t>(i * 7);
    const Decoded png = DecodeRgba(dg::EncodePng(image));
    ASSERT_EQ(png.why, "");
    EXPECT_EQ(png.width, 300u);
    EXPECT_EQ(png.height, 100u);
    EXPECT_EQ(png.rgba, image.rgba);
    EXPECT_TRUE(dg::EncodePng(dg::RgbaImage(0, 5)).empty());
}

} // namespace
