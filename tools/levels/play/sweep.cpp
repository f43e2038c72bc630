// The sweep over child processes. Depends on random play, the level files
// and the runtime's error log.
#include "play/sweep.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "game/bridge/device_requests.h"
#include "level_data.h"
#include "level_files.h"
#include "play/random_play.h"
#include "runtime/files/error_log.h"

namespace levels {

namespace {
// What one child reports back through its file: its counts, then one
// fault per line.
struct ChildReport {
    int64_t frames = 0, wins = 0, losses = 0;
    std::vector<std::string> faults;
};

void runChild(const std::string& workFolder, const std::string& reportPath, int32_t number, const std::string& bytes,
              uint32_t seed, int64_t frames, const std::vector<std::string>& solution) {
    RandomRun run;
    {
        LevelPlay play(workFolder);
        play.putLevelFile(number, bytes);
        // The game finds its media folder once and logs where; only what the
        // play itself writes to the log counts.
        ResolveMediaPath(RtString(""));
        std::remove(errorLogPath().data);
        run = playAtRandom(play, number, seed, frames, solution);
    }
    std::ostringstream out;
    out << run.frames << ' ' << run.wins << ' ' << run.losses << '\n';
    for (const std::string& f : run.faults) out << f << '\n';
    writeWholeFile(reportPath, out.str());
}

ChildReport readReport(const std::string& path) {
    ChildReport r;
    std::string text;
    if (!readWholeFile(path, text)) return r;
    std::istringstream in(text);
    in >> r.frames >> r.wins >> r.losses;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (!line.empty()) r.faults.push_back(line);
    }
    return r;
}
}  // namespace

SweepResult sweepLevels(const std::string& sourcesFolder, const std::string& workFolder, const SweepOptions& options) {
    SweepResult result;
    const std::string reportPath = workFolder + "/random_play_report.txt";
    const std::string logPath = errorLogPath().data;
    for (int32_t number = options.firstLevel; number <= options.lastLevel; ++number) {
        LevelData level;
        std::vector<std::string> errors;
        if (!loadLevelFile(sourcesFolder + "/" + sourceFileName(number), level, errors)) {
            result.findings.push_back({number, 0, "the level does not load" + (errors.empty() ? "" : ": " + errors.front())});
            continue;
        }
        const std::string bytes = encodeLevel(level);
        std::vector<std::string> solution;
        std::string script;
        if (options.fromSolutions &&
            !(readWholeFile(sourcesFolder + "/solutions/" + sourceFileName(number), script) &&
              statesOf(script, solution))) {
            result.findings.push_back({number, 0, "the level's solution does not load"});
            continue;
        }
        for (int32_t k = 0; k < options.seeds; ++k) {
            const uint32_t seed = options.firstSeed + static_cast<uint32_t>(k);
            std::remove(reportPath.c_str());
            std::remove(logPath.c_str());
            std::fflush(nullptr);
            const pid_t child = fork();
            if (child == 0) {
                runChild(workFolder, reportPath, number, bytes, seed, options.frames, solution);
                std::fflush(nullptr);
                _exit(0);
            }
            int status = 0;
            if (child < 0 || waitpid(child, &status, 0) != child) {
                result.findings.push_back({number, seed, "the play could not be started"});
                continue;
            }
            const ChildReport report = readReport(reportPath);
            ++result.plays;
            result.frames += report.frames;
            result.wins += report.wins;
            result.losses += report.losses;
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                const std::string how = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                                          : "signal " + std::to_string(WTERMSIG(status));
                result.findings.push_back({number, seed, "the play ended the program (" + how + ")"});
            }
            std::string log;
            if (readWholeFile(logPath, log) && !log.empty()) {
                result.findings.push_back({number, seed, "the error log holds: " + log});
            }
            for (const std::string& f : report.faults) result.findings.push_back({number, seed, f});
            if (options.verbose) {
                std::fprintf(stderr, "level %d seed %u: %lld frames, %lld won, %lld lost\n", number, seed,
                             static_cast<long long>(report.frames), static_cast<long long>(report.wins),
                             static_cast<long long>(report.losses));
            }
        }
    }
    return result;
}

}  // namespace levels
