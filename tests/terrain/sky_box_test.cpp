// The sky box and its cloud sheet: geometry around the camera, drift, the state left behind
// and which face a player sees in each direction.
#include "terrain/sky_box.h"

#include "basics/frame_timer.h"
#include "render/textures.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

class SkyBoxGL : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(64, 64)) << "no offscreen video";
        CloudOffset1 = CloudOffset2 = 0.0f;
        FpsValue = 50.0f;
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        FpsValue = 50.0f;
        CloseOffscreenGL();
    }
};

TEST_F(SkyBoxGL, CloudDomeDriftAndState) {
    // The renderer's box: 15000 on a side, centred 100 below an eye at the origin.
    DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
    const tVec3 centre = CloudGrid[8][8];
    EXPECT_FLOAT_EQ(centre.x, 0.0f);
    EXPECT_NEAR(centre.y, 650.0f, 0.01f);
    EXPECT_FLOAT_EQ(centre.z, 0.0f);
    const tVec3 corner = CloudGrid[1][15];
    EXPECT_FLOAT_EQ(corner.x, -6562.5f);
    EXPECT_NEAR(corner.y, -1504.0f, 1.0f);
    EXPECT_FLOAT_EQ(corner.z, 6562.5f);
    // Next to the centre the cosine branch gives almost the full rise.
    EXPECT_NEAR(CloudGrid[8][9].y, 650.0f - 0.0039f * 6000.0f, 1.0f);
    EXPECT_FLOAT_EQ(CloudOffset1, 0.006f / 50.0f);
    EXPECT_FLOAT_EQ(CloudOffset2, 0.002f / 50.0f);

    // Frames per second: truncated, and below four counted as four (a quarter second a frame).
    struct Step {
        float fps;
        int divisor;
    };
    for (const Step s :
         {Step{49.9f, 49}, Step{4.9f, 4}, Step{3.9f, 4}, Step{0.0f, 4}, Step{-3.0f, 4}}) {
        const float before1 = CloudOffset1, before2 = CloudOffset2;
        FpsValue = s.fps;
        DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
        EXPECT_NEAR(CloudOffset1 - before1, 0.006f / static_cast<float>(s.divisor), 1e-7f) << s.fps;
        EXPECT_NEAR(CloudOffset2 - before2, 0.002f / static_cast<float>(s.divisor), 1e-7f) << s.fps;
    }

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLfloat m[16] = {};
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
    GLint mode = 0, env = 0, scale = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, &scale);
    EXPECT_EQ(env, GL_COMBINE_ARB);
    EXPECT_EQ(scale, 1);
}

TEST_F(SkyBoxGL, EachFaceWhereThePlayerLooks) {
    struct Face {
        int slot;
        tRgb colour;
        float dx, dy, dz; // looking direction
        float ux, uy, uz;
    };
    const Face faces[] = {
        {kTexSkyBack, {200, 0, 0}, 0, 0, -1, 0, 1, 0},
        {kTexSkyFront, {0, 200, 0}, 0, 0, 1, 0, 1, 0},
        {kTexSkyLeft, {0, 0, 200}, -1, 0, 0, 0, 1, 0},
        {kTexSkyRight, {200, 200, 0}, 1, 0, 0, 0, 1, 0},
        {kTexSkyTop, {0, 200, 200}, 0, 1, 0, 0, 0, -1},
        {kTexSkyBottom, {200, 0, 200}, 0, -1, 0, 0, 0, 1},
    };
    for (const Face& f : faces) {
        TextureTable[f.slot] = SolidTexture(f.colour);
    }
    TextureTable[kTexClouds] = SolidTexture({0, 0, 0}); // clear sky: black texels let it through
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    for (const Face& f : faces) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        gluLookAt(0, 0, 0, f.dx, f.dy, f.dz, f.ux, f.uy, f.uz);
        DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
        EXPECT_TRUE(Near(PixelAt(32, 32), f.colour)) << f.slot << " " << PixelAt(32, 32);
        GLint wrapS = 0, wrapT = 0;
        glBindTexture(GL_TEXTURE_2D, TextureTable[f.slot]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
        EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
    }

    // Every face shows its picture upright and unmirrored from inside: the same four-texel
    // picture on all six, its top-left texel at the screen's top-left whichever way one looks
    // (up and down with the back face at the top of the screen).
    const tRgb lowLeft = {200, 0, 0}, lowRight = {0, 200, 0}, upLeft = {0, 0, 200},
               upRight = {200, 200, 0};
    const GLuint picture = MakeTexture(2, 2, {lowLeft, lowRight, upLeft, upRight});
    for (const Face& f : faces) {
        TextureTable[f.slot] = picture;
    }
    for (const Face& f : faces) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        gluLookAt(0, 0, 0, f.dx, f.dy, f.dz, f.ux, f.uy, f.uz);
        DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
        EXPECT_TRUE(Near(PixelAt(16, 16), lowLeft)) << f.slot << " " << PixelAt(16, 16);
        EXPECT_TRUE(Near(PixelAt(48, 16), lowRight)) << f.slot << " " << PixelAt(48, 16);
        EXPECT_TRUE(Near(PixelAt(16, 48), upLeft)) << f.slot << " " << PixelAt(16, 48);
        EXPECT_TRUE(Near(PixelAt(48, 48), upRight)) << f.slot << " " << PixelAt(48, 48);
    }

    // Bright cloud texels cover the sky overhead (no fog in the way).
    TextureTable[kTexClouds] = SolidTexture({255, 255, 255});
    glFogf(GL_FOG_DENSITY, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0, 0, 0, 0, 1, 0, 0, 0, -1);
    DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
    EXPECT_TRUE(Near(PixelAt(32, 32), {255, 255, 255})) << PixelAt(32, 32);
}

TEST_F(SkyBoxGL, CloudLayersTextureCoordinatesAndHeights) {
    // Feedback mode hands back every vertex drawn, with its window position and its texture
    // coordinates as given (Mesa's feedback leaves out the texture matrix and its ten repeats).
    // An orthographic view of +-1000 on a 64-pixel window keeps the whole 1600-unit box
    // unclipped: window x = (x / 1000 + 1) * 32, likewise y.
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1000.0, 1000.0, -1000.0, 1000.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CloudOffset1 = 0.25f;
    CloudOffset2 = 0.5f;
    std::vector<GLfloat> buffer(200000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    DrawSkyBox(0.0f, -100.0f, 0.0f, 1600.0f, 1600.0f, 1600.0f);
    const GLint used = glRenderMode(GL_RENDER);
    ASSERT_GT(used, 0);

    // Each vertex: x, y, z, w, r, g, b, a, s, t, r, q.
    struct Vertex {
        float x, y, s, t;
    };
    std::vector<Vertex> vertices;
    for (GLint k = 0; k < used;) {
        const GLfloat token = buffer[static_cast<size_t>(k)];
        ASSERT_EQ(token, static_cast<GLfloat>(GL_POLYGON_TOKEN)) << k;
        const int n = static_cast<int>(buffer[static_cast<size_t>(k) + 1]);
        k += 2;
        for (int v = 0; v < n; ++v, k += 12) {
            const GLfloat* f = &buffer[static_cast<size_t>(k)];
            vertices.push_back({f[0], f[1], f[8], f[9]});
        }
    }
    const auto toWindow = [](float world) { return (world / 1000.0f + 1.0f) * 32.0f; };
    const auto drawn = [&](float x, float y, float s, float t) {
        return std::any_of(vertices.begin(), vertices.end(), [&](const Vertex& v) {
            return std::abs(v.x - toWindow(x)) < 1e-3f && std::abs(v.y - toWindow(y)) < 1e-3f &&
                   std::abs(v.s - s) < 1e-4f && std::abs(v.t - t) < 1e-4f;
        });
    };
    // Grid points 1 ... 15 of both layers, at (i / 16 - offset, j / 16); the lower
    // layer at 0.8 of the upper one's world height. Only the shift of the frame before the draw
    // counts.
    for (int i = 1; i < kCloudGridSide; ++i) {
        for (int j = 1; j < kCloudGridSide; ++j) {
            const tVec3 p = CloudGrid[i][j];
            EXPECT_FLOAT_EQ(p.x, -800.0f + 100.0f * static_cast<float>(i));
            EXPECT_FLOAT_EQ(p.z, -800.0f + 100.0f * static_cast<float>(j));
            const float s = static_cast<float>(i) / 16.0f, t = static_cast<float>(j) / 16.0f;
            EXPECT_TRUE(drawn(p.x, p.y, s - 0.25f, t)) << i << " " << j;
            EXPECT_TRUE(drawn(p.x, p.y * 0.8f, s - 0.5f, t)) << i << " " << j;
            EXPECT_FALSE(drawn(p.x, p.y * 0.8f, s - 0.25f, t)) << i << " " << j;
        }
    }
    // Nothing else: the six faces' corners (at texture coordinates 0 and 1) and 2 x 14 x 14 cloud
    // quads, whatever triangles the driver makes of them.
    for (const Vertex& v : vertices) {
        const bool face =
            (v.s == 0.0f || v.s == 1.0f) && (v.t == 0.0f || v.t == 1.0f) &&
            (std::abs(v.x - toWindow(-800.0f)) < 1e-3f || std::abs(v.x - toWindow(800.0f)) < 1e-3f);
        const bool cloud = v.x > toWindow(-750.0f) && v.x < toWindow(750.0f);
        EXPECT_TRUE(face || cloud) << v.x << " " << v.y << " " << v.s << " " << v.t;
    }
    EXPECT_FLOAT_EQ(CloudOffset1, 0.25f + 0.006f / 50.0f);
    EXPECT_FLOAT_EQ(CloudOffset2, 0.5f + 0.002f / 50.0f);
}
