// Grid planner benchmark: routes across a 256 x 256 cost grid with walls
// (fixed seed), once with the runtime's AStarPlanner as the path commands
// set it up (straight moves, weight 0.5, 8 hash bits, setup, start, search
// and reset per route), once with a plain textbook A* written here (binary
// heap from std::priority_queue with stale entries skipped, g + Manhattan
// estimate, one array of best costs) over the same normalised costs. Both
// must agree on every route's cost. Prints microseconds per route of each
// and their ratio.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <queue>
#include <random>
#include <vector>

#include "planner/astar_planner.h"

namespace {

constexpr int kSize = 256;
constexpr int kRoutes = 40;
constexpr int kRounds = 5;

struct Query {
    int sx, sy, gx, gy;
};

struct World {
    std::vector<double> costs;  // as the caller gives them: 0 a wall, 1..9 passable
    std::vector<float> normalised;
    std::vector<Query> queries;
};

float runTextbook(const World& w, const Query& q);

// Costs 1 to 9 with about one cell in five a wall, plus a few long wall
// segments so that routes must go round; routes between passable cells at
// least half the grid apart that have a route.
World makeWorld() {
    World w;
    std::mt19937 random(12345);
    w.costs.resize(kSize * kSize);
    for (double& c : w.costs) c = random() % 5 == 0 ? 0.0 : 1.0 + random() % 9;
    for (int wall = 0; wall < 24; ++wall) {
        const bool across = wall % 2 == 0;
        const int fixed = random() % kSize, from = random() % kSize, length = 40 + random() % 120;
        for (int i = from; i < std::min(kSize, from + length); ++i) {
            w.costs[across ? fixed * kSize + i : i * kSize + fixed] = 0.0;
        }
    }
    double largest = *std::max_element(w.costs.begin(), w.costs.end());
    for (double c : w.costs) {
        w.normalised.push_back(c > 0 ? static_cast<float>(c) / static_cast<float>(largest) + 1.0f : -1.0f);
    }
    while (static_cast<int>(w.queries.size()) < kRoutes) {
        Query q{static_cast<int>(random() % kSize), static_cast<int>(random() % kSize),
                static_cast<int>(random() % kSize), static_cast<int>(random() % kSize)};
        if (w.costs[q.sy * kSize + q.sx] <= 0 || w.costs[q.gy * kSize + q.gx] <= 0) continue;
        if (std::abs(q.sx - q.gx) + std::abs(q.sy - q.gy) < kSize / 2) continue;
        if (runTextbook(w, q) < 0) continue;
        w.queries.push_back(q);
    }
    return w;
}

float runPlanner(const World& w, const Query& q) {
    planner::AStarPlanner p;
    planner::PlannerInput r;
    r.startX = q.sx;
    r.startY = q.sy;
    r.goalX = q.gx;
    r.goalY = q.gy;
    r.diagonalStepFactor = 1;
    r.hashBits = 8;
    r.heuristicWeight = 0.5f;
    r.width = kSize;
    r.height = kSize;
    r.costMap = w.costs.data();
    if (!p.setup(r)) return -2.0f;
    p.start();
    p.search();
    const float cost = p.pathCost();
    p.reset();
    return cost;
}

// The textbook search: a node is settled when popped with its best cost.
float runTextbook(const World& w, const Query& q) {
    const int cells = kSize * kSize;
    std::vector<float> best(cells, INFINITY);
    std::vector<int> parent(cells, -1);
    using Entry = std::pair<float, int>;  // f, cell
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    const int start = q.sy * kSize + q.sx, goal = q.gy * kSize + q.gx;
    auto h = [&](int cell) { return static_cast<float>(std::abs(cell % kSize - q.gx) + std::abs(cell / kSize - q.gy)); };
    best[start] = 0.0f;
    open.push({h(start), start});
    static constexpr int dx[4] = {0, 1, -1, 0}, dy[4] = {-1, 0, 0, 1};
    while (!open.empty()) {
        const auto [f, cell] = open.top();
        open.pop();
        if (cell == goal) return best[goal];
        if (f > best[cell] + h(cell)) continue;  // a stale entry
        const int x = cell % kSize, y = cell / kSize;
        for (int s = 0; s < 4; ++s) {
            const int nx = x + dx[s], ny = y + dy[s];
            if (nx < 0 || ny < 0 || nx >= kSize || ny >= kSize) continue;
            const int next = ny * kSize + nx;
            const float c = w.normalised[next];
            if (c < 0) continue;
            const float g = best[cell] + c;
            if (g < best[next]) {
                best[next] = g;
                parent[next] = cell;
                open.push({g + h(next), next});
            }
        }
    }
    return -1.0f;
}

// Microseconds per route, the best of kRounds passes over every query.
double timePerRoute(const World& w, float (*run)(const World&, const Query&), std::vector<float>& costs) {
    double bestSeconds = INFINITY;
    for (int round = 0; round < kRounds; ++round) {
        costs.clear();
        const auto t0 = std::chrono::steady_clock::now();
        for (const Query& q : w.queries) costs.push_back(run(w, q));
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - t0;
        bestSeconds = std::min(bestSeconds, spent.count());
    }
    return bestSeconds * 1e6 / static_cast<double>(w.queries.size());
}

}  // namespace

int main() {
    const World w = makeWorld();
    std::vector<float> ours, theirs;
    const double plannerUs = timePerRoute(w, &runPlanner, ours);
    const double textbookUs = timePerRoute(w, &runTextbook, theirs);
    int disagreements = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        if (std::fabs(ours[i] - theirs[i]) > 1e-3f * std::max(1.0f, std::fabs(theirs[i]))) ++disagreements;
    }
    std::printf("grid %d x %d, %d routes, best of %d passes\n", kSize, kSize, kRoutes, kRounds);
    std::printf("AStarPlanner (setup, search, reset): %10.1f us per route\n", plannerUs);
    std::printf("textbook A* (std::priority_queue):   %10.1f us per route\n", textbookUs);
    std::printf("ratio planner / textbook:            %10.2f\n", plannerUs / textbookUs);
    std::printf("route costs that disagree:           %10d\n", disagreements);
    return disagreements == 0 ? 0 : 1;
}
