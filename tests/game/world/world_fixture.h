// Shared ground of the game world's tests: a private folder as the working
// directory (TMPDIR and HOME inside it), a scripted device as the bridge's
// transport, the grids dimensioned and reset, a fixed random seed, and
// builders and readers of level files and records.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/bridge/scripted_device.h"
#include "game/world/game_state.h"
#include "temp_dir.h"

namespace worldtest {

constexpr int32_t kSeed = 20240607;

// A level file: the two highest indices, the cells row by row (one byte
// each, low 8 bits), the ten parameters (low 16 bits), little-endian.
std::string levelBytes(int32_t sizeX, int32_t sizeY, const std::vector<int32_t>& cells,
                       const std::array<int32_t, 10>& params = {});
// A level of (sizeX + 1) x (sizeY + 1) water cells with the codes placed.
struct Placed {
    int32_t x, y, code;
};
std::string levelWith(int32_t sizeX, int32_t sizeY, const std::vector<Placed>& placed,
                      const std::array<int32_t, 10>& params = {});

// The fields of a record in order, as numbers, for exact comparisons.
std::vector<double> fields(const Player& r);
std::vector<double> fields(const Starfish& r);
std::vector<double> fields(const Crab& r);
std::vector<double> fields(const Fish& r);
std::vector<double> fields(const Angler& r);
std::vector<double> fields(const Octopus& r);
std::vector<double> fields(const Sponge& r);
std::vector<double> fields(const Boulder& r);
std::vector<double> fields(const Bomb& r);
std::vector<double> fields(const Mine& r);
std::vector<double> fields(const Gem& r);
std::vector<double> fields(const Pearl& r);
std::vector<double> fields(const Oyster& r);
std::vector<double> fields(const Weed& r);
std::vector<double> fields(const BubbleVent& r);
std::vector<double> fields(const Bubble& r);
std::vector<double> fields(const Pop& r);
std::vector<double> fields(const Sparkle& r);
std::vector<double> fields(const Explosion& r);
std::vector<double> fields(const FlyingGem& r);
std::vector<double> fields(const Blood& r);
std::vector<double> fields(const Diver& r);

using Fields = std::vector<double>;

class WorldTest : public ::testing::Test {
protected:
    WorldTest();
    ~WorldTest() override;

    // Writes "Data/shol<level>.dat" in the working directory.
    void writeLevel(int32_t level, const std::string& bytes);
    std::string file(const std::string& name) const { return dir.file(name); }
    // The request texts other than controller updates, in order.
    std::vector<std::string> requests() const { return device.requestsOtherThanUpdates(); }
    // Registers the ten sounds so that sound k plays as "playSound:s<k>:...".
    void registerSounds();

    testsupport::TempDir dir;
    testsupport::ScopedEnv tmpdir;
    testsupport::ScopedEnv home;
    testsupport::ScopedCwd cwd;
    ScriptedDevice device;
    DeviceTransport* previousTransport;
};

}  // namespace worldtest
