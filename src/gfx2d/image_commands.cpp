// The image commands: loading into sprites and fonts, pixels in and out,
// saving. Failures record the runtime error code (3 for a file, 7 for a
// slot number) and return; a file that does not load is also named in the
// error log ("Image failed: " and its path), so a user can tell which one.
#include "gfx2d/decoded_image.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/error_log.h"
#include "runtime/services/runtime_error.h"

namespace {

// The context for a command on a sprite slot; records error 7 for a bad number.
OpenGLRainbows* contextForSprite(int sprite) {
    OpenGLRainbows* g = engine.graphics2D;
    if (!g) return nullptr;
    if (!isSpriteNumber(sprite)) {
        setRuntimeError(ErrorOutOfMemory);
        return nullptr;
    }
    return g;
}

// A file that did not load: error 3, and its path in the error log.
void failLoad(const RtString& file) {
    setRuntimeError(ErrorNoSuchFile);
    logFileFailure("Image failed", file.data);
}

void loadInto(const RtString& file, int sprite, int frameWidth, int frameHeight, bool normalMap) {
    OpenGLRainbows* g = contextForSprite(sprite);
    if (g && !g->loadSprite(file, sprite, frameWidth, frameHeight, normalMap)) failLoad(file);
}

}  // namespace

int FindFreeSprite() {
    OpenGLRainbows* g = engine.graphics2D;
    return g ? g->findFreeSprite() : -1;
}

void LoadSpriteFile(const RtString& file, int sprite) { loadInto(file, sprite, 0, 0, false); }

void LoadAnimFile(const RtString& file, int sprite, int frameWidth, int frameHeight) {
    loadInto(file, sprite, frameWidth, frameHeight, false);
}

void LoadSpriteAsNormalMap(const RtString& file, int sprite) { loadInto(file, sprite, 0, 0, true); }

void LoadBackgroundImage(const RtString& file) {
    OpenGLRainbows* g = engine.graphics2D;
    if (g && !g->loadBackground(file)) failLoad(file);
}

void LoadFontFile(const RtString& file, int font) {
    OpenGLRainbows* g = engine.graphics2D;
    if (!g) return;
    if (font < 0 || font >= kFontCount) {
        setRuntimeError(ErrorOutOfMemory);
        return;
    }
    if (!g->loadFontFile(file, font)) failLoad(file);
}

void GrabScreenToSprite(int sprite, int x, int y, int width, int height) {
    if (OpenGLRainbows* g = contextForSprite(sprite)) g->grabScreenToSprite(sprite, x, y, width, height);
}

void SpriteToPixels(int sprite, RtArray<int>& pixels) {
    OpenGLRainbows* g = contextForSprite(sprite);
    DecodedImage image;
    if (!g || !g->spritePixels(sprite, image)) {
        pixels.dimExact(0);
        return;
    }
    const int32_t count = image.width * image.height;
    pixels.dimExact(count);
    for (int32_t i = 0; i < count; ++i) pixels.data[i] = static_cast<int>(image.pixels[static_cast<size_t>(i)]);
}

bool PixelsToSprite(const RtArray<int>& pixels, int sprite, int width, int height) {
    OpenGLRainbows* g = contextForSprite(sprite);
    if (!g || width <= 0 || height <= 0 || !pixels.data) return false;
    const int64_t count = int64_t{width} * height;
    if (count > pixels.total || !ImageLimits{}.accepts(width, height)) return false;
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) image.pixels[static_cast<size_t>(i)] = static_cast<uint32_t>(pixels.data[i]);
    return g->setSpriteImage(sprite, image);
}

void SaveSpriteToFile(const RtString& file, int sprite) {
    OpenGLRainbows* g = contextForSprite(sprite);
    if (g && !g->saveSprite(file, sprite)) setRuntimeError(ErrorNoSuchFile);
}
