// Builds closed model meshes from simple solids (boxes, lathed shapes, convex
// prisms) and turns them into MD2 models.
//
// Every solid knows a point inside itself; each triangle is turned so that it
// runs clockwise seen from outside, as the game's front-face culling needs.
// Vertices of one solid are shared between its faces (texture seams get their
// own texture coordinates instead), so each solid is a closed surface.
#pragma once

#include "dg_math.h"
#include "md2_writer.h"

#include <vector>

namespace dg {

// A rectangle of the skin, in texels from its top-left corner.
struct UvRect {
    float x0, y0, x1, y1;
};

// One ring of a lathed solid: height along the local z axis and the radii
// along local x and y. A ring with both radii (about) 0 is a pole.
struct Ring {
    float z, rx, ry;
};

struct MeshBuilder {
    int skinWidth = 0, skinHeight = 0;
    std::vector<Vec3> positions; // local to the vertex's bone (or the model)
    std::vector<int> bones;
    std::vector<std::array<int16_t, 2>> texCoords;
    std::vector<Md2Triangle> triangles;

    MeshBuilder(int w, int h) : skinWidth(w), skinHeight(h) {}

    int Vertex(Vec3 p, int bone = 0);
    int TexCoord(float s, float t);
    // Stores the triangle clockwise seen from outside; `inside` is a point in
    // the solid the triangle belongs to (same space as the positions).
    void Triangle(int a, int b, int c, int ta, int tb, int tc, Vec3 inside);

    // A box of half sizes `half` placed by `at`. Faces in the order +x, -x,
    // +y, -y, +z, -z, each mapped onto its rectangle (top of the rectangle
    // toward +z for the sides, toward +x for top and bottom).
    void Box(const Xform& at, Vec3 half, const UvRect faces[6], int bone = 0);
    void Box(const Xform& at, Vec3 half, UvRect all, int bone = 0);
    // A solid of revolution about the local z axis, rings listed from the top
    // down; ends that are not poles are closed with flat caps. The skin
    // rectangle wraps around it with its seam at the back (-x) and its top on
    // the first ring.
    void Lathe(const Xform& at, const std::vector<Ring>& rings, int segments, UvRect uv,
               int bone = 0);
    // A convex solid given by a polygon (counter-clockwise in the local x-z
    // plane) extruded along local y from -depth/2 to depth/2, with a bevel of
    // width `bevel` on both faces. Front and back map planar onto `face`, the
    // bevels onto `bevelUv`, the sides onto `side`.
    void BevelledPrism(const Xform& at, const std::vector<std::array<float, 2>>& outline,
                       float depth, float bevel, UvRect face, UvRect bevelUv, UvRect side,
                       int bone = 0);

    // The model with one frame named `name` from the positions as they are.
    Md2Model StaticModel(const std::string& skin, const std::string& frameName = "base") const;
};

} // namespace dg
