// The five letters of the word K W E R T: extruded, bevelled block letters
// about 40 units tall, centred on their origin, each in its own bright skin.
// Every stroke is a convex bevelled prism; strokes overlap where they join.
#include "datagen.h"
#include "mesh_builder.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

namespace {

using Outline = std::vector<std::array<float, 2>>;

// A stroke with horizontal ends: bottom edge centred at (xb, zb), top edge
// centred at (xt, zt), each w wide. The letter plane is file x (across) and
// z (up).
Outline Slant(float xb, float zb, float xt, float zt, float w) {
    return {{xb - w / 2, zb}, {xb + w / 2, zb}, {xt + w / 2, zt}, {xt - w / 2, zt}};
}
Outline Rect(float x0, float z0, float x1, float z1) {
    return {{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}};
}

struct Letter {
    char name;
    Vec3 colour;
    std::vector<Outline> strokes;
};

std::vector<Letter> Letters() {
    return {
        {'K',
         {1.0f, 0.36f, 0.18f},
         {Rect(-14, -20, -6, 20), Slant(-5, 0, 10, 20, 9), Slant(11, -20, -5, 2, 9)}},
        {'W',
         {1.0f, 0.86f, 0.15f},
         {Slant(-9, -20, -17, 20, 7.5f), Slant(-9, -20, 0, 10, 7.5f), Slant(9, -20, 0, 10, 7.5f),
          Slant(9, -20, 17, 20, 7.5f)}},
        {'E',
         {0.3f, 1.0f, 0.35f},
         {Rect(-12, -20, -4, 20), Rect(-12, 13, 12, 20), Rect(-12, -3.5f, 8, 3.5f),
          Rect(-12, -20, 12, -13)}},
        {'R',
         {0.25f, 0.78f, 1.0f},
         {Rect(-12, -20, -4, 20),
          Rect(-12, 13, 4, 20),
          Rect(-12, -2, 4, 5),
          {{2, -2}, {8, -1}, {12, 4}, {12, 15}, {8, 20}, {2, 20}},
          Slant(9, -20, 0, 0, 8)}},
        {'T', {1.0f, 0.42f, 0.9f}, {Rect(-15, 13, 15, 20), Rect(-4, -20, 4, 13)}},
    };
}

// Skin (64 x 64): the faces on top, the bevels below left (catching the
// light) and the sides below right (in shade). The game barely lights
// models, so the shading is painted in.
const UvRect kFaceUv{0, 0, 64, 32}, kBevelUv{0, 32, 32, 64}, kSideUv{32, 32, 64, 64};

Image LetterSkin(Vec3 c) {
    Image img(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float n = 0.05f * Noise2(x / 5.0f, y / 5.0f, 111u);
            Vec3 k;
            if (y < 32) {
                float v = y / 32.0f;
                k = c * (1.08f - 0.25f * v + n);
                // A diagonal sheen across the face.
                float d = std::fabs((x / 64.0f) - v * 0.6f - 0.2f);
                k = Lerp(k, Vec3{1, 1, 1}, 0.35f * std::max(0.0f, 1.0f - d * 8.0f));
            } else if (x < 32) {
                k = Lerp(c, Vec3{1, 1, 1}, 0.35f) * (1.0f + n);
            } else {
                k = c * (0.62f + n);
            }
            img.Set(x, y, k.x, k.y, k.z);
        }
    return img;
}

} // namespace

void GenerateLetters(Output& out) {
    for (const Letter& letter : Letters()) {
        MeshBuilder m(64, 64);
        for (const Outline& stroke : letter.strokes)
            m.BevelledPrism({Mat3{}, {}}, stroke, 8.0f, 1.6f, kFaceUv, kBevelUv, kSideUv);
        const std::string base = std::string(1, letter.name);
        out.Md2("Models/Letters/" + base + ".md2", m.StaticModel(base + ".bmp"));
        out.Bmp("Models/Letters/" + base + ".bmp", LetterSkin(letter.colour));
    }
}

} // namespace dg
