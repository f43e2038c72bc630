// The path commands: one AStarPlanner per call, run once, the route copied out.
// Depends on the planner, the runtime arrays, the runtime error code and the
// orderly end.
#include "planner/path_commands.h"

#include "planner/astar_planner.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/mathematics.h"
#include "runtime/services/runtime_error.h"

namespace {

constexpr int32_t kCommandHashBits = 8;  // 16 x 16 buckets

}  // namespace

int32_t FindPath(const RtArray<double>& map, RtArray<int>& result, double weight, int32_t startX,
                 int32_t startY, int32_t goalX, int32_t goalY) {
    planner::AStarPlanner search;
    planner::PlannerInput request;
    request.startX = startX;
    request.startY = startY;
    request.goalX = goalX;
    request.goalY = goalY;
    request.diagonalStepFactor = 1;
    request.diagonalMoves = 0;
    request.nodePoolSize = 0;
    request.openListCapacity = 0;
    request.hashBits = kCommandHashBits;
    // NaN falls to 1 here: minOf keeps the 1.0 when the comparison fails.
    request.heuristicWeight = static_cast<float>(maxOf(minOf(weight, 1.0), 0.0));
    request.width = map.d1;
    request.height = map.d2;
    request.costMap = map.data;
    // The costs are read straight from the storage, by setup and again as the
    // search reaches them (the map stays put for the whole call): it must
    // hold the whole grid.
    if (static_cast<int64_t>(map.d1) * map.d2 > map.total) request.height = 0;

    if (!search.setup(request)) {
        const planner::SetupFault fault = search.setupFault();
        if (fault == planner::SetupFault::OutOfStorage || fault == planner::SetupFault::TooLarge) {
            setRuntimeError(ErrorOutOfMemory);
            terminateProgram();
        }
        return 0;
    }
    search.start();
    search.search();
    const int32_t n = static_cast<int32_t>(search.pathLength());
    if (n == 0) {
        result.dim(0, 0, 0, 0);
        return 0;
    }
    result.dim(n, 2);
    const planner::Node* node = search.pathEnd();
    for (int32_t i = n - 1; i >= 0 && node != nullptr; --i, node = node->parent) {
        result.at(i, 0) = node->x;
        result.at(i, 1) = node->y;
    }
    search.reset();
    return result.bound(0);
}

int32_t FindPathArrays(const RtArray<double>& map, RtArray<double>& result, double weight, int32_t startX,
                       int32_t startY, int32_t goalX, int32_t goalY) {
    RtArray<int> route;
    const int32_t n = FindPath(map, route, weight, startX, startY, goalX, goalY);
    result.dim(route.bound(0), 2);
    for (int32_t i = 0; i < route.bound(0); ++i) {
        for (int32_t j = 0; j < 2; ++j) result.at(i, j) = route.at(i, j);
    }
    return n;
}

int32_t FindPathArraysB(const RtArray<int>& map, RtArray<int>& result, double weight, int32_t startX,
                        int32_t startY, int32_t goalX, int32_t goalY) {
    RtArray<double> costs;
    costs.dim(map.bound(0), map.bound(1));
    for (int32_t i = 0; i < map.bound(0); ++i) {
        for (int32_t j = 0; j < map.bound(1); ++j) costs.at(i, j) = map.at(i, j);
    }
    return FindPath(costs, result, weight, startX, startY, goalX, goalY);
}
