// The object transform stack of the 3-D renderer: reset, push, pop, the lazy
// finishing of the current record's matrix, and the texture offset. Pure
// arithmetic but for multObjectMatrix.
#include "gfx3d/object_transforms.h"

#include <cmath>
#include <utility>

#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void setIdentity(float (&m)[16]) {
    for (int i = 0; i < 16; ++i) m[i] = kIdentity[i];
}

// M := M x X
void multiplyInto(float (&m)[16], const float (&x)[16]) {
    float result[16];
    glmatrix::multiply(m, x, result);
    for (int i = 0; i < 16; ++i) m[i] = result[i];
}

// A fresh record: no rotations or matrices, unit scale, no position, the given starting matrix, finished.
void clearRecord(Object3DTransform& t, const float (&start)[16]) {
    t.matrixCount = 0;
    t.rotationCount = 0;
    t.scale[0] = t.scale[1] = t.scale[2] = 1.0f;
    t.position[0] = t.position[1] = t.position[2] = 0.0f;
    for (int i = 0; i < 16; ++i) t.matrix[i] = start[i];
    t.matrixValid = 1;
}

}  // namespace

bool rotationMatrix(float angle, float x, float y, float z, float (&out)[16]) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0001f)) return false;
    setIdentity(out);
    const float radians = angle * 0.017453292f;
    const float s = static_cast<float>(std::sin(static_cast<double>(radians)));
    const float c = static_cast<float>(std::cos(static_cast<double>(radians)));
    // One non-zero component: exact 0 and 1 entries about that axis.
    const int zeros = (x == 0.0f) + (y == 0.0f) + (z == 0.0f);
    if (zeros == 2) {
        if (x != 0.0f) {
            const float sx = x > 0.0f ? s : -s;
            out[5] = c, out[6] = sx, out[9] = -sx, out[10] = c;
        } else if (y != 0.0f) {
            const float sy = y > 0.0f ? s : -s;
            out[0] = c, out[2] = -sy, out[8] = sy, out[10] = c;
        } else {
            const float sz = z > 0.0f ? s : -s;
            out[0] = c, out[1] = sz, out[4] = -sz, out[5] = c;
        }
        return true;
    }
    x /= length;
    y /= length;
    z /= length;
    const float t = 1.0f - c;
    out[0] = x * x * t + c;
    out[1] = y * x * t + z * s;
    out[2] = x * z * t - y * s;
    out[4] = x * y * t - z * s;
    out[5] = y * y * t + c;
    out[6] = y * z * t + x * s;
    out[8] = x * z * t + y * s;
    out[9] = y * z * t - x * s;
    out[10] = z * z * t + c;
    return true;
}

void finishTransformMatrix(Object3DTransform& t) {
    if (t.matrixValid) return;
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = t.matrix[i];
    const int32_t matrices = t.matrixCount < kMaxTransformMatrices ? t.matrixCount : kMaxTransformMatrices;
    for (int32_t i = 0; i < matrices; ++i) multiplyInto(m, t.matrices[i]);
    if (t.position[0] != 0.0f || t.position[1] != 0.0f || t.position[2] != 0.0f) {
        float move[16];
        setIdentity(move);
        move[12] = t.position[0];
        move[13] = t.position[1];
        move[14] = t.position[2];
        multiplyInto(m, move);
    }
    const int32_t rotations = t.rotationCount < kMaxTransformRotations ? t.rotationCount : kMaxTransformRotations;
    for (int32_t i = rotations - 1; i >= 0; --i) {
        const TransformRotation& r = t.rotations[i];
        float turn[16];
        if (rotationMatrix(r.angle, r.x, r.y, r.z, turn)) multiplyInto(m, turn);
    }
    if (t.scale[0] != 1.0f || t.scale[1] != 1.0f || t.scale[2] != 1.0f) {
        float size[16];
        setIdentity(size);
        size[0] = t.scale[0];
        size[5] = t.scale[1];
        size[10] = t.scale[2];
        multiplyInto(m, size);
    }
    for (int i = 0; i < 16; ++i) t.matrix[i] = m[i];
    t.matrixValid = 1;
}

void Rainbows3D::updateObjectMatrix() { finishTransformMatrix(currentTransform()); }

void Rainbows3D::multObjectMatrix() {
    updateObjectMatrix();
    if (glReady()) glMultMatrixf(currentTransform().matrix);
}

void Rainbows3D::setTextureOffset(float du, float dv) {
    textureOffset[0] = du;
    textureOffset[1] = dv;
}

void Rainbows3D::resetTransforms() {
    transformIndex = 0;
    clearRecord(transforms[0], kIdentity);
}

void Rainbows3D::pushTransform() {
    if (transformIndex < 0 || transformIndex >= kTransformDepth - 1) return;
    updateObjectMatrix();
    const Object3DTransform& parent = transforms[transformIndex];
    ++transformIndex;
    clearRecord(transforms[transformIndex], parent.matrix);
}

void Rainbows3D::reopenTransform() {
    Object3DTransform& t = currentTransform();
    const float(&start)[16] = transformIndex > 0 ? transforms[transformIndex - 1].matrix : kIdentity;
    for (int i = 0; i < 16; ++i) t.matrix[i] = start[i];
    t.matrixValid = 0;
}

void Rainbows3D::popTransform() {
    if (transformIndex >= 1) {
        --transformIndex;
        return;
    }
    resetTransforms();
}

bool render3d::invertMatrix(const float (&m)[16], float (&out)[16]) {
    // Rows of [A | I], A[row][col] = m[col * 4 + row].
    double a[4][8];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[c * 4 + r];
            a[r][4 + c] = r == c ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        }
        if (a[pivot][col] == 0.0) {
            setIdentity(out);
            return false;
        }
        if (pivot != col) {
            for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
        }
        const double inverse = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c) a[col][c] *= inverse;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double factor = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= factor * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out[c * 4 + r] = static_cast<float>(a[r][4 + c]);
    }
    return true;
}
