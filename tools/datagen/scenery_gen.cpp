// Scenery models. Solid kinds (closed meshes, drawn with culling): a rock, a
// crate, a ruined wall and an oil drum. Masked kinds (crossed upright quads
// drawn in two blended passes): a pine, a broadleaf tree and a bush, each
// two quads at right angles. For the
// masked kinds the mask is white where the picture is see-through and the
// skin black there, with soft edges premultiplied into both.
#include "datagen.h"
#include "mesh_builder.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

namespace {

Xform At(Vec3 p) {
    return {Mat3{}, p};
}

Md2Model Rock(Image& skin) {
    skin = Image(128, 128);
    MeshBuilder m(skin.width, skin.height); // texture coordinates in the skin\'s texels
    std::vector<Ring> rings;
    const int nr = 9;
    for (int k = 0; k < nr; ++k) {
        float a = kPi * k / (nr - 1); // from the top down
        float r = std::sin(a);
        rings.push_back({18.0f * std::cos(a), 30.0f * r, 24.0f * r});
    }
    m.Lathe(At({0, 0, 8}), rings, 12, {0, 0, 128, 128});
    // Lumpy surface: every vertex pushed along its direction from the
    // middle. The faces were turned on the smooth shape; the lumps are too
    // gentle to fold any of them over.
    for (Vec3& p : m.positions) {
        Vec3 d = p - Vec3{0, 0, 8};
        Vec3 u = Normalized(d);
        float k = 1.0f + 0.22f * Fbm3(u.x * 1.7f + 3.0f, u.y * 1.7f, u.z * 1.7f, 3, 121u);
        p = Vec3{0, 0, 8} + d * k;
    }
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            float v = y / 128.0f;
            float n = Fbm2(x / 16.0f, y / 16.0f, 4, 123u, 8);
            float g = 0.5f + 0.12f * n - 0.18f * v;
            Vec3 c{g, g * 0.98f, g * 0.94f};
            if (Noise2(x / 6.0f, y / 6.0f, 125u, 21) > 0.45f && v < 0.6f)
                c = Vec3{0.42f, 0.48f, 0.25f}; // lichen
            if (std::fabs(Noise2(x / 20.0f, y / 10.0f, 127u, 6)) < 0.03f)
                c = c * 0.6f; // cracks
            skin.Set(x, y, c.x, c.y, c.z);
        }
    return m.StaticModel("Rock.bmp");
}

Md2Model Crate(Image& skin) {
    skin = Image(64, 64);
    MeshBuilder m(skin.width, skin.height); // texture coordinates in the skin\'s texels
    m.Box(At({0, 0, 16}), {16, 16, 16}, {0, 0, 64, 64});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            Vec3 wood{0.58f, 0.43f, 0.24f};
            float grain =
                0.9f + 0.1f * std::sin(y * 1.3f + 4.0f * Noise2(x / 12.0f, y / 3.0f, 131u));
            Vec3 c = wood * grain;
            if (y % 16 == 0)
                c = c * 0.55f; // gaps between the boards
            bool frame = x < 6 || x >= 58 || y < 6 || y >= 58;
            bool brace = std::abs(x - y) < 5;
            if (frame || brace)
                c = Vec3{0.48f, 0.34f, 0.18f} * grain;
            if (frame && (x < 1 || x >= 63 || y < 1 || y >= 63))
                c = c * 0.5f;
            skin.Set(x, y, c.x, c.y, c.z);
        }
    return m.StaticModel("Crate.bmp");
}

Md2Model Wall(Image& skin) {
    skin = Image(128, 64);
    MeshBuilder m(skin.width, skin.height); // texture coordinates in the skin\'s texels
    // Columns of a broken stone wall along x, 14 thick; a block fallen at
    // its foot.
    const float heights[6] = {46, 38, 52, 30, 20, 34};
    for (int i = 0; i < 6; ++i) {
        float x = -35.0f + 14.0f * i, h = heights[i];
        m.Box(At({x, 0, h / 2 - 4}), {7.0f, 7.0f, h / 2},
              {x + 42.0f, 0, x + 56.0f, 64.0f * h / 56.0f});
    }
    m.Box({RotZ(0.4f), {14, -14, 2}}, {6, 5, 5}, {0, 0, 20, 16});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            int row = y / 8, offset = (row % 2) * 8;
            bool mortar = y % 8 == 0 || (x + offset) % 16 == 0;
            float n = Noise2(x / 5.0f, y / 5.0f, 141u);
            float shade =
                0.55f + 0.08f * n + 0.05f * HashUnit(Hash3((x + offset) / 16, row, 0, 143u));
            Vec3 c{shade * 1.02f, shade * 0.95f, shade * 0.85f};
            if (mortar)
                c = c * 0.6f;
            c = c * (1.0f - 0.25f * y / 64.0f);
            skin.Set(x, y, c.x, c.y, c.z);
        }
    return m.StaticModel("Wall.bmp");
}

Md2Model Drum(Image& skin) {
    skin = Image(64, 64);
    MeshBuilder m(skin.width, skin.height); // texture coordinates in the skin\'s texels
    m.Lathe(At({}),
            {{30, 10.5f, 10.5f}, {27, 11, 11}, {15, 11.6f, 11.6f}, {3, 11, 11}, {0, 10.5f, 10.5f}},
            12, {0, 0, 64, 64});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float v = y / 64.0f;
            Vec3 c =
                Vec3{0.25f, 0.38f, 0.55f} * (0.9f + 0.1f * Noise2(x / 4.0f, y / 4.0f, 151u, 16));
            if (std::fabs(v - 0.1f) < 0.03f || std::fabs(v - 0.5f) < 0.03f ||
                std::fabs(v - 0.9f) < 0.03f)
                c = c * 0.7f; // hoops
            if (Noise2(x / 7.0f, y / 7.0f, 153u, 9) > 0.35f)
                c = Vec3{0.45f, 0.27f, 0.14f}; // rust
            c = c * (0.8f + 0.2f * std::cos(2.0f * kPi * (x / 64.0f - 0.5f)));
            skin.Set(x, y, c.x, c.y, c.z);
        }
    return m.StaticModel("Drum.bmp");
}

// `quads` upright quads through the vertical axis, turned evenly, each
// `width` wide from z = bottom to z = top, carrying the whole picture.
Md2Model Crossed(int quads, float width, float bottom, float top, int w, int h,
                 const std::string& skin) {
    MeshBuilder m(w, h);
    int tl = m.TexCoord(0, 0), tr = m.TexCoord(w, 0), br = m.TexCoord(w, h), bl = m.TexCoord(0, h);
    for (int q = 0; q < quads; ++q) {
        float a = kPi * q / quads;
        Vec3 along{std::cos(a) * width / 2, std::sin(a) * width / 2, 0};
        int v0 = m.Vertex(Vec3{0, 0, top} - along), v1 = m.Vertex(Vec3{0, 0, top} + along);
        int v2 = m.Vertex(Vec3{0, 0, bottom} + along), v3 = m.Vertex(Vec3{0, 0, bottom} - along);
        // Masked models are drawn without culling; any turn will do.
        Vec3 side{-std::sin(a), std::cos(a), 0};
        Vec3 inside = Vec3{0, 0, (top + bottom) / 2} - side;
        m.Triangle(v0, v1, v2, tl, tr, br, inside);
        m.Triangle(v0, v2, v3, tl, br, bl, inside);
    }
    return m.StaticModel(skin);
}

// Writes a masked picture: coverage(x, y) in 0 ... 1, colour(x, y).
template <typename Cover, typename Paint>
void Masked(int w, int h, Cover cover, Paint paint, Image& skin, Image& mask) {
    skin = Image(w, h), mask = Image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Keep a clear border: the texture repeats, so edge texels would
            // bleed into the opposite side.
            float a =
                (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) ? 0.0f : Clamp(cover(x, y), 0, 1);
            // The game adds the skins of both crossed quads wherever they
            // overlap on screen, and around the shared axis they always do:
            // the middle columns are painted at half strength to make up.
            float axis = std::fabs(x + 0.5f - w / 2.0f) / (w / 2.0f);
            float k = Mix(0.5f, 1.0f, SmoothStep(0.0f, 0.3f, axis));
            Vec3 c = a > 0.0f ? paint(x, y) * (a * k) : Vec3{};
            skin.Set(x, y, c.x, c.y, c.z);
            mask.Set(x, y, 1.0f - a, 1.0f - a, 1.0f - a);
        }
}

Vec3 Leaves(int x, int y, uint32_t seed, Vec3 base) {
    float n = Noise2(x / 3.0f, y / 3.0f, seed), m = Noise2(x / 9.0f, y / 9.0f, seed + 1);
    return base * (0.8f + 0.25f * n + 0.2f * m);
}

} // namespace

std::vector<SceneryKind> GenerateScenery(Output& out) {
    std::vector<SceneryKind> kinds;
    auto add = [&](const std::string& name, const Md2Model& model, const Image& skin,
                   const Image* mask) {
        SceneryKind k;
        k.file = name + ".md2";
        k.skin = name + ".bmp";
        k.masked = mask != nullptr;
        if (mask)
            k.mask = name + "Mask.bmp";
        Vec3 lo = model.frames[0].vertices[0], hi = lo;
        for (const Vec3& v : model.frames[0].vertices)
            lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)},
            hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
        k.halfX = (hi.x - lo.x) / 2, k.halfY = (hi.y - lo.y) / 2;
        out.Md2("Models/Scenery/" + k.file, model);
        out.Bmp("Models/Scenery/" + k.skin, skin);
        if (mask)
            out.Bmp("Models/Scenery/" + k.mask, *mask);
        kinds.push_back(k);
    };
    {
        Image s;
        Md2Model m = Rock(s);
        add("Rock", m, s, nullptr);
    }
    {
        Image s;
        Md2Model m = Crate(s);
        add("Crate", m, s, nullptr);
    }
    {
        Image s;
        Md2Model m = Wall(s);
        add("Wall", m, s, nullptr);
    }
    {
        Image s;
        Md2Model m = Drum(s);
        add("Drum", m, s, nullptr);
    }
    {
        // Pine: tiers of drooping branches on a straight trunk.
        Image s, k;
        Masked(
            128, 256,
            [](int x, int y) {
                float dx = std::fabs(x + 0.5f - 64.0f);
                float trunk = (y > 150 && dx < 4.5f) ? 1.0f : 0.0f;
                float best = 0.0f;
                for (int t = 0; t < 5; ++t) {
                    float top = 8.0f + t * 34.0f, base = top + 62.0f;
                    if (y < top || y > base)
                        continue;
                    float f = (y - top) / (base - top);
                    float half = (14.0f + t * 9.0f) * f + 3.0f;
                    half *= 1.0f + 0.18f * Noise2(x / 4.0f, y / 4.0f, 161u);
                    best = std::max(best, Clamp((half - dx) / 2.0f, 0, 1));
                }
                return std::max(trunk, best);
            },
            [](int x, int y) {
                float dx = std::fabs(x + 0.5f - 64.0f);
                bool branch = !(y > 150 && dx < 4.5f) || (y < 230 && dx > 3.0f);
                if (!branch || (y > 218 && dx < 4.5f))
                    return Vec3{0.36f, 0.24f, 0.14f} *
                           (0.8f + 0.2f * Noise2(x / 2.0f, y / 6.0f, 163u));
                float side = 1.0f - 0.35f * (x / 128.0f);
                return Leaves(x, y, 165u, Vec3{0.13f, 0.33f, 0.16f}) * side;
            },
            s, k);
        add("Pine", Crossed(2, 60, -6, 114, 128, 256, "Pine.bmp"), s, &k);
    }
    {
        // Broadleaf tree: a lumpy round crown over a forked trunk.
        Image s, k;
        auto crown = [](int x, int y) {
            float best = 0.0f;
            const float blobs[6][3] = {{128, 80, 60}, {80, 100, 42}, {176, 100, 42},
                                       {100, 55, 40}, {156, 55, 40}, {128, 125, 45}};
            for (const auto& b : blobs) {
                float d = std::hypot(x - b[0], y - b[1]);
                float r = b[2] * (1.0f + 0.12f * Noise2(x / 6.0f, y / 6.0f, 171u));
                best = std::max(best, Clamp((r - d) / 2.5f, 0, 1));
            }
            return best;
        };
        auto trunk = [](int x, int y) {
            float dx = std::fabs(x + 0.5f - 128.0f);
            if (y > 150 && dx < 7.0f + (y - 150) * 0.04f)
                return 1.0f;
            // Two limbs into the crown.
            for (float dir : {-1.0f, 1.0f}) {
                float cx = 128.0f + dir * (160.0f - y) * 0.6f;
                if (y > 110 && y < 165 && std::fabs(x - cx) < 4.0f)
                    return 1.0f;
            }
            return 0.0f;
        };
        Masked(
            256, 256, [&](int x, int y) { return std::max(crown(x, y), trunk(x, y)); },
            [&](int x, int y) {
                if (crown(x, y) < 0.5f || (trunk(x, y) > 0.0f && y > 165))
                    return Vec3{0.38f, 0.28f, 0.18f} *
                           (0.8f + 0.2f * Noise2(x / 2.0f, y / 7.0f, 173u));
                return Leaves(x, y, 175u, Vec3{0.25f, 0.42f, 0.15f}) * (1.05f - 0.35f * y / 160.0f);
            },
            s, k);
        add("Oak", Crossed(2, 96, -6, 98, 256, 256, "Oak.bmp"), s, &k);
    }
    {
        // Bush: a low mound of leaves.
        Image s, k;
        Masked(
            128, 64,
            [](int x, int y) {
                float dx = (x + 0.5f - 64.0f) / 60.0f, dy = (y + 0.5f - 62.0f) / 56.0f;
                float r = std::sqrt(dx * dx + dy * dy) *
                          (1.0f + 0.15f * Noise2(x / 5.0f, y / 5.0f, 181u));
                return Clamp((1.0f - r) * 12.0f, 0, 1);
            },
            [](int x, int y) {
                Vec3 c = Leaves(x, y, 183u, Vec3{0.22f, 0.38f, 0.14f}) * (1.1f - 0.4f * y / 64.0f);
                if (HashUnit(Hash3(x / 2, y / 2, 0, 185u)) > 0.985f)
                    c = Vec3{0.8f, 0.75f, 0.3f}; // a few flowers
                return c;
            },
            s, k);
        add("Bush", Crossed(2, 56, -3, 27, 128, 64, "Bush.bmp"), s, &k);
    }
    return kinds;
}

} // namespace dg
