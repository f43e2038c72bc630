// Notices to the player. Depends on the error log and the console streams.
#include "game/world/player_notice.h"

#include "runtime/files/error_log.h"
#include "runtime/services/console.h"

void tellPlayer(const RtString& line) {
    appendToErrorLog((line + "\n").data);
    printToStderr(line + " (error log: " + errorLogPath() + ")\n");
}
