// Moving every sprite's pixels out of GL into temporary files and back, for
// hosts that lose or must give up their textures. A file holds "VTEX", the
// width and height (32-bit little-endian) and the pixels (RGBA, rows from
// the top). The slots keep their frames and screens meanwhile; offscreen
// screens get new framebuffers on the way back, unless the game has made the
// screen again meanwhile. A slot that was given a new image in the meantime
// keeps it: the waiting pixels are older.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "gfx2d/decoded_image.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/texture_upload.h"
#include "runtime/files/temp_folder.h"

namespace {

constexpr char kMagic[4] = {'V', 'T', 'E', 'X'};

bool writePixelFile(const char* path, const DecodedImage& image) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    int32_t size[2] = {image.width, image.height};
    bool ok = std::fwrite(kMagic, 1, 4, f) == 4 && std::fwrite(size, sizeof size, 1, f) == 1 &&
              std::fwrite(image.pixels.data(), sizeof(uint32_t), image.pixels.size(), f) == image.pixels.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::remove(path);
    return ok;
}

bool readPixelFile(const char* path, DecodedImage& image) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char magic[4] = {};
    int32_t size[2] = {};
    bool ok = std::fread(magic, 1, 4, f) == 4 && std::memcmp(magic, kMagic, 4) == 0 &&
              std::fread(size, sizeof size, 1, f) == 1 && ImageLimits{}.accepts(size[0], size[1]);
    if (ok) {
        image.width = size[0];
        image.height = size[1];
        image.pixels.resize(static_cast<size_t>(size[0]) * size[1]);
        ok = std::fread(image.pixels.data(), sizeof(uint32_t), image.pixels.size(), f) == image.pixels.size();
    }
    std::fclose(f);
    return ok;
}

}  // namespace

uint8_t OpenGLRainbows::moveTexturesToTempFiles(uint8_t toFiles) {
    if (!window) return 0;
    batch.flush();
    bool allMoved = true;
    if (toFiles) {
        if (currentScreen >= 0) selectScreen(-1);
        RtString folder = temporaryFolder();
        auto moveOut = [&](SpriteSlot& s, int32_t number) {
            if (!s.holdsImage()) return;
            DecodedImage image;
            if (!readTexturePixels(s.texture, s.textureWidth, s.textureHeight, s.width, s.height, image.pixels)) {
                allMoved = false;
                return;
            }
            image.width = s.width;
            image.height = s.height;
            char name[64];
            std::snprintf(name, sizeof name, "vnttex%d_%d.tmp", static_cast<int>(getpid()), number);
            RtString path = folder + name;
            if (!writePixelFile(path.c_str(), image)) {
                allMoved = false;
                return;
            }
            SpriteSlot layout = s;
            layout.texture = layout.texture2 = 0;
            layout.appliedFilter = -1;
            if (s.screen >= 0) releaseScreen(s.screen);  // the layout keeps its number
            glDeleteTextures(1, &s.texture);
            glDeleteTextures(1, &s.texture2);
            s = SpriteSlot{};
            swapped_.push_back({&s, layout, path});
        };
        for (int32_t sprite = 0; sprite < kSpriteCount; ++sprite) moveOut(sprites[sprite], sprite);
        moveOut(background_, -1);
        return allMoved ? 1 : 0;
    }
    for (SwappedSprite& entry : swapped_) {
        DecodedImage image;
        SpriteSlot& s = *entry.slot;
        if (s.holdsImage()) {
            std::remove(entry.file.c_str());
            continue;
        }
        bool ok = readPixelFile(entry.file.c_str(), image) && uploadToSlot(s, image, false);
        std::remove(entry.file.c_str());
        if (!ok) {
            allMoved = false;
            continue;
        }
        const int16_t screen = entry.layout.screen;
        const GLuint texture = s.texture;
        s = entry.layout;
        s.texture = texture;
        s.screen = -1;
        // A screen number the game has made again meanwhile stays with its
        // new sprite; this one comes back as a plain sprite.
        if (screen >= 0 && screens[screen].sprite < 0 && entry.slot >= sprites.get() &&
            entry.slot < sprites.get() + kSpriteCount) {
            allMoved = attachFramebuffer(screen, static_cast<int32_t>(entry.slot - sprites.get())) && allMoved;
        }
    }
    swapped_.clear();
    return allMoved ? 1 : 0;
}
