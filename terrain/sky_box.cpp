#include "terrain/sky_box.h"

#include "basics/frame_timer.h"
#include "platform/gl_api.h"
#include "render/overdraw.h"
#include "render/textures.h"
#include "render/view_cull.h"

tVec3 CloudGrid[kCloudGridSide][kCloudGridSide];
float CloudOffset1 = 0.0f;
float CloudOffset2 = 0.0f;

namespace {

constexpr float kCellFactor = 0.0625f; // 1 / 16: grid cell per box side
constexpr float kDomeRise = 0.4f;      // of the box height, at the dome's centre
constexpr float kCloudBase = 0.15f;    // of the box height, above the box floor
constexpr float kSecondLayer = 0.8f;   // factor on the world y of the lower layer
constexpr float kCloudRepeat = 10.0f;  // texture-matrix scale while the clouds are drawn
constexpr float kDrift1 = 0.006f;      // texture units per second, upper layer
constexpr float kDrift2 = 0.002f;      // lower layer

// Texture coordinates of cloud grid point (i, j) in a layer shifted by offset.
float CloudTexS(int i, float offset) {
    return static_cast<float>(i) / 16.0f - offset;
}
float CloudTexT(int j) {
    return static_cast<float>(j) / 16.0f;
}

struct tSkyCorner {
    float s, t;
    float x, y, z;
};

// One face: its texture, clamped so the seams show no wrapped texels, and its four corners. A
// face wholly outside the view sends no corners, only the texture coordinate its last corner
// would have left current.
void DrawFace(int slot, const tSkyCorner (&corners)[4]) {
    glBindTexture(GL_TEXTURE_2D, TextureTable[slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    unsigned outside = ~0u;
    for (const tSkyCorner& c : corners) {
        outside &= ClipOutcode(c.x, c.y, c.z);
    }
    if (outside != 0) {
        glTexCoord2f(corners[3].s, corners[3].t);
        return;
    }
    glBegin(GL_QUADS);
    for (const tSkyCorner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

// Clip-plane bits of the cloud grid points as one layer places them.
unsigned CloudOutcodes[kCloudGridSide][kCloudGridSide];

// One layer of 14 x 14 quads over the grid points 1 ... 15, inside the caller's batch; a quad
// wholly outside the view is left out.
void CloudLayer(float offset, float yFactor) {
    for (int i = 1; i < kCloudGridSide; ++i) {
        for (int j = 1; j < kCloudGridSide; ++j) {
            const tVec3& p = CloudGrid[i][j];
            CloudOutcodes[i][j] = ClipOutcode(p.x, p.y * yFactor, p.z);
        }
    }
    for (int i = 1; i < kCloudGridSide - 1; ++i) {
        for (int j = 1; j < kCloudGridSide - 1; ++j) {
            if ((CloudOutcodes[i][j] & CloudOutcodes[i][j + 1] & CloudOutcodes[i + 1][j + 1] &
                 CloudOutcodes[i + 1][j]) != 0) {
                continue;
            }
            const int corners[4][2] = {{i, j}, {i, j + 1}, {i + 1, j + 1}, {i + 1, j}};
            for (const auto& c : corners) {
                const tVec3& p = CloudGrid[c[0]][c[1]];
                glTexCoord2f(CloudTexS(c[0], offset), CloudTexT(c[1]));
                glVertex3f(p.x, p.y * yFactor, p.z);
            }
        }
    }
}

// The box's low corner and sizes; the faces and the cloud grid are laid out from it.
struct tSkyPlace {
    float X, Y, Z, W, H, L;
};

tSkyPlace PlaceSky(float x, float y, float z, float width, float height, float length) {
    return {x - width / 2.0f, y - height / 2.0f, z - length / 2.0f, width, height, length};
}

// The faces replace whatever lies behind them, at their own colours: unlit, also in the first
// frame after loading, before any text has turned the lighting off.
void BeginSky() {
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    // Texture unit 0 keeps this combine mode (texture times colour, unscaled) for everything
    // drawn after the sky.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1);
    LoadViewClip();
}

void SkyFaces(const tSkyPlace& p) {
    const float X = p.X, Y = p.Y, Z = p.Z, W = p.W, H = p.H, L = p.L;
    DrawFace(kTexSkyTop, {{0, 1, X + W, Y + H, Z},
                          {0, 0, X + W, Y + H, Z + L},
                          {1, 0, X, Y + H, Z + L},
                          {1, 1, X, Y + H, Z}});
    DrawFace(kTexSkyBack,
             {{1, 0, X + W, Y, Z}, {1, 1, X + W, Y + H, Z}, {0, 1, X, Y + H, Z}, {0, 0, X, Y, Z}});
    DrawFace(kTexSkyFront, {{1, 0, X, Y, Z + L},
                            {1, 1, X, Y + H, Z + L},
                            {0, 1, X + W, Y + H, Z + L},
                            {0, 0, X + W, Y, Z + L}});
    DrawFace(kTexSkyBottom,
             {{1, 0, X, Y, Z}, {1, 1, X, Y, Z + L}, {0, 1, X + W, Y, Z + L}, {0, 0, X + W, Y, Z}});
    DrawFace(kTexSkyLeft,
             {{1, 1, X, Y + H, Z}, {0, 1, X, Y + H, Z + L}, {0, 0, X, Y, Z + L}, {1, 0, X, Y, Z}});
    DrawFace(kTexSkyRight, {{0, 0, X + W, Y, Z},
                            {1, 0, X + W, Y, Z + L},
                            {1, 1, X + W, Y + H, Z + L},
                            {0, 1, X + W, Y + H, Z}});
}

// The dome: full rise at the centre point (8, 8), falling off as a cosine of the distance from
// it in grid cells.
void PlaceCloudGrid(const tSkyPlace& p) {
    const float radius = Length(tVec3(16.0f, 0.0f, 16.0f)) * 0.5f;
    for (unsigned i = 1; i < kCloudGridSide; ++i) {
        for (unsigned j = 1; j < kCloudGridSide; ++j) {
            const float di = AbsF(8.0f - static_cast<float>(i));
            const float dj = AbsF(8.0f - static_cast<float>(j));
            const float d = Length(tVec3(di, 0.0f, dj));
            const float rise = d < 1.0f ? kDomeRise * p.H : CosF(d / radius) * kDomeRise * p.H;
            CloudGrid[i][j] = tVec3(p.X + static_cast<float>(i) * p.W * kCellFactor,
                                    p.Y + rise + kCloudBase * p.H,
                                    p.Z + static_cast<float>(j) * p.L * kCellFactor);
        }
    }
}

// Both layers in one batch: the lower one is the same sheet pulled down to 0.8 of its world
// height and drifting at a third of the speed.
void CloudBatch() {
    glBegin(GL_QUADS);
    CloudLayer(CloudOffset1, 1.0f);
    CloudLayer(CloudOffset2, kSecondLayer);
    glEnd();
}

// Clouds: bright texels cover the sky, dark ones let it through; fogged toward the horizon. Then
// the drift, fog off and the texture matrix back to the identity for the terrain's colour map.
void CloudsAndDrift() {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(kCloudRepeat, kCloudRepeat, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_FOG);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexClouds]);
    CloudBatch();
    // The sheet's last corner, (15, 14) of the lower layer, leaves its texture coordinate
    // current whether or not its quad was sent.
    glTexCoord2f(CloudTexS(kCloudGridSide - 1, CloudOffset2), CloudTexT(kCloudGridSide - 2));
    glDisable(GL_BLEND);

    // A steady drift per second whatever the frame rate, a frame moving it by at most the
    // longest interval the rules take.
    const float fps = EffectRate();
    const int f = fps < 1.0e6f ? static_cast<int>(fps) : 1000000;
    CloudOffset1 += kDrift1 / static_cast<float>(f);
    CloudOffset2 += kDrift2 / static_cast<float>(f);

    glDisable(GL_FOG);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

void DrawSkyBox(float x, float y, float z, float width, float height, float length) {
    const tSkyPlace p = PlaceSky(x, y, z, width, height, length);
    BeginSky();
    SkyFaces(p);
    PlaceCloudGrid(p);
    CloudsAndDrift();
}

void DrawSkyBehindWorld(float x, float y, float z, float width, float height, float length,
                        bool exact) {
    const tSkyPlace p = PlaceSky(x, y, z, width, height, length);
    BeginSky();
    PlaceCloudGrid(p);
    if (!exact) {
        // The faces where nothing was drawn; a cloud in front of a hill blends over the hill.
        SkyFaces(p);
        CloudsAndDrift();
        return;
    }
    // Where a cloud lies in front of what the world drew, the world stays hidden, as it was when
    // the sky came first and the cloud's depth turned it away: those pixels are marked (depth
    // tested only, nothing written but the mark) and get the faces whatever the depth there.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDisable(GL_TEXTURE_2D);
    // A cloud as deep as the world also turned it away (the world's test is "nearer").
    glDepthFunc(GL_LEQUAL);
    OverdrawStage(kStageSkyMark);
    CloudBatch();
    OverdrawStage(kStageSky);
    glEnable(GL_TEXTURE_2D);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glStencilFunc(GL_EQUAL, 1, 0xFFu);
    glDepthFunc(GL_ALWAYS);
    SkyFaces(p);
    // Elsewhere the faces only where nothing was drawn: the world lies nearer than the sky.
    glStencilFunc(GL_EQUAL, 0, 0xFFu);
    glDepthFunc(GL_LESS);
    SkyFaces(p);
    glDisable(GL_STENCIL_TEST);
    CloudsAndDrift();
}
