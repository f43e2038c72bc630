// levels_sweep <sources folder> [options]: random play of the levels over
// many seeds, each play in a child process, reporting every play that ended
// the program, wrote to the error log or broke a rule that must always hold
// (play/random_play.h). Exit status 0 when nothing was found.
//   --levels <a>-<b>   the levels played (default 0-30)
//   --seeds <n>        seeds per level (default 4)
//   --first-seed <s>   the first seed (default 1)
//   --frames <n>       frames per play (default 3000)
//   --from-solutions   each attempt starts from a part of the level's solution
//   -v                 a line per play on standard error
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "play/sweep.h"

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: levels_sweep <sources folder> [--levels <a>-<b>] [--seeds <n>] [--first-seed <s>]\n"
                 "                    [--frames <n>] [--from-solutions] [-v]\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string sources = argv[1];
    levels::SweepOptions options;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--levels" && hasValue) {
            const std::string range = argv[++i];
            const size_t dash = range.find('-');
            options.firstLevel = std::atoi(range.c_str());
            options.lastLevel = dash == std::string::npos ? options.firstLevel : std::atoi(range.c_str() + dash + 1);
        } else if (a == "--seeds" && hasValue) {
            options.seeds = std::atoi(argv[++i]);
        } else if (a == "--first-seed" && hasValue) {
            options.firstSeed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--frames" && hasValue) {
            options.frames = std::atoll(argv[++i]);
        } else if (a == "--from-solutions") {
            options.fromSolutions = true;
        } else if (a == "-v") {
            options.verbose = true;
        } else {
            return usage();
        }
    }
    if (options.firstLevel < 0 || options.lastLevel > 30 || options.firstLevel > options.lastLevel) return usage();

    char folder[] = "/tmp/levels_sweep.XXXXXX";
    if (!mkdtemp(folder)) return 1;
    setenv("TMPDIR", folder, 1);  // the plays' error log goes here
    const levels::SweepResult r = levels::sweepLevels(sources, folder, options);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);

    for (const levels::SweepFinding& f : r.findings) {
        std::printf("level %d seed %u: %s\n", f.level, f.seed, f.what.c_str());
    }
    std::printf("%lld plays, %lld frames, %lld levels won, %lld attempts lost; %zu findings\n",
                static_cast<long long>(r.plays), static_cast<long long>(r.frames), static_cast<long long>(r.wins),
                static_cast<long long>(r.losses), r.findings.size());
    return r.findings.empty() ? 0 : 1;
}
