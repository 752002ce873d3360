#include "platform/gl_api.h"

#include "platform/platform.h"

#include <cstdlib>
#include <cstring>

// Filled by the display when it creates the GL context; empty until then.
tActiveTextureProc glActiveTextureARB = nullptr;
tMultiTexCoord2fProc glMultiTexCoord2fARB = nullptr;
GLenum ModelPrimitive = GL_TRIANGLES;
tGenQueriesProc glGenQueriesARB = nullptr;
tBeginQueryProc glBeginQueryARB = nullptr;
tEndQueryProc glEndQueryARB = nullptr;
tGetQueryObjectuivProc glGetQueryObjectuivARB = nullptr;

bool LoadOcclusionQueries() {
#ifdef __EMSCRIPTEN__
    return false;
#else
    // The dispatch library hands out an entry point for any name: the context's own list says
    // whether the calls will count.
    const char* extensions = GetContextString(true);
    if (extensions == nullptr || std::strstr(extensions, "GL_ARB_occlusion_query") == nullptr) {
        return false;
    }
    glGenQueriesARB = reinterpret_cast<tGenQueriesProc>(GetGLProcAddress("glGenQueriesARB"));
    glBeginQueryARB = reinterpret_cast<tBeginQueryProc>(GetGLProcAddress("glBeginQueryARB"));
    glEndQueryARB = reinterpret_cast<tEndQueryProc>(GetGLProcAddress("glEndQueryARB"));
    glGetQueryObjectuivARB =
        reinterpret_cast<tGetQueryObjectuivProc>(GetGLProcAddress("glGetQueryObjectuivARB"));
    if (glGenQueriesARB == nullptr || glBeginQueryARB == nullptr || glEndQueryARB == nullptr ||
        glGetQueryObjectuivARB == nullptr) {
        glGenQueriesARB = nullptr;
        glBeginQueryARB = nullptr;
        glEndQueryARB = nullptr;
        glGetQueryObjectuivARB = nullptr;
        return false;
    }
    return true;
#endif
}

void PreferFastestSoftwareDrawing() {
#ifndef __EMSCRIPTEN__
    setenv("LP_PERF", "no_linear", 0);
#endif
}
