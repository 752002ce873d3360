// The screen font: 256 glyphs in a 16 x 16 grid of 16-pixel cells, glyph g in
// column g % 16 and row g / 16 from the top. Glyphs 0 ... 127 are character
// codes 32 ... 159 in DejaVu Sans, glyphs 128 ... 255 the same codes in DejaVu
// Sans Bold. White on black: the game adds text onto the picture. The game
// advances 10 pixels per character, so each glyph is centred on that advance.
#include "datagen.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace dg {

static const char* kFontRegular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
static const char* kFontBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

constexpr int kCell = 16;
constexpr int kAdvance = 10;
constexpr int kBaseline = 12; // pixels from the cell's top

static bool DrawSet(FT_Library lib, const char* path, int firstGlyph, Image& sheet,
                    std::string* error) {
    FT_Face face;
    if (FT_New_Face(lib, path, 0, &face) != 0) {
        *error = std::string("cannot open the font ") + path;
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, 13);
    for (int code = 32; code < 160; ++code) {
        // Codes 127 ... 159 are control codes: their cells stay black.
        if (code >= 127)
            continue;
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
            continue;
        FT_GlyphSlot g = face->glyph;
        const int glyph = firstGlyph + code - 32;
        const int cellX = (glyph % 16) * kCell, cellY = (glyph / 16) * kCell;
        const int advance = static_cast<int>(g->advance.x >> 6);
        int left = g->bitmap_left + (kAdvance - advance) / 2 + 1;
        left = std::clamp(left, 0, std::max(0, kCell - static_cast<int>(g->bitmap.width)));
        const int top = kBaseline - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                if (x < 0 || x >= kCell || y < 0 || y >= kCell)
                    continue;
                uint8_t v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                uint8_t* p = sheet.At(cellX + x, cellY + y);
                p[0] = p[1] = p[2] = std::max(p[0], v);
            }
    }
    FT_Done_Face(face);
    return true;
}

void GenerateFont(Output& out) {
    Image sheet(16 * kCell, 16 * kCell);
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0) {
        out.failures.push_back("Fonts/Font02.bmp: FreeType does not start");
        return;
    }
    std::string error;
    bool ok =
        DrawSet(lib, kFontRegular, 0, sheet, &error) && DrawSet(lib, kFontBold, 128, sheet, &error);
    FT_Done_FreeType(lib);
    if (!ok) {
        out.failures.push_back("Fonts/Font02.bmp: " + error);
        return;
    }
    out.Bmp("Fonts/Font02.bmp", sheet);
}

} // namespace dg
