// The browser build's GL shims (see gl_shims_web.h). Each forwards to the emulation's own entry
// point once the call is in a form it draws correctly.
#define OSTRAVEL_GL_SHIMS_IMPLEMENTATION
#include "platform/gl_api.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" void glGenerateMipmap(GLenum target);

namespace {

// ---- display lists (whole run): the font's 256 glyphs, a handful of calls each ----
constexpr GLuint kMaxLists = 512;
constexpr int kListCommands = 8192;

enum tListOp { kOpBegin, kOpEnd, kOpTexCoord, kOpVertex, kOpTranslate };
struct tListCommand {
    tListOp op;
    GLenum mode;
    double a, b, c;
};
struct tListRange {
    int first;
    int count;
};

tListCommand Commands[kListCommands];
int CommandCount = 0;
tListRange Lists[kMaxLists + 1]; // by list name; 0 is no list
GLuint NextList = 1;
GLuint Recording = 0; // the list being compiled, 0 when none
bool CommandsFullSaid = false;
bool InsideBegin = false;

bool Record(tListOp op, GLenum mode, double a, double b, double c) {
    if (Recording == 0) {
        return false;
    }
    if (CommandCount == kListCommands) {
        if (!CommandsFullSaid) {
            std::fprintf(stderr, "browser GL: display list storage full; calls dropped\n");
            CommandsFullSaid = true;
        }
        return true;
    }
    Commands[CommandCount++] = tListCommand{op, mode, a, b, c};
    ++Lists[Recording].count;
    return true;
}

// ---- integer positions widened (whole run, grown to the largest draw) ----
const GLint* IntPositions = nullptr;
GLint IntSize = 3;
GLsizei IntStride = 0;
std::vector<GLfloat> WidePositions;

} // namespace

GLuint WebGenLists(GLsizei range) {
    if (range <= 0 || NextList + static_cast<GLuint>(range) > kMaxLists + 1) {
        return 0;
    }
    const GLuint first = NextList;
    NextList += static_cast<GLuint>(range);
    return first;
}

void WebNewList(GLuint list, GLenum) {
    if (list == 0 || list > kMaxLists) {
        return;
    }
    Recording = list;
    Lists[list] = tListRange{CommandCount, 0};
}

void WebEndList() {
    Recording = 0;
}

void WebCallList(GLuint list) {
    if (list == 0 || list > kMaxLists) {
        return;
    }
    const tListRange range = Lists[list];
    for (int i = range.first; i < range.first + range.count; ++i) {
        const tListCommand& c = Commands[i];
        switch (c.op) {
        case kOpBegin:
            WebBegin(c.mode);
            break;
        case kOpEnd:
            WebEnd();
            break;
        case kOpTexCoord:
            glTexCoord2f(static_cast<GLfloat>(c.a), static_cast<GLfloat>(c.b));
            break;
        case kOpVertex:
            glVertex2f(static_cast<GLfloat>(c.a), static_cast<GLfloat>(c.b));
            break;
        case kOpTranslate:
            glTranslated(c.a, c.b, c.c);
            break;
        }
    }
}

void WebDeleteLists(GLuint list, GLsizei range) {
    // The storage is the whole run's; the names come back when every list has gone.
    for (GLsizei i = 0; i < range; ++i) {
        if (list + static_cast<GLuint>(i) <= kMaxLists) {
            Lists[list + static_cast<GLuint>(i)] = tListRange{0, 0};
        }
    }
    if (list + static_cast<GLuint>(range) == NextList) {
        NextList = list;
        if (NextList == 1) {
            CommandCount = 0;
        }
    }
}

void WebBegin(GLenum mode) {
    if (!Record(kOpBegin, mode, 0.0, 0.0, 0.0)) {
        InsideBegin = true;
        glBegin(mode);
    }
}

void WebEnd() {
    if (!Record(kOpEnd, 0, 0.0, 0.0, 0.0)) {
        InsideBegin = false;
        glEnd();
    }
}

void WebTexCoord2f(GLfloat s, GLfloat t) {
    if (!Record(kOpTexCoord, 0, s, t, 0.0)) {
        glTexCoord2f(s, t);
    }
}

void WebVertex2i(GLint x, GLint y) {
    if (!Record(kOpVertex, 0, x, y, 0.0)) {
        glVertex2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
    }
}

void WebTranslated(GLdouble x, GLdouble y, GLdouble z) {
    if (!Record(kOpTranslate, 0, x, y, z)) {
        glTranslated(x, y, z);
    }
}

GLint WebBuild2DMipmaps(GLenum target, GLint, GLint width, GLint height, GLenum format, GLenum type,
                        const void* data) {
    // WebGL wants the stored format to be the given one. The game's images are powers of two,
    // which WebGL needs for mipmaps.
    glTexImage2D(target, 0, static_cast<GLint>(format), width, height, 0, format, type, data);
    glGenerateMipmap(target);
    return 0;
}

void WebLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    // GLU's own: forward f, side s = f x up, then u = s x f; rows s, u, -f; then the eye moved to
    // the origin.
    double f[3] = {centreX - eyeX, centreY - eyeY, centreZ - eyeZ};
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (fl == 0.0) {
        return;
    }
    for (double& v : f) {
        v /= fl;
    }
    double s[3] = {f[1] * upZ - f[2] * upY, f[2] * upX - f[0] * upZ, f[0] * upY - f[1] * upX};
    const double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (sl == 0.0) {
        return;
    }
    for (double& v : s) {
        v /= sl;
    }
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2],
                         s[0] * f[1] - s[1] * f[0]};
    // Column-major.
    const GLfloat m[16] = {
        static_cast<GLfloat>(s[0]),
        static_cast<GLfloat>(u[0]),
        static_cast<GLfloat>(-f[0]),
        0.0f,
        static_cast<GLfloat>(s[1]),
        static_cast<GLfloat>(u[1]),
        static_cast<GLfloat>(-f[1]),
        0.0f,
        static_cast<GLfloat>(s[2]),
        static_cast<GLfloat>(u[2]),
        static_cast<GLfloat>(-f[2]),
        0.0f,
        0.0f,
        0.0f,
        0.0f,
        1.0f,
    };
    glMultMatrixf(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}

void WebVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    if (type == GL_INT) {
        IntPositions = static_cast<const GLint*>(pointer);
        IntSize = size;
        IntStride = stride;
        return;
    }
    IntPositions = nullptr;
    glVertexPointer(size, type, stride, pointer);
}

void WebDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    if (IntPositions != nullptr && type == GL_UNSIGNED_SHORT) {
        const GLushort* index = static_cast<const GLushort*>(indices);
        GLushort highest = 0;
        for (GLsizei i = 0; i < count; ++i) {
            highest = index[i] > highest ? index[i] : highest;
        }
        const size_t vertices = static_cast<size_t>(highest) + 1;
        const size_t step = IntStride != 0 ? static_cast<size_t>(IntStride) / sizeof(GLint)
                                           : static_cast<size_t>(IntSize);
        WidePositions.resize(vertices * static_cast<size_t>(IntSize));
        for (size_t v = 0; v < vertices; ++v) {
            for (GLint k = 0; k < IntSize; ++k) {
                WidePositions[v * static_cast<size_t>(IntSize) + static_cast<size_t>(k)] =
                    static_cast<GLfloat>(IntPositions[v * step + static_cast<size_t>(k)]);
            }
        }
        glVertexPointer(IntSize, GL_FLOAT, 0, WidePositions.data());
    }
    glDrawElements(mode, count, type, indices);
}

void WebReadBuffer(GLenum) {}

void WebReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                   void* pixels) {
    if ((format != GL_RGB && format != GL_BGR) || type != GL_UNSIGNED_BYTE) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + static_cast<size_t>(alignment) - 1) /
                            static_cast<size_t>(alignment) * static_cast<size_t>(alignment);
    unsigned char* out = static_cast<unsigned char*>(pixels);
    const bool bgr = format == GL_BGR;
    for (GLsizei row = 0; row < height; ++row) {
        const unsigned char* in = rgba.data() + static_cast<size_t>(row) * width * 4;
        unsigned char* line = out + static_cast<size_t>(row) * rowBytes;
        for (GLsizei i = 0; i < width; ++i) {
            line[i * 3 + 0] = in[i * 4 + (bgr ? 2 : 0)];
            line[i * 3 + 1] = in[i * 4 + 1];
            line[i * 3 + 2] = in[i * 4 + (bgr ? 0 : 2)];
        }
    }
}

namespace {

// The multitexture coordinate the terrain leaves current after its draw: the emulation keeps no
// current coordinate outside glBegin/glEnd, so only one given inside a batch counts, for unit 0.
void WebMultiTexCoord2f(GLenum target, GLfloat s, GLfloat t) {
    if (InsideBegin && target == 0x84C0) {
        glTexCoord2f(s, t);
    }
}

} // namespace

void* WebGlShimAddress(const char* name) {
    if (std::strcmp(name, "glMultiTexCoord2fARB") == 0) {
        return reinterpret_cast<void*>(WebMultiTexCoord2f);
    }
    return nullptr;
}
