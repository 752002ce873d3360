// The real SDL backend on a hidden window of the offscreen driver (software GL).
#include "app/display.h"
#include "replay/capture.h"
#include "state/game_state.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

TEST(GLContext, ContextStateViewAndCapture) {
    ResetGameState();
    SelectPlatform(SdlPlatform());
    ColorBits = 32;
    ASSERT_TRUE(CreateMainWindow("Ostravel", 640, 480, false, 32, 32)) << "no offscreen video";
    MainWindow = true;
    CreateGLContext(640, 480);
    ASSERT_TRUE(GLContext);
    EXPECT_FALSE(QuitRequested());
    EXPECT_NE(glActiveTextureARB, nullptr);
    EXPECT_NE(glMultiTexCoord2fARB, nullptr);
    EXPECT_EQ(ModelPrimitive, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);

    // 640 x 480: aspect 4:3, 45 degrees, depth 1 ... 25000.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    GLfloat p[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const float f = static_cast<float>(1.0 / std::tan(22.5 * M_PI / 180.0));
    EXPECT_NEAR(p[5], f, 1e-5);
    EXPECT_NEAR(p[0], f / (640.0f / 480.0f), 1e-5);
    EXPECT_NEAR(p[10], -(25000.0f + 1.0f) / (25000.0f - 1.0f), 1e-5);

    ResizeView(300, 0);
    EXPECT_EQ(WindowHeight, 1u);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[0], f / 300.0f, 1e-6);

    // A captured frame holds what was drawn, bottom row first, in BMP byte order.
    ResizeView(64, 32);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::string path = testing::TempDir() + "capture.bmp";
    ASSERT_TRUE(WriteFrameBmp(path.c_str(), 64, 32));
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), {});
    ASSERT_EQ(bytes.size(), 54u + 64u * 3u * 32u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(bytes[54], 0);   // blue
    EXPECT_EQ(bytes[56], 255); // red

    CloseSdlContext();
}
