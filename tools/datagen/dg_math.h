// Small vector and rotation helpers for the content generator.
//
// Conventions: models are built in the MD2 file's own axes (z up, a character
// faces +x, +y is its left). The game turns them into its y-up frame when it
// loads them; that change is a rotation, so triangle winding survives it.
// Angles are radians throughout the generator.
#pragma once

#include <cmath>

namespace dg {

constexpr float kPi = 3.14159265358979f;

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalized(Vec3 a) {
    float l = Length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}
inline Vec3 Lerp(Vec3 a, Vec3 b, float t) {
    return a + (b - a) * t;
}

inline float Clamp(float v, float lo, float hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
inline float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}
inline float SmoothStep(float e0, float e1, float v) {
    float t = Clamp((v - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Row-major 3x3 rotation.
struct Mat3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

inline Vec3 operator*(const Mat3& r, Vec3 v) {
    return {r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z,
            r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
            r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z};
}
inline Mat3 operator*(const Mat3& a, const Mat3& b) {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}
inline Mat3 RotX(float a) {
    float c = std::cos(a), s = std::sin(a);
    Mat3 r;
    r.m[1][1] = c, r.m[1][2] = -s, r.m[2][1] = s, r.m[2][2] = c;
    return r;
}
inline Mat3 RotY(float a) {
    float c = std::cos(a), s = std::sin(a);
    Mat3 r;
    r.m[0][0] = c, r.m[0][2] = s, r.m[2][0] = -s, r.m[2][2] = c;
    return r;
}
inline Mat3 RotZ(float a) {
    float c = std::cos(a), s = std::sin(a);
    Mat3 r;
    r.m[0][0] = c, r.m[0][1] = -s, r.m[1][0] = s, r.m[1][1] = c;
    return r;
}

// A rigid placement: p' = rot * p + pos.
struct Xform {
    Mat3 rot;
    Vec3 pos;
};
inline Vec3 Apply(const Xform& t, Vec3 p) {
    return t.rot * p + t.pos;
}
inline Xform Compose(const Xform& parent, const Xform& child) {
    return {parent.rot * child.rot, Apply(parent, child.pos)};
}

} // namespace dg
