#include "render/font.h"

#include "state/game_state.h"
#include "platform/gl_api.h"
#include "render/textures.h"

namespace {

constexpr int kGlyphs = 256;
constexpr float kGlyphCell = 1.0f / 16.0f; // one glyph's size in texture coordinates
constexpr int kGlyphQuad = 16;             // drawn size in pixels
constexpr float kAdvance = 10.0f;          // pen movement after each glyph, pixels
constexpr int kSetOffset = 128;            // lists between set 0 and set 1
constexpr int kCodeOffset = 32;            // first character code with a glyph

} // namespace

// ---- whole run: from world loading to shutdown ----
unsigned int FontListBase = 0;

void CreateFontLists() {
    FontListBase = glGenLists(kGlyphs);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexFont]);
    for (int g = 0; g < kGlyphs; ++g) {
        // Glyph g sits in column g mod 16, row g div 16, counting rows from the image's top.
        const float cx = static_cast<float>(g % 16) / 16.0f;
        const float cy = static_cast<float>(g / 16) / 16.0f;
        glNewList(FontListBase + g, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(cx, 1.0f - cy - kGlyphCell);
        glVertex2i(0, 0);
        glTexCoord2f(cx + kGlyphCell, 1.0f - cy - kGlyphCell);
        glVertex2i(kGlyphQuad, 0);
        glTexCoord2f(cx + kGlyphCell, 1.0f - cy);
        glVertex2i(kGlyphQuad, kGlyphQuad);
        glTexCoord2f(cx, 1.0f - cy);
        glVertex2i(0, kGlyphQuad);
        glEnd();
        glTranslated(kAdvance, 0.0, 0.0);
        glEndList();
    }
}

void PrintText(int x, int y, const char* text, int set) {
    // Callers pass 0 or 1; anything else is brought into that range.
    if (set > 1) {
        set = 1;
    } else if (set < 0) {
        set = 0;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    // Additive: dark texels vanish, the text takes the caller's current colour.
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    // The model-view matrix at every call: it is left as the identity for the next frame.
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexFont]);
    glDisable(GL_DEPTH_TEST);

    // Window pixels, origin at the lower-left corner.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, static_cast<double>(WindowWidth), 0.0, static_cast<double>(WindowHeight), -1.0,
            1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(x, y, 0.0);

    // One list per byte. Codes without a glyph in the set (below 32, or past the font's lists)
    // are skipped: they neither draw nor move the pen, and never call another unit's lists.
    if (text != nullptr && FontListBase != 0) {
        for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
            const int glyph = *c - kCodeOffset + kSetOffset * set;
            if (glyph >= 0 && glyph < kGlyphs) {
                glCallList(FontListBase + glyph);
            }
        }
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

void DeleteFontLists() {
    if (FontListBase != 0) {
        glDeleteLists(FontListBase, kGlyphs);
        FontListBase = 0;
    }
}
