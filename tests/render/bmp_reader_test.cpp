// The bitmap reader against files written by an independent writer (ImageMagick, when installed)
// and against hand-built variants and broken files.
#include "platform/platform_test.h"
#include "render/bmp_reader.h"

#include "tests/missing_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using tBytes = std::vector<uint8_t>;

void Put16(tBytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(tBytes& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFFu);
    Put16(b, at + 2, v >> 16);
}

// A bitmap as its fields say, assembled byte by byte: optional file header, a 40- or 12-byte
// info header, masks, colour table (BGR0 or BGR entries), then the pixel bytes as given.
struct tBmpLayout {
    bool fileHeader = true;
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;   // written after a 40-byte header
    std::vector<uint32_t> palette; // 0xRRGGBB
    tBytes pixels;
};

tBytes MakeBmp(const tBmpLayout& s) {
    const size_t fileBytes = s.fileHeader ? 14 : 0;
    const size_t entry = s.headerSize == 12 ? 3 : 4;
    const size_t header = s.headerSize < 12 ? 12 : s.headerSize;
    const size_t offBits = fileBytes + header + s.masks.size() * 4 + s.palette.size() * entry;
    tBytes b(offBits);
    if (s.fileHeader) {
        b[0] = 'B';
        b[1] = 'M';
        Put32(b, 2, static_cast<uint32_t>(offBits + s.pixels.size()));
        Put32(b, 10, static_cast<uint32_t>(offBits));
    }
    const size_t h = fileBytes;
    Put32(b, h, s.headerSize);
    if (s.headerSize == 12) {
        Put16(b, h + 4, static_cast<uint32_t>(s.width));
        Put16(b, h + 6, static_cast<uint32_t>(s.height));
        Put16(b, h + 8, 1);
        Put16(b, h + 10, s.bitCount);
    } else {
        Put32(b, h + 4, static_cast<uint32_t>(s.width));
        Put32(b, h + 8, static_cast<uint32_t>(s.height));
        Put16(b, h + 12, 1);
        Put16(b, h + 14, s.bitCount);
        Put32(b, h + 16, s.compression);
        Put32(b, h + 32, s.colorsUsed);
    }
    size_t at = h + header;
    for (uint32_t m : s.masks) {
        Put32(b, at, m);
        at += 4;
    }
    for (uint32_t c : s.palette) {
        b[at] = static_cast<uint8_t>(c);
        b[at + 1] = static_cast<uint8_t>(c >> 8);
        b[at + 2] = static_cast<uint8_t>(c >> 16);
        at += entry;
    }
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// The expected picture, bottom row first, as RRGGBB per pixel.
tBytes Rgb(const std::vector<uint32_t>& colours) {
    tBytes out;
    for (uint32_t c : colours) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
    return out;
}

std::string WriteFile(const std::string& name, const tBytes& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

tBytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return tBytes((std::istreambuf_iterator<char>(in)), {});
}

// A 3 x 2 picture in a 4-colour table: rows bottom-up (red, green, blue), (white, black, grey).
const std::vector<uint32_t> kPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
const tBytes kPicture = Rgb({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080});

} // namespace

TEST(BmpReader, HandBuiltVariantsDecodeToTheSamePixels) {
    struct tCase {
        const char* name;
        tBmpLayout layout;
    };
    const std::vector<uint32_t> six = kPalette;
    std::vector<tCase> cases;
    // 24-bit: rows of 9 bytes padded to 12.
    tBmpLayout s24;
    s24.width = 3;
    s24.height = 2;
    s24.pixels = {0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0,
                  255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0};
    cases.push_back({"24-bit", s24});
    tBmpLayout bare = s24;
    bare.fileHeader = false;
    cases.push_back({"24-bit, no file header", bare});
    tBmpLayout top = s24;
    top.height = -2;
    top.pixels = {255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0,
                  0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0};
    cases.push_back({"24-bit top-down", top});
    tBmpLayout core24 = s24;
    core24.headerSize = 12;
    cases.push_back({"24-bit, 12-byte header", core24});
    // 32-bit: B, G, R, unused.
    tBmpLayout s32;
    s32.width = 3;
    s32.height = 2;
    s32.bitCount = 32;
    s32.pixels = {0,   0,   255, 9, 0, 255, 0, 9, 255, 0,   0,   9,
                  255, 255, 255, 9, 0, 0,   0, 9, 128, 128, 128, 9};
    cases.push_back({"32-bit", s32});
    // 8-bit, one byte per pixel, rows padded to 4.
    tBmpLayout s8;
    s8.width = 3;
    s8.height = 2;
    s8.bitCount = 8;
    s8.palette = six;
    s8.colorsUsed = 6;
    s8.pixels = {0, 1, 2, 0, 3, 4, 5, 0};
    cases.push_back({"8-bit", s8});
    tBmpLayout core8 = s8;
    core8.headerSize = 12;
    core8.fileHeader = false;
    core8.palette.resize(256, 0);
    cases.push_back({"8-bit, bare, 12-byte header", core8});
    // 4-bit with a table of 6 in a bare bitmap: the pixels start right after the 6 entries.
    tBmpLayout s4;
    s4.fileHeader = false;
    s4.width = 3;
    s4.height = 2;
    s4.bitCount = 4;
    s4.palette = six;
    s4.colorsUsed = 6;
    s4.pixels = {0x01, 0x20, 0, 0, 0x34, 0x50, 0, 0};
    cases.push_back({"4-bit, bare, 6 colours", s4});
    tBmpLayout full4 = s4;
    full4.colorsUsed = 0;
    full4.palette.resize(16, 0);
    cases.push_back({"4-bit, bare, full table", full4});
    // RLE8: three runs of one, end of line, an absolute run of 3 padded to 4, end of picture.
    tBmpLayout rle8 = s8;
    rle8.compression = 1;
    rle8.pixels = {1, 0, 1, 1, 1, 2, 0, 0, 0, 3, 3, 4, 5, 0, 0, 1};
    cases.push_back({"RLE8", rle8});
    // RLE4: an absolute run of 3 nibbles (2 bytes), then a run of 3 alternating 3, 4.
    tBmpLayout rle4 = s4;
    rle4.fileHeader = true;
    rle4.compression = 2;
    rle4.pixels = {0, 3, 0x01, 0x20, 0, 0, 2, 0x34, 1, 0x55, 0, 1};
    cases.push_back({"RLE4", rle4});
    // 16-bit, 5-5-5 by default and 5-6-5 through masks; grey 16/31 widens to 132.
    const tBytes grey16 = Rgb({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848484});
    tBmpLayout s16;
    s16.width = 3;
    s16.height = 2;
    s16.bitCount = 16;
    s16.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0,
                  0xFF, 0x7F, 0x00, 0x00, 0x10, 0x42, 0, 0};
    cases.push_back({"16-bit 5-5-5", s16});
    tBmpLayout s565 = s16;
    s565.compression = 3;
    s565.masks = {0xF800, 0x07E0, 0x001F};
    // Grey: red and blue 16 of 31, green 33 of 63 -> 132, 134, 132.
    s565.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0,
                   0xFF, 0xFF, 0x00, 0x00, 0x30, 0x84, 0, 0};
    cases.push_back({"16-bit 5-6-5 masks", s565});
    tBmpLayout bf32 = s32;
    bf32.compression = 3;
    bf32.masks = {0x0000FF00u, 0x00FF0000u, 0xFF000000u}; // R, G, B in the top three bytes
    bf32.pixels = {9, 255, 0,   0,   9, 0, 255, 0, 9, 0,   0,   255,
                   9, 255, 255, 255, 9, 0, 0,   0, 9, 128, 128, 128};
    cases.push_back({"32-bit masks", bf32});
    tBmpLayout wide = bf32;
    wide.masks = {0xFFFFFFFFu, 0x0000FF00u, 0x000000FFu}; // red: all 32 bits, read as the top 8
    wide.pixels = {0,   0,   0, 255, 0, 255, 0, 0, 255, 0,   0, 0,
                   255, 255, 0, 255, 0, 0,   0, 0, 128, 128, 0, 128};
    cases.push_back({"32-bit, a mask of all 32 bits", wide});

    for (const tCase& c : cases) {
        const tBytes file = MakeBmp(c.layout);
        const char* error = "not set";
        const std::optional<tImage> image = DecodeBmp(file.data(), file.size(), &error);
        ASSERT_TRUE(image.has_value()) << c.name << ": " << error;
        EXPECT_EQ(error, nullptr) << c.name;
        EXPECT_EQ(image->width, 3) << c.name;
        EXPECT_EQ(image->height, 2) << c.name;
        tBytes expected = kPicture;
        if (c.layout.bitCount == 16) {
            expected = grey16;
            if (c.layout.compression == 3) {
                expected[16] = 134;
            }
        }
        EXPECT_EQ(image->pixels, expected) << c.name;
    }
}

TEST(BmpReader, TableIndicesPastTheTableAndRunsPastTheRowReadBlack) {
    // 4-bit, 5 colours, a pixel of index 7; and an RLE8 run of 200 in a 3-wide row that stops at
    // the row's end, then a jump over the rest of the picture.
    tBmpLayout s4;
    s4.width = 2;
    s4.height = 1;
    s4.bitCount = 4;
    s4.colorsUsed = 5;
    s4.palette = {0x111111, 0x222222, 0x333333, 0x444444, 0x555555};
    s4.pixels = {0x47, 0, 0, 0};
    tBytes file = MakeBmp(s4);
    std::optional<tImage> image = DecodeBmp(file.data(), file.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Rgb({0x555555, 0x000000}));

    tBmpLayout rle;
    rle.width = 3;
    rle.height = 2;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.palette = {0x000000, 0xABCDEF};
    rle.colorsUsed = 2;
    rle.pixels = {200, 1, 0, 2, 1, 5};
    file = MakeBmp(rle);
    image = DecodeBmp(file.data(), file.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Rgb({0xABCDEF, 0xABCDEF, 0xABCDEF, 0, 0, 0}));

    // A jump within a picture taller than wide: one pixel, a jump of (0, 2) to the top row's
    // right end, one pixel there, end of picture.
    rle.width = 2;
    rle.height = 3;
    rle.pixels = {1, 1, 0, 2, 0, 2, 1, 1, 0, 1};
    file = MakeBmp(rle);
    image = DecodeBmp(file.data(), file.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Rgb({0xABCDEF, 0, 0, 0, 0, 0xABCDEF}));

    // Three literal pixels in a row of two: the third is dropped, not carried to the next row.
    rle.height = 2;
    rle.pixels = {0, 3, 1, 1, 1, 0, 0, 1};
    file = MakeBmp(rle);
    image = DecodeBmp(file.data(), file.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Rgb({0xABCDEF, 0xABCDEF, 0, 0}));

    // Three literal pixels in a row of four: the padding byte after them is not a pixel.
    rle.width = 4;
    rle.height = 1;
    rle.pixels = {0, 3, 1, 1, 1, 1, 0, 1};
    file = MakeBmp(rle);
    image = DecodeBmp(file.data(), file.size(), nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Rgb({0xABCDEF, 0xABCDEF, 0xABCDEF, 0}));
}

TEST(BmpReader, BrokenFilesAreRefusedWithTheirMessage) {
    tBmpLayout base;
    base.width = 3;
    base.height = 2;
    base.pixels.assign(24, 7);
    const tBytes good = MakeBmp(base);

    struct tCase {
        const char* name;
        tBytes bytes;
        const char* message;
    };
    std::vector<tCase> cases;
    auto edited = [&](auto edit) {
        tBmpLayout s = base;
        edit(s);
        return MakeBmp(s);
    };
    cases.push_back({"empty", {}, kBmpUnknownFormat});
    cases.push_back({"only BM", {'B', 'M'}, kBmpUnknownFormat});
    cases.push_back(
        {"file header only", tBytes(good.begin(), good.begin() + 14), kBmpUnknownFormat});
    cases.push_back(
        {"info header cut", tBytes(good.begin(), good.begin() + 40), kBmpUnknownFormat});
    cases.push_back(
        {"108-byte header", edited([](tBmpLayout& s) { s.headerSize = 108; }), kBmpUnknownFormat});
    cases.push_back(
        {"124-byte header", edited([](tBmpLayout& s) { s.headerSize = 124; }), kBmpUnknownFormat});
    cases.push_back(
        {"last pixel byte missing", tBytes(good.begin(), good.end() - 1), kBmpConversionError});
    cases.push_back({"no pixels", tBytes(good.begin(), good.begin() + 54), kBmpConversionError});
    tBytes farOffset = good;
    Put32(farOffset, 10, 100000);
    cases.push_back({"pixel offset past the end", farOffset, kBmpConversionError});
    tBytes wrapOffset = good;
    Put32(wrapOffset, 10, 0xFFFFFFF0u);
    cases.push_back({"pixel offset near 4 GiB", wrapOffset, kBmpConversionError});
    cases.push_back({"width 0", edited([](tBmpLayout& s) { s.width = 0; }), kBmpConversionError});
    cases.push_back({"height 0", edited([](tBmpLayout& s) { s.height = 0; }), kBmpConversionError});
    cases.push_back(
        {"negative width", edited([](tBmpLayout& s) { s.width = -3; }), kBmpConversionError});
    cases.push_back(
        {"width 100000", edited([](tBmpLayout& s) { s.width = 100000; }), kBmpOutOfMemory});
    cases.push_back({"most negative height", edited([](tBmpLayout& s) { s.height = INT_MIN; }),
                     kBmpOutOfMemory});
    cases.push_back({"20000 x 20000", edited([](tBmpLayout& s) { s.width = s.height = 20000; }),
                     kBmpOutOfMemory});
    cases.push_back({"claims 30000 wide, 1 row", edited([](tBmpLayout& s) {
                         s.width = 30000;
                         s.height = 1;
                         s.bitCount = 32;
                     }),
                     kBmpConversionError});
    cases.push_back(
        {"7 bits per pixel", edited([](tBmpLayout& s) { s.bitCount = 7; }), kBmpConversionError});
    cases.push_back(
        {"JPEG inside", edited([](tBmpLayout& s) { s.compression = 4; }), kBmpConversionError});
    cases.push_back(
        {"RLE8 at 24 bits", edited([](tBmpLayout& s) { s.compression = 1; }), kBmpConversionError});
    cases.push_back({"RLE8 top-down", edited([](tBmpLayout& s) {
                         s.compression = 1;
                         s.bitCount = 8;
                         s.height = -2;
                     }),
                     kBmpConversionError});
    cases.push_back({"masks at 24 bits", edited([](tBmpLayout& s) {
                         s.compression = 3;
                         s.masks = {0xFF0000, 0xFF00, 0xFF};
                     }),
                     kBmpConversionError});
    cases.push_back(
        {"masks cut off", tBytes(good.begin(), good.begin() + 58), kBmpConversionError});
    tBytes cutMasks = edited([](tBmpLayout& s) {
        s.bitCount = 16;
        s.compression = 3;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels.clear();
    });
    cutMasks.resize(14 + 40 + 8);
    Put32(cutMasks, 10, 0);
    cases.push_back({"masks past the end", cutMasks, kBmpConversionError});
    cases.push_back({"mask with a gap", edited([](tBmpLayout& s) {
                         s.bitCount = 16;
                         s.compression = 3;
                         s.masks = {0xF00F, 0x07E0, 0x001F};
                     }),
                     kBmpUnknownFormat});
    cases.push_back({"full table of 256, 64 present", edited([](tBmpLayout& s) {
                         s.bitCount = 8;
                         s.palette.assign(64, 0x123456);
                     }),
                     kBmpConversionError});
    cases.push_back({"65535 colours, short file", edited([](tBmpLayout& s) {
                         s.bitCount = 8;
                         s.colorsUsed = 65535;
                     }),
                     kBmpConversionError});

    ResetTestPlatform();
    for (const tCase& c : cases) {
        const char* error = nullptr;
        EXPECT_FALSE(DecodeBmp(c.bytes.data(), c.bytes.size(), &error)) << c.name;
        EXPECT_STREQ(error, c.message) << c.name;
    }
    EXPECT_FALSE(DecodeBmp(nullptr, 10, nullptr));
    EXPECT_TRUE(TestPlatformState().boxes.empty()) << "decoding from memory shows nothing";
}

TEST(BmpReader, LoadingReportsOnceInTheGamesStyle) {
    tTestPlatformState& platform = ResetTestPlatform();
    EXPECT_FALSE(LoadBmpImage(nullptr));
    EXPECT_FALSE(LoadBmpImage("Data\\NoSuch\\picture.bmp"));
    const std::string bad =
        WriteFile("bad_header.bmp", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 108, 0, 0, 0});
    EXPECT_FALSE(LoadBmpImage(bad.c_str()));
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].caption, "Error");
    EXPECT_EQ(platform.boxes[0].text, "Failed to open DIB file Data\\NoSuch\\picture.bmp.\n");
    EXPECT_EQ(platform.boxes[0].buttons, kButtonsOk);
    EXPECT_EQ(platform.boxes[1].text, kBmpUnknownFormat);

    // Case and separators of data names are resolved.
    tBmpLayout s;
    s.width = 1;
    s.height = 1;
    s.pixels = {1, 2, 3, 0};
    const std::string good = WriteFile("Good_Case.bmp", MakeBmp(s));
    std::string asked = testing::TempDir() + "good_case.BMP";
    for (char& ch : asked) {
        ch = ch == '/' ? '\\' : ch;
    }
    const std::optional<tImage> image = LoadBmpImage(asked.c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (tBytes{3, 2, 1}));
    EXPECT_EQ(platform.boxes.size(), 2u);
}

TEST(BmpReader, CutsAndRandomBytesNeverReadOutside) {
    // Every prefix and many random corruptions of each variant: refused or decoded, never a read
    // outside the data (the sanitizer build checks the bytes; here the sizes are checked).
    std::vector<tBytes> files;
    tBmpLayout s8;
    s8.width = 5;
    s8.height = 3;
    s8.bitCount = 8;
    s8.palette = kPalette;
    s8.colorsUsed = 6;
    s8.pixels.assign(24, 2);
    files.push_back(MakeBmp(s8));
    s8.compression = 1;
    s8.pixels = {3, 1, 0, 3, 1, 2, 0, 0, 0, 2, 1, 1, 0, 4, 1, 2, 3, 4, 0, 1};
    files.push_back(MakeBmp(s8));
    s8.compression = 2;
    s8.bitCount = 4;
    files.push_back(MakeBmp(s8));
    tBmpLayout s16;
    s16.width = 3;
    s16.height = 3;
    s16.bitCount = 16;
    s16.compression = 3;
    s16.masks = {0xF800, 0x07E0, 0x001F};
    s16.pixels.assign(24, 0x5A);
    files.push_back(MakeBmp(s16));
    tBmpLayout core;
    core.headerSize = 12;
    core.width = 4;
    core.height = 2;
    core.bitCount = 1;
    core.palette = {0, 0xFFFFFF};
    core.pixels = {0xA0, 0, 0, 0, 0x50, 0, 0, 0};
    files.push_back(MakeBmp(core));

    std::mt19937 random(1234);
    int decoded = 0;
    for (const tBytes& file : files) {
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            // A copy of exactly that length, so the sanitizer sees any read past it.
            const tBytes prefix(file.begin(), file.begin() + static_cast<long>(cut));
            const std::optional<tImage> image = DecodeBmp(prefix.data(), prefix.size(), nullptr);
            if (image) {
                ++decoded;
                EXPECT_EQ(image->pixels.size(), size_t(image->width) * image->height * 3);
            }
        }
        for (int round = 0; round < 400; ++round) {
            tBytes mutated = file;
            const int flips = 1 + static_cast<int>(random() % 6);
            for (int f = 0; f < flips; ++f) {
                mutated[random() % mutated.size()] = static_cast<uint8_t>(random());
            }
            const char* error = nullptr;
            const std::optional<tImage> image = DecodeBmp(mutated.data(), mutated.size(), &error);
            EXPECT_EQ(image.has_value(), error == nullptr);
            if (image) {
                EXPECT_EQ(image->pixels.size(), size_t(image->width) * image->height * 3);
            }
        }
    }
    EXPECT_GE(decoded, static_cast<int>(files.size()));
}

TEST(BmpReader, ImageMagickVariantsMatchItsOwnDecoding) {
    if (std::system("convert -version > /dev/null 2>&1") != 0) {
        SKIP_OR_FAIL_MISSING("ImageMagick's convert is not installed", "imagemagick");
    }
    // Two source pictures: 10 colours (4-bit tables) and 40 colours (8-bit tables), as PPM.
    auto writePpm = [](const std::string& name, int w, int h, int colours) {
        std::string data = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int c = (x * 3 + y * 7) % colours;
                data += static_cast<char>(c * 37 % 256);
                data += static_cast<char>(c * 91 % 256);
                data += static_cast<char>(255 - c * 5);
            }
        }
        return WriteFile(name, tBytes(data.begin(), data.end()));
    };
    const std::string few = writePpm("im_few.ppm", 7, 5, 10);
    const std::string many = writePpm("im_many.ppm", 13, 6, 40);
    struct tCase {
        const std::string* source;
        const char* options;
        int bitCount;
        uint32_t headerSize;
        uint32_t compression;
        // Compared with the source picture within this many levels, instead of with the tool's
        // reading (which gets its own 16-bit files wrong: it reads them back black).
        int tolerance = -1;
    };
    const tCase cases[] = {
        {&few, "-type TrueColor BMP3:", 24, 40, 0},
        {&few, "-type Palette -compress None BMP3:", 4, 40, 0},
        {&many, "-type Palette -compress None BMP3:", 8, 40, 0},
        {&many, "-type Palette -compress RLE BMP3:", 8, 40, 1},
        {&few, "-monochrome BMP3:", 1, 40, 0},
        {&few, "-alpha on -define bmp3:alpha=true BMP3:", 32, 40, 0},
        {&few, "-define bmp:subtype=RGB555 BMP3:", 16, 40, 3, 8},
        {&few, "-type TrueColor BMP2:", 24, 12, 0},
        {&few, "-type Palette BMP2:", 4, 12, 0},
        {&many, "-type Palette BMP2:", 8, 12, 0},
    };
    int index = 0;
    for (const tCase& c : cases) {
        const std::string bmp = testing::TempDir() + "im_" + std::to_string(index) + ".bmp";
        const std::string rgb = testing::TempDir() + "im_" + std::to_string(index++) + ".rgb";
        const std::string make = "convert " + *c.source + " " + c.options + bmp + " 2>/dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        // The tool's own reading of the file it wrote, top row first.
        const std::string back = "convert " + bmp + " -depth 8 rgb:" + rgb + " 2>/dev/null";
        ASSERT_EQ(std::system(back.c_str()), 0) << back;
        const tBytes file = ReadFile(bmp);
        tBytes reference = ReadFile(rgb);
        if (c.tolerance >= 0) {
            const tBytes ppm = ReadFile(*c.source);
            reference.assign(ppm.end() - static_cast<long>(reference.size()), ppm.end());
        }
        ASSERT_GE(file.size(), 30u);
        EXPECT_EQ(file[14], c.headerSize) << c.options;
        EXPECT_EQ(file[14 + (c.headerSize == 12 ? 10 : 14)], c.bitCount) << c.options;
        if (c.headerSize == 40) {
            EXPECT_EQ(file[30], c.compression) << c.options;
        }
        const char* error = nullptr;
        const std::optional<tImage> image = DecodeBmp(file.data(), file.size(), &error);
        ASSERT_TRUE(image) << c.options << ": " << error;
        const size_t row = static_cast<size_t>(image->width) * 3;
        ASSERT_EQ(reference.size(), row * image->height) << c.options;
        for (int y = 0; y < image->height; ++y) {
            const auto ours = image->pixels.begin() + static_cast<long>(y * row);
            const auto theirs =
                reference.begin() + static_cast<long>((image->height - 1 - y) * row);
            for (size_t i = 0; i < row; ++i) {
                const int diff = std::abs(int(ours[long(i)]) - int(theirs[long(i)]));
                ASSERT_LE(diff, std::max(c.tolerance, 0))
                    << c.options << " row " << y << " byte " << i;
            }
        }
    }
}
