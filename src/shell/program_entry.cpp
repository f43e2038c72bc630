// The process entry over the program's hooks and the engine start-up.
#include "shell/program_entry.h"

#include "runtime/engine/orderly_end.h"
#include "runtime/engine/project_hooks.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/process_strings.h"
#include "runtime/services/runtime_error.h"
#include "shell/engine_startup.h"

namespace {

std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') out.append(backslashes * 2 + 1, '\\');
        else out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

}  // namespace

std::string joinCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 0; i < argc && argv && argv[i]; ++i) {
        if (i > 0) line += ' ';
        line += quoted(argv[i]);
    }
    return line;
}

int runProgram(int argc, char** argv, const ProjectHooks& hooks) {
    projectHooks = hooks;
    RtErrorCode = 0;
    errorLine = 0;
    currentLine = 0;
    setCommandLineString(joinCommandLine(argc, argv).c_str());
    if (projectHooks.applyProjectSettings) projectHooks.applyProjectSettings();
    startEngine(projectNameString());
    if (projectHooks.gameMain) projectHooks.gameMain();
    RtString loopName("VNT_ON_LOOP");
    if (findFunctionByName(loopName)) setLoopFunctionName(loopName);
    setRuntimeError(0);
    terminateProgramAndExit();
}
