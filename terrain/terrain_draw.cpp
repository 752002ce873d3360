#include "terrain/terrain_draw.h"

#include "app/gl_api.h"
#include "camera/vec3.h"
#include "render/textures.h"
#include "terrain/height_map.h"

#include <algorithm>

namespace {

constexpr double kSampleSpacing = 10.0; // world units between samples
constexpr double kMapOffset = 10240.0;  // world + offset = map space
constexpr double kHeightScale = 10.0;   // world units per stored height unit

// The detail layer is always on; the switch keeps the single-texture path in one place.
bool DetailLayer = true;

// Grid cell corner of a world coordinate: truncated toward zero, then snapped toward zero to a
// multiple of the cell size. Far-off values are held to a range that still converts to int.
int CellCorner(float c) {
    const double g =
        std::clamp((static_cast<double>(c) + kMapOffset) / kSampleSpacing, -1.0e8, 1.0e8);
    const int cell = static_cast<int>(g);
    return cell - cell % kCellSize;
}

// The drawn square's corners, filled every frame and sent in one draw call: at most 81 x 81 cells
// (the square's side over the cell size, both ends included), six corners each.
constexpr int kMaxCorners =
    (2 * kTerrainDrawRadius / kCellSize + 1) * (2 * kTerrainDrawRadius / kCellSize + 1) * 6;
float CornerTexCoords[kMaxCorners][2]; // the same coordinate serves both units
float CornerNormals[kMaxCorners][3];
GLint CornerVertices[kMaxCorners][3];
int CornerCount = 0;

// s runs with x and t against z over the whole map (2048 samples); unit 1 gets the same
// coordinate, its texture matrix does the repeating.
void TerrainTexCoord(int gx, int gz, float* s, float* t) {
    *s = static_cast<float>(gx / 2048.0);
    *t = static_cast<float>(-gz / 2048.0);
}

// One corner: its texture coordinate, its normal, and the vertex at whole world units, stored
// for the draw call.
void SendCorner(tVec3 q, tVec3 n) {
    if (CornerCount >= kMaxCorners) {
        return; // cannot happen for a range from TerrainRange; never writes past the table
    }
    TerrainTexCoord(static_cast<int>(q.x), static_cast<int>(q.z), &CornerTexCoords[CornerCount][0],
                    &CornerTexCoords[CornerCount][1]);
    CornerNormals[CornerCount][0] = n.x;
    CornerNormals[CornerCount][1] = n.y;
    CornerNormals[CornerCount][2] = n.z;
    GLint* v = CornerVertices[CornerCount++];
    v[0] = static_cast<GLint>(static_cast<double>(q.x) * kSampleSpacing - kMapOffset);
    v[1] = static_cast<GLint>(static_cast<double>(q.y) * kHeightScale);
    v[2] = static_cast<GLint>(static_cast<double>(q.z) * kSampleSpacing - kMapOffset);
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
    if (DetailLayer) {
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

    // Each cell goes out as two triangles split along q[1]-q[3], the diagonal the height query
    // splits it along, so the player's feet and the drawn ground agree inside every cell.
    CornerCount = 0;
    tVec3 q[4];
    tVec3 n[4];
    for (int X = range.xFrom; X <= range.xTo; X += kCellSize) {
        for (int Z = range.zTo; Z >= range.zFrom; Z -= kCellSize) {
            // Grid units: x and z in samples, y the stored height.
            q[0] = tVec3(static_cast<float>(X), static_cast<float>(GridHeight(map, X, Z)),
                         static_cast<float>(Z));
            q[1] = tVec3(static_cast<float>(X), static_cast<float>(GridHeight(map, X, Z + 8)),
                         static_cast<float>(Z + 8));
            q[2] =
                tVec3(static_cast<float>(X + 8), static_cast<float>(GridHeight(map, X + 8, Z + 8)),
                      static_cast<float>(Z + 8));
            q[3] = tVec3(static_cast<float>(X + 8), static_cast<float>(GridHeight(map, X + 8, Z)),
                         static_cast<float>(Z));
            // Each normal crosses the two edges leaving its corner, signed to point up; their y
            // is 64 and they stay unnormalised, as the lighting was tuned with them.
            n[0] = CrossProduct(q[1] - q[0], q[3] - q[0]);
            n[1] = CrossProduct(q[0] - q[1], q[2] - q[1]) * -1.0f;
            n[2] = CrossProduct(q[1] - q[2], q[3] - q[2]) * -1.0f;
            n[3] = CrossProduct(q[0] - q[3], q[2] - q[3]);
            SendCorner(q[0], n[0]);
            SendCorner(q[1], n[1]);
            SendCorner(q[3], n[3]);
            SendCorner(q[1], n[1]);
            SendCorner(q[2], n[2]);
            SendCorner(q[3], n[3]);
        }
    }
    // One array draw instead of four calls per corner: the same corners in the same order, so the
    // same triangles. Afterwards the current normal and texture coordinates are the last corner's,
    // as a glBegin/glEnd batch would leave them: the models drawn next are lit with that normal.
    if (CornerCount > 0) {
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
        glDrawArrays(GL_TRIANGLES, 0, CornerCount);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTexture(GL_TEXTURE0_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        const int last = CornerCount - 1;
        glNormal3f(CornerNormals[last][0], CornerNormals[last][1], CornerNormals[last][2]);
        glMultiTexCoord2fARB(GL_TEXTURE0_ARB, CornerTexCoords[last][0], CornerTexCoords[last][1]);
        glMultiTexCoord2fARB(GL_TEXTURE1_ARB, CornerTexCoords[last][0], CornerTexCoords[last][1]);
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
