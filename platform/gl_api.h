// The OpenGL headers as the game uses them: the 1.x fixed-function API and GLU, with the two
// multitexture entry points fetched by name from the context at start-up (app/display.cpp) in place
// of the library's own prototypes. Every file that draws includes this header, not <GL/gl.h>.
#pragma once

// Keep the headers from declaring the ARB multitexture and occlusion query functions: the game's
// own pointers below carry those names.
#ifndef GL_ARB_multitexture
#define GL_ARB_multitexture 1
#endif
#ifndef GL_ARB_occlusion_query
#define GL_ARB_occlusion_query 1
#endif
#include <GL/gl.h>
#include <GL/glu.h>
// The browser build fills what its GL emulation lacks beneath these same names.
#ifdef __EMSCRIPTEN__
#include "platform/gl_shims_web.h"
#endif

#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#endif
#ifndef GL_COMBINE_ARB
#define GL_COMBINE_ARB 0x8570
#define GL_RGB_SCALE_ARB 0x8573
#endif
#ifndef GL_SAMPLES_PASSED_ARB
#define GL_SAMPLES_PASSED_ARB 0x8914
#define GL_QUERY_RESULT_ARB 0x8866
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

// The texture format a copy of the window's pixels goes into. WebGL copies only into a format
// with no channel the canvas lacks (the game's canvas has no alpha); desktop GL fills alpha in,
// and its software renderers filter four bytes a texel faster than three.
#ifdef __EMSCRIPTEN__
constexpr GLenum kWindowCopyFormat = GL_RGB;
#else
constexpr GLenum kWindowCopyFormat = GL_RGBA;
#endif

using tActiveTextureProc = void (*)(GLenum texture);
using tMultiTexCoord2fProc = void (*)(GLenum target, GLfloat s, GLfloat t);

// ---- set when the GL context is created ----
extern tActiveTextureProc glActiveTextureARB;     // selects the active texture unit
extern tMultiTexCoord2fProc glMultiTexCoord2fARB; // texture coordinate for one unit
extern GLenum ModelPrimitive;                     // the primitive model triangles are drawn with

// Sample counts, for measuring how often each window pixel is drawn (--stats): fetched by
// LoadOcclusionQueries, nullptr until then and wherever the GL cannot count.
using tGenQueriesProc = void (*)(GLsizei n, GLuint* ids);
using tBeginQueryProc = void (*)(GLenum target, GLuint id);
using tEndQueryProc = void (*)(GLenum target);
using tGetQueryObjectuivProc = void (*)(GLuint id, GLenum name, GLuint* value);
extern tGenQueriesProc glGenQueriesARB;
extern tBeginQueryProc glBeginQueryARB;
extern tEndQueryProc glEndQueryARB;
extern tGetQueryObjectuivProc glGetQueryObjectuivARB;
// With a current context: fetches the four entry points above where the context counts samples
// (GL_ARB_occlusion_query); false, all four left nullptr, where it does not. The browser's GL
// never does (WebGL counts no samples).
bool LoadOcclusionQueries();

// Called before the GL context is created when the picture need not match full-size frames to
// the byte (a render scale below 1, or the automatic one). Mesa's software renderer is then asked
// to leave out its 8-bit "linear" shading, which on the game's frames costs more CPU than the
// shading it stands in for (bench/README.md); a player's own LP_PERF is kept. Other drivers read
// nothing of it.
void PreferFastestSoftwareDrawing();
