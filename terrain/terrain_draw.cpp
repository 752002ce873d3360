#include "terrain/terrain_draw.h"

#include "basics/vec3.h"
#include "platform/gl_api.h"
#include "render/textures.h"
#include "render/view_cull.h"
#include "terrain/height_map.h"

#include <algorithm>

namespace {

// The detail layer is always on; the switch keeps the single-texture path in one place.
constexpr bool kDetailLayer = true;

// The drawn square: at most 81 x 81 cells (its side over the cell size, both ends included) on
// 82 x 82 grid points.
constexpr int kMaxCellsPerSide = 2 * kTerrainDrawRadius / kCellSize + 1;
constexpr int kMaxPointsPerSide = kMaxCellsPerSide + 1;
constexpr int kMaxCells = kMaxCellsPerSide * kMaxCellsPerSide;
// Each cell in view goes out as its four corners and two triangles through them, q[0] q[1] q[3]
// and q[1] q[2] q[3]. A corner is not shared with the next cell: its normal is the cell's own.
constexpr int kMaxCorners = kMaxCells * 4;
constexpr int kCellIndices[6] = {0, 1, 3, 1, 2, 3};
static_assert(kMaxCorners <= 65536, "corner indices are 16-bit");

float CornerTexCoords[kMaxCorners][2]; // the same coordinate serves both units
float CornerNormals[kMaxCorners][3];
GLint CornerVertices[kMaxCorners][3];
GLushort CornerIndices[kMaxCells * 6]; // the same pattern for every cell, filled once
int CornerCount = 0;
bool IndicesFilled = false;
// Clip-plane bits of every grid point of the square, [x][z] from its low corner: a cell whose
// four corners share one plane lies wholly outside the view.
unsigned PointOutcodes[kMaxPointsPerSide][kMaxPointsPerSide];

// s runs with x and t against z over the whole map (2048 samples); unit 1 gets the same
// coordinate, its texture matrix does the repeating.
void TerrainTexCoord(int gx, int gz, float* s, float* t) {
    *s = static_cast<float>(gx / static_cast<double>(kHeightMapSide));
    *t = static_cast<float>(-gz / static_cast<double>(kHeightMapSide));
}

// The vertex of grid point q (grid units) at whole world units.
void CornerVertex(tVec3 q, GLint* v) {
    v[0] = static_cast<GLint>(static_cast<double>(q.x) * kSampleSpacing - kMapOffset);
    v[1] = static_cast<GLint>(static_cast<double>(q.y) * kHeightScale);
    v[2] = static_cast<GLint>(static_cast<double>(q.z) * kSampleSpacing - kMapOffset);
}

// One corner: its texture coordinate, its normal, and the vertex, stored for the draw call.
void SendCorner(tVec3 q, tVec3 n) {
    if (CornerCount >= kMaxCorners) {
        return; // cannot happen for a range from TerrainRange; never writes past the table
    }
    TerrainTexCoord(static_cast<int>(q.x), static_cast<int>(q.z), &CornerTexCoords[CornerCount][0],
                    &CornerTexCoords[CornerCount][1]);
    CornerNormals[CornerCount][0] = n.x;
    CornerNormals[CornerCount][1] = n.y;
    CornerNormals[CornerCount][2] = n.z;
    CornerVertex(q, CornerVertices[CornerCount++]);
}

// The grid point (gx, gz) with its stored height, grid units.
tVec3 GridPoint(const uint8_t* map, int gx, int gz) {
    return tVec3(static_cast<float>(gx), static_cast<float>(GridHeight(map, gx, gz)),
                 static_cast<float>(gz));
}

} // namespace

tTerrainRange TerrainRange(float x, float z) {
    const int cx = CellCorner(x);
    const int cz = CellCorner(z);
    return {std::max(cx - kTerrainDrawRadius, 0), std::min(cx + kTerrainDrawRadius, kHeightMapSide),
            std::max(cz - kTerrainDrawRadius, 0),
            std::min(cz + kTerrainDrawRadius, kHeightMapSide)};
}

void DrawTerrain(const uint8_t* map, float x, float z) {
    const tTerrainRange range = TerrainRange(x, z);
    // Without the fetched entry points the game quits before its first frame; nothing to draw.
    if (map == nullptr || glActiveTextureARB == nullptr || glMultiTexCoord2fARB == nullptr) {
        return;
    }
    // Unit 0: the colour map stretched once over the whole map, lit and fogged.
    glEnable(GL_FOG);
    glEnable(GL_LIGHTING);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexTerrain]);
    if (kDetailLayer) {
        // Unit 1 modulates the lit colour map by the detail texture, doubled so that its mid grey
        // leaves the brightness as it was.
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 2);
        glBindTexture(GL_TEXTURE_2D, TextureTable[kTexDetail]);
        // Unit 1's matrix turns the map-wide coordinate into one repeat per cell; it keeps this
        // scale after the terrain, and nothing else draws on unit 1.
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glScalef(static_cast<float>(kDetailRepeat), static_cast<float>(kDetailRepeat), 1.0f);
        glMatrixMode(GL_MODELVIEW);
    }

    // The clip-plane bits of every grid point, from the matrices the GL holds for the terrain.
    LoadViewClip();
    const int side = range.xTo >= range.xFrom && range.zTo >= range.zFrom
                         ? std::min((range.xTo - range.xFrom) / kCellSize + 2, kMaxPointsPerSide)
                         : 0;
    const int sideZ =
        side > 0 ? std::min((range.zTo - range.zFrom) / kCellSize + 2, kMaxPointsPerSide) : 0;
    for (int i = 0; i < side; ++i) {
        for (int k = 0; k < sideZ; ++k) {
            GLint v[3];
            CornerVertex(GridPoint(map, range.xFrom + i * kCellSize, range.zFrom + k * kCellSize),
                         v);
            PointOutcodes[i][k] = ClipOutcode(static_cast<float>(v[0]), static_cast<float>(v[1]),
                                              static_cast<float>(v[2]));
        }
    }
    if (!IndicesFilled) {
        IndicesFilled = true;
        for (int c = 0; c < kMaxCells * 6; ++c) {
            CornerIndices[c] = static_cast<GLushort>(c / 6 * 4 + kCellIndices[c % 6]);
        }
    }

    // Each cell is two triangles split along q[1]-q[3], the diagonal the height query splits it
    // along, so the player's feet and the drawn ground agree inside every cell. Cells wholly
    // outside the view are left out; the last cell's last corner is kept whatever happens to it,
    // as its normal and texture coordinate stay current for what is drawn next.
    CornerCount = 0;
    tVec3 lastCorner(0.0f, 0.0f, 0.0f);
    tVec3 lastNormal(0.0f, 0.0f, 0.0f);
    tVec3 q[4];
    tVec3 n[4];
    for (int X = range.xFrom; X <= range.xTo; X += kCellSize) {
        for (int Z = range.zTo; Z >= range.zFrom; Z -= kCellSize) {
            const int i = (X - range.xFrom) / kCellSize;
            const int k = (Z - range.zFrom) / kCellSize;
            const bool outside = i + 1 < side && k + 1 < sideZ &&
                                 (PointOutcodes[i][k] & PointOutcodes[i][k + 1] &
                                  PointOutcodes[i + 1][k + 1] & PointOutcodes[i + 1][k]) != 0;
            const bool last = X + kCellSize > range.xTo && Z - kCellSize < range.zFrom;
            if (outside && !last) {
                continue;
            }
            // Grid units: x and z in samples, y the stored height.
            q[0] = GridPoint(map, X, Z);
            q[1] = GridPoint(map, X, Z + 8);
            q[2] = GridPoint(map, X + 8, Z + 8);
            q[3] = GridPoint(map, X + 8, Z);
            // Each normal crosses the two edges leaving its corner, signed to point up; their y
            // is 64 and they stay unnormalised, as the lighting was tuned with them.
            n[0] = CrossProduct(q[1] - q[0], q[3] - q[0]);
            n[1] = CrossProduct(q[0] - q[1], q[2] - q[1]) * -1.0f;
            n[2] = CrossProduct(q[1] - q[2], q[3] - q[2]) * -1.0f;
            n[3] = CrossProduct(q[0] - q[3], q[2] - q[3]);
            if (last) {
                lastCorner = q[3];
                lastNormal = n[3];
            }
            if (outside) {
                continue;
            }
            for (int c = 0; c < 4; ++c) {
                SendCorner(q[c], n[c]);
            }
        }
    }
    // One indexed draw of the cells in view, in the order of the whole square; afterwards the
    // current normal and texture coordinates are the square's last corner's, as a glBegin/glEnd
    // batch of every cell would leave them: the models drawn next are lit with that normal.
    if (side > 0) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_INT, 0, CornerVertices);
        glNormalPointer(GL_FLOAT, 0, CornerNormals);
        glClientActiveTexture(GL_TEXTURE0_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, CornerTexCoords);
        glClientActiveTexture(GL_TEXTURE1_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, CornerTexCoords);
        if (CornerCount > 0) {
            glDrawElements(GL_TRIANGLES, CornerCount / 4 * 6, GL_UNSIGNED_SHORT, CornerIndices);
        }
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTexture(GL_TEXTURE0_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glNormal3f(lastNormal.x, lastNormal.y, lastNormal.z);
        SetTerrainTexCoord(static_cast<int>(lastCorner.x), static_cast<int>(lastCorner.z));
    }

    // Texturing off on both units and unit 0 active again; fog and lighting stay on for the
    // models drawn next.
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
}

void SetTerrainTexCoord(int gx, int gz) {
    float s = 0.0f, t = 0.0f;
    TerrainTexCoord(gx, gz, &s, &t);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, s, t);
    glMultiTexCoord2fARB(GL_TEXTURE1_ARB, s, t);
}
