// Small overlay pictures: the blood particle and the two crosshair layers.
#include "datagen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

void GenerateEffects(Output& out) {
    // Blood: added onto the scene, so black is invisible. A soft red blob
    // with a slightly ragged edge.
    const int bs = 64;
    Image blood(bs, bs);
    for (int y = 0; y < bs; ++y)
        for (int x = 0; x < bs; ++x) {
            float dx = (x + 0.5f) / bs * 2.0f - 1.0f, dy = (y + 0.5f) / bs * 2.0f - 1.0f;
            float r =
                std::sqrt(dx * dx + dy * dy) * (1.0f + 0.15f * Noise2(x / 9.0f, y / 9.0f, 81u));
            float f = Clamp(1.0f - r, 0.0f, 1.0f);
            f = f * f * (3.0f - 2.0f * f);
            blood.Set(x, y, 0.85f * f, 0.06f * f, 0.04f * f);
        }
    out.Bmp("Blood.bmp", blood);

    // Crosshair: the mask multiplies the scene (white keeps it, the black
    // cross cuts it out), then the cursor is added (bright cross on black).
    // Four arms with a gap in the middle; the picture is symmetric, so the
    // mirrored texture coordinates of the overlay quad do not matter.
    const int cs = 32;
    Image mask(cs, cs), cursor(cs, cs);
    for (int y = 0; y < cs; ++y)
        for (int x = 0; x < cs; ++x) {
            float dx = std::fabs(x + 0.5f - cs / 2.0f), dy = std::fabs(y + 0.5f - cs / 2.0f);
            bool arm =
                (dx < 2.0f && dy > 4.0f && dy < 14.0f) || (dy < 2.0f && dx > 4.0f && dx < 14.0f);
            bool dot = dx < 1.0f && dy < 1.0f;
            bool on = arm || dot;
            mask.Set(x, y, on ? 0.0f : 1.0f, on ? 0.0f : 1.0f, on ? 0.0f : 1.0f);
            cursor.Set(x, y, on ? 0.55f : 0.0f, on ? 1.0f : 0.0f, on ? 0.45f : 0.0f);
        }
    out.Bmp("cursor_mask.bmp", mask);
    out.Bmp("cursor.bmp", cursor);
}

} // namespace dg
