// Callbacks by name and the loop function. Depends on the debugger lines.
#include "runtime/services/callbacks.h"

#include <cstring>

#include "runtime/services/debug_output.h"

namespace {
const NamedRoutine emptyTable[] = {{nullptr, nullptr}};
}  // namespace

const NamedRoutine* namedRoutineTable = emptyTable;
RtString loopFunctionName;
RtString pendingLoopFunctionName;

NamedRoutineFunction findFunctionByName(const RtString& name) {
    if (!namedRoutineTable) return nullptr;
    for (const NamedRoutine* row = namedRoutineTable; row->routine; ++row) {
        if (name.length == measureText(row->name) &&
            (name.length == 0 || std::memcmp(name.data, row->name, name.length) == 0))
            return row->routine;
    }
    return nullptr;
}

int32_t CallByName(const RtString& name) {
    if (NamedRoutineFunction routine = findFunctionByName(name)) {
        routine();
        return 1;
    }
    if (!name.equals("VNT_ON_QUIT") && !name.equals("VNT_WIN32_MSG")) {
        RtString line = "CALLBYNAME \"" + name + "\" *** failed ***\n";
        debugOutput(line);
    }
    return 0;
}

void setLoopFunctionName(const RtString& name) {
    if (!loopFunctionName.isEmpty()) {
        // Called from inside the running routine: the runner below switches
        // once that routine has returned.
        pendingLoopFunctionName = name;
        loopFunctionName.clear();
        return;
    }
    pendingLoopFunctionName.clear();
    loopFunctionName = name;
    while (!loopFunctionName.isEmpty()) {
        NamedRoutineFunction routine = findFunctionByName(loopFunctionName);
        if (!routine) return;
        do {
            routine();
        } while (!loopFunctionName.isEmpty());
        loopFunctionName = pendingLoopFunctionName;
    }
}
