#include "platform/gl_api.h"

// Filled by the display when it creates the GL context; empty until then.
tActiveTextureProc glActiveTextureARB = nullptr;
tMultiTexCoord2fProc glMultiTexCoord2fARB = nullptr;
GLenum ModelPrimitive = GL_TRIANGLES;
