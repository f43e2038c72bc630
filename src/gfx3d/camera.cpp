// Scene start, camera placement, the projection and look-at matrices, the
// view-frustum planes and the depth buffer switches of the 3-D renderer.
// Depends on the 2-D context (viewport, orientation, offscreen screens,
// texture binding) and the GL capability cache.
//
// Departure: an offscreen screen holds its picture top row first (texture
// row 0 is the picture's top, as the 2-D drawing keeps it), so a scene drawn
// there uses the 2-D viewport rectangle as it stands and a projection turned
// upside down; the front-face winding is swapped with it (mirroredScene), so
// culling and the shadow volumes see the same faces as on the window. An
// empty viewport (no width or height) takes the aspect ratio 1, so the
// projection and the frustum planes stay finite. An up vector along the
// view direction is replaced by -z (or +y when the view runs along z), so a
// camera looking straight down still sees the scene.
#include <cmath>

#include "gfx2d/gl_state_cache.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"
#include "gfx3d/vec3.h"

namespace {

// A polynomial tangent, accurate over the angles a view can have.
float polynomialTangent(float x) {
    const float y = x * x;
    const float p =
        ((((0.009516809f * y + 0.002900525f) * y + 0.02456509f) * y + 0.05337406f) * y + 0.1333924f) * y +
        0.3333314f;
    return x * (1.0f + y * p);
}

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kPi = 3.1415927f;
constexpr float kWidestTangentAngle = 1.553343f;  // 89 degrees in radians

void loadOrientation(int32_t orientation) {
    if (const float* turn = glmatrix::orientationTurn(orientation)) glLoadMatrixf(turn);
    else glLoadIdentity();
}

}  // namespace

namespace render3d {

bool mirroredScene = false;

void setFrontFace(GLenum face) {
    if (mirroredScene) face = face == GL_CCW ? GL_CW : GL_CCW;
    glFrontFace(face);
}

}  // namespace render3d

void Rainbows3D::startScene(float nearDistance, float farDistance, float angle) {
    if (!glReady()) return;
    gfx2d->depthClearPending = 1;
    setShadowPass(0);
    viewTangent = angle + 5.0f <= 89.0f ? std::tan((angle + 5.0f) * kDegreesToRadians) : std::tan(kWidestTangentAngle);
    cameraUp[0] = 0.0f;
    cameraUp[1] = 1.0f;
    cameraUp[2] = 0.0f;
    nearClip = nearDistance;
    farClip = farDistance;

    double aspect = 1.0;
    glMatrixMode(GL_PROJECTION);
    const int32_t screen = gfx2d->currentScreen;
    render3d::mirroredScene = screen >= 0 && screen < kScreenCount && gfx2d->screens[screen].sprite >= 0;
    if (render3d::mirroredScene) {
        glViewport(gfx2d->viewportX, gfx2d->viewportY, gfx2d->viewportWidth, gfx2d->viewportHeight);
        static const GLfloat upsideDown[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        glLoadMatrixf(upsideDown);
        aspect = static_cast<double>(gfx2d->viewportWidth) / gfx2d->viewportHeight;
    } else {
        loadOrientation(gfx2d->orientation);
        int32_t x = 0, y = 0, w = 0, h = 0;
        gfx2d->rotateRectByOrientation(gfx2d->viewportX, gfx2d->viewportY, gfx2d->viewportWidth,
                                       gfx2d->viewportHeight, x, y, w, h);
        if (gfx2d->orientation == 1 || gfx2d->orientation == 3) {
            glViewport(x, gfx2d->windowHeight - w - y, h, w);
            aspect = static_cast<double>(h) / w;
        } else {
            glViewport(x, gfx2d->windowHeight - h - y, w, h);
            aspect = static_cast<double>(w) / h;
        }
    }
    if (!std::isfinite(aspect)) aspect = 1.0;  // an empty viewport draws nothing; keep the matrix finite

    if (angle > 0.0f) {
        const float h = polynomialTangent(angle * kPi / 360.0f) * nearDistance;
        multProjection(static_cast<float>(-h * aspect), static_cast<float>(h * aspect), -h, h, nearDistance,
                       farDistance, projectionMatrix);
    } else {
        const float h = polynomialTangent(-angle * kPi / 360.0f) * nearDistance * 100.0f;
        multOrtho(static_cast<float>(-h * aspect), static_cast<float>(h * aspect), -h, h, nearDistance, farDistance,
                  projectionMatrix);
        viewTangent = std::tan(kWidestTangentAngle);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glcache::enableCapability(GL_CULL_FACE);
    render3d::setFrontFace(GL_CCW);
    for (GLenum capability : {GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_POINT,
                              GL_AUTO_NORMAL}) {
        glcache::disableCapability(capability);
    }
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glcache::disableCapability(GL_STENCIL_TEST);
    glcache::disableCapability(GL_NORMALIZE);
    glcache::disableCapability(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glcache::enableCapability(GL_DITHER);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 0.0f);
    glcache::enableCapability(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);

    sphereMapping = 0;
    effectLightOn = 0;
    resetTransforms();
    setCulling(0);
    textureOffset[0] = textureOffset[1] = 0.0f;
    gfx2d->bindSpriteTextures(-1, -1, 0, nullptr);

    cameraEye[0] = cameraEye[1] = cameraEye[2] = 0.0f;
    cameraTarget[0] = cameraTarget[1] = 0.0f;
    cameraTarget[2] = -1.0f;
    loadViewMatrix(cameraEye, cameraTarget, cameraUp, viewMatrix);
    resetTransforms();
    updateCamera();
}

void Rainbows3D::setCamera(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ) {
    cameraEye[0] = eyeX;
    cameraEye[1] = eyeY;
    cameraEye[2] = eyeZ;
    cameraTarget[0] = targetX;
    cameraTarget[1] = targetY;
    cameraTarget[2] = targetZ;
    loadViewMatrix(cameraEye, cameraTarget, cameraUp, viewMatrix);
    resetTransforms();
    updateCamera();
}

void Rainbows3D::setUpVector(float x, float y, float z) {
    cameraUp[0] = x;
    cameraUp[1] = y;
    cameraUp[2] = z;
}

void Rainbows3D::loadViewMatrix(const float (&eye)[3], const float (&target)[3], const float (&up)[3],
                                float (&out)[16]) {
    // Each axis is divided by its length unless that length is 0.
    const Vec3 z = normalisedOrKept(vec3(eye) - vec3(target), 0.0f);
    // An up vector along the view (looking straight down with the default
    // up) gives no x axis and would fold the scene to a point: the far side
    // of the world, -z, is up instead, or +y when the view runs along z.
    // The up vector is taken at unit length, so that one threshold serves it
    // and the fallbacks whatever its own length.
    Vec3 x = cross(normalisedOrKept(vec3(up), 0.0f), z);
    for (const Vec3& fallback : {Vec3{0.0f, 0.0f, -1.0f}, Vec3{0.0f, 1.0f, 0.0f}}) {
        if (lengthSquared(x) > 1e-12f) break;
        x = cross(fallback, z);
    }
    x = normalisedOrKept(x, 0.0f);
    const Vec3 y = normalisedOrKept(cross(z, x), 0.0f);
    const Vec3 rows[3] = {x, y, z};
    for (int r = 0; r < 3; ++r) {
        out[r] = rows[r].x;
        out[4 + r] = rows[r].y;
        out[8 + r] = rows[r].z;
        out[12 + r] = -dot(rows[r], vec3(eye));
    }
    out[3] = out[7] = out[11] = 0.0f;
    out[15] = 1.0f;
    if (glReady()) glLoadMatrixf(out);
}

void Rainbows3D::updateCamera() {
    // C = projection x view, column-major; row i of C is C[i], C[4 + i], C[8 + i], C[12 + i].
    float c[16];
    glmatrix::multiply(projectionMatrix, viewMatrix, c);
    // right R3-R0, left R3+R0, bottom R3+R1, top R3-R1, far R3-R2, near R3+R2
    static constexpr int kRow[6] = {0, 0, 1, 1, 2, 2};
    static constexpr float kSign[6] = {-1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    for (int p = 0; p < 6; ++p) {
        for (int k = 0; k < 4; ++k) frustum[p][k] = c[k * 4 + 3] + kSign[p] * c[k * 4 + kRow[p]];
        const float length =
            std::sqrt(frustum[p][0] * frustum[p][0] + frustum[p][1] * frustum[p][1] + frustum[p][2] * frustum[p][2]);
        for (float& v : frustum[p]) v /= length;
    }
}

void Rainbows3D::multProjection(float l, float r, float b, float t, float n, float f, float (&out)[16]) {
    for (float& v : out) v = 0.0f;
    out[0] = 2.0f * n / (r - l);
    out[5] = 2.0f * n / (t - b);
    out[8] = (r + l) / (r - l);
    out[9] = (t + b) / (t - b);
    out[10] = -(f + n) / (f - n);
    out[11] = -1.0f;
    out[14] = -2.0f * f * n / (f - n);
    if (glReady()) glMultMatrixf(out);
}

void Rainbows3D::multOrtho(float l, float r, float b, float t, float n, float f, float (&out)[16]) {
    for (float& v : out) v = 0.0f;
    out[0] = 2.0f / (r - l);
    out[5] = 2.0f / (t - b);
    out[10] = -2.0f / (f - n);
    out[12] = -(r + l) / (r - l);
    out[13] = -(t + b) / (t - b);
    out[14] = -(f + n) / (f - n);
    out[15] = 1.0f;
    if (glReady()) glMultMatrixf(out);
}

int32_t Rainbows3D::isInFrustum(float x, float y, float z, float radius) const {
    for (const float(&plane)[4] : frustum) {
        if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] < -radius) return 0;
    }
    return 1;
}

void Rainbows3D::clearDepth() {
    setShadowPass(0);
    if (!glReady()) return;
    glClear(GL_DEPTH_BUFFER_BIT);
}

void Rainbows3D::setDepthTest(uint8_t on) {
    if (!glReady()) return;
    if (on) {
        glcache::enableCapability(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
    } else {
        glcache::disableCapability(GL_DEPTH_TEST);
    }
}
