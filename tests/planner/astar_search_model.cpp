#include "astar_search_model.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace plannertest {

namespace {

struct ModelNode {
    int32_t parent;  // pool index, -1 for none
    int32_t x, y;
    float f, g;
};

struct Model {
    const planner::PlannerInput& r;
    std::vector<float> grid;
    std::vector<ModelNode> pool;
    size_t poolCapacity, openCapacity;
    std::vector<int32_t> open;                 // front to back, f never increasing
    std::vector<std::vector<int32_t>> chains;  // element 0 is the head
    uint32_t halfBits;

    NodeState stateOf(int32_t i) const {
        const ModelNode& n = pool[i];
        const bool root = n.parent < 0;
        return {n.x, n.y, n.f, n.g, root ? -1 : pool[n.parent].x, root ? -1 : pool[n.parent].y};
    }
    std::vector<int32_t>& chainOf(int32_t x, int32_t y) {
        const uint32_t m = (1u << halfBits) - 1;
        return chains[(static_cast<uint32_t>(x) & m) | ((static_cast<uint32_t>(y) & m) << halfBits)];
    }
    // The first position whose f is at most the node's f.
    void openInsert(int32_t i) {
        size_t at = 0;
        while (at < open.size() && pool[open[at]].f > pool[i].f) ++at;
        open.insert(open.begin() + static_cast<std::ptrdiff_t>(at), i);
    }
};

}  // namespace

std::optional<SearchState> modelSearch(const planner::PlannerInput& r, ModelCounts* counts) {
    if (r.startX == r.goalX && r.startY == r.goalY) return std::nullopt;
    ModelCounts unused;
    ModelCounts& tally = counts != nullptr ? *counts : unused;
    const size_t cells = static_cast<size_t>(r.width) * r.height;
    Model m{r, {}, {}, r.nodePoolSize ? size_t(r.nodePoolSize) : cells,
            r.openListCapacity ? size_t(r.openListCapacity) : cells, {}, {}, 0};
    int32_t bits = std::clamp(r.hashBits, 0, 24) & ~1;
    m.halfBits = static_cast<uint32_t>(bits) / 2;
    m.chains.resize(size_t{1} << bits);
    float largest = 0.0f;
    for (size_t i = 0; i < cells; ++i) {  // above the float range: the largest float; not above 0 or NaN: a wall
        const double cost = r.costMap[i];
        const float c = cost > FLT_MAX ? FLT_MAX : static_cast<float>(cost);
        m.grid.push_back(c > 0.0f ? c : -1.0f);
        largest = std::max(largest, m.grid.back());
    }
    if (!(largest > 0.0f)) return std::nullopt;
    for (float& c : m.grid) c = c > 0.0f ? c / largest + 1.0f : -1.0f;
    const float w = std::isnan(r.heuristicWeight) ? 1.0f : std::clamp(r.heuristicWeight, 0.0f, 1.0f);
    const float d = r.diagonalStepFactor ? planner::kDiagonalFactor : 1.0f;

    SearchState out;
    m.pool.push_back({-1, r.startX, r.startY, 0.0f, 0.0f});
    m.open.push_back(0);
    int32_t end = -1;
    while (!m.open.empty()) {
        const int32_t current = m.open.back();
        m.open.pop_back();
        const int32_t x = m.pool[current].x, y = m.pool[current].y;
        if (x == r.goalX && y == r.goalY) {
            m.chainOf(x, y).insert(m.chainOf(x, y).begin(), current);
            end = current;
            break;
        }
        static const int kSteps[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}};
        for (const auto& step : kSteps) {
            const bool diagonal = step[0] != 0 && step[1] != 0;
            if (diagonal && !r.diagonalMoves) continue;
            const int32_t nx = x + step[0], ny = y + step[1];
            if (nx < 0 || nx >= r.width || ny < 0 || ny >= r.height) continue;
            const float c = m.grid[static_cast<size_t>(ny) * r.width + nx];
            if (c == -1.0f) continue;
            const float g = m.pool[current].g + (diagonal ? c * d : c);
            const float h = static_cast<float>(std::llabs(int64_t{r.goalX} - nx) + std::llabs(int64_t{r.goalY} - ny));
            const float f = (h - g) * w + g;

            int32_t found = -1;
            std::vector<int32_t>& chain = m.chainOf(nx, ny);
            auto inChain = std::find_if(chain.begin(), chain.end(),
                                        [&](int32_t i) { return m.pool[i].x == nx && m.pool[i].y == ny; });
            if (inChain != chain.end()) {
                found = *inChain;
                if (m.pool[found].g <= g) continue;
                if (m.open.size() == m.openCapacity) {
                    out.exhausted = true;
                    break;
                }
                chain.erase(inChain);
                ++tally.reopened;
            } else {
                size_t at = m.open.size();
                while (at > 0 && !(m.pool[m.open[at - 1]].x == nx && m.pool[m.open[at - 1]].y == ny)) --at;
                if (at > 0) {
                    found = m.open[at - 1];
                    if (m.pool[found].g <= g) continue;
                    m.open.erase(m.open.begin() + static_cast<std::ptrdiff_t>(at - 1));
                    ++tally.improvedOpen;
                } else {
                    if (m.pool.size() == m.poolCapacity || m.open.size() == m.openCapacity) {
                        out.exhausted = true;
                        break;
                    }
                    found = static_cast<int32_t>(m.pool.size());
                    m.pool.push_back({-1, nx, ny, 0.0f, 0.0f});
                }
            }
            m.pool[found] = {current, nx, ny, f, g};
            m.openInsert(found);
        }
        m.chainOf(x, y).insert(m.chainOf(x, y).begin(), current);
        if (out.exhausted) break;
    }

    for (int32_t i = end; i >= 0; i = m.pool[i].parent) out.route.push_back(m.stateOf(i));
    for (int32_t i : m.open) out.open.push_back(m.stateOf(i));
    for (const auto& chain : m.chains) {
        out.chains.emplace_back();
        for (int32_t i : chain) out.chains.back().push_back(m.stateOf(i));
    }
    for (size_t i = 0; i < m.pool.size(); ++i) out.taken.push_back(m.stateOf(static_cast<int32_t>(i)));
    return out;
}

SearchState InspectablePlanner::state() const {
    auto stateOf = [](const planner::Node* n) {
        if (n == nullptr) return NodeState{-2, -2, NAN, NAN, -2, -2};  // an entry naming no node in use
        const planner::Node* p = n->parent;
        return NodeState{n->x, n->y, n->f, n->g, p ? p->x : -1, p ? p->y : -1};
    };
    SearchState out;
    for (const planner::Node* n = pathEnd(); n != nullptr; n = n->parent) out.route.push_back(stateOf(n));
    for (uint32_t i = 0; i < open_.size(); ++i) {
        const OpenEntry entry = open_.at(i);
        out.open.push_back(stateOf(pool_.inUseAt(entry.node)));
        if (entry.f != out.open.back().f) out.open.back().f = NAN;  // the list's copy of f must be the node's
    }
    for (uint32_t b = 0; b < closed_.bucketCount(); ++b) {
        out.chains.emplace_back();
        for (const planner::Node* n = closed_.bucketHead(b); n != nullptr; n = n->next) {
            out.chains.back().push_back(stateOf(n));
        }
    }
    for (uint32_t i = 0; i < pool_.inUse(); ++i) out.taken.push_back(stateOf(pool_.nodeAt(i)));
    out.exhausted = exhausted();
    return out;
}

}  // namespace plannertest
