#include "render/view_cull.h"

#include "platform/gl_api.h"

#include <cmath>

bool ViewCulling = true;

namespace {

// Column-major, as the GL stores it; double so that our own rounding stays far below the margin.
double ViewClip[16];

// A point counts as beyond a plane only when it is past it by this share of its own size: the
// GL computes in single precision, and a piece on the edge must never be skipped.
constexpr double kClipMargin = 1.0e-4;

} // namespace

void LoadViewClip() {
    // Zero without a context, which culls nothing.
    GLfloat p[16] = {}, m[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(p[4 * k + r]) * static_cast<double>(m[4 * c + k]);
            }
            ViewClip[4 * c + r] = sum;
        }
    }
}

unsigned ClipOutcode(float x, float y, float z) {
    if (!ViewCulling) {
        return 0;
    }
    double v[4];
    for (int r = 0; r < 4; ++r) {
        v[r] = ViewClip[r] * x + ViewClip[4 + r] * y + ViewClip[8 + r] * z + ViewClip[12 + r];
    }
    const double w = v[3];
    unsigned code = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const double e = kClipMargin * (std::fabs(v[axis]) + std::fabs(w)) + 1.0e-9;
        if (v[axis] + w < -e) {
            code |= 1u << (2 * axis); // below -w: left, bottom, near
        }
        if (v[axis] - w > e) {
            code |= 2u << (2 * axis); // above w: right, top, far
        }
    }
    return code;
}

bool BoxOutsideView(tVec3 low, tVec3 high) {
    unsigned all = ~0u;
    for (int k = 0; k < 8 && all != 0; ++k) {
        all &= ClipOutcode((k & 1) ? high.x : low.x, (k & 2) ? high.y : low.y,
                           (k & 4) ? high.z : low.z);
    }
    return all != 0;
}
