// Grid planner benchmark: 40 long routes across cost grids of 256 x 256 and
// 512 x 512 (costs 1 to 9, one cell in ten a wall; fixed seed) at weights 0,
// 0.5 and 1, once with
// the runtime's AStarPlanner as the path commands run it (a planner per
// route; straight moves, 8 hash bits; setup, start, search and reset), once
// with a plain textbook A* written here: a binary heap from
// std::priority_queue with stale entries skipped, one array of best costs and
// one of parents, over the same normalised costs (made once, outside the
// timing), the same priority f = (h - g) * w + g in single precision and the
// same tie rule (among equal f the entry pushed first is taken first). Both
// therefore expand the same cells in the same order and must agree exactly on
// every route's cost and length. Prints microseconds per route of each and
// their ratio; the passes of the two alternate, and each keeps its best.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <queue>
#include <random>
#include <tuple>
#include <vector>

#include "planner/astar_planner.h"

namespace {

constexpr int kRoutes = 40;

struct Query {
    int sx, sy, gx, gy;
};

struct Outcome {
    float cost;       // -1 without a route
    uint32_t length;  // cells on the route, 0 without one
    bool operator==(const Outcome&) const = default;
};

struct World {
    int size;
    std::vector<double> costs;  // as the caller gives them: 0 a wall, 1..9 passable
    std::vector<float> normalised;
    std::vector<Query> queries;
};

// The textbook search: a cell is settled when popped with its best cost, a
// better cost found later pushes it again (stale entries are skipped).
Outcome runTextbook(const World& w, const Query& q, float weight) {
    const int size = w.size;
    const int cells = size * size;
    std::vector<float> best(cells, INFINITY);
    std::vector<int> parent(cells, -1);
    struct Entry {
        float f;
        uint32_t order;  // pushes so far: the earlier entry wins a tie
        float g;
        int cell;
        bool operator>(const Entry& o) const { return std::tie(f, order) > std::tie(o.f, o.order); }
    };
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    uint32_t pushes = 0;
    const int start = q.sy * size + q.sx, goal = q.gy * size + q.gx;
    best[start] = 0.0f;
    open.push({0.0f, pushes++, 0.0f, start});
    static constexpr int dx[4] = {0, 1, -1, 0}, dy[4] = {-1, 0, 0, 1};
    while (!open.empty()) {
        const Entry e = open.top();
        open.pop();
        if (e.g > best[e.cell]) continue;  // a stale entry
        if (e.cell == goal) {
            uint32_t length = 0;
            for (int c = goal; c >= 0; c = parent[c]) ++length;
            return {best[goal], length};
        }
        const int x = e.cell % size, y = e.cell / size;
        for (int s = 0; s < 4; ++s) {
            const int nx = x + dx[s], ny = y + dy[s];
            if (nx < 0 || ny < 0 || nx >= size || ny >= size) continue;
            const int next = ny * size + nx;
            const float c = w.normalised[next];
            if (c < 0) continue;
            const float g = e.g + c;
            if (g < best[next]) {
                best[next] = g;
                parent[next] = e.cell;
                const float h = static_cast<float>(std::abs(nx - q.gx) + std::abs(ny - q.gy));
                open.push({(h - g) * weight + g, pushes++, g, next});
            }
        }
    }
    return {-1.0f, 0};
}

Outcome runPlanner(const World& w, const Query& q, float weight) {
    planner::AStarPlanner p;
    planner::PlannerInput r;
    r.startX = q.sx;
    r.startY = q.sy;
    r.goalX = q.gx;
    r.goalY = q.gy;
    r.diagonalStepFactor = 1;
    r.hashBits = 8;
    r.heuristicWeight = weight;
    r.width = w.size;
    r.height = w.size;
    r.costMap = w.costs.data();
    if (!p.setup(r)) return {-2.0f, 0};
    p.start();
    p.search();
    const Outcome outcome{p.pathCost(), p.pathLength()};
    p.reset();
    return outcome;
}

// Costs 1 to 9 with one cell in ten a wall; routes between passable cells
// at least half the grid apart that have a route.
World makeWorld(int size) {
    World w;
    w.size = size;
    std::mt19937 random(12345);
    w.costs.resize(static_cast<size_t>(size) * size);
    for (double& c : w.costs) c = random() % 10 == 0 ? 0.0 : 1.0 + random() % 9;
    const double largest = *std::max_element(w.costs.begin(), w.costs.end());
    for (double c : w.costs) {
        w.normalised.push_back(c > 0 ? static_cast<float>(c) / static_cast<float>(largest) + 1.0f : -1.0f);
    }
    while (static_cast<int>(w.queries.size()) < kRoutes) {
        const Query q{static_cast<int>(random() % size), static_cast<int>(random() % size),
                      static_cast<int>(random() % size), static_cast<int>(random() % size)};
        if (w.costs[q.sy * size + q.sx] <= 0 || w.costs[q.gy * size + q.gx] <= 0) continue;
        if (std::abs(q.sx - q.gx) + std::abs(q.sy - q.gy) < size / 2) continue;
        if (runTextbook(w, q, 0.5f).length == 0) continue;
        w.queries.push_back(q);
    }
    return w;
}

using Run = Outcome (*)(const World&, const Query&, float);

// Seconds for one pass over every query.
double timePass(const World& w, float weight, Run run, std::vector<Outcome>& outcomes) {
    outcomes.clear();
    const auto t0 = std::chrono::steady_clock::now();
    for (const Query& q : w.queries) outcomes.push_back(run(w, q, weight));
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - t0;
    return spent.count();
}

}  // namespace

int main() {
    std::printf("%d routes per grid, costs 1-9, 1 cell in 10 a wall; microseconds per route, best of the passes\n",
                kRoutes);
    std::printf("%-9s %6s %6s %14s %14s %8s %9s\n", "grid", "weight", "passes", "AStarPlanner", "textbook A*",
                "ratio", "disagree");
    int disagreements = 0;
    for (const int size : {256, 512}) {
        const World w = makeWorld(size);
        const int passes = size == 256 ? 7 : 5;
        for (const float weight : {0.0f, 0.5f, 1.0f}) {
            double ours = INFINITY, theirs = INFINITY;
            std::vector<Outcome> ourOutcomes, theirOutcomes;
            for (int pass = 0; pass < passes; ++pass) {
                ours = std::min(ours, timePass(w, weight, &runPlanner, ourOutcomes));
                theirs = std::min(theirs, timePass(w, weight, &runTextbook, theirOutcomes));
            }
            int differ = 0;
            for (size_t i = 0; i < ourOutcomes.size(); ++i) differ += ourOutcomes[i] == theirOutcomes[i] ? 0 : 1;
            disagreements += differ;
            const double perRoute = 1e6 / static_cast<double>(w.queries.size());
            std::printf("%4d x %-4d %6.2f %6d %14.1f %14.1f %8.2f %9d\n", size, size, weight, passes,
                        ours * perRoute, theirs * perRoute, ours / theirs, differ);
            std::fflush(stdout);
        }
    }
    std::printf("ratio = AStarPlanner / textbook A*; disagree = routes whose cost or length differ\n");
    return disagreements == 0 ? 0 : 1;
}
