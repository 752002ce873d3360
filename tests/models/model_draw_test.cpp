// Key-frame animation (no GL: the rule is driven with explicit tick counts) and the drawing of
// the three kinds of model in a hidden GL context.
#include "models/model_draw.h"
#include "render/textures.h"
#include "tests/models/model_fixtures.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kId = 7;

// An animated object of 20 key frames with one animation [first, end) playing from `first`.
void MakeAnimated(int first, int end, bool loops) {
    ClearTestObjects();
    tSceneObject& object = SceneObjects[kId];
    BuildQuadModel(object.model, 20, 0.5f, 2 * kId);
    AddAnimation(object.model, first, end, loops);
    object.model.currentFrameIndex = first;
    object.scale = 1.0f;
    LastAdvanceTime[kId] = 1000;
}

// The key frames shown by drawings every 125 ms from tick 1000 on, and what the rule said.
std::vector<int> Shown(int drawings, std::vector<bool>* moving) {
    std::vector<int> frames;
    for (int k = 1; k <= drawings; ++k) {
        tAnimationStep step{};
        EXPECT_TRUE(StepAnimation(kId, 1000u + 125u * static_cast<uint32_t>(k), &step));
        frames.push_back(SceneObjects[kId].model.currentFrameIndex);
        moving->push_back(step.moving);
    }
    return frames;
}

} // namespace

TEST(ModelAnimation, NextKeyFrameRule) {
    struct Case {
        int first, end;
        bool loops;
        std::vector<int> frames;
        std::vector<bool> moving;
    };
    const Case cases[] = {
        // One-shot: plays to 14 and stands there, reporting rest.
        {10, 15, false, {11, 12, 13, 14, 14, 14}, {true, true, true, true, false, false}},
        // Looping: 14 is followed by 10 again and the animation never rests.
        {10, 15, true, {11, 12, 13, 14, 10, 11}, {true, true, true, true, true, true}},
        // A single frame stands and rests at once, looping or not.
        {4, 5, true, {4, 4, 4}, {false, false, false}},
        {4, 5, false, {4, 4}, {false, false}},
        // Looping from frame 0: the wrap lands on 0.
        {0, 3, true, {1, 2, 0, 1}, {true, true, true, true}},
    };
    for (const Case& c : cases) {
        MakeAnimated(c.first, c.end, c.loops);
        std::vector<bool> moving;
        EXPECT_EQ(Shown(static_cast<int>(c.frames.size()), &moving), c.frames)
            << "[" << c.first << ", " << c.end << ") loops " << c.loops;
        EXPECT_EQ(moving, c.moving) << "[" << c.first << ", " << c.end << ")";
    }
    ClearTestObjects();
}

TEST(ModelAnimation, BlendFollowsTheClock) {
    MakeAnimated(10, 15, true);
    tAnimationStep step{};
    struct Drawing {
        uint32_t now;
        int from, to;
        float blend;
        int frameAfter;
        uint32_t lastAfter;
    };
    const Drawing drawings[] = {
        {1050, 10, 11, 0.4f, 10, 1000}, // 50 ms after an advance: 40 % of the way, no advance
        {1300, 10, 11, 1.0f, 11, 1300}, // 300 ms: one key frame only, not drawn beyond it
    };
    for (const Drawing& d : drawings) {
        ASSERT_TRUE(StepAnimation(kId, d.now, &step));
        EXPECT_EQ(step.from, d.from) << d.now;
        EXPECT_EQ(step.to, d.to) << d.now;
        EXPECT_FLOAT_EQ(step.blend, d.blend) << d.now;
        EXPECT_EQ(SceneObjects[kId].model.currentFrameIndex, d.frameAfter) << d.now;
        EXPECT_EQ(LastAdvanceTime[kId], d.lastAfter) << d.now;
    }
    // The tick counter wraps: the difference is still 100 ms.
    LastAdvanceTime[kId] = 0xFFFFFFC0u;
    ASSERT_TRUE(StepAnimation(kId, 36, &step));
    EXPECT_FLOAT_EQ(step.blend, 0.8f);
    EXPECT_EQ(SceneObjects[kId].model.currentFrameIndex, 11);

    // Loading starts every clock at the tick count of the moment: no jump on the first drawing.
    ResetTestPlatform().tickCount = 90000;
    ResetModelAnimationClock();
    EXPECT_EQ(LastAdvanceTime[0], 90000u);
    EXPECT_EQ(LastAdvanceTime[kMaxSceneObjects - 1], 90000u);
    ASSERT_TRUE(StepAnimation(kId, 90000, &step));
    EXPECT_FLOAT_EQ(step.blend, 0.0f);
    EXPECT_EQ(SceneObjects[kId].model.currentFrameIndex, 11);
    ClearTestObjects();
}

TEST(ModelAnimation, SubModelFollowsAndUnplayableModelsStand) {
    MakeAnimated(2, 6, false);
    tSceneObject& object = SceneObjects[kId];
    BuildQuadModel(object.subModel, 20, 0.5f, 2 * kId + 1);
    object.subModel.numAnimations = 1;
    object.hasSubModel = true;
    SetAnimation(kId, 0);
    tAnimationStep step{};
    ASSERT_TRUE(StepAnimation(kId, 1125, &step));
    EXPECT_EQ(step.subFrom, 2);
    EXPECT_EQ(step.subTo, 3);
    EXPECT_EQ(object.subModel.currentFrameIndex, 3);
    EXPECT_EQ(object.model.currentFrameIndex, 3);

    // The sub-model is left out while its animation index is not below its own count.
    object.subModel.numAnimations = 0;
    ASSERT_TRUE(StepAnimation(kId, 1250, &step));
    EXPECT_EQ(step.subFrom, -1);
    EXPECT_EQ(object.subModel.currentFrameIndex, 3);
    EXPECT_EQ(object.model.currentFrameIndex, 4);

    // A sub-model shorter than the animation reaches is shown standing, never read past its end.
    object.subModel.numAnimations = 1;
    FreeModel(object.subModel);
    BuildQuadModel(object.subModel, 4, 0.5f, 2 * kId + 1);
    object.subModel.numAnimations = 1;
    object.subModel.currentFrameIndex = 3;
    ASSERT_TRUE(StepAnimation(kId, 1375, &step));
    EXPECT_EQ(step.subFrom, 3);
    EXPECT_EQ(step.subTo, 3);

    // Main animations the rule cannot play: the model stands on its frame and reports rest.
    struct Bad {
        const char* what;
        int first, end;
        int current;
        bool drawable;
    };
    const Bad bad[] = {
        {"first frame -1", -1, 5, 0, true},
        {"past the key frames", 10, 25, 10, true},
        {"empty run", 5, 5, 5, true},
        {"current frame past the key frames", 0, 5, 20, false},
        {"negative current frame", 0, 5, -1, false},
    };
    for (const Bad& b : bad) {
        MakeAnimated(0, 1, false);
        SceneObjects[kId].model.animations[0].firstFrame = b.first;
        SceneObjects[kId].model.animations[0].endFrame = b.end;
        SceneObjects[kId].model.currentFrameIndex = b.current;
        EXPECT_EQ(StepAnimation(kId, 2000, &step), b.drawable) << b.what;
        if (b.drawable) {
            EXPECT_EQ(step.from, b.current) << b.what;
            EXPECT_EQ(step.to, b.current) << b.what;
            EXPECT_FALSE(step.moving) << b.what;
        }
        EXPECT_EQ(SceneObjects[kId].model.currentFrameIndex, b.current) << b.what;
    }
    // No animations at all (every frame name empty), or an index past the list.
    MakeAnimated(0, 5, true);
    SceneObjects[kId].model.currentAnim = 3;
    ASSERT_TRUE(StepAnimation(kId, 2000, &step));
    EXPECT_FALSE(step.moving);
    SceneObjects[kId].model.animations.clear();
    SceneObjects[kId].model.currentAnim = 0;
    ASSERT_TRUE(StepAnimation(kId, 2000, &step));
    EXPECT_FALSE(step.moving);
    ClearTestObjects();
}

class ModelDrawGL : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(64, 64)) << "no offscreen video";
        ClearTestObjects();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        ClearTestObjects();
        CloseOffscreenGL();
    }
};

TEST_F(ModelDrawGL, MaskedObjectLetsTheBackgroundThrough) {
    tSceneObject& object = SceneObjects[kId];
    BuildQuadModel(object.model, 1, 0.0f, 2 * kId);
    object.subModel.skin.textureSlot = 2 * kId + 1;
    object.hasMaskMap = true;
    object.position = tVec3(0.0f, 0.0f, -10.0f);
    // Left half of the square: white mask, black skin (see-through); right half: black mask and
    // a green skin (solid).
    TextureTable[2 * kId + 1] = MakeTexture(2, 1, {{255, 255, 255}, {0, 0, 0}});
    TextureTable[2 * kId] = MakeTexture(2, 1, {{0, 0, 0}, {0, 255, 0}});
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);

    EXPECT_FALSE(DrawModel(kId));
    EXPECT_TRUE(Near(PixelAt(28, 32), {0, 0, 255})) << PixelAt(28, 32);
    EXPECT_TRUE(Near(PixelAt(36, 32), {0, 255, 0})) << PixelAt(36, 32);
    EXPECT_TRUE(Near(PixelAt(4, 4), {0, 0, 255}));
    // No depth written, and every switch back where later drawing expects it.
    EXPECT_FLOAT_EQ(DepthAt(36, 32), 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    // A scale of 0 is drawn as 1 and kept.
    EXPECT_EQ(object.scale, 1.0f);

    object.writesDepth = true;
    DrawModel(kId);
    EXPECT_LT(DepthAt(36, 32), 1.0f);
}

TEST_F(ModelDrawGL, AnimatedModelIsBlendedAndTheMatrixRestored) {
    tSceneObject& object = SceneObjects[kId];
    // Two key frames, the second 2 units to the right; a looping animation over both.
    BuildQuadModel(object.model, 2, 2.0f, 2 * kId);
    AddAnimation(object.model, 0, 2, true);
    object.position = tVec3(0.0f, 0.0f, -10.0f);
    object.scale = 1.0f;
    TextureTable[2 * kId] = SolidTexture({255, 255, 255});
    TestPlatformState().tickCount = 5000;
    ResetModelAnimationClock();
    TestPlatformState().tickCount = 5062; // half way: the square's centre 1 unit right

    EXPECT_TRUE(DrawModel(kId));
    auto covered = [](int x) { return Near(PixelAt(x, 32), {255, 255, 255}, 40); };
    EXPECT_FALSE(covered(26));
    EXPECT_TRUE(covered(36));
    EXPECT_TRUE(covered(44));
    EXPECT_FALSE(covered(51));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // Moved, turned and scaled, then brought back by the inverse operations.
    object.position = tVec3(30.0f, -4.0f, 12.0f);
    object.rotY = 73.0f;
    object.scale = 2.5f;
    GLfloat before[16], after[16];
    glTranslatef(1.0f, 2.0f, 3.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    DrawModel(kId);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(after[i], before[i], 1e-4) << i;
    }
}

TEST_F(ModelDrawGL, BrokenTrianglesAreLeftOut) {
    tSceneObject& object = SceneObjects[kId];
    BuildQuadModel(object.model, 1, 0.0f, 2 * kId);
    object.position = tVec3(0.0f, 0.0f, -10.0f);
    TextureTable[2 * kId] = SolidTexture({255, 255, 255});
    // The upper-left triangle names, at one corner at a time, a vertex or a texture coordinate
    // that does not exist (the first past the end, or negative).
    const t3DObject& frame = object.model.frames[0];
    tTriangle& face = frame.faces[1];
    const tTriangle good = face;
    for (int corner = 0; corner < 3; ++corner) {
        for (int bad = 0; bad < 4; ++bad) {
            face = good;
            int32_t* index = bad < 2 ? &face.vertexIndex[corner] : &face.texCoordIndex[corner];
            const int32_t count = bad < 2 ? frame.vertexCount : frame.texCoordCount;
            *index = bad % 2 == 0 ? count : -1;
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            EXPECT_FALSE(DrawModel(kId)) << corner << " " << bad;
            EXPECT_TRUE(Near(PixelAt(38, 28), {255, 255, 255}, 40)) << corner << " " << bad;
            EXPECT_TRUE(Near(PixelAt(26, 36), {0, 0, 255})) << corner << " " << bad;
        }
    }
    // A slot outside the texture table draws untextured instead of reading past the table.
    object.model.skin.textureSlot = 99999;
    DrawModel(kId);
    // No key frames: nothing drawn and the state untouched.
    FreeModel(object.model);
    glEnable(GL_BLEND);
    EXPECT_FALSE(DrawModel(kId));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(DrawModel(-1));
    EXPECT_FALSE(DrawModel(kMaxSceneObjects));
}

TEST_F(ModelDrawGL, KeyFramesBlendEveryCoordinateByTheClock) {
    tSceneObject& object = SceneObjects[kId];
    BuildQuadModel(object.model, 2, 0.0f, 2 * kId);
    AddAnimation(object.model, 0, 2, true);
    // The corners at depths of their own; the second key frame moves each its own way along all
    // three axes.
    const t3DObject& first = object.model.frames[0];
    for (int i = 0; i < 4; ++i) {
        const float k = static_cast<float>(i);
        first.vertices[i].z = 0.5f * k - 1.0f;
        object.model.frames[1].vertices[i] =
            first.vertices[i] + tVec3(0.5f * k + 1.0f, -0.75f * k - 0.5f, 0.25f + k);
    }
    object.position = tVec3(0.0f, 0.0f, 0.0f);
    object.scale = 1.0f;
    TextureTable[2 * kId] = SolidTexture({255, 255, 255});
    // Orthographic, +-10 on 64 pixels: window x = (x / 10 + 1) * 32, depth (1 - z / 100) / 2.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10.0, 10.0, -10.0, 10.0, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    TestPlatformState().tickCount = 5000;
    ResetModelAnimationClock();
    TestPlatformState().tickCount = 5025; // a fifth of the way to the next key frame

    std::vector<GLfloat> buffer(4000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    EXPECT_TRUE(DrawModel(kId));
    const GLint used = glRenderMode(GL_RENDER);
    // Each vertex: x, y, z, r, g, b, a, s, t, r, q; each is one blended corner of a triangle of
    // the first key frame, with that frame's texture coordinates.
    int vertices = 0;
    for (GLint k = 0; k < used;) {
        ASSERT_EQ(buffer[static_cast<size_t>(k)], static_cast<GLfloat>(GL_POLYGON_TOKEN));
        const int n = static_cast<int>(buffer[static_cast<size_t>(k) + 1]);
        k += 2;
        for (int v = 0; v < n; ++v, k += 11, ++vertices) {
            const GLfloat* f = &buffer[static_cast<size_t>(k)];
            bool matched = false;
            for (int i = 0; i < 4 && !matched; ++i) {
                const tVec3 p = first.vertices[i];
                const tVec3 q = object.model.frames[1].vertices[i];
                const tVec3 e = p + (q - p) * 0.2f;
                matched = std::abs(f[0] - (e.x / 10.0f + 1.0f) * 32.0f) < 1e-3f &&
                          std::abs(f[1] - (e.y / 10.0f + 1.0f) * 32.0f) < 1e-3f &&
                          std::abs(f[2] - (1.0f - e.z / 100.0f) / 2.0f) < 1e-5f &&
                          f[7] == first.texCoords[i].u && f[8] == first.texCoords[i].v;
            }
            EXPECT_TRUE(matched) << f[0] << " " << f[1] << " " << f[2] << " " << f[7] << " "
                                 << f[8];
        }
    }
    EXPECT_EQ(vertices, 6);
}

TEST_F(ModelDrawGL, AModelOutOfViewLeavesItsLastTriangleTexCoordCurrent) {
    tSceneObject& object = SceneObjects[kId];
    BuildQuadModel(object.model, 1, 0.0f, 2 * kId);
    // One more triangle lies in memory past the model's two; it is not the model's, so it must
    // never be read, and its corner's coordinate (0, 1) must not become current.
    t3DObject& frame = object.model.frames[0];
    delete[] frame.faces;
    frame.faces =
        new tTriangle[3]{{{0, 2, 1}, {0, 2, 1}}, {{0, 3, 2}, {0, 3, 2}}, {{0, 1, 3}, {0, 1, 3}}};
    object.position = tVec3(0.0f, 0.0f, 10.0f); // behind the eye: nothing of it is sent
    glTexCoord2f(0.5f, 0.5f);
    DrawModel(kId);
    GLfloat uv[4] = {};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, uv);
    // The last triangle's last corner is vertex 2, at texture coordinate (1, 1).
    EXPECT_EQ(uv[0], 1.0f);
    EXPECT_EQ(uv[1], 1.0f);
}
