// The shared walk and the effect families: their timings, their deletion in
// place, the bubble vents' streams and the blood's fade.
#include "game/world/cell_codes.h"
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/level_file.h"
#include "game/world/movable_objects.h"
#include "game/world/player.h"
#include "game/world/submarine_scenes.h"
#include "runtime/services/isaac.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

using Effects = WorldTest;

TEST_F(Effects, TheWalkHandlesTwoDeletionsInARowAndReachesNewRecords) {
    for (int i = 0; i < 5; ++i) POPS.push(Pop{i, 0, 0, 0});
    std::vector<int> seen;
    walkFamily(POPS, [&](Pop& pop) {
        seen.push_back(pop.x);
        if (pop.x == 1 || pop.x == 2) return RecordFate::Delete;
        if (pop.x == 4) POPS.push(Pop{9, 0, 0, 0});  // reached in the same walk
        pop.tick = 7;
        return RecordFate::Keep;
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 9}));
    ASSERT_EQ(POPS.d1, 4);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{0, 0, 7, 0}));
    EXPECT_EQ(fields(POPS.at(1)), (Fields{3, 0, 7, 0}));
    EXPECT_EQ(fields(POPS.at(2)), (Fields{4, 0, 7, 0}));
    EXPECT_EQ(fields(POPS.at(3)), (Fields{9, 0, 7, 0}));
}

TEST_F(Effects, StopWalkWritesNothingBack) {
    POPS.push(Pop{1, 1, 0, 0});
    POPS.push(Pop{2, 2, 0, 0});
    int steps = 0;
    walkFamily(POPS, [&](Pop& pop) {
        ++steps;
        pop.frame = 5;
        return RecordFate::StopWalk;
    });
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(POPS.at(0).frame, 0);
}

TEST_F(Effects, SpawnRoutinesGiveTheStartingValues) {
    SpawnPop(17.9, -3.5);
    SpawnSparkle(32, 48);
    SpawnExplosion(14, 3);
    SpawnFlyingGem(2.7, 5);
    SpawnBubble(10.5, 20.9, 2, 1);
    SpawnBubbleVent(3, 7);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{17, -3, 0, 0}));
    EXPECT_EQ(fields(SPARKLES.at(0)), (Fields{32, 48, 0, 4}));
    EXPECT_EQ(fields(EXPLOSIONS.at(0)), (Fields{224, 48, 0, 0}));
    EXPECT_EQ(fields(FLYING_GEMS.at(0)), (Fields{32, 80}));
    EXPECT_EQ(fields(BUBBLES.at(0)), (Fields{10.5, 20, 0, 2, 1, 0}));
    EXPECT_EQ(fields(BUBBLE_VENTS.at(0)), (Fields{48, 112, 0, 0}));
}

TEST_F(Effects, APopReloadsTheLevelInItsSixteenthFrame) {
    writeLevel(4, levelWith(2, 2, {{1, 1, 33}}));
    LEVEL = 4;
    LoadLevel(4);
    SpawnPop(16, 16);
    LEVEL_LOST = 1;
    std::vector<int> frames;
    for (int i = 0; i < 15; ++i) {
        UpdatePops();
        frames.push_back(POPS.at(0).frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7}));
    EXPECT_EQ(LEVEL_LOST, 1);
    UpdatePops();
    EXPECT_EQ(POPS.d1, 0);
    EXPECT_EQ(LEVEL_LOST, 0);
    EXPECT_EQ(GEMS.d1, 1);  // the level is there afresh
}

TEST_F(Effects, TwoPopsReloadOnceWhenTheFirstEnds) {
    writeLevel(4, levelWith(2, 2, {}));
    LEVEL = 4;
    LoadLevel(4);
    SpawnPop(0, 0);
    for (int i = 0; i < 3; ++i) UpdatePops();
    SpawnPop(16, 0);
    for (int i = 0; i < 13; ++i) UpdatePops();
    EXPECT_EQ(POPS.d1, 0);
}

TEST_F(Effects, ASparkleShowsFrameFourThriceFrameFiveFourTimesAndEndsInItsEighthFrame) {
    GEMS_LEFT = 2;
    SpawnSparkle(16, 16);
    std::vector<int> frames;
    for (int i = 0; i < 7; ++i) {
        UpdateSparkles();
        frames.push_back(SPARKLES.at(0).frame);
        EXPECT_EQ(GEMS_LEFT, 2);
    }
    EXPECT_EQ(frames, (std::vector<int>{4, 4, 4, 5, 5, 5, 5}));
    UpdateSparkles();
    EXPECT_EQ(SPARKLES.d1, 0);
    EXPECT_EQ(GEMS_LEFT, 1);
}

TEST_F(Effects, AnExplosionLastsThirtyFrames) {
    SpawnExplosion(14, 2);
    for (int i = 0; i < 29; ++i) UpdateExplosions();
    ASSERT_EQ(EXPLOSIONS.d1, 1);
    EXPECT_EQ(EXPLOSIONS.at(0).frame, 4);
    UpdateExplosions();
    EXPECT_EQ(EXPLOSIONS.d1, 0);
}

TEST_F(Effects, AFlyingGemGoesOnceItReachesTheCounter) {
    SpawnFlyingGem(5, 5);  // (80, 80)
    for (int i = 0; i < 19; ++i) UpdateFlyingGems();
    ASSERT_EQ(FLYING_GEMS.d1, 1);
    EXPECT_EQ(fields(FLYING_GEMS.at(0)), (Fields{156, 64}));
    UpdateFlyingGems();
    EXPECT_EQ(FLYING_GEMS.d1, 0);
}

TEST_F(Effects, AFlyingGemAboveTheCounterStopsAndStays) {
    FLYING_GEMS.push(FlyingGem{150, 40});
    for (int i = 0; i < 100; ++i) UpdateFlyingGems();
    ASSERT_EQ(FLYING_GEMS.d1, 1);
    EXPECT_EQ(fields(FLYING_GEMS.at(0)), (Fields{162, 40}));
}

TEST_F(Effects, ABubbleRisesWobblesAndGoesAboveMinusTen) {
    SpawnBubble(50, -8, 0, 0);
    UpdateBubbles();
    UpdateBubbles();
    ASSERT_EQ(BUBBLES.d1, 1);
    EXPECT_EQ(BUBBLES.at(0).y, -10);
    const double x = BUBBLES.at(0).x;
    EXPECT_TRUE(x == 49.0 || x == 50.0 || x == 51.0) << x;
    UpdateBubbles();  // drawn at -11 and deleted in the same frame
    EXPECT_EQ(BUBBLES.d1, 0);
}

TEST_F(Effects, ABubbleTakesItsNextFrameEverySixtyOneFramesUpToThree) {
    SpawnBubble(50, 10000, 1, 0);
    for (int i = 0; i < 60; ++i) UpdateBubbles();
    EXPECT_EQ(BUBBLES.at(0).frame, 1);
    UpdateBubbles();
    EXPECT_EQ(BUBBLES.at(0).frame, 2);
    EXPECT_EQ(BUBBLES.at(0).tick, 0);
    for (int i = 0; i < 61 * 3; ++i) UpdateBubbles();
    EXPECT_EQ(BUBBLES.at(0).frame, 3);
}

TEST_F(Effects, ANewVentEmitsAtOnceAndMarksItsStream) {
    MAP.at(4, 8) = cell::kVent;
    MAP.at(4, 7) = cell::kWater;
    MAP.at(4, 6) = cell::kCrab;
    MAP.at(4, 5) = 5;  // solid: the stream passes through
    MAP.at(4, 4) = cell::kWater;
    MAP.at(4, 3) = cell::kStarfish;
    // rows 2 to 0 hold the filler 1
    SeedRandom(kSeed);
    std::vector<int> expected;
    const int count = [&] {
        int n = 0;
        while (n <= RandomInt(2)) {
            expected.push_back(RandomInt(8));
            expected.push_back(RandomInt(3));
            ++n;
        }
        return n;
    }();
    const int interval = RandomInt(30) + 10;
    SeedRandom(kSeed);
    SpawnBubbleVent(4, 8);
    UpdateBubbleVents();
    EXPECT_EQ(MAP.at(4, 7), -1);
    EXPECT_EQ(MAP.at(4, 6), -1);
    EXPECT_EQ(MAP.at(4, 5), 5);
    EXPECT_EQ(MAP.at(4, 4), -1);
    EXPECT_EQ(MAP.at(4, 3), cell::kStarfish);
    EXPECT_EQ(MAP.at(4, 8), cell::kVent);
    ASSERT_EQ(BUBBLES.d1, count);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(fields(BUBBLES.at(i)), (Fields{72, double(128 + expected[2 * i]), 0, double(expected[2 * i + 1]), 0, 0}));
    EXPECT_EQ(fields(BUBBLE_VENTS.at(0)), (Fields{64, 128, 0, double(interval)}));
    EXPECT_GE(interval, 10);
    EXPECT_LE(interval, 40);
}

TEST_F(Effects, AVentEmitsWhenItsIntervalIsBelowItsTick) {
    for (int y = 0; y < 10; ++y) MAP.at(2, y) = cell::kWater;
    BUBBLE_VENTS.push(BubbleVent{32, 144, 0, 3});
    for (int i = 0; i < 3; ++i) UpdateBubbleVents();
    EXPECT_EQ(BUBBLES.d1, 0);
    EXPECT_EQ(BUBBLE_VENTS.at(0).tick, 3);
    UpdateBubbleVents();
    EXPECT_GE(BUBBLES.d1, 1);
    EXPECT_LE(BUBBLES.d1, 3);
    EXPECT_EQ(BUBBLE_VENTS.at(0).tick, 0);
}

TEST_F(Effects, ABoulderOnAVentStopsItAndTurnsTheStreamBackToWater) {
    MAP.at(6, 5) = cell::kBoulder;
    MAP.at(6, 4) = cell::kBubbleStream;
    MAP.at(6, 3) = cell::kCrab;
    MAP.at(6, 2) = 9;
    MAP.at(6, 1) = cell::kBubbleStream;
    SpawnBubbleVent(6, 6);
    UpdateBubbleVents();
    EXPECT_EQ(BUBBLES.d1, 0);
    EXPECT_EQ(MAP.at(6, 5), cell::kBoulder);
    EXPECT_EQ(MAP.at(6, 4), 0);
    EXPECT_EQ(MAP.at(6, 3), 0);
    EXPECT_EQ(MAP.at(6, 2), 9);
    EXPECT_EQ(MAP.at(6, 1), 0);
    EXPECT_EQ(BUBBLE_VENTS.at(0).tick, 0);
}

TEST_F(Effects, BloodScattersFadesOverAHundredAndThirtyFourFramesAndRises) {
    SeedRandom(kSeed);
    const int dx = RandomInt(16) - 8, dy = RandomInt(16) - 8, frame = RandomInt(4), rise = RandomInt(2) + 1;
    SeedRandom(kSeed);
    SpawnBlood(100, 50);
    EXPECT_EQ(fields(BLOOD.at(0)), (Fields{double(100 + dx), double(50 + dy), 0, double(frame), -1.0, double(rise)}));
    for (int i = 0; i < 133; ++i) UpdateBlood();
    ASSERT_EQ(BLOOD.d1, 1);
    const Blood& blood = BLOOD.at(0);
    EXPECT_LT(blood.alpha, 0.0);
    // Twelve frame steps of eleven frames: the frame is held at 12, the cloud rose by 12 steps.
    EXPECT_EQ(blood.frame, 12);
    EXPECT_EQ(blood.y, 50 + dy - 12 * rise);
    UpdateBlood();
    EXPECT_EQ(BLOOD.d1, 0);
}

TEST_F(Effects, SpawnWeedMarksTheOverlayAndFreesTheCell) {
    MAP.at(3, 2) = 7;
    SeedRandom(kSeed);
    const int frame = RandomInt(3);
    SeedRandom(kSeed);
    SpawnWeed(3, 2);
    EXPECT_EQ(MAP.at(3, 2), 0);
    EXPECT_EQ(OVERLAY.at(3, 2), 7);
    EXPECT_EQ(fields(WEEDS.at(0)), (Fields{48, 32, 0, double(frame)}));
}

TEST_F(Effects, AWeedSwaysOneFrameEveryEightUpdates) {
    WEEDS.push(Weed{0, 0, 0, 2});
    std::vector<int> frames;
    for (int i = 0; i < 24; ++i) {
        AnimateWeeds();
        frames.push_back(WEEDS.at(0).frame);
    }
    EXPECT_EQ(frames[6], 2);
    EXPECT_EQ(frames[7], 3);
    EXPECT_EQ(frames[15], 0);
    EXPECT_EQ(frames[23], 1);
}

// One burst as the emitters let it out: a counter from 0 while it is at most
// a fresh RandomInt(limit), each pass one bubble {x, y + RandomInt(spread),
// 0, RandomInt(frames), kind, 0}.
std::vector<Fields> expectedBurst(int limit, double x, int y, int spread, int frames, int kind) {
    std::vector<Fields> burst;
    for (int n = 0; n <= RandomInt(limit); ++n) {
        const int by = y + RandomInt(spread);
        burst.push_back(Fields{x, double(by), 0, double(RandomInt(frames)), double(kind), 0});
    }
    return burst;
}

// Runs `update` `quiet` times with no bubble let out, then once more from the
// fixed seed, and compares the bubbles with the expected burst.
template <class Update, class Expect>
void expectBurstAfter(int quiet, Update update, Expect expect) {
    for (int i = 0; i < quiet; ++i) update();
    ASSERT_EQ(BUBBLES.d1, 0) << "before the burst";
    SeedRandom(kSeed);
    std::vector<Fields> expected = expect();
    SeedRandom(kSeed);
    update();
    ASSERT_EQ(BUBBLES.d1, static_cast<int32_t>(expected.size()));
    for (int32_t i = 0; i < BUBBLES.d1; ++i) EXPECT_EQ(fields(BUBBLES.at(i)), expected[static_cast<size_t>(i)]) << i;
    emptyFamily(BUBBLES);
}

TEST_F(Effects, BreathBubblesComeInBurstsOfTheirOwnSizePlaceAndKind) {
    // The diver: 1 to 3 at x + 9, y + 0..7, frames 0..2, once his tick exceeds 60.
    PLAYER_CONTROL = 0;
    PLAYERS.push(Player{64, 64, 0, 0, 0, 0, 0, 0, 0, 5});
    expectBurstAfter(60, [] { UpdatePlayer(); }, [] { return expectedBurst(2, 73, 64, 7, 2, 0); });
    EXPECT_EQ(PLAYERS.at(0).bubbleTick, 0);
    emptyFamily(PLAYERS);

    // A bomb: 1 or 2 of kind 1 at x + 8, y + 0..10 once its interval is below its
    // tick; the next interval is RandomInt(90).
    BOMBS.push(Bomb{32, 32, 0, 0, 0, 0, 2, 0});
    int interval = 0;
    expectBurstAfter(2, [] { UpdateBombs(); }, [&] {
        std::vector<Fields> burst = expectedBurst(1, 40, 32, 10, 2, 1);
        interval = RandomInt(90);
        return burst;
    });
    EXPECT_EQ(BOMBS.at(0).bubbleTick, 0);
    EXPECT_EQ(BOMBS.at(0).bubbleInterval, interval);
    emptyFamily(BOMBS);

    // The submarine: two every eleventh frame at x + 75 + 0..10, y + 23 + 0..10.
    SpawnSubmarine(16, 2);
    expectBurstAfter(10, [] { UpdateSubmarine(); }, [] {
        std::vector<Fields> two;
        for (int i = 0; i < 2; ++i) {
            const int x = 256 + 75 + RandomInt(10);
            const int y = 32 + 23 + RandomInt(10);
            two.push_back(Fields{double(x), double(y), 0, double(RandomInt(2)), 0, 0});
        }
        return two;
    });
    emptyFamily(SUBMARINES);

    // A story diver starts at tick 30 and breathes like the player's diver.
    SHARK_X = 300;
    SpawnDiver(5, 4);
    expectBurstAfter(30, [] { UpdateDivers(); }, [] { return expectedBurst(2, 89, 64, 7, 2, 0); });
}

TEST_F(Effects, LosingTheLevelPopsAtThePlaceGiven) {
    registerSounds();
    loseLevelWithPop(32, 48);
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{32, 48, 0, 0}));
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s2:0:0.5"}));
    loseLevelWithPop(0, 0, false);
    EXPECT_EQ(POPS.d1, 2);
    EXPECT_EQ(requests().size(), 1u);
}

}  // namespace
}  // namespace worldtest
