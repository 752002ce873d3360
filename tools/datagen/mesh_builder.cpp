#include "mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

int MeshBuilder::Vertex(Vec3 p, int bone) {
    positions.push_back(p);
    bones.push_back(bone);
    return static_cast<int>(positions.size()) - 1;
}

int MeshBuilder::TexCoord(float s, float t) {
    s = Clamp(s, 0.0f, static_cast<float>(skinWidth));
    t = Clamp(t, 0.0f, static_cast<float>(skinHeight));
    texCoords.push_back(
        {static_cast<int16_t>(std::lround(s)), static_cast<int16_t>(std::lround(t))});
    return static_cast<int>(texCoords.size()) - 1;
}

void MeshBuilder::Triangle(int a, int b, int c, int ta, int tb, int tc, Vec3 inside) {
    Vec3 pa = positions[a], pb = positions[b], pc = positions[c];
    Vec3 n = Cross(pb - pa, pc - pa);
    Vec3 centre = (pa + pb + pc) * (1.0f / 3.0f);
    // Counter-clockwise from outside means the normal points away from the
    // inside; the game wants the opposite turn.
    if (Dot(n, centre - inside) > 0.0f) {
        std::swap(b, c);
        std::swap(tb, tc);
    }
    triangles.push_back(
        {{static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(c)},
         {static_cast<int16_t>(ta), static_cast<int16_t>(tb), static_cast<int16_t>(tc)}});
}

void MeshBuilder::Box(const Xform& at, Vec3 half, UvRect all, int bone) {
    UvRect faces[6] = {all, all, all, all, all, all};
    Box(at, half, faces, bone);
}

void MeshBuilder::Box(const Xform& at, Vec3 half, const UvRect faces[6], int bone) {
    int corner[8];
    for (int i = 0; i < 8; ++i) {
        Vec3 p{(i & 1) ? half.x : -half.x, (i & 2) ? half.y : -half.y, (i & 4) ? half.z : -half.z};
        corner[i] = Vertex(Apply(at, p), bone);
    }
    const Vec3 inside = at.pos;
    // Normal, right and up of each face as seen from outside.
    const Vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const Vec3 ups[6] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {1, 0, 0}, {1, 0, 0}};
    for (int f = 0; f < 6; ++f) {
        Vec3 n = normals[f], u = ups[f], r = Cross(u, n);
        auto index = [&](float sr, float su) {
            Vec3 d = n + r * sr + u * su;
            int i = (d.x > 0 ? 1 : 0) | (d.y > 0 ? 2 : 0) | (d.z > 0 ? 4 : 0);
            return corner[i];
        };
        const UvRect& uv = faces[f];
        int tl = index(-1, 1), tr = index(1, 1), br = index(1, -1), bl = index(-1, -1);
        int ttl = TexCoord(uv.x0, uv.y0), ttr = TexCoord(uv.x1, uv.y0);
        int tbr = TexCoord(uv.x1, uv.y1), tbl = TexCoord(uv.x0, uv.y1);
        Triangle(tl, tr, br, ttl, ttr, tbr, inside);
        Triangle(tl, br, bl, ttl, tbr, tbl, inside);
    }
}

void MeshBuilder::Lathe(const Xform& at, const std::vector<Ring>& rings, int segments, UvRect uv,
                        int bone) {
    const int n = static_cast<int>(rings.size());
    float zMid = 0.0f;
    for (const Ring& r : rings)
        zMid += r.z / n;
    const Vec3 centre = Apply(at, {0, 0, zMid});
    // first vertex of each ring, -1 for none; poles have one vertex
    std::vector<int> first(n), texFirst(n);
    std::vector<bool> pole(n);
    for (int k = 0; k < n; ++k) {
        const Ring& r = rings[k];
        pole[k] = std::fabs(r.rx) < 1e-3f && std::fabs(r.ry) < 1e-3f;
        float v = uv.y0 + (uv.y1 - uv.y0) * k / (n - 1);
        if (pole[k]) {
            first[k] = Vertex(Apply(at, {0, 0, r.z}), bone);
        } else {
            first[k] = static_cast<int>(positions.size());
            for (int s = 0; s < segments; ++s) {
                float a = kPi + 2.0f * kPi * s / segments;
                Vertex(Apply(at, {r.rx * std::cos(a), r.ry * std::sin(a), r.z}), bone);
            }
        }
        texFirst[k] = static_cast<int>(texCoords.size());
        for (int s = 0; s <= segments; ++s) {
            // A pole takes the middle of each segment so its fan is not skewed.
            float f = pole[k] ? (s + 0.5f) / segments : static_cast<float>(s) / segments;
            TexCoord(uv.x0 + (uv.x1 - uv.x0) * f, v);
        }
    }
    auto ringVertex = [&](int k, int s) { return pole[k] ? first[k] : first[k] + s % segments; };
    for (int k = 0; k + 1 < n; ++k) {
        Vec3 inside = Apply(at, {0, 0, 0.5f * (rings[k].z + rings[k + 1].z)});
        for (int s = 0; s < segments; ++s) {
            int a = ringVertex(k, s), b = ringVertex(k, s + 1);
            int c = ringVertex(k + 1, s + 1), d = ringVertex(k + 1, s);
            int ta = texFirst[k] + s, tb = texFirst[k] + s + 1;
            int tc = texFirst[k + 1] + s + 1, td = texFirst[k + 1] + s;
            if (!pole[k])
                Triangle(a, b, c, ta, tb, tc, inside);
            if (!pole[k + 1])
                Triangle(a, c, d, ta, tc, td, inside);
        }
    }
    // Flat caps on open ends.
    for (int end = 0; end < 2; ++end) {
        int k = end == 0 ? 0 : n - 1;
        if (pole[k])
            continue;
        int c = Vertex(Apply(at, {0, 0, rings[k].z}), bone);
        int tc = TexCoord(0.5f * (uv.x0 + uv.x1), end == 0 ? uv.y0 : uv.y1);
        for (int s = 0; s < segments; ++s)
            Triangle(c, ringVertex(k, s), ringVertex(k, s + 1), tc, texFirst[k] + s,
                     texFirst[k] + s + 1, centre);
    }
}

void MeshBuilder::BevelledPrism(const Xform& at, const std::vector<std::array<float, 2>>& outline,
                                float depth, float bevel, UvRect face, UvRect bevelUv, UvRect side,
                                int bone) {
    const int n = static_cast<int>(outline.size());
    float cx = 0, cz = 0;
    for (const auto& p : outline)
        cx += p[0] / n, cz += p[1] / n;
    // The inset outline for the bevelled faces: each corner moved toward the
    // middle so that the edges move in by about `bevel`.
    std::vector<std::array<float, 2>> inset(n);
    for (int i = 0; i < n; ++i) {
        float dx = outline[i][0] - cx, dz = outline[i][1] - cz;
        float len = std::sqrt(dx * dx + dz * dz);
        float k = len > bevel * 1.5f ? (len - bevel * 1.5f) / len : 0.3f;
        inset[i] = {cx + dx * k, cz + dz * k};
    }
    // Four loops from front (-y, facing the viewer of an unturned letter) to
    // back: inset face, full outline, full outline, inset face.
    const float h = depth * 0.5f;
    const float ys[4] = {-h, -h + bevel, h - bevel, h};
    int loop[4];
    for (int l = 0; l < 4; ++l) {
        loop[l] = static_cast<int>(positions.size());
        const auto& src = (l == 0 || l == 3) ? inset : outline;
        for (int i = 0; i < n; ++i)
            Vertex(Apply(at, {src[i][0], ys[l], src[i][1]}), bone);
    }
    const Vec3 inside = Apply(at, {cx, 0, cz});
    // Planar texture on the faces: the outline's bounding box fills `face`.
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const auto& p : outline)
        minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]), minZ = std::min(minZ, p[1]),
        maxZ = std::max(maxZ, p[1]);
    auto planar = [&](const UvRect& r, float x, float z) {
        float u = (x - minX) / std::max(maxX - minX, 1e-3f);
        float v = (maxZ - z) / std::max(maxZ - minZ, 1e-3f);
        return TexCoord(r.x0 + (r.x1 - r.x0) * u, r.y0 + (r.y1 - r.y0) * v);
    };
    for (int l : {0, 3}) {
        std::vector<int> tex(n);
        for (int i = 0; i < n; ++i)
            tex[i] = planar(face, inset[i][0], inset[i][1]);
        for (int i = 1; i + 1 < n; ++i)
            Triangle(loop[l], loop[l] + i, loop[l] + i + 1, tex[0], tex[i], tex[i + 1], inside);
    }
    for (int band = 0; band < 3; ++band) {
        const UvRect& r = band == 1 ? side : bevelUv;
        int t0 = TexCoord(r.x0, r.y0), t1 = TexCoord(r.x1, r.y0);
        int t2 = TexCoord(r.x1, r.y1), t3 = TexCoord(r.x0, r.y1);
        for (int i = 0; i < n; ++i) {
            int j = (i + 1) % n;
            int a = loop[band] + i, b = loop[band] + j;
            int c = loop[band + 1] + j, d = loop[band + 1] + i;
            Triangle(a, b, c, t0, t1, t2, inside);
            Triangle(a, c, d, t0, t2, t3, inside);
        }
    }
}

Md2Model MeshBuilder::StaticModel(const std::string& skin, const std::string& frameName) const {
    Md2Model m;
    m.skinWidth = skinWidth, m.skinHeight = skinHeight;
    m.skins = {skin};
    m.texCoords = texCoords;
    m.triangles = triangles;
    m.frames.push_back({frameName, positions});
    return m;
}

} // namespace dg
