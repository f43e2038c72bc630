// The story actors one by one: the submarine's approach, scenes and exit,
// the reel, the story divers, the shark and the photo reel.
#include "game/world/cell_codes.h"
#include "game/world/submarine_scenes.h"
#include "runtime/services/isaac.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

class Scenes : public PlayTest {
protected:
    Scenes() {
        load(1, {
                    "################",
                    "#..............#",
                    "#..............#",
                    "#.G............#",
                    "#..............#",
                    "################",
                });
    }
    template <class Update, class Predicate>
    static int32_t updatesUntil(Update update, Predicate holds, int32_t limit) {
        for (int32_t n = 1; n <= limit; ++n) {
            update();
            if (holds()) return n;
        }
        return -1;
    }
};

TEST_F(Scenes, SpawnRoutinesGiveTheStartingRecords) {
    SpawnSubmarine(16, 2);
    SpawnDiver(5, 4);
    SpawnReelDiver(144, 64);
    SpawnShark(320, 56);
    const Submarine& s = SUBMARINES.at(0);
    EXPECT_EQ((std::vector<int32_t>{s.x, s.y, s.reelSent, s.moveTick, s.gemTick, s.spare, s.bubbleTick, s.gemsSent}),
              (std::vector<int32_t>{256, 32, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(fields(DIVERS.at(0)), (Fields{80, 64, 30, 1, 0, 0}));
    EXPECT_EQ(MAP.at(5, 4), cell::kStoryDiver);
    const ReelDiver& r = REEL_DIVERS.at(0);
    EXPECT_EQ((std::vector<int32_t>{r.x, r.y, r.spare, r.timer, r.state}), (std::vector<int32_t>{144, 64, 0, 0, 0}));
    const Shark& k = SHARKS.at(0);
    EXPECT_EQ((std::vector<int32_t>{k.x, k.y, k.tick, k.frame, k.heading}), (std::vector<int32_t>{320, 56, 0, 0, 0}));
}

TEST_F(Scenes, APhotoStartsTenTimesItsSizeAtARandomPlaceAndAngle) {
    SeedRandom(9);
    const int32_t x = RandomInt(120) - 60, y = RandomInt(80) - 40, angle = RandomInt(30) - 15;
    SeedRandom(9);
    SpawnPhotoOverlay(3);
    const PhotoOverlay& p = PHOTO_OVERLAYS.at(0);
    EXPECT_EQ((std::vector<int32_t>{p.x, p.y, p.tick, p.photo, p.angle, p.spare, p.state}),
              (std::vector<int32_t>{x, y, 0, 3, angle, 0, 0}));
    EXPECT_EQ(p.zoom, 10.0);
}

TEST_F(Scenes, ASubmarineAtOrLeftOf144InPhase7NeverMoves) {
    GAME_PHASE = 7;
    SUBMARINES.push(Submarine{100, 32, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 60; ++i) UpdateSubmarine();
    EXPECT_EQ(SUBMARINES.at(0).x, 100);
}

TEST_F(Scenes, AtExactly144InLevel0TheReelIsSentAtOnce) {
    registerSounds();
    LEVEL = 0;
    GAME_PHASE = 7;
    SUBMARINES.push(Submarine{144, 32, 0, 0, 0, 0, 0, 0});
    UpdateSubmarine();
    ASSERT_EQ(REEL_DIVERS.d1, 1);
    EXPECT_EQ(REEL_DIVERS.at(0).x, 144);
    EXPECT_EQ(SUBMARINES.at(0).reelSent, 1);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s3:0:0.5"}));
    UpdateSubmarine();
    EXPECT_EQ(REEL_DIVERS.d1, 1) << "one reel only";
}

TEST_F(Scenes, TheReelHooksTheDiverAtX92AndHaulsHimInToX170) {
    registerSounds();
    GAME_PHASE = 7;
    SpawnReelDiver(144, 64);
    EXPECT_EQ(updatesUntil(UpdateReelDivers, [] { return REEL_DIVERS.at(0).state == 1; }, 100), 26);
    EXPECT_EQ(REEL_DIVERS.at(0).x, 92);
    EXPECT_EQ(updatesUntil(UpdateReelDivers, [] { return REELED_IN == 1; }, 100), 53);
    EXPECT_EQ(REEL_DIVERS.at(0).state, 2);
    EXPECT_EQ(REEL_DIVERS.at(0).x, 93);
    EXPECT_EQ(updatesUntil(UpdateReelDivers, [] { return REEL_DIVERS.d1 == 0; }, 1000), 4 * 77);
    EXPECT_EQ(GAME_PHASE, 8);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s2:0:0.5", "playSound:s7:0:0.5"}));
}

TEST_F(Scenes, AReelStartedAtAnOddXStopsAt91AndNeverHooks) {
    SpawnReelDiver(145, 64);
    for (int i = 0; i < 200; ++i) UpdateReelDivers();
    EXPECT_EQ(REEL_DIVERS.at(0).x, 91);
    EXPECT_EQ(REEL_DIVERS.at(0).state, 0);
    EXPECT_EQ(REELED_IN, 0);
}

TEST_F(Scenes, AReelInPhase8IsRemoved) {
    GAME_PHASE = 8;
    SpawnReelDiver(120, 64);
    UpdateReelDivers();
    EXPECT_EQ(REEL_DIVERS.d1, 0);
}

TEST_F(Scenes, StoryDiversSpeakThroughTheQuakeAndLeaveWhenReeledIn) {
    SpawnDiver(5, 4);
    SHAKE_TIME = 150;
    UpdateDivers();
    EXPECT_EQ(SPEECH_FRAME, 0);
    EXPECT_EQ(DIVERS.at(0).pose, 1);
    SHAKE_TIME = 149;
    UpdateDivers();
    EXPECT_EQ(SPEECH_FRAME, 1);
    EXPECT_EQ(DIVERS.at(0).pose, 0);
    SHAKE_TIME = 0;
    SPEECH_FRAME = 3;
    UpdateDivers();
    EXPECT_EQ(SPEECH_FRAME, 3);
    REELED_IN = 1;
    UpdateDivers();
    EXPECT_EQ(DIVERS.d1, 0);
    EXPECT_EQ(MAP.at(5, 4), cell::kWater);
}

TEST_F(Scenes, TheSharkTakesEveryStoryDiverAsItPasses150) {
    SpawnDiver(5, 4);
    SpawnDiver(10, 4);
    PLAYER_CONTROL = 1;
    SHARK_X = 150;
    UpdateDivers();
    EXPECT_EQ(DIVERS.d1, 0);
    EXPECT_EQ(BLOOD.d1, 22);
    EXPECT_EQ(PLAYER_CONTROL, 0);
    EXPECT_EQ(SPEECH_FRAME, 0);
    EXPECT_EQ(MAP.at(10, 4), cell::kStoryDiver) << "the taken diver's cell keeps its code";
}

TEST_F(Scenes, TheSharkCrossesTurnsAt111AndItsExitWinsTheGame) {
    SpawnShark(320, 56);
    EXPECT_EQ(updatesUntil(UpdateSharks, [] { return SHARK_X == 150; }, 1000), 170);
    EXPECT_EQ(updatesUntil(UpdateSharks, [] { return SHARKS.at(0).heading == 1; }, 1000), 39);
    EXPECT_EQ(SHARKS.at(0).x, 111);
    EXPECT_EQ(updatesUntil(UpdateSharks, [] { return GAME_WON == 1; }, 1000), 210);
    EXPECT_EQ(SHARKS.d1, 0);
    EXPECT_EQ(SHARK_X, 320) << "the last x drawn";
}

TEST_F(Scenes, InTheLastLevelTheSubmarineSells100GemsThenLeavesForTheShark) {
    registerSounds();
    LEVEL = 30;
    GAME_PHASE = 7;
    PLAYER_X = 37;
    PLAYER_Y = 50;
    SUBMARINES.push(Submarine{144, 32, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 5; ++i) UpdateSubmarine();
    EXPECT_EQ(FLYING_GEMS.d1, 0);
    UpdateSubmarine();
    ASSERT_EQ(FLYING_GEMS.d1, 1);
    EXPECT_EQ(fields(FLYING_GEMS.at(0)), (Fields{32, 48})) << "from the diver's cell";
    for (int i = 0; i < 6 * 99; ++i) UpdateSubmarine();
    EXPECT_EQ(FLYING_GEMS.d1, 100);
    EXPECT_EQ(GAME_PHASE, 7);
    for (int i = 0; i < 6; ++i) UpdateSubmarine();
    EXPECT_EQ(GAME_PHASE, 9);
    EXPECT_EQ(SPEECH_FRAME, 4);
    EXPECT_EQ(MAP.at(10, 4), cell::kStoryDiver);
    ASSERT_EQ(DIVERS.d1, 1);
    EXPECT_EQ(fields(DIVERS.at(0)), (Fields{160, 64, 30, 1, 0, 0}));
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s9:0:0.5"}));
    // Phase 9 began within the till's update, which already counted one
    // frame toward the first pixel.
    EXPECT_EQ(updatesUntil(UpdateSubmarine, [] { return SUBMARINES.d1 == 0; }, 1000), 5 * 97 - 1);
    EXPECT_EQ(GAME_PHASE, 10);
    EXPECT_EQ(PLAYER_CONTROL, 1);
    ASSERT_EQ(SHARKS.d1, 1);
    EXPECT_EQ(SHARKS.at(0).x, 320);
    EXPECT_EQ(SHARKS.at(0).y, 56);
}

TEST_F(Scenes, InLevel0TheLeavingSubmarineGivesThePlayerControl) {
    LEVEL = 0;
    GAME_PHASE = 9;
    PLAYER_CONTROL = 0;
    SPEECH_FRAME = 2;
    SUBMARINES.push(Submarine{240, 32, 1, 0, 0, 0, 0, 0});
    EXPECT_EQ(updatesUntil(UpdateSubmarine, [] { return SUBMARINES.d1 == 0; }, 100), 5);
    EXPECT_EQ(GAME_PHASE, 10);
    EXPECT_EQ(PLAYER_CONTROL, 1);
    EXPECT_EQ(SPEECH_FRAME, -1);
    EXPECT_EQ(SHARKS.d1, 0);
}

TEST_F(Scenes, EachPhotoZoomsInFor23FramesThenStartsTheNextAfter50) {
    SpawnPhotoOverlay(6);
    for (int i = 0; i < 22; ++i) UpdatePhotoOverlays();
    EXPECT_EQ(PHOTO_OVERLAYS.at(0).state, 0);
    EXPECT_NEAR(PHOTO_OVERLAYS.at(0).zoom, 1.2, 1e-9);
    UpdatePhotoOverlays();
    EXPECT_EQ(PHOTO_OVERLAYS.at(0).state, 1);
    for (int i = 0; i < 48; ++i) UpdatePhotoOverlays();
    EXPECT_EQ(PHOTO_OVERLAYS.d1, 1);
    EXPECT_EQ(PHOTO_OVERLAYS.at(0).tick, 49);
    UpdatePhotoOverlays();
    ASSERT_EQ(PHOTO_OVERLAYS.d1, 2);
    EXPECT_EQ(PHOTO_OVERLAYS.at(0).state, 2);
    EXPECT_EQ(PHOTO_OVERLAYS.at(0).tick, 51);
    EXPECT_EQ(PHOTO_OVERLAYS.at(1).photo, 7);
    EXPECT_EQ(PHOTO_OVERLAYS.at(1).zoom, 10.0 - 0.4) << "the new photo is stepped in the same walk";
    for (int i = 0; i < 100; ++i) UpdatePhotoOverlays();
    EXPECT_EQ(PHOTO_OVERLAYS.d1, 2) << "the eighth picture starts no ninth";
    EXPECT_EQ(PHOTO_OVERLAYS.at(1).state, 2);
}

}  // namespace
}  // namespace worldtest
