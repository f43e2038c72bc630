// The 3-D renderer's construction and destruction, its slot release and
// shader release, and the two module values shared with the mesh files (the
// shade table, the last hit triangle). Depends on the 2-D context for the GL
// context's life and on the extension pointers.
#include "gfx3d/rainbows3d.h"

#include "gfx2d/gl_extensions.h"
#include "gfx2d/opengl_rainbows.h"

RtVector<uint8_t> shadeTable;
int32_t lastHitVertex = -1;

namespace {

void deleteBufferName(uint32_t name) {
    if (glext::glDeleteBuffersARB) glext::glDeleteBuffersARB(1, &name);
}

void deleteTextureName(uint32_t name) { glDeleteTextures(1, &name); }

// The mesh parts delete their GPU objects through these while a GL context
// exists; without one they must not be called. Entry points someone else put
// there (a test's) are left alone.
void connectMeshRelease(bool withGL) {
    if (withGL) {
        meshGpuRelease.deleteBuffer = deleteBufferName;
        meshGpuRelease.deleteTexture = deleteTextureName;
        return;
    }
    if (meshGpuRelease.deleteBuffer == deleteBufferName) meshGpuRelease.deleteBuffer = nullptr;
    if (meshGpuRelease.deleteTexture == deleteTextureName) meshGpuRelease.deleteTexture = nullptr;
}

}  // namespace

Rainbows3D::Rainbows3D(OpenGLRainbows* context) {
    objects.step = 128;
    objects.minimum = 512;
    lightMask = 0;
    buildFrame = 0;
    lightingMode = 2;
    gfx2d = context;
    transformIndex = 0;
    shadowPassOn = 0;
    // New slots are value-constructed: free, both vectors empty (step 128, minimum 512).
    if (objects.reserve(kObjectSlotCount)) objects.count = kObjectSlotCount;
    for (ShaderSlot& s : shaders) s = ShaderSlot{};
    if (gfx2d) gfx2d->renderer3D = this;
    if (hasGL()) connectMeshRelease(true);
}

Rainbows3D::~Rainbows3D() {
    const bool withGL = hasGL();
    connectMeshRelease(withGL);
    for (int32_t i = objects.count - 1; i >= 0; --i) releaseSlot(objects.data[i]);
    objects.clear(true);
    objects.count = 0;
    for (int32_t i = 0; i < kShaderSlotCount; ++i) {
        if (withGL) freeShader(i);
        shaders[i] = ShaderSlot{};
    }
    connectMeshRelease(false);
    if (gfx2d && gfx2d->renderer3D == this) gfx2d->renderer3D = nullptr;
}

bool Rainbows3D::hasGL() const { return gfx2d != nullptr && gfx2d->window != nullptr; }

bool Rainbows3D::glReady() {
    if (!hasGL()) return false;
    gfx2d->flushBatch();
    return true;
}

void Rainbows3D::detachGraphics2D() {
    gfx2d = nullptr;
    connectMeshRelease(false);
}

void Rainbows3D::releaseSlot(Object3DSlot& s) {
    for (int32_t p = 0; p < s.parts.count; ++p) s.parts.data[p].clear(true);
    s.parts.clear(true);  // destroys the parts, last to first
    if (s.textureNames.count > 0 && glReady()) glDeleteTextures(s.textureNames.count, s.textureNames.data);
    s.textureNames.clear(true);
    s.used = 0;
    s.multiPart = 0;
}

void Rainbows3D::freeShader(int32_t slot) {
    if (static_cast<uint32_t>(slot) >= static_cast<uint32_t>(kShaderSlotCount) || !glext::glDeleteObjectARB ||
        !glReady()) {
        return;
    }
    ShaderSlot& s = shaders[slot];
    for (uint32_t* name : {&s.program, &s.vertexShader, &s.fragmentShader}) {
        if (*name != 0) glext::glDeleteObjectARB(*name);
        *name = 0;
    }
}
