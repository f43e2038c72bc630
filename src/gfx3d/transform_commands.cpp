// The 3-D transform, query, projection and collision commands over the
// engine's one renderer.
#include "gfx3d/transform_commands.h"

#include <cmath>
#include <cstdint>

#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/cone_and_projection.h"
#include "gfx3d/rainbows3d.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"

namespace {

constexpr int32_t kHitColour = 255;       // red
constexpr int32_t kMissColour = 65280;    // green
constexpr int32_t kBehindColour = 65535;  // yellow
constexpr float kNoHitLineLength = 1000.0f;

Rainbows3D* renderer() { return engine.graphics3D; }

float narrow(double value) { return static_cast<float>(value); }

bool isMatrixArray(const RtArray<double>& a) { return a.d1 == 16 && a.d2 == 0; }

// Starts the current record again from its parent's finished matrix.
Object3DTransform& restartRecord(Rainbows3D& r) {
    r.reopenTransform();
    Object3DTransform& t = r.currentTransform();
    t.rotationCount = 0;
    t.matrixCount = 0;
    return t;
}

// Starts the current record again with a new position or scale.
void restartRecordWith(float (Object3DTransform::*field)[3], double x, double y, double z) {
    Rainbows3D* r = renderer();
    if (!r) return;
    float (&v)[3] = restartRecord(*r).*field;
    v[0] = narrow(x);
    v[1] = narrow(y);
    v[2] = narrow(z);
}

// projectPoint or unprojectPoint through the context's viewport and the
// renderer's matrices; the outputs keep their values where it fails.
using ViewportMapping = bool (*)(float, float, float, float&, float&, float&, const int32_t (&)[4],
                                 const float (&)[16], const float (&)[16]);
void throughViewport(Rainbows3D& r, ViewportMapping mapping, double x, double y, double z, double& outX,
                     double& outY, double& outZ) {
    int32_t viewport[4];
    r.gfx2d->copyViewport(viewport);
    float mappedX = 0.0f, mappedY = 0.0f, mappedZ = 0.0f;
    if (!mapping(narrow(x), narrow(y), narrow(z), mappedX, mappedY, mappedZ, viewport, r.projectionMatrix,
                 r.viewMatrix)) {
        return;
    }
    outX = mappedX;
    outY = mappedY;
    outZ = mappedZ;
}

void copyMatrixOut(const float (&m)[16], RtArray<double>& out) {
    if (!isMatrixArray(out)) out.dim(16, 0, 0, 0);
    for (int32_t i = 0; i < 16; ++i) out.at(i) = m[i];
}

// A double made a 16-bit integer by truncation (wrapping, as a 16-bit
// store does), values beyond 64 bits held at the ends.
int16_t truncateTo16(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) value = 9.2e18;
    if (value <= -9.2e18) value = -9.2e18;
    return static_cast<int16_t>(static_cast<int64_t>(value));
}

bool debugDrawing() { return displaySettings.debug != 0; }

}  // namespace

// --- Transform stack ---

void PushTransform() {
    if (Rainbows3D* r = renderer()) r->pushTransform();
}

void PopTransform() {
    if (Rainbows3D* r = renderer()) r->popTransform();
}

void SetObjectPosition(double x, double y, double z) { restartRecordWith(&Object3DTransform::position, x, y, z); }

void SetObjectScale(double x, double y, double z) { restartRecordWith(&Object3DTransform::scale, x, y, z); }

void AddObjectRotation(double angle, double x, double y, double z) {
    Rainbows3D* r = renderer();
    if (!r) return;
    r->reopenTransform();
    Object3DTransform& t = r->currentTransform();
    if (t.rotationCount < 0 || t.rotationCount >= kMaxTransformRotations) return;
    t.rotations[t.rotationCount++] = TransformRotation{narrow(angle), narrow(x), narrow(y), narrow(z)};
}

void AddObjectMatrix(RtArray<double>& matrix) {
    Rainbows3D* r = renderer();
    if (!r || !isMatrixArray(matrix)) return;
    r->reopenTransform();
    Object3DTransform& t = r->currentTransform();
    if (t.matrixCount < 0 || t.matrixCount >= kMaxTransformMatrices) return;
    float (&m)[16] = t.matrices[t.matrixCount];
    for (int32_t i = 0; i < 16; ++i) m[i] = narrow(matrix.at(i));
    ++t.matrixCount;
}

void GetObjectMatrix(RtArray<double>& out) {
    Rainbows3D* r = renderer();
    if (!r) return;
    r->updateObjectMatrix();
    copyMatrixOut(r->currentTransform().matrix, out);
}

void GetViewMatrix(RtArray<double>& out) {
    if (Rainbows3D* r = renderer()) copyMatrixOut(r->viewMatrix, out);
}

// --- Object queries and changes ---

int CountObjectTriangles(int slot) {
    Rainbows3D* r = renderer();
    Object3DSlot* s = r ? r->slot(slot) : nullptr;
    if (!s) return 0;
    int64_t triangles = 0;
    for (int32_t p = 0; p < s->parts.count; ++p) {
        const MeshObjectX& part = s->parts.data[p];
        if (part.frames.count > 0) triangles += part.frames.data[0].triangles.count / 3;
    }
    return static_cast<int>(triangles > INT32_MAX ? INT32_MAX : triangles);
}

void GetObjectTriangle(int slot, int frame, int triangle, RtArray<double>& out) {
    out.dim(3, 9, 0, 0);
    Rainbows3D* r = renderer();
    Object3DSlot* s = r ? r->slot(slot) : nullptr;
    if (!s || triangle < 0) return;
    int64_t before = 0;
    for (int32_t p = 0; p < s->parts.count; ++p) {
        const MeshObjectX& part = s->parts.data[p];
        if (part.frames.count < 1) continue;
        const bool hasFrame = frame >= 0 && frame < part.frames.count;
        const int32_t here = hasFrame ? part.frames.data[frame].triangles.count / 3 : 0;
        if (triangle >= before + here) {
            before += here;
            continue;
        }
        const int64_t k = triangle - before;
        const MeshVertex* v = part.frames.data[frame].triangles.data + 3 * k;
        for (int32_t row = 0; row < 3; ++row) {
            const double values[9] = {v[row].x, v[row].y,  v[row].z,  v[row].u, v[row].v,
                                      static_cast<double>(v[row].colour), v[row].nx, v[row].ny, v[row].nz};
            for (int32_t j = 0; j < 9; ++j) out.at(row, j) = values[j];
        }
        return;
    }
}

void ScaleObjectMesh(int slot, double sx, double sy, double sz) {
    Rainbows3D* r = renderer();
    Object3DSlot* s = r ? r->slot(slot) : nullptr;
    if (!s) return;
    for (int32_t p = 0; p < s->parts.count; ++p) {
        MeshObjectX& part = s->parts.data[p];
        part.scale(narrow(sx), narrow(sy), narrow(sz));
        part.dropStaticBuffer();  // it holds frame 0 at its old size
    }
}

void SetShadeTable(RtArray<double>& values) {
    Rainbows3D* r = renderer();
    if (!r) return;
    const int32_t n = values.d1;
    RtArray<unsigned char> bytes;
    bytes.dim(n, 0, 0, 0);
    for (int32_t i = 0; i < n; ++i) bytes.at(i) = static_cast<unsigned char>(truncateTo16(values.at(i) * 255.0));
    // Element 0 is handed over through the bounds test: an empty table ends the program.
    r->setShadeTable(&bytes.at(0), n);
}

// --- Projection ---

void ProjectPoint(double x, double y, double z, double& sx, double& sy, double& sz) {
    Rainbows3D* r = renderer();
    if (!r || !r->gfx2d) return;
    throughViewport(*r, projectPoint, x, y, z, sx, sy, sz);
}

void UnprojectPoint(double sx, double sy, double sz, double& x, double& y, double& z) {
    Rainbows3D* r = renderer();
    if (!r || !r->gfx2d) return;
    throughViewport(*r, unprojectPoint, sx, sy, sz, x, y, z);  // rows from the top, as ProjectPoint gives them
}

// --- Collision ---

int CollideSphere(int slot, int frame, double radius, double x, double y, double z) {
    Rainbows3D* r = renderer();
    if (!r) return 0;
    const float centre[3] = {narrow(x), narrow(y), narrow(z)};
    const int32_t hit = r->collideSphereSlot(slot, frame, narrow(radius), centre);
    if (debugDrawing()) r->drawDebugSphere(centre, narrow(radius), hit ? kHitColour : kMissColour, hit ? 5 : 1);
    return hit;
}

int CollideBoxObject(int slot, int frame, double x, double y, double z, double width, double height, double depth) {
    Rainbows3D* r = renderer();
    if (!r) return 0;
    const float centre[3] = {narrow(x), narrow(y), narrow(z)};
    const float a[3] = {narrow(width / 2), 0.0f, 0.0f};
    const float b[3] = {0.0f, 0.0f, narrow(depth / 2)};
    const float c[3] = {0.0f, narrow(height / 2), 0.0f};
    const int32_t hit = r->collideBoxSlot(slot, frame, centre, a, b, c);
    if (debugDrawing()) r->drawDebugBox(centre, a, b, c, hit ? kHitColour : kMissColour, hit ? 5 : 1);
    return hit;
}

int CollideSphereBox(double x, double y, double z, double squaredRadius, double width, double height, double depth) {
    Rainbows3D* r = renderer();
    if (!r) return 0;
    const float point[3] = {narrow(x), narrow(y), narrow(z)};
    return r->collideSphereBox(point, narrow(squaredRadius), narrow(width / 2), narrow(height / 2),
                               narrow(depth / 2));
}

double RayDistance(int slot, int frame, double x, double y, double z, double dx, double dy, double dz) {
    Rainbows3D* r = renderer();
    if (!r) return 0.0;
    const float start[3] = {narrow(x), narrow(y), narrow(z)};
    const float direction[3] = {narrow(dx), narrow(dy), narrow(dz)};
    const double d = r->rayDistanceSlot(slot, frame, start, direction);
    const float squared = direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2];
    if (debugDrawing() && squared != 0.0f) {
        // Divided by the squared length twice: the distance itself for a unit direction.
        const float s = (d != 0.0 ? static_cast<float>(d) : kNoHitLineLength) / (squared * squared);
        const float end[3] = {start[0] + direction[0] * s, start[1] + direction[1] * s, start[2] + direction[2] * s};
        if (d == 0.0) r->drawLine(start, end, kHitColour, 1.0f);
        else r->drawLine(start, end, d > 0.0 ? kMissColour : kBehindColour, 5.0f);
    }
    return d;
}

int ConeHitsObject(int slot, int frame, double apexX, double apexY, double apexZ, double axisX, double axisY,
                   double axisZ, double halfAngle) {
    Rainbows3D* r = renderer();
    if (!r) return 0;
    return r->coneHitsSlot(slot, frame, narrow(apexX), narrow(apexY), narrow(apexZ), narrow(axisX), narrow(axisY),
                           narrow(axisZ), narrow(halfAngle)) != 0.0
               ? 1
               : 0;
}
