// 3-D benchmark: N copies of one lit, textured mesh (a sphere of 960
// triangles built through the object commands) per frame, each with its own
// position and turn, N = 100 and 1,000, in a 640 x 480 window on the
// headless software OpenGL. Each frame starts a scene, places the camera and
// a light, draws, shows and finishes (glFinish), so the times include the
// rasterising. Prints milliseconds per frame for static frames (vertex
// buffers filled once) and for blended animation frames (streamed).
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "gfx2d/decoded_image.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/scene_commands.h"
#include "runtime/engine/engine_state.h"
#include "support/bench_program.h"
#include "support/frame_timing.h"

namespace {

constexpr int kSlot = 1;
constexpr int kTexture = 100;
constexpr int kCounts[] = {100, 1000};
constexpr int kRings = 20, kSegments = 24;  // 2 x 20 x 24 = 960 triangles

// A sphere of radius 1 in two animation frames (the second squashed), made
// of one strip per ring, wound clockwise seen from outside.
void buildSphere() {
    BeginObject(kSlot);
    for (int frame = 0; frame < 2; ++frame) {
        if (frame == 1) NewObjectFrame(1);
        const double squash = frame == 0 ? 1.0 : 0.8;
        for (int ring = 0; ring < kRings; ++ring) {
            if (ring > 0 || frame == 1) AddObjectVertexBreak();
            for (int s = 0; s <= kSegments; ++s) {
                for (int k = 1; k >= 0; --k) {
                    const double theta = M_PI * (ring + k) / kRings, phi = 2.0 * M_PI * s / kSegments;
                    const double x = std::sin(theta) * std::cos(phi), y = std::cos(theta) * squash,
                                 z = std::sin(theta) * std::sin(phi);
                    SetVertexNormal(x, y, z);
                    AddObjectVertex(x, y, z, static_cast<double>(s) / kSegments, static_cast<double>(ring + k) / kRings,
                                    0xFFFFFF);
                }
            }
        }
    }
    SetLightingMode(0);
    EndObject();
}

void drawFrame(int n, bool animated, int tick) {
    OpenGLRainbows* g = engine.graphics2D;
    g->clear(0x402010);
    StartScene3D(1.0, 200.0, 60.0);
    SetCamera(0, 0, 60, 0, 0, 0);
    SetLight(0, 0xFFFFFF, 0, 0, 0, -1, -1, -1, 180);
    SetTexture(kTexture, -1);
    Rainbows3D* r = engine.graphics3D;
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    for (int i = 0; i < n; ++i) {
        Object3DTransform& t = r->currentTransform();
        t.position[0] = static_cast<float>((i % side) - side / 2) * 60.0f / side;
        t.position[1] = static_cast<float>((i / side) - side / 2) * 45.0f / side;
        t.position[2] = 0.0f;
        t.rotationCount = 1;
        t.rotations[0] = {static_cast<float>(tick * 3 + i), 0.0f, 1.0f, 0.3f};
        t.scale[0] = t.scale[1] = t.scale[2] = 1.2f;
        for (int k = 0; k < 16; ++k) t.matrix[k] = (k % 5 == 0) ? 1.0f : 0.0f;
        t.matrixValid = 0;
        if (animated) DrawObjectAnimated(kSlot, 0, 1, (tick % 10) / 10.0, 0);
        else DrawObject(kSlot, 0);
    }
    g->flip();
    glFinish();
}

}  // namespace

int main() {
    if (!bench::startHeadlessEngine("Render3D_Bench", 0) || !engine.graphics3D) return 1;
    DecodedImage image;
    image.width = image.height = 64;
    image.pixels.resize(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) image.pixels[y * 64 + x] = ((x / 8 + y / 8) % 2) ? 0xFF30C0F0u : 0xFFF0F0F0u;
    if (!engine.graphics2D->setSpriteImage(kTexture, image)) return 1;
    engine.graphics2D->setFrameLimit(0, 0);
    buildSphere();
    std::printf("OpenGL: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("%8s  %14s  %14s\n", "meshes", "static", "blended");
    for (int n : kCounts) {
        const int repeats = n >= 1000 ? 10 : 40;
        int tick = 0;
        const double still = bench::millisPerFrame(repeats, [&] { drawFrame(n, false, tick++); });
        const double blended = bench::millisPerFrame(repeats, [&] { drawFrame(n, true, tick++); });
        std::printf("%8d  %11.3f ms  %11.3f ms\n", n, still, blended);
    }
    bench::endProgram();
}
