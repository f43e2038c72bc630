// Routines of the program called by their names, and the loop function.
//
// The program pairs its optional routines with names in one table
// ("VNT_ON_LOOP", "VNT_ON_QUIT", "VNT_WIN32_MSG", "VNT_ON_PAUSE",
// "VNT_ON_RESUME"); a name that is not there is skipped, never an error.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

using NamedRoutineFunction = double (*)();  // the result is ignored

struct NamedRoutine {
    NamedRoutineFunction routine;  // null ends the table
    const char* name;
};

// The program's table, ended by a row whose routine is null. It is empty
// until the program puts its own in place.
extern const NamedRoutine* namedRoutineTable;

// The loop function that runs now, and the one to switch to once the running
// routine returns. Both empty at start.
extern RtString loopFunctionName;
extern RtString pendingLoopFunctionName;

// The first row whose name has exactly the bytes of `name` (case counts);
// null when there is none.
NamedRoutineFunction findFunctionByName(const RtString& name);

// Calls the routine and gives 1; gives 0 when there is none, after sending
// "TXCALLBYNAME \"<name>\" *** failed ***\n" to an attached debugger (not for
// "VNT_ON_QUIT" and "VNT_WIN32_MSG", which programs often leave out).
int32_t CallByName(const RtString& name);

// Runs the named routine again and again until it asks for another one (or
// for none) by calling this function itself; the switch happens once the
// running call has returned. Called from outside a loop routine it starts
// the loop and returns when the loop ends or a name is not found.
void setLoopFunctionName(const RtString& name);
