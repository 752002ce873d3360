// Vector math shared by every part of the game.
//
// Conventions:
//   - Axes: +y is up; x and z span the ground. World (x, z) maps onto the height map grid as
//     ((x + 10240) / 10, (z + 10240) / 10).
//   - Units: world units for positions. Directions are not normalised unless a function says so.
//   - Angles: degrees in records and read-outs, radians in every rotation and trigonometric call;
//     kDegreesPerRadian converts.
//   - Precision: tVec3 arithmetic is single precision. The few routines that keep a value in
//     double precision say so where they do it (geometry.cpp).
#pragma once

#include <cmath>
#include <type_traits>

constexpr float kDegreesPerRadian = 57.29577951f;

// Three consecutive floats and nothing else: arrays of tVec3 are arrays of floats in x, y, z
// order, which the model frames, polygons and the camera record rely on.
struct tVec3 {
    float x, y, z;

    // Leaves the components as the storage held them: zero for static vectors.
    tVec3() = default;
    constexpr tVec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    constexpr tVec3 operator+(tVec3 b) const { return {x + b.x, y + b.y, z + b.z}; }
    constexpr tVec3 operator-(tVec3 b) const { return {x - b.x, y - b.y, z - b.z}; }
    constexpr tVec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    // No guard against s == 0: IEEE infinities or NaN follow.
    constexpr tVec3 operator/(float s) const { return {x / s, y / s, z / s}; }
    // False whenever a component is NaN.
    constexpr bool operator==(tVec3 b) const { return x == b.x && y == b.y && z == b.z; }
};

static_assert(sizeof(tVec3) == 3 * sizeof(float));
static_assert(std::is_trivially_copyable_v<tVec3> && std::is_standard_layout_v<tVec3>);

// Single-precision wrappers: the double routine of the C library on the widened argument,
// rounded back to float.
inline float AbsF(float v) {
    return static_cast<float>(std::fabs(static_cast<double>(v)));
}
inline float AtanF(float v) {
    return static_cast<float>(std::atan(static_cast<double>(v)));
}
inline float AsinF(float v) {
    return static_cast<float>(std::asin(static_cast<double>(v)));
}
inline float AcosF(float v) {
    return static_cast<float>(std::acos(static_cast<double>(v)));
}
inline float CosF(float v) {
    return static_cast<float>(std::cos(static_cast<double>(v)));
}
inline float SinF(float v) {
    return static_cast<float>(std::sin(static_cast<double>(v)));
}
inline float SqrtF(float v) {
    return static_cast<float>(std::sqrt(static_cast<double>(v)));
}
inline float FmodF(float a, float b) {
    return static_cast<float>(std::fmod(static_cast<double>(a), static_cast<double>(b)));
}

// Right-handed cross product a x b.
inline tVec3 CrossProduct(tVec3 a, tVec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float DotProduct(tVec3 a, tVec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The sum is rounded to float before the square root.
inline float Length(tVec3 v) {
    const float sum = v.x * v.x + v.y * v.y + v.z * v.z;
    return SqrtF(sum);
}

// The distance between a and b seen from above: heights are left out.
inline float HorizontalDistance(tVec3 a, tVec3 b) {
    return Length(tVec3(a.x, 0.0f, a.z) - tVec3(b.x, 0.0f, b.z));
}

// No guard: the zero vector gives three NaN components.
inline tVec3 Normalized(tVec3 v) {
    return v / Length(v);
}

// The constant d of the plane n.X + d = 0 through p.
inline float PlaneOffset(tVec3 n, tVec3 p) {
    return -(n.x * p.x + n.y * p.y + n.z * p.z);
}

// p - q, the edge vector between two polygon corners.
inline tVec3 Difference(tVec3 p, tVec3 q) {
    return p - q;
}
