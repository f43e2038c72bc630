// levels_solve <sources folder> <level> [options]: finds a solution of a
// level by playing it headless through the game's own frames, proves it by
// replaying it from the start, and writes it as the scripted device's script
// to <solutions folder>/level_NN.txt (with --out), headed by comment lines
// with the moves.
//   --out <folder>     where the solution goes (printed otherwise)
//   --nodes <n>        positions to expand before giving up
//   --weight <w>       weight of the estimate (higher: greedier)
//   --gem-cost <c>     estimated moves per gem after the nearest
//   --prefix <moves>   moves (U D L R) made before the search
//   --verify <file>    replay a solution file instead of searching
//   -v                 progress on standard error
#include <limits.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "level_checker.h"
#include "level_files.h"
#include "play/level_play.h"
#include "play/solver.h"

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: levels_solve <sources folder> <level> [--out <folder>] [--nodes <n>] [--weight <w>]\n"
                 "                    [--gem-cost <c>] [--prefix <moves>] [--verify <solution>] [-v]\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string sources = argv[1];
    const int32_t number = std::atoi(argv[2]);
    levels::SolverOptions options;
    std::string out, verify;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--out" && hasValue) out = argv[++i];
        else if (a == "--nodes" && hasValue) options.maxNodes = std::atoll(argv[++i]);
        else if (a == "--weight" && hasValue) options.weight = std::atof(argv[++i]);
        else if (a == "--gem-cost" && hasValue) options.gemCost = std::atoi(argv[++i]);
        else if (a == "--prefix" && hasValue) options.prefix = argv[++i];
        else if (a == "--verify" && hasValue) verify = argv[++i];
        else if (a == "-v") options.verbose = true;
        else return usage();
    }
    if (number < 0 || number > levels::kLastLevel) return usage();
    // The play runs in a folder of its own: names given relative to here
    // are made absolute first.
    for (std::string* path : {&out, &verify}) {
        char resolved[PATH_MAX];
        if (!path->empty() && realpath(path->c_str(), resolved)) *path = resolved;
    }

    const std::string name = levels::sourceFileName(number);
    const std::string source = sources + "/" + name;
    levels::LevelData level;
    std::vector<std::string> problems;
    if (levels::loadLevelFile(source, level, problems)) problems = levels::checkLevel(level, number);
    for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", source.c_str(), p.c_str());
    if (!problems.empty()) return 1;

    char folder[] = "/tmp/levels_solve.XXXXXX";
    if (!mkdtemp(folder)) return 1;
    struct Cleanup {
        const char* path;
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } cleanup{folder};
    levels::LevelPlay play(folder);
    play.putLevelFile(number, levels::encodeLevel(level));
    play.start(number);

    if (!verify.empty()) {
        std::string script, why;
        std::vector<std::string> states;
        if (!levels::readWholeFile(verify, script, &why)) {
            std::fprintf(stderr, "%s: cannot read: %s\n", verify.c_str(), why.c_str());
            return 1;
        }
        if (!levels::statesOf(script, states)) {
            std::fprintf(stderr, "%s: not a script\n", verify.c_str());
            return 1;
        }
        const int64_t won = levels::replaySolution(play, states);
        std::printf("level %d: %s (%zu frames scripted, won in frame %lld)\n", number, won > 0 ? "won" : "NOT won",
                    states.size(), static_cast<long long>(won));
        return won > 0 && static_cast<size_t>(won) == states.size() + 1 ? 0 : 1;
    }

    const levels::Solution s = levels::solveLevel(play, options);
    if (!s.found) {
        std::fprintf(stderr, "level %d: no solution after %lld positions\n", number, static_cast<long long>(s.nodes));
        return 1;
    }
    const int64_t won = levels::replaySolution(play, s.states);
    if (won != static_cast<int64_t>(s.states.size()) + 1) {
        std::fprintf(stderr, "level %d: the solution does not replay (won in frame %lld of %zu)\n", number,
                     static_cast<long long>(won), s.states.size() + 1);
        return 1;
    }
    std::string text = "# level " + std::to_string(number) + ": " + std::to_string(s.moves.size()) + " moves, " +
                       std::to_string(s.states.size() + 1) + " frames\n# moves " + s.moves + "\n" +
                       levels::scriptOf(s.states);
    std::fprintf(stderr, "level %d: %zu moves, %zu frames, %lld positions\n", number, s.moves.size(),
                 s.states.size() + 1, static_cast<long long>(s.nodes));
    if (out.empty()) {
        std::fputs(text.c_str(), stdout);
    } else if (std::string why; !levels::writeWholeFile(out + "/" + name, text, &why)) {
        std::fprintf(stderr, "%s/%s: cannot write: %s\n", out.c_str(), name.c_str(), why.c_str());
        return 1;
    }
    return 0;
}
