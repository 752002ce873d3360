#include "render/frame_renderer.h"

#include "app/capture.h"
#include "app/gl_api.h"

void RenderFrame() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    PresentFrame();
}
