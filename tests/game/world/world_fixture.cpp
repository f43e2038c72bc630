#include "world_fixture.h"

#include <sys/stat.h>


#include "file_bytes.h"
#include "game/bridge/device_transport.h"
#include "game/bridge/media_path.h"
#include "game/world/game_sounds.h"
#include "game/world/level_file.h"
#include "runtime/services/isaac.h"

namespace worldtest {

namespace {
void putLittleEndian(std::string& out, int32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF));
}
}  // namespace

std::string levelBytes(int32_t sizeX, int32_t sizeY, const std::vector<int32_t>& cells,
                       const std::array<int32_t, 10>& params) {
    std::string out;
    putLittleEndian(out, sizeX, 2);
    putLittleEndian(out, sizeY, 2);
    for (int32_t c : cells) putLittleEndian(out, c, 1);
    for (int32_t p : params) putLittleEndian(out, p, 2);
    return out;
}

std::string levelWith(int32_t sizeX, int32_t sizeY, const std::vector<Placed>& placed,
                      const std::array<int32_t, 10>& params) {
    std::vector<int32_t> cells(static_cast<size_t>((sizeX + 1) * (sizeY + 1)), 0);
    for (const Placed& p : placed) cells[static_cast<size_t>(p.y * (sizeX + 1) + p.x)] = p.code;
    return levelBytes(sizeX, sizeY, cells, params);
}

Fields fields(const Player& r) {
    return {double(r.x), double(r.y), double(r.up), double(r.down), double(r.left), double(r.right),
            double(r.bubbleTick), double(r.dir), double(r.faceLeft), double(r.pushDelay)};
}
Fields fields(const Starfish& r) {
    return {double(r.x), double(r.y), double(r.up), double(r.down), double(r.left), double(r.right),
            double(r.heading), double(r.moving), double(r.spare1), double(r.spare2), double(r.hand)};
}
Fields fields(const Crab& r) {
    return {double(r.x), double(r.y), double(r.left), double(r.right), double(r.belowLeft),
            double(r.belowRight), double(r.heading), double(r.serial), double(r.spare)};
}
Fields fields(const Fish& r) {
    return {r.x, r.y, r.up, r.down, r.heading, r.spare, r.tick, r.moving, r.frame, r.frameBase};
}
Fields fields(const Angler& r) {
    return {double(r.x), double(r.y), double(r.heading), double(r.facing), double(r.moving), double(r.left),
            double(r.right)};
}
Fields fields(const Octopus& r) {
    return {double(r.x), double(r.y), double(r.heading), double(r.jumpLeft), double(r.spare1), double(r.spare2)};
}
Fields fields(const Sponge& r) { return {double(r.x), double(r.y), double(r.pushHeading), double(r.spare)}; }
Fields fields(const Boulder& r) {
    return {double(r.x), double(r.y), double(r.pushHeading), double(r.falling), double(r.spare)};
}
Fields fields(const Bomb& r) {
    return {double(r.x),         double(r.y),          double(r.pushHeading),    double(r.falling),
            double(r.fallCount), double(r.bubbleTick), double(r.bubbleInterval), double(r.spare)};
}
Fields fields(const Mine& r) {
    return {double(r.x), double(r.y), double(r.up), double(r.down), double(r.left), double(r.right)};
}
Fields fields(const Gem& r) { return {double(r.x), double(r.y)}; }
Fields fields(const Pearl& r) { return {double(r.x), double(r.y), double(r.tick), double(r.frame)}; }
Fields fields(const Oyster& r) {
    return {double(r.x),    double(r.y),    double(r.belowLeft), double(r.belowRight), double(r.left),
            double(r.right), double(r.tick), double(r.frame),     double(r.state)};
}
Fields fields(const Weed& r) { return {double(r.x), double(r.y), double(r.tick), double(r.frame)}; }
Fields fields(const BubbleVent& r) { return {r.x, r.y, r.tick, r.interval}; }
Fields fields(const Bubble& r) {
    return {r.x, double(r.y), double(r.tick), double(r.frame), double(r.kind), double(r.spare)};
}
Fields fields(const Pop& r) { return {double(r.x), double(r.y), double(r.tick), double(r.frame)}; }
Fields fields(const Sparkle& r) { return {double(r.x), double(r.y), double(r.tick), double(r.frame)}; }
Fields fields(const Explosion& r) { return {double(r.x), double(r.y), double(r.tick), double(r.frame)}; }
Fields fields(const FlyingGem& r) { return {double(r.x), double(r.y)}; }
Fields fields(const Blood& r) {
    return {double(r.x), double(r.y), double(r.tick), double(r.frame), r.alpha, double(r.rise)};
}
Fields fields(const Diver& r) {
    return {double(r.x), double(r.y), double(r.bubbleTick), double(r.pose), double(r.spare1), double(r.spare2)};
}

WorldTest::WorldTest()
    : tmpdir("TMPDIR", dir.path().c_str()),
      home("HOME", dir.path().c_str()),
      cwd(dir.path()),
      previousTransport(setDeviceTransport(&device)) {
    resetGameGlobals();  // whatever an earlier case of the program left
    resetMediaFolderCheck();
    DimensionLevelGrids();
    ResetLevelGrids();
    SeedRandom(kSeed);
    PLAY_MODE = 1;
    SOUND_VOLUME = 0.5;
}

WorldTest::~WorldTest() { setDeviceTransport(previousTransport); }

void WorldTest::writeLevel(int32_t level, const std::string& bytes) {
    ::mkdir(dir.file("Data").c_str(), 0755);
    testsupport::writeFileBytes(dir.file("Data/shol" + std::to_string(level) + ".dat"), bytes);
}

void WorldTest::registerSounds() {
    for (int k = 0; k < kGameSoundCount; ++k) device.queueReply("addSound:", "s" + std::to_string(k));
    RegisterGameSounds();
    device.clearRequests();
}

}  // namespace worldtest
