// What the player must mend before the game can run as it should (a missing
// Media folder, pictures that did not load, a level that cannot be started):
// the error log gets the line, and standard error gets it with the log's
// path, so a game started from a terminal says what went wrong rather than
// only showing a bare window. The runtime's own lines ("Image failed: ...")
// stay in the log, which names each file.
#pragma once
#include "runtime/strings/rt_string.h"

// The line (without a line end) to the error log, and to standard error
// followed by " (error log: <its path>)".
void tellPlayer(const RtString& line);
