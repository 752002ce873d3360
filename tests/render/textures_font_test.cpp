// Textures and the bitmap font on a hidden GL context (SDL's offscreen driver): the texture's
// parameters and texels, and text read back from the frame buffer.
#include "app/display.h"
#include "state/game_state.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "render/font.h"
#include "render/textures.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// A 24-bit bottom-up bitmap from RGB rows (bottom row first), rows padded to four bytes.
std::string WriteBmp24(const std::string& name, int width, int height,
                       const std::vector<uint8_t>& rgb) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b(54 + static_cast<size_t>(stride) * height, 0);
    auto put32 = [&b](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t from = (static_cast<size_t>(y) * width + x) * 3;
            const size_t to = 54 + static_cast<size_t>(y) * stride + x * 3;
            b[to] = rgb[from + 2];
            b[to + 1] = rgb[from + 1];
            b[to + 2] = rgb[from];
        }
    }
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return path;
}

GLint Integer(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// The red, green and blue of one window pixel, from the lower-left corner.
std::vector<uint8_t> Pixel(int x, int y) {
    std::vector<uint8_t> p(3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p.data());
    return p;
}

} // namespace

TEST(TextureLoad, MissingAndBrokenFilesReportOnce) {
    static_assert(kTextureSlots == 2014);
    tTestPlatformState& platform = ResetTestPlatform();
    uint32_t table[kTextureSlots] = {};
    table[7] = 99;
    EXPECT_FALSE(LoadTexture(table, nullptr, 7));
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_FALSE(LoadTexture(table, "Data\\NoSuchTexture.bmp", 7));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Unable to load BMP File!");
    EXPECT_EQ(platform.boxes[0].caption, "Error");

    // A file that opens but is no bitmap: only the reader's message.
    const std::string path = testing::TempDir() + "not_a_bitmap.bmp";
    std::ofstream(path) << "BM but nothing else of a bitmap";
    EXPECT_FALSE(LoadTexture(table, path.c_str(), 7));
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].text, "Unknown DIB file format.");
    EXPECT_EQ(table[7], 99u) << "a failed load keeps the slot";
    // Slots outside the table are refused before anything is read.
    EXPECT_FALSE(LoadTexture(table, path.c_str(), kTextureSlots));
    EXPECT_FALSE(LoadTexture(table, path.c_str(), -1));
    EXPECT_EQ(platform.boxes.size(), 2u);
}

TEST(TextureLoad, MipmappedTextureInItsSlot) {
    tContextCloser closer;
    ASSERT_TRUE(OpenSdlContext(64, 64)) << "no offscreen video";
    // 4 x 2: a power of two, so level 0 holds the file's texels unscaled, bottom row first.
    const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10,  20,  30,
                                      1,   2, 3, 4, 5,   6, 7, 8, 9,   200, 100, 50};
    const std::string path = WriteBmp24("texture_4x2.bmp", 4, 2, rgb);
    uint32_t table[kTextureSlots] = {};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    ASSERT_TRUE(LoadTexture(table, path.c_str(), 2 * 17 + 1));
    const GLuint first = table[35];
    EXPECT_NE(first, 0u);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(first));
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR_MIPMAP_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 2);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1) << "the whole mipmap chain is built";
    std::vector<uint8_t> texels(rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, rgb);

    // A second load into the same slot leaves the new texture there; an odd size is accepted.
    const std::string odd = WriteBmp24("texture_3x3.bmp", 3, 3, std::vector<uint8_t>(27, 90));
    ASSERT_TRUE(LoadTexture(table, odd.c_str(), 35));
    EXPECT_NE(table[35], first);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureLoad, TheLevelsObjectsShareOneTexturePerFile) {
    tContextCloser closer;
    ASSERT_TRUE(OpenSdlContext(64, 64)) << "no offscreen video";
    const std::string skin = WriteBmp24("shared_skin.bmp", 2, 2, std::vector<uint8_t>(12, 40));
    const std::string mask = WriteBmp24("shared_mask.bmp", 2, 2, std::vector<uint8_t>(12, 200));
    // The same file by another spelling of its path is the same file.
    const std::string skinAgain = testing::TempDir() + "./shared_skin.bmp";
    uint32_t table[kTextureSlots] = {};

    BeginSharedTextures();
    ASSERT_TRUE(LoadTexture(table, skin.c_str(), 0));
    ASSERT_TRUE(LoadTexture(table, mask.c_str(), 1));
    // A later load of a file already read: the same name, and the same state as a fresh load.
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    ASSERT_TRUE(LoadTexture(table, skinAgain.c_str(), 2));
    EXPECT_EQ(table[2], table[0]);
    EXPECT_NE(table[1], table[0]);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(table[0]));
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    // A missing file is still reported, shared or not.
    tTestPlatformState& platform = TestPlatformState();
    const size_t boxes = platform.boxes.size();
    SelectPlatform(TestPlatform());
    EXPECT_FALSE(LoadTexture(table, "Data\\NoSuchShared.bmp", 4));
    EXPECT_EQ(platform.boxes.size(), boxes + 1);
    SelectPlatform(SdlPlatform());
    EndSharedTextures();

    // Outside the level's loading every load makes its own texture again.
    ASSERT_TRUE(LoadTexture(table, skin.c_str(), 6));
    EXPECT_NE(table[6], table[0]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(FontText, GlyphsLandOnTheirPixels) {
    // The window system stays up (and the GL driver loaded) until the process ends.
    tContextCloser closer{true};
    ASSERT_TRUE(OpenSdlContext(320, 240)) << "no offscreen video";
    // A 256 x 256 font where glyph 33 ('A' in set 0, column 1, row 2 from the top) is white and
    // glyph 161 ('A' in set 1, row 10) only in its left half; every other glyph is black.
    std::vector<uint8_t> font(256 * 256 * 3, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 16; x < 32; ++x) {
            for (const int row : {2, 10}) {
                if (row == 10 && x >= 24) {
                    continue;
                }
                const size_t at = (static_cast<size_t>(255 - (row * 16 + y)) * 256 + x) * 3;
                font[at] = font[at + 1] = font[at + 2] = 255;
            }
        }
    }
    const std::string path = WriteBmp24("font_test.bmp", 256, 256, font);
    ASSERT_TRUE(LoadTexture(TextureTable, path.c_str(), kTexFont));
    CreateFontLists();
    ASSERT_NE(FontListBase, 0u);
    EXPECT_TRUE(glIsList(FontListBase) && glIsList(FontListBase + 255));

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5.0f, 6.0f, 7.0f); // PrintText clears the model-view matrix itself
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glColor3f(1.0f, 0.0f, 0.0f);
    // "AA" at (0, 2): squares over x 0 ... 16 and 10 ... 26, y 2 ... 18, in the current colour.
    PrintText(0, 2, "AA", 0);
    const std::vector<uint8_t> red = {255, 0, 0}, black = {0, 0, 0};
    EXPECT_EQ(Pixel(8, 10), red);
    EXPECT_EQ(Pixel(24, 10), red);
    EXPECT_EQ(Pixel(25, 3), red);
    EXPECT_EQ(Pixel(8, 1), black) << "below the line";
    EXPECT_EQ(Pixel(8, 19), black) << "above the glyph";
    EXPECT_EQ(Pixel(27, 10), black) << "past 10 x (n - 1) + 16 pixels";

    // Codes without a glyph draw nothing and do not move the pen. Set 1 draws the half glyph; a
    // set above 1 counts as 1 and one below 0 as 0 (unclamped, both would draw nothing).
    glColor3f(1.0f, 1.0f, 1.0f);
    const std::vector<uint8_t> white = {255, 255, 255};
    PrintText(100, 100,
              "\x01\x1F"
              "A",
              0);
    EXPECT_EQ(Pixel(108, 108), white);
    EXPECT_EQ(Pixel(118, 108), black);
    struct SetCase {
        int set, y;
        bool full;
    };
    for (const SetCase c : {SetCase{1, 100, false}, SetCase{7, 130, false}, SetCase{-2, 160, true},
                            SetCase{0, 190, true}}) {
        PrintText(200, c.y, "A\xFF", c.set);
        EXPECT_EQ(Pixel(204, c.y + 8), white) << "set " << c.set;
        EXPECT_EQ(Pixel(212, c.y + 8), c.full ? white : black) << "set " << c.set;
        EXPECT_EQ(Pixel(220, c.y + 8), black) << "set " << c.set;
    }
    PrintText(0, 220, "", 0);

    // The state text leaves behind for the next drawing.
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_COLOR);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TextureTable[kTexFont]));
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    GLfloat m[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    }
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_EQ(m[0], 1.0f) << "the projection is restored";
    EXPECT_EQ(Integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(Integer(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const GLuint base = FontListBase;
    DeleteFontLists();
    EXPECT_FALSE(glIsList(base));
    EXPECT_EQ(FontListBase, 0u);
    TextureTable[kTexFont] = 0;
    // The software driver keeps two small blocks past the context's end once text was drawn; with
    // the driver still loaded the sanitizer build can tell they are the driver's.
}
