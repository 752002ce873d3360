#include "platform/gl_api.h"

#include <cstdlib>

// Filled by the display when it creates the GL context; empty until then.
tActiveTextureProc glActiveTextureARB = nullptr;
tMultiTexCoord2fProc glMultiTexCoord2fARB = nullptr;
GLenum ModelPrimitive = GL_TRIANGLES;

void PreferFastestSoftwareDrawing() {
#ifndef __EMSCRIPTEN__
    setenv("LP_PERF", "no_linear", 0);
#endif
}
