// The ten sound effects: their registration with the device and their play
// requests.
#include "game/world/game_sounds.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

using GameSounds = WorldTest;

TEST_F(GameSounds, RegistrationSendsTheNamesInOrderWithTheirNumbers) {
    RegisterGameSounds();
    const std::vector<std::string> sent = requests();
    ASSERT_EQ(sent.size(), 10u);
    const std::string folder = dir.path() + "/";
    EXPECT_EQ(sent[0], "addSound:0:" + folder + "move.wav");
    EXPECT_EQ(sent[1], "addSound:1:" + folder + "tinkle01.wav");
    EXPECT_EQ(sent[2], "addSound:2:" + folder + "pop.wav");
    EXPECT_EQ(sent[3], "addSound:3:" + folder + "boom2.wav");
    EXPECT_EQ(sent[9], "addSound:3:" + folder + "till.wav");
    EXPECT_STREQ(GAME_SOUNDS[9].number.data, "3");
}

TEST_F(GameSounds, EachSoundPlaysThroughItsOwnRecord) {
    registerSounds();
    PlayGameSound(SoundBoulder, 0.5);
    PlayGameSound(SoundMove, 0.2);
    PlayGameSound(-1, 0.5);
    PlayGameSound(kGameSoundCount, 0.5);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s5:0:0.5", "playSound:s0:0:0.2"}));
}

}  // namespace
}  // namespace worldtest
