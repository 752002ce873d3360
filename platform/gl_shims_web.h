// What the browser's fixed-function GL emulation (Emscripten's legacy GL over WebGL) lacks or
// gets wrong, filled in beneath the drawing code: gl_api.h routes these names here in the
// browser build only, so the drawing code is the desktop's, call for call.
//   - display lists (the font's glyphs): recorded here and replayed call by call;
//   - gluBuild2DMipmaps: the image as level 0, the smaller levels by the browser;
//   - gluLookAt: the emulation replaces the matrix instead of multiplying it;
//   - glVertexPointer with GL_INT: WebGL takes no integer positions, so they are widened;
//   - glReadBuffer: a no-op (WebGL reads the frame being drawn);
//   - glReadPixels in GL_RGB or GL_BGR: read as RGBA and packed here;
//   - glMultiTexCoord2fARB: not offered by the emulation; handed out through GetGLProcAddress.
// Included by gl_api.h after the GL headers.
#pragma once

GLuint WebGenLists(GLsizei range);
void WebNewList(GLuint list, GLenum mode);
void WebEndList();
void WebCallList(GLuint list);
void WebDeleteLists(GLuint list, GLsizei range);
void WebBegin(GLenum mode);
void WebEnd();
void WebTexCoord2f(GLfloat s, GLfloat t);
void WebVertex2i(GLint x, GLint y);
void WebTranslated(GLdouble x, GLdouble y, GLdouble z);
GLint WebBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format,
                        GLenum type, const void* data);
void WebLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ);
void WebVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void WebDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);
void WebReadBuffer(GLenum mode);
void WebReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                   void* pixels);
// The shim behind a GL entry point the emulation does not offer by name, or nullptr.
void* WebGlShimAddress(const char* name);

#ifndef OSTRAVEL_GL_SHIMS_IMPLEMENTATION
#define glGenLists WebGenLists
#define glNewList WebNewList
#define glEndList WebEndList
#define glCallList WebCallList
#define glDeleteLists WebDeleteLists
#define glBegin WebBegin
#define glEnd WebEnd
#define glTexCoord2f WebTexCoord2f
#define glVertex2i WebVertex2i
#define glTranslated WebTranslated
#define gluBuild2DMipmaps WebBuild2DMipmaps
#define gluLookAt WebLookAt
#define glVertexPointer WebVertexPointer
#define glDrawElements WebDrawElements
#define glReadBuffer WebReadBuffer
#define glReadPixels WebReadPixels
#endif
