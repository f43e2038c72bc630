// Three 32-bit floats and the few operations the mesh geometry needs: sums,
// differences, scaling, dot and cross products, lengths. All arithmetic is
// single precision, as the mesh records hold their positions.
#pragma once
#include <cmath>

#include "gfx3d/mesh_types.h"

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline Vec3 vec3(const float (&v)[3]) { return {v[0], v[1], v[2]}; }
inline Vec3 positionOf(const MeshVertex& v) { return {v.x, v.y, v.z}; }
inline void store(const Vec3& v, float (&out)[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(const Vec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator/(const Vec3& a, float s) { return {a.x / s, a.y / s, a.z / s}; }

inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float lengthSquared(const Vec3& a) { return dot(a, a); }

// Squared lengths at or below this count as zero throughout the mesh code.
constexpr float kTinySquared = 1e-7f;

// The length, 0 for a squared length at or below kTinySquared.
inline float lengthOrZero(const Vec3& a) {
    float s = lengthSquared(a);
    return s <= kTinySquared ? 0.0f : std::sqrt(s);
}
// The vector divided by its length; unchanged when its squared length is at
// or below `tiny` (0: only the zero vector is kept).
inline Vec3 normalisedOrKept(const Vec3& a, float tiny = kTinySquared) {
    float s = lengthSquared(a);
    return s > tiny ? a / std::sqrt(s) : a;
}
// The same in place on the first three floats of v (a GL light position or
// direction keeps its fourth, w).
inline void normaliseXyz(float* v) {
    const Vec3 n = normalisedOrKept({v[0], v[1], v[2]});
    v[0] = n.x;
    v[1] = n.y;
    v[2] = n.z;
}
