// The path commands: routes written into result arrays, clamped weights,
// refused requests, missing routes, and storage that cannot be had.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "planner/path_commands.h"
#include "planner_test_support.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"

using plannertest::ScopedRefuseStorage;

namespace {

using Route = std::vector<std::pair<int, int>>;

// A map of width x height (first index x) from rows of costs.
template <class T>
void fill(RtArray<T>& map, int width, int height, const std::vector<T>& rows) {
    map.dim(width, height);
    for (int i = 0; i < width * height; ++i) map.at(i % width, i / width) = rows[i];
}

template <class T>
Route routeOf(const RtArray<T>& result) {
    Route route;
    for (int i = 0; i < result.bound(0); ++i) route.push_back({result.at(i, 0), result.at(i, 1)});
    return route;
}

// Start (0,0), goal (4,0): the three cells between cost 100, all else 1.
const std::vector<double> kDetourCosts{1, 100, 100, 100, 1, 1, 1, 1, 1, 1};
const Route kDetour{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 0}};
const Route kStraight{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};

}  // namespace

TEST(FindPath, RouteFromStartToGoalOnePairPerCell) {
    RtArray<double> map;
    fill(map, 3, 3, std::vector<double>(9, 1.0));
    RtArray<int> result;
    EXPECT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 2), 5);
    EXPECT_EQ(result.bound(1), 2);
    EXPECT_EQ(routeOf(result), (Route{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}));
    RtArray<double> wide;
    fill(wide, 4, 2, std::vector<double>(8, 3.0));
    EXPECT_EQ(FindPath(wide, result, 0.5, 3, 1, 0, 0), 5);
    EXPECT_EQ(routeOf(result), (Route{{3, 1}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}));
}

TEST(FindPath, WeightAboveOneActsAsOneBelowZeroAsZero) {
    RtArray<double> map;
    fill(map, 5, 2, kDetourCosts);
    RtArray<int> result;
    const std::pair<double, const Route*> cases[] = {{0.0, &kDetour},    {-3.0, &kDetour},   {0.5, &kDetour},
                                                     {1.0, &kStraight}, {7.0, &kStraight}, {NAN, &kStraight}};
    for (auto [weight, route] : cases) {
        EXPECT_EQ(FindPath(map, result, weight, 0, 0, 4, 0), static_cast<int>(route->size())) << weight;
        EXPECT_EQ(routeOf(result), *route) << weight;
    }
}

TEST(FindPath, RefusedRequestsGiveZeroLeaveTheResultAndSetNoError) {
    RtArray<double> map, walls, line, never, deep;
    fill(map, 3, 2, std::vector<double>(6, 1.0));
    fill(walls, 2, 2, std::vector<double>{0, -1, 0, 0});
    line.dim(5);
    for (int i = 0; i < 5; ++i) line.at(i) = 1;  // one dimension: height 0
    const std::pair<const RtArray<double>*, std::vector<int>> cases[] = {
        {&map, {1, 1, 1, 1}},  // start equal to goal: 0, not 1
        {&map, {-1, 0, 2, 1}}, {&map, {3, 0, 2, 1}}, {&map, {0, 2, 2, 1}}, {&map, {0, 0, 2, -1}},
        {&map, {0, 0, 3, 1}},  {&walls, {0, 0, 1, 1}}, {&line, {0, 0, 4, 0}}, {&never, {0, 0, 1, 0}},
    };
    for (const auto& [m, at] : cases) {
        RtArray<int> result;
        result.dim(1, 2);
        result.at(0, 0) = 42;
        clearErrorCode();
        EXPECT_EQ(FindPath(*m, result, 0.5, at[0], at[1], at[2], at[3]), 0);
        EXPECT_EQ(result.bound(0), 1);
        EXPECT_EQ(result.at(0, 0), 42);
        EXPECT_EQ(RtErrorCode, 0);
    }
    // A map of three dimensions: its first layer is the grid.
    deep.dim(3, 1, 2);
    for (int x = 0; x < 3; ++x) deep.at(x, 0, 0) = 1;
    RtArray<int> result;
    EXPECT_EQ(FindPath(deep, result, 0.5, 0, 0, 2, 0), 3);
}

TEST(FindPath, NoRouteEmptiesTheResult) {
    RtArray<double> map;
    fill(map, 3, 3, std::vector<double>{1, 0, 1, 1, 0, 1, 1, 0, 1});
    RtArray<int> result;
    result.dim(4, 2);
    clearErrorCode();
    EXPECT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 2), 0);
    EXPECT_EQ(result.bound(0), 0);
    EXPECT_EQ(result.bound(1), 0);
    EXPECT_EQ(result.total, 0);
    EXPECT_EQ(RtErrorCode, 0);
}

TEST(FindPathArrays, WritesDoublesAndEmptiesTheResultWhenRefused) {
    RtArray<double> map;
    fill(map, 5, 2, kDetourCosts);
    RtArray<double> result;
    EXPECT_EQ(FindPathArrays(map, result, 0.0, 0, 0, 4, 0), 7);
    EXPECT_EQ(routeOf(result), kDetour);
    EXPECT_EQ(FindPathArrays(map, result, 0.5, 4, 0, 4, 0), 0);
    EXPECT_EQ(result.bound(0), 0);
    EXPECT_EQ(result.total, 0);
}

TEST(FindPathArraysB, ReadsAMapOfIntegers) {
    RtArray<int> map, line;
    fill(map, 5, 2, std::vector<int>{1, 100, 100, 100, 1, 1, 1, 1, 1, 1});
    RtArray<int> result;
    EXPECT_EQ(FindPathArraysB(map, result, 1.0, 0, 0, 4, 0), 5);
    EXPECT_EQ(routeOf(result), kStraight);
    EXPECT_EQ(FindPathArraysB(map, result, 0.0, 0, 0, 4, 0), 7);
    EXPECT_EQ(routeOf(result), kDetour);
    EXPECT_EQ(FindPathArraysB(map, result, 0.0, 0, 0, 5, 0), 0);  // refused: untouched
    EXPECT_EQ(result.bound(0), 7);
    line.dim(3);
    EXPECT_EQ(FindPathArraysB(line, result, 0.0, 0, 0, 1, 0), 0);
}

TEST(FindPathDeathTest, StorageTheSearchCannotObtainEndsTheProgramWithCode7) {
    const auto run = plannertest::runFatal([] {
        RtArray<double> map;
        fill(map, 3, 3, std::vector<double>(9, 1.0));
        RtArray<int> result;
        ScopedRefuseStorage refuse;
        FindPath(map, result, 0.5, 0, 0, 2, 2);
        std::fputs("not reached", stdout);
    });
    ASSERT_TRUE(run.child.exited);
    EXPECT_EQ(run.child.exitStatus, 7);
    EXPECT_EQ(run.child.out.find("not reached"), std::string::npos);
    EXPECT_EQ(run.errorLog, "0007 out of memory\nShut down VNT\n");
}

TEST(FindPathDeathTest, AnIntegerMapThatCannotBeCopiedEndsWithCode7) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    RtArray<int> map, result;
    fill(map, 3, 3, std::vector<int>(9, 1));
    EXPECT_EXIT(
        {
            ScopedRefuseStorage refuse;
            FindPathArraysB(map, result, 0.5, 0, 0, 2, 2);
        },
        testing::ExitedWithCode(7), "");
}
