// The water background and its wobble tables.
#include "game/world/water_background.h"

#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kWaveTableSize = 1000;
constexpr int32_t kWaveRows = 5;
constexpr int32_t kWaveColumns = 160;
constexpr double kWaveAmplitude = 5.0;
constexpr int32_t kStripBatch = 2;
constexpr double kRightEdge = 285;
constexpr int32_t kAngleWrap = 240;
}  // namespace

double DrawWaterBackground() {
    SetSmoothing(0);
    BeginPolygon(kSpriteWater, kStripBatch);
    const int32_t a = truncateToInt32(WAVE_ANGLE);
    AddPolygonVertex(kRightEdge, 0, 325 + WAVE_COS.at(a), 5 - WAVE_COS.at(a), kWhite);
    AddPolygonVertex(0, 0, 5 + WAVE_SIN.at(a), 5 - WAVE_SIN.at(a), kWhite);
    for (int32_t j = 0; j <= 239; j += 16) {
        const int32_t b = truncateToInt32(WAVE_ANGLE + 16);
        AddPolygonVertex(kRightEdge, j + 32, 325 + WAVE_COS.at(b), j + 21 - WAVE_COS.at(b), kWhite);
        AddPolygonVertex(0, j + 32, 5 + WAVE_SIN.at(b), j + 21 - WAVE_SIN.at(b), kWhite);
        WAVE_ANGLE += 16;
        if (WAVE_ANGLE >= kAngleWrap) WAVE_ANGLE -= kAngleWrap;
    }
    WAVE_ANGLE -= 1;
    EndPolygon();
    return 0.0;
}

double FillWaveTables() {
    WAVE_SIN.dim(kWaveTableSize);
    WAVE_COS.dim(kWaveTableSize);
    WAVE_ANGLE = 0;
    for (int32_t j = 0; j < kWaveRows; ++j) {
        for (int32_t i = 0; i < kWaveColumns; ++i) {
            WAVE_SIN.at(j * kWaveColumns + i) = kWaveAmplitude * SinDeg(WAVE_ANGLE);
            WAVE_COS.at(j * kWaveColumns + i) = kWaveAmplitude * CosDeg(360 - WAVE_ANGLE);
            WAVE_ANGLE += 3;
            if (WAVE_ANGLE >= 360) WAVE_ANGLE -= 360;
        }
    }
    WAVE_ANGLE = 0;
    return 0.0;
}
