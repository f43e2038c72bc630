// The photo reel: each picture zooms in from ten times its size in 23
// frames (the zoom falls by 0.4 a frame while above 1), shows for 50 frames
// and then starts the next of the eight pictures, staying on screen itself.
// Drawn with smoothing on. The game has the family but never starts it.
#include "game/world/creature_rules.h"
#include "game/world/game_sprites.h"
#include "game/world/submarine_scenes.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kZooming = 0, kShowing = 1, kDone = 2;
constexpr double kZoomStep = 0.4;
constexpr int32_t kShowFrames = 50;
constexpr int32_t kLastPhoto = 7;

RecordFate stepPhoto(PhotoOverlay& p) {
    if (p.zoom > 1.0) p.zoom -= kZoomStep;
    if (p.zoom <= 1.0 && p.state == kZooming) p.state = kShowing;
    if (p.state == kShowing) {
        p.tick += 1;
        if (p.tick == kShowFrames) {
            if (p.photo < kLastPhoto) SpawnPhotoOverlay(p.photo + 1);
            p.state = kDone;
            p.tick = kShowFrames + 1;
        }
    }
    SetSmoothing(1);
    DrawAnimFrameRotatedScaled(kSpritePhoto, p.photo, p.x, p.y, p.angle, p.zoom);
    return RecordFate::Keep;
}
}  // namespace

double SpawnPhotoOverlay(double photo) {
    PhotoOverlay p{};
    p.x = RandomInt(120) - 60;
    p.y = RandomInt(80) - 40;
    p.tick = 0;
    p.photo = truncateToInt32(photo);
    p.angle = RandomInt(30) - 15;
    p.spare = 0;
    p.zoom = 10.0;
    p.state = kZooming;
    PHOTO_OVERLAYS.push(p);
    return 0.0;
}

double UpdatePhotoOverlays() {
    walkFamily(PHOTO_OVERLAYS, stepPhoto);
    return 0.0;
}
