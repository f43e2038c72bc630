// The toolkit's media loaders over the 2-D image commands and the device
// bridge's media resolver and memory check.
#include "game/bridge/device_requests.h"
#include "game/screens/game_helpers.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/files/file_system.h"
#include "runtime/services/mathematics.h"

namespace {
// -1 asks for the first free sprite.
int32_t spriteNumber(double requested) {
    return requested == -1 ? FindFreeSprite() : truncateToInt32(requested);
}

// Resolves the name, runs the load on the working directory's path of it,
// then the memory check.
template <class Load>
void loadMedia(const RtString& name, Load&& load) {
    ResolveMediaPath(RtString(name));
    load(GetCurrentDir() + name);
    HostCheckMemory(name);
}
}  // namespace

double LoadMediaSprite(const RtString& name, double sprite) {
    const int32_t number = spriteNumber(sprite);
    loadMedia(name, [&](const RtString& path) { LoadSpriteFile(path, number); });
    return number;
}

double LoadMediaAnim(const RtString& name, int frameWidth, int frameHeight, double sprite) {
    const int32_t number = spriteNumber(sprite);
    loadMedia(name, [&](const RtString& path) { LoadAnimFile(path, number, frameWidth, frameHeight); });
    return number;
}

double LoadMediaBackground(const RtString& name) {
    loadMedia(name, [](const RtString& path) { LoadBackgroundImage(path); });
    return 0.0;
}

double LoadMediaFont(const RtString& name, double font) {
    const int32_t number = spriteNumber(font);
    loadMedia(name, [&](const RtString& path) { LoadFontFile(path, number); });
    return number;
}

double LoadMediaNormalMap(const RtString& name, double sprite) {
    const int32_t number = spriteNumber(sprite);
    loadMedia(name, [&](const RtString& path) { LoadSpriteAsNormalMap(path, number); });
    return number;
}
