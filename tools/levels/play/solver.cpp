// The move search. Depends on LevelPlay, the game snapshot and the game state.
#include "play/solver.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <queue>
#include <unordered_map>
#include <unordered_set>

#include "game/world/cell_codes.h"
#include "game/world/family_walk.h"
#include "game/world/game_state.h"
#include "game/world/grid_cells.h"

namespace levels {

namespace {
constexpr int32_t kPushHoldLimit = 25;
constexpr int64_t kSettleLimit = 8000;  // frames: the story of level 0 runs this long at most
constexpr char kMoves[] = {'R', 'D', 'L', 'U'};

struct Step {
    int32_t dc, dr;
};
Step stepOf(char move) {
    switch (move) {
        case 'R': return {1, 0};
        case 'D': return {0, 1};
        case 'L': return {-1, 0};
        default: return {0, -1};
    }
}

// The frames of one move, as the states held in each.
struct MoveResult {
    Outcome outcome = Outcome::Lost;
    std::vector<std::string> states;
};

void recordFrame(LevelPlay& play, const std::string& state, std::vector<std::string>& states) {
    play.frame(state);
    states.push_back(state);
}

// Frames with nothing held until the diver can act, the level ends, or the
// finale of the last level has played out.
Outcome settle(LevelPlay& play, std::vector<std::string>& states) {
    for (int64_t n = 0; n < kSettleLimit; ++n) {
        const Outcome o = play.outcome();
        if (o != Outcome::Playing) return o;
        if (play.atDecision()) return Outcome::Playing;
        recordFrame(play, "", states);
    }
    return Outcome::Lost;
}

bool freeForStep(int32_t code, char move) {
    if (code == cell::kBubbleStream) return move != 'D';
    return code == cell::kWater || code == cell::kGemFree;
}

MoveResult makeMove(LevelPlay& play, char move) {
    MoveResult r;
    const Player& p = PLAYERS.at(0);
    const Step s = stepOf(move);
    const int32_t code = mapCell(cellAt(p.x, p.y), s.dc, s.dr);  // rock beyond the grids
    const std::string state = directionState(move);
    if (freeForStep(code, move)) {
        recordFrame(play, state, r.states);
    } else if (code == cell::kBoulder && s.dr == 0) {
        for (int32_t n = 0; n < kPushHoldLimit && STEP_TICKS != kStepFrames; ++n) {
            recordFrame(play, state, r.states);
            if (play.outcome() != Outcome::Playing) break;
        }
    } else {
        return r;
    }
    if (play.outcome() == Outcome::Playing && STEP_TICKS != kStepFrames) return r;  // nothing moved
    r.outcome = settle(play, r.states);
    return r;
}

// Steps through everything but walls from the diver to the nearest gem;
// -1 when no gem can be reached even so.
int32_t distanceToNearestGem() {
    if (PLAYERS.d1 == 0) return -1;
    const int32_t w = SIZE_X + 1, h = SIZE_Y + 1;
    std::vector<int32_t> dist(static_cast<size_t>(w * h), -1);
    std::deque<int32_t> queue;
    const int32_t start = (PLAYERS.at(0).y / kCellPixels) * w + PLAYERS.at(0).x / kCellPixels;
    dist[static_cast<size_t>(start)] = 0;
    queue.push_back(start);
    while (!queue.empty()) {
        const int32_t at = queue.front();
        queue.pop_front();
        const int32_t x = at % w, y = at / w;
        if (OVERLAY.at(x, y) == cell::kGem) return dist[static_cast<size_t>(at)];
        const int32_t dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int32_t nx = x + dx[k], ny = y + dy[k];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            const int32_t code = MAP.at(nx, ny);
            const bool wall = code >= 1 && code <= cell::kLastSolid;
            const size_t n = static_cast<size_t>(ny * w + nx);
            if (wall || dist[n] >= 0) continue;
            dist[n] = dist[static_cast<size_t>(at)] + 1;
            queue.push_back(static_cast<int32_t>(n));
        }
    }
    return -1;
}

double estimate(const SolverOptions& options) {
    const int32_t gems = GEMS.d1 + SPARKLES.d1;
    if (gems == 0) return 0;
    const int32_t d = distanceToNearestGem();
    return (d < 0 ? 40 : d) + options.gemCost * (gems - 1);
}

struct Node {
    int32_t parent;
    char move;
    int32_t depth;
    std::vector<std::string> states;  // the frames of the move that led here
};

Solution pathTo(const std::vector<Node>& nodes, int32_t last, std::vector<std::string> finalStates) {
    Solution s;
    std::vector<int32_t> chain;
    for (int32_t i = last; i >= 0; i = nodes[static_cast<size_t>(i)].parent) chain.push_back(i);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Node& n = nodes[static_cast<size_t>(*it)];
        if (n.move) s.moves.push_back(n.move);
        s.states.insert(s.states.end(), n.states.begin(), n.states.end());
    }
    s.states.insert(s.states.end(), finalStates.begin(), finalStates.end());
    s.found = true;
    return s;
}
}  // namespace

Solution solveLevel(LevelPlay& play, const SolverOptions& options) {
    Solution none;
    play.start(play.level());
    std::vector<Node> nodes;
    nodes.push_back(Node{-1, 0, 0, {}});
    Outcome o = settle(play, nodes[0].states);
    for (char move : options.prefix) {
        if (o != Outcome::Playing) break;
        MoveResult r = makeMove(play, move);
        if (r.states.empty()) {
            std::fprintf(stderr, "prefix move %zu (%c) cannot be made\n", nodes.size() - 1, move);
            return none;
        }
        const int32_t parent = static_cast<int32_t>(nodes.size()) - 1;
        nodes.push_back(Node{parent, move, nodes.back().depth + 1, std::move(r.states)});
        o = r.outcome;
    }
    if (o == Outcome::Won) return pathTo(nodes, static_cast<int32_t>(nodes.size()) - 1, {});
    if (o == Outcome::Lost) {
        std::fprintf(stderr, "the level is lost before the search begins\n");
        return none;
    }

    using Entry = std::pair<double, int32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    std::unordered_map<int32_t, std::unique_ptr<GameSnapshot>> snapshots;
    std::unordered_set<uint64_t> seen;
    const int32_t root = static_cast<int32_t>(nodes.size()) - 1;
    snapshots[root] = std::make_unique<GameSnapshot>();
    snapshots[root]->capture(play.loop);
    seen.insert(positionKey());
    open.push({options.weight * estimate(options), root});

    int64_t expanded = 0;
    double bestEstimate = estimate(options);
    GameSnapshot best = *snapshots[root];
    while (!open.empty() && expanded < options.maxNodes) {
        const int32_t id = open.top().second;
        open.pop();
        std::unique_ptr<GameSnapshot> snap = std::move(snapshots[id]);
        snapshots.erase(id);
        ++expanded;
        if (options.verbose && expanded % 5000 == 0) {
            std::fprintf(stderr, "%lld positions, %zu open, depth %d\n", static_cast<long long>(expanded),
                         open.size(), nodes[static_cast<size_t>(id)].depth);
        }
        for (char move : kMoves) {
            snap->restore(play.loop);
            MoveResult r = makeMove(play, move);
            if (r.states.empty() || r.outcome == Outcome::Lost) continue;
            if (r.outcome == Outcome::Won) {
                Solution s = pathTo(nodes, id, r.states);
                s.moves.push_back(move);
                s.nodes = expanded;
                return s;
            }
            if (!seen.insert(positionKey()).second) continue;
            const int32_t child = static_cast<int32_t>(nodes.size());
            nodes.push_back(Node{id, move, nodes[static_cast<size_t>(id)].depth + 1, std::move(r.states)});
            auto childSnap = std::make_unique<GameSnapshot>();
            childSnap->capture(play.loop);
            snapshots[child] = std::move(childSnap);
            const double h = estimate(options);
            if (h < bestEstimate) {
                bestEstimate = h;
                best.capture(play.loop);
            }
            open.push({nodes[static_cast<size_t>(child)].depth + options.weight * h, child});
        }
    }
    none.nodes = expanded;
    if (options.verbose) {
        best.restore(play.loop);
        std::fprintf(stderr, "nearest position to a win (estimate %.0f):\n", bestEstimate);
        for (int32_t y = 0; y <= SIZE_Y; ++y) {
            for (int32_t x = 0; x <= SIZE_X; ++x) {
                const int32_t code = MAP.at(x, y);
                char c = code == 0 ? '.' : (code >= 1 && code <= cell::kLastSolid) ? '#' : code == cell::kDiver ? 'P' : code == cell::kBoulder ? 'B' : code == cell::kCrab ? 'C' : code == cell::kFish ? 'F' : code == cell::kSponge ? 'Q' : code == cell::kStarfish ? 'S' : code == cell::kMine ? 'M' : code == cell::kOyster ? 'Y' : code == cell::kBubbleStream ? '~' : '?';
                if (OVERLAY.at(x, y) == cell::kGem) c = 'G';
                std::fputc(c, stderr);
            }
            std::fputc('\n', stderr);
        }
    }
    return none;
}

int64_t replaySolution(LevelPlay& play, const std::vector<std::string>& states) {
    play.start(play.level());
    for (const std::string& state : states) {
        if (play.outcome() == Outcome::Won) break;
        play.frame(state);
    }
    return play.outcome() == Outcome::Won ? play.framesRun() : -1;
}

}  // namespace levels
