// Sprite benchmark: N animation frames (16 x 16 from a 256 x 256 sheet) per
// frame at scattered positions of a 640 x 480 window, N = 1,000, 5,000 and
// 20,000: once through the runtime's DrawAnimFrame, once through SDL's own
// renderer (SDL_RenderCopy on its OpenGL driver with batching on), on the
// same headless software OpenGL. Each frame is cleared, drawn, shown and
// finished (glFinish), so the times include the rasterising. Prints the
// milliseconds per frame of each and their ratio.
// This program talks to SDL directly for the comparison only; the runtime's
// own path goes through its commands.
#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx2d/decoded_image.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/image_codecs.h"
#include "gfx2d/opengl_rainbows.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/temp_folder.h"
#include "runtime/services/runtime_error.h"
#include "support/bench_program.h"
#include "support/frame_timing.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kSheet = 256, kFrame = 16, kFrames = (kSheet / kFrame) * (kSheet / kFrame);
constexpr int kCounts[] = {1000, 5000, 20000};
constexpr int kSprite = 100;

struct Placement {
    int frame, x, y;
};

// The same scattered frames for both renderers (fixed seed).
std::vector<Placement> placements(int n) {
    std::vector<Placement> out(n);
    uint32_t state = 2024;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (Placement& p : out) p = {static_cast<int>(next() % kFrames), static_cast<int>(next() % (kWidth - kFrame)),
                                  static_cast<int>(next() % (kHeight - kFrame))};
    return out;
}

// Frames with transparent corners, so blending and the alpha test both work.
DecodedImage sheet() {
    DecodedImage image;
    image.width = image.height = kSheet;
    image.pixels.resize(kSheet * kSheet);
    for (int y = 0; y < kSheet; ++y)
        for (int x = 0; x < kSheet; ++x) {
            int fx = x % kFrame, fy = y % kFrame;
            bool corner = (fx < 3 || fx > 12) && (fy < 3 || fy > 12);
            image.pixels[y * kSheet + x] = corner ? 0u : 0xFF000000u | (x * 7 & 0xFF) | (y * 5 & 0xFF) << 8 | 0x400000u;
        }
    return image;
}

int repeatsFor(int n) { return n >= 20000 ? 20 : n >= 5000 ? 40 : 100; }

bool runSdl(const DecodedImage& image, std::vector<double>& results) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_Window* window = SDL_CreateWindow("sdl", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, kSheet, kSheet)
                 : nullptr;
    if (!texture) {
        std::fprintf(stderr, "SDL renderer: %s\n", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info;
    SDL_GetRendererInfo(renderer, &info);
    std::printf("SDL renderer: %s\n", info.name);
    SDL_UpdateTexture(texture, nullptr, image.pixels.data(), kSheet * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    for (int n : kCounts) {
        std::vector<Placement> list = placements(n);
        results.push_back(bench::millisPerFrame(repeatsFor(n), [&] {
            SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
            SDL_RenderClear(renderer);
            for (const Placement& p : list) {
                SDL_Rect source{p.frame % 16 * kFrame, p.frame / 16 * kFrame, kFrame, kFrame};
                SDL_Rect target{p.x, p.y, kFrame, kFrame};
                SDL_RenderCopy(renderer, texture, &source, &target);
            }
            SDL_RenderPresent(renderer);
            glFinish();
        }));
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return true;
}

bool runOurs(const DecodedImage& image, std::vector<double>& results, uint64_t& drawCalls) {
    if (!bench::startHeadlessEngine("Sprite_Bench", 0)) return false;
    OpenGLRainbows* g = engine.graphics2D;
    std::vector<uint8_t> png;
    encodePng(image, png);
    std::string path = std::string(temporaryFolder().c_str()) + "vantric_bench_sheet.png";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
    LoadAnimFile(RtString(path.c_str()), kSprite, kFrame, kFrame);
    std::remove(path.c_str());
    if (RtErrorCode != 0) return false;
    SetFrameLimit(0, 0);
    SetSmoothing(0);  // SDL's default scale quality is nearest too
    for (int n : kCounts) {
        std::vector<Placement> list = placements(n);
        uint64_t callsBefore = g->batch.drawCalls();
        results.push_back(bench::millisPerFrame(repeatsFor(n), [&] {
            g->clear(0);
            for (const Placement& p : list) DrawAnimFrame(kSprite, p.frame, p.x, p.y);
            g->flip();
            glFinish();
        }));
        drawCalls = (g->batch.drawCalls() - callsBefore) / (repeatsFor(n) + 1);
    }
    return true;
}

}  // namespace

int main() {
    bench::useHeadlessDrivers();  // before SDL opens for the comparison
    DecodedImage image = sheet();
    std::vector<double> sdl, ours;
    uint64_t drawCalls = 0;
    if (!runSdl(image, sdl)) return 1;
    if (!runOurs(image, ours, drawCalls)) return 1;
    std::printf("OpenGL: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("%8s  %14s  %14s  %s\n", "frames", "DrawAnimFrame", "SDL_RenderCopy", "ratio (ours / SDL)");
    for (size_t i = 0; i < ours.size(); ++i) {
        std::printf("%8d  %11.3f ms  %11.3f ms  %.3f\n", kCounts[i], ours[i], sdl[i], ours[i] / sdl[i]);
    }
    std::printf("draw calls per frame of ours at 20,000: %llu\n", static_cast<unsigned long long>(drawCalls));
    bench::endProgram();
}
