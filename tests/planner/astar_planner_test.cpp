// The grid planner and its weighted A* search: request checks, the
// normalised grid, exact routes and costs, ties, weights, diagonal steps,
// unreachable goals, small pools, the life cycle of one planner, and whole
// search states against a naive model of the search.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <queue>
#include <random>
#include <utility>
#include <vector>

#include "astar_search_model.h"
#include "planner/astar_planner.h"
#include "planner_test_support.h"

using planner::AStarPlanner;
using planner::kDiagonalFactor;
using planner::PlannerInput;
using planner::SetupFault;

namespace {

using Cell = std::pair<int, int>;
using Route = std::vector<Cell>;

struct Grid {
    int width, height;
    std::vector<double> costs;  // row after row
    PlannerInput request(Cell start, Cell goal, float weight = 0.5f, bool diagonal = false) const {
        PlannerInput r;
        r.startX = start.first, r.startY = start.second, r.goalX = goal.first, r.goalY = goal.second;
        r.diagonalStepFactor = 1;
        r.diagonalMoves = diagonal;
        r.hashBits = 8;
        r.heuristicWeight = weight;
        r.width = width, r.height = height, r.costMap = costs.data();
        return r;
    }
};
Grid ones(int width, int height) { return Grid{width, height, std::vector<double>(width * height, 1.0)}; }

Route routeOf(const planner::Planner& p) {
    Route route;
    for (const planner::Node* n = p.pathEnd(); n != nullptr; n = n->parent) route.insert(route.begin(), {n->x, n->y});
    return route;
}

Route plan(AStarPlanner& p, const PlannerInput& r) {
    EXPECT_TRUE(p.setup(r));
    p.start();
    EXPECT_TRUE(p.search());
    EXPECT_TRUE(p.finished());
    EXPECT_EQ(p.pool().inUse(), p.openListSize() + p.knownNodeCount());  // every node in one set
    return routeOf(p);
}

// Start (0,0), goal (4,0): the three cells between cost 100, all else 1.
const Grid kDetourGrid{5, 2, {1, 100, 100, 100, 1, 1, 1, 1, 1, 1}};

// The cheapest straight-moving route's cost by a plain Dijkstra over the
// same normalised costs; -1 when there is none.
double cheapest(const Grid& grid, Cell start, Cell goal) {
    double largest = 0;
    for (double c : grid.costs) largest = std::max(largest, c);
    std::vector<double> best(grid.costs.size(), INFINITY);
    std::priority_queue<std::pair<double, int>, std::vector<std::pair<double, int>>, std::greater<>> queue;
    queue.push({best[start.second * grid.width + start.first] = 0, start.second * grid.width + start.first});
    while (!queue.empty()) {
        auto [g, i] = queue.top();
        queue.pop();
        for (auto [dx, dy] : {Cell{0, -1}, Cell{1, 0}, Cell{-1, 0}, Cell{0, 1}}) {
            const int nx = i % grid.width + dx, ny = i / grid.width + dy, j = ny * grid.width + nx;
            if (g > best[i] || nx < 0 || ny < 0 || nx >= grid.width || ny >= grid.height || !(grid.costs[j] > 0)) continue;
            const double next = g + (static_cast<float>(grid.costs[j]) / static_cast<float>(largest) + 1.0f);
            if (next < best[j]) queue.push({best[j] = next, j});
        }
    }
    const double cost = best[goal.second * grid.width + goal.first];
    return std::isinf(cost) ? -1 : cost;
}

}  // namespace

TEST(AStarPlanner, TwoCellsCostTheEnteredCellAndABlockedStartIsLeft) {
    AStarPlanner p;
    for (const Grid& grid : {ones(2, 1), Grid{2, 1, {0, 1}}}) {
        EXPECT_EQ(plan(p, grid.request({0, 0}, {1, 0})), (Route{{0, 0}, {1, 0}}));
        EXPECT_EQ(p.pathLength(), 2u);
        EXPECT_EQ(p.pathCost(), 2.0f);
    }
}

TEST(AStarPlanner, EqualPrioritiesExpandTheEarlierNodeFirst) {
    // Right is visited before down, so every weight keeps to the top row first.
    const Route topFirst{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};
    const struct { float weight; uint32_t closed, open; } cases[] = {{0.5f, 9, 0}, {0.0f, 9, 0}, {1.0f, 5, 2}};
    for (auto c : cases) {
        AStarPlanner p;
        EXPECT_EQ(plan(p, ones(3, 3).request({0, 0}, {2, 2}, c.weight)), topFirst) << c.weight;
        EXPECT_EQ(p.pathCost(), 8.0f);
        EXPECT_EQ(p.knownNodeCount(), c.closed) << c.weight;
        EXPECT_EQ(p.openListSize(), c.open) << c.weight;
    }
}

TEST(AStarPlanner, WeightZeroFindsTheCheapDetourWeightOneTheShortWay) {
    const float cheap = 1.0f / 100.0f + 1.0f;
    float detour = 0.0f;
    for (int i = 0; i < 6; ++i) detour += cheap;
    for (float w : {0.0f, 0.5f}) {
        AStarPlanner p;
        EXPECT_EQ(plan(p, kDetourGrid.request({0, 0}, {4, 0}, w)),
                  (Route{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 0}}));
        EXPECT_EQ(p.pathCost(), detour);
    }
    AStarPlanner p;
    EXPECT_EQ(plan(p, kDetourGrid.request({0, 0}, {4, 0}, 1.0f)), (Route{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    EXPECT_EQ(p.pathCost(), 6.0f + cheap);
}

TEST(AStarPlanner, UnreachableOrBlockedGoalGivesNoRoute) {
    for (const Grid& grid : {Grid{3, 3, {1, 0, 1, 1, 0, 1, 1, 0, 1}}, Grid{3, 1, {1, 1, 0}}}) {
        AStarPlanner p;
        EXPECT_TRUE(plan(p, grid.request({0, 0}, {2, 0})).empty());
        EXPECT_EQ(p.pathLength(), 0u);
        EXPECT_EQ(p.pathCost(), -1.0f);
        EXPECT_EQ(p.openListSize(), 0u);
        EXPECT_FALSE(p.exhausted());
    }
}

TEST(AStarPlanner, DiagonalStepsCostTheFactorAndPassBetweenWalls) {
    AStarPlanner p;
    EXPECT_EQ(plan(p, ones(3, 3).request({0, 0}, {2, 2}, 0.5f, true)), (Route{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(p.pathCost(), 2.0f * kDiagonalFactor + 2.0f * kDiagonalFactor);
    const Grid pinched{2, 2, {1, 0, 0, 1}};
    PlannerInput r = pinched.request({0, 0}, {1, 1}, 0.5f, true);
    EXPECT_EQ(plan(p, r), (Route{{0, 0}, {1, 1}}));
    EXPECT_EQ(p.pathCost(), 2.0f * 1.4142137f);
    r.diagonalStepFactor = 0;
    EXPECT_EQ(plan(p, r).size(), 2u);
    EXPECT_EQ(p.pathCost(), 2.0f);
    r.diagonalMoves = 0;
    EXPECT_TRUE(plan(p, r).empty());
}

TEST(AStarPlanner, SetupRefusesBadRequestsAndKeepsTheEarlierSetup) {
    const Grid grid = ones(3, 2);
    AStarPlanner p;
    ASSERT_TRUE(p.setup(grid.request({0, 0}, {2, 1})));
    using Spoil = void (*)(PlannerInput&);
    const std::pair<Spoil, SetupFault> cases[] = {
        {[](PlannerInput& r) { r.startX = -1; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.startX = 3; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.startY = 2; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.goalX = -1; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.goalY = 2; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.goalX = 0, r.goalY = 0; }, SetupFault::BadRequest},  // start = goal
        {[](PlannerInput& r) { r.width = 0; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.height = -2; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.costMap = nullptr; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.nodePoolSize = -1; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.openListCapacity = -1; }, SetupFault::BadRequest},
        {[](PlannerInput& r) { r.width = r.height = 65536; }, SetupFault::TooLarge},  // 2^32 wraps to 0 in 32 bits
        {[](PlannerInput& r) { r.height = 1 << 30; }, SetupFault::TooLarge},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        PlannerInput r = grid.request({0, 0}, {2, 1});
        cases[i].first(r);
        EXPECT_FALSE(p.setup(r)) << i;
        EXPECT_EQ(p.setupFault(), cases[i].second) << i;
    }
    EXPECT_EQ(p.request().width, 3);
    p.start();
    p.search();
    EXPECT_EQ(p.pathLength(), 4u);
}

TEST(AStarPlanner, GridNormalisesByTheLargestCostAndClampsTheWeight) {
    AStarPlanner p;
    const Grid mixed{5, 1, {2, 4, 0, -3, NAN}};
    ASSERT_TRUE(p.setup(mixed.request({0, 0}, {1, 0}, 5.0f)));
    const float expected[] = {1.5f, 2.0f, -1.0f, -1.0f, -1.0f, -1.0f};  // the last: outside
    for (int x = 0; x < 6; ++x) EXPECT_EQ(p.gridCost(x, 0), expected[x]) << x;
    EXPECT_EQ(p.request().heuristicWeight, 1.0f);
    const Grid huge{4, 1, {1e300, 1, INFINITY, 1e-300}};
    ASSERT_TRUE(p.setup(huge.request({0, 0}, {1, 0}, -2.0f)));
    const float capped[] = {2.0f, 1.0f, 2.0f, -1.0f};  // the smallest is too small for a float
    for (int x = 0; x < 4; ++x) EXPECT_EQ(p.gridCost(x, 0), capped[x]) << x;
    EXPECT_EQ(p.request().heuristicWeight, 0.0f);
    ASSERT_TRUE(p.setup(huge.request({0, 0}, {1, 0}, NAN)));
    EXPECT_EQ(p.request().heuristicWeight, 1.0f);
    ASSERT_TRUE(p.setup(huge.request({0, 0}, {1, 0}, 0.25f)));
    EXPECT_EQ(p.request().heuristicWeight, 0.25f);

    // No positive cost: refused, and no grid is left to search.
    const Grid walls{2, 2, {0, -1, NAN, -INFINITY}};
    EXPECT_FALSE(p.setup(walls.request({0, 0}, {1, 1})));
    EXPECT_EQ(p.setupFault(), SetupFault::NoPassableCell);
    EXPECT_EQ(p.request().width, 0);
    p.start();
    EXPECT_TRUE(p.search());
    EXPECT_EQ(p.pathLength(), 0u);
    {
        plannertest::ScopedRefuseStorage refuse;
        EXPECT_FALSE(p.setup(huge.request({0, 0}, {1, 0})));
    }
    EXPECT_EQ(p.setupFault(), SetupFault::OutOfStorage);
}

TEST(AStarPlanner, ResetStartAndSetupAgainOnOnePlanner) {
    const Grid grid = ones(4, 4);
    AStarPlanner p;
    EXPECT_TRUE(p.finished());
    p.start();  // never set up: nothing to search
    EXPECT_TRUE(p.search());
    EXPECT_EQ(p.pathLength(), 0u);
    ASSERT_TRUE(p.setup(grid.request({0, 0}, {3, 3})));
    EXPECT_TRUE(p.search());  // not started: the open list is empty
    EXPECT_EQ(p.pathLength(), 0u);
    p.start();
    EXPECT_FALSE(p.finished());
    EXPECT_EQ(p.openListSize(), 1u);
    p.search();
    const Route first = routeOf(p);
    ASSERT_EQ(first.size(), 7u);
    p.reset();
    EXPECT_TRUE(p.finished());
    EXPECT_EQ(p.pathEnd(), nullptr);
    EXPECT_EQ(p.pool().inUse(), 0u);
    EXPECT_EQ(p.knownNodeCount(), 0u);
    for (int again = 0; again < 2; ++again) {  // after a reset, then without one
        p.start();
        EXPECT_EQ(p.pool().inUse(), 1u);
        p.search();
        EXPECT_EQ(routeOf(p), first);
    }
    EXPECT_EQ(plan(p, grid.request({3, 3}, {0, 3})), (Route{{3, 3}, {2, 3}, {1, 3}, {0, 3}}));
    p.freeGrid();
    EXPECT_EQ(p.pathEnd(), nullptr);
    EXPECT_EQ(p.request().width, 0);
    // Deleted through the base with nodes in use.
    std::unique_ptr<planner::Planner> base = std::make_unique<AStarPlanner>();
    plan(static_cast<AStarPlanner&>(*base), grid.request({0, 0}, {3, 3}));
}

TEST(AStarPlanner, TooSmallAPoolOrOpenListEndsAsNoRoute) {
    const Grid square = ones(3, 3);
    for (int which = 0; which < 2; ++which) {
        PlannerInput r = square.request({0, 0}, {2, 2});
        (which == 0 ? r.nodePoolSize : r.openListCapacity) = 2;
        AStarPlanner p;
        EXPECT_TRUE(plan(p, r).empty()) << which;
        EXPECT_TRUE(p.exhausted());
        p.reset();
        EXPECT_EQ(p.pool().inUse(), 0u);
    }
    // Just large enough: 3 cells in a row need 3 nodes and 1 open slot.
    const Grid row = ones(3, 1);
    PlannerInput r = row.request({0, 0}, {2, 0});
    r.nodePoolSize = 3;
    r.openListCapacity = 1;
    AStarPlanner p;
    EXPECT_EQ(plan(p, r).size(), 3u);
    EXPECT_FALSE(p.exhausted());
}

TEST(AStarPlanner, RandomGridsGiveValidRoutesCheapestWhenTheEstimateIsConsistent) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 60; ++round) {
        Grid grid{3 + static_cast<int>(random() % 12), 3 + static_cast<int>(random() % 12), {}};
        for (int i = 0; i < grid.width * grid.height; ++i) grid.costs.push_back(random() % 4 ? 1.0 + random() % 9 : 0.0);
        const Cell start{random() % grid.width, random() % grid.height}, goal{random() % grid.width, random() % grid.height};
        if (start == goal) continue;
        // Straight steps cost more than the estimate's 1 per cell: consistent,
        // so the route is the cheapest. Diagonal steps may reopen closed nodes.
        const bool diagonal = round % 3 == 2;
        AStarPlanner p;
        const Route route = plan(p, grid.request(start, goal, round % 3 == 1 ? 0.0f : 0.5f, diagonal));
        const double best = cheapest(grid, start, goal);
        if (!diagonal) {
            EXPECT_EQ(route.empty(), best < 0) << round;
            if (best >= 0) {
                EXPECT_NEAR(p.pathCost(), best, 1e-3) << round;
            }
        }
        if (route.empty()) continue;
        EXPECT_EQ(route.front(), start);
        EXPECT_EQ(route.back(), goal);
        float cost = 0.0f;
        for (size_t i = 1; i < route.size(); ++i) {
            const int dx = std::abs(route[i].first - route[i - 1].first), dy = std::abs(route[i].second - route[i - 1].second);
            ASSERT_TRUE(dx <= 1 && dy <= 1 && dx + dy >= 1 && (diagonal || dx + dy == 1)) << round;
            const float c = p.gridCost(route[i].first, route[i].second);
            ASSERT_GT(c, 1.0f) << round;
            cost += dx + dy == 2 ? c * kDiagonalFactor : c;
        }
        // A reopened node leaves the g of nodes reached through it stale, never lower.
        if (diagonal) {
            EXPECT_GE(p.pathCost(), cost) << round;
        } else {
            EXPECT_EQ(p.pathCost(), cost) << round;
        }
    }
}

TEST(AStarPlanner, EveryRandomSearchLeavesWhatTheNaiveModelLeaves) {
    // Routes, costs, the open list in order, the closed set chain by chain
    // and the nodes in the order taken: all decided by the expansion order.
    std::mt19937 random(7031);
    plannertest::InspectablePlanner p;  // one planner for every round: nothing may leak between searches
    int routes = 0, exhausted = 0;
    plannertest::ModelCounts counts;
    for (int round = 0; round < 20000; ++round) {
        Grid grid{1 + static_cast<int>(random() % 16), 1 + static_cast<int>(random() % 16), {}};
        const int cells = grid.width * grid.height;
        const unsigned wallShare = random() % 5;  // in tenths
        const bool odd = round % 16 == 0;         // now and then costs beyond the float range, or not numbers
        const double oddCosts[] = {NAN, INFINITY, 1e300, 1e-300, -INFINITY};
        for (int i = 0; i < cells; ++i) {
            const bool wall = random() % 10 < wallShare;
            if (odd && random() % 8 == 0) {
                grid.costs.push_back(oddCosts[random() % 5]);
            } else {
                grid.costs.push_back(wall ? -static_cast<double>(random() % 2)
                                          : (random() % 4 ? 1.0 + random() % 9 : 0.01 + (random() % 1000) / 100.0));
            }
        }
        const Cell start{random() % grid.width, random() % grid.height}, goal{random() % grid.width, random() % grid.height};
        const float weights[] = {0.0f, 0.5f, 1.0f, 0.25f, 0.75f, 0.9f, -1.0f, 3.0f};
        PlannerInput r = grid.request(start, goal, weights[random() % 8], random() % 2);
        r.diagonalStepFactor = random() % 3 != 0;
        r.hashBits = static_cast<int32_t>(random() % 11);
        if (random() % 8 == 0) r.nodePoolSize = 1 + static_cast<int32_t>(random() % cells);
        if (random() % 8 == 0) r.openListCapacity = 1 + static_cast<int32_t>(random() % cells);
        const std::optional<plannertest::SearchState> expected = plannertest::modelSearch(r, &counts);
        ASSERT_EQ(p.setup(r), expected.has_value()) << round;  // refused: start = goal, or no passable cell
        if (!expected) continue;
        for (int run = 0; run < 2; ++run) {  // again on the same setup: after a reset, or straight after the search
            if (run == 1 && random() % 2) p.reset();
            p.start();
            p.search();
            ASSERT_EQ(p.state(), *expected) << "round " << round << " run " << run;
            ASSERT_EQ(p.knownNodeCount() + p.openListSize(), p.pool().inUse()) << round;
        }
        routes += !expected->route.empty();
        exhausted += expected->exhausted;
    }
    // The rounds reach every kind of ending.
    EXPECT_GT(routes, 8000);
    EXPECT_GT(exhausted, 500);
    EXPECT_GT(counts.reopened, 10000u);
    EXPECT_GT(counts.improvedOpen, 10000u);
}
