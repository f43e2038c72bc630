// The progress and settings file: four lines ended by CR LF at CONFIG_FILE
// (the documents folder's path followed directly by "Shoalrunner.cfg"): the
// level reached, the two overscan margins and the music volume.
#pragma once
#include "runtime/strings/rt_string.h"

// The path of the file from the platform information "DOCUMENTS": the
// documents folder's path followed directly by "Shoalrunner.cfg". Where the
// folder is unknown ("NO_DATA", or an empty text) the file lies beside the
// program, "Shoalrunner.cfg" in the program's folder, and the error log says
// so.
RtString configFilePath(const RtString& documents);

// Reads what the file holds into LEVEL, OVERSCAN_H, OVERSCAN_V and
// MUSIC_VOLUME, then sets PLAY_MODE to 1 (also without a file). A missing
// line, or one that is not a decimal number (blanks around it, a sign, a
// point and an exponent allowed; whole settings cut toward zero), keeps its
// global's value; values are held to 0..30, 0..50 and 0..1. A file that is
// there but busy (another instance is saving it) is waited for, about 1 s at
// most; one still not readable then is noted in the error log, and this run
// saves nothing over it until a load reads it.
double LoadConfig();
// Writes the four lines. A file that cannot be written is reported in the
// error log and play goes on. While the level editor's session is open it
// writes nothing: LEVEL is then the level being edited, not the progress;
// nor after a load that could not read the file (above).
double SaveConfig();
// The same for the options screen: the margins and the volume, with the
// level line kept as the file holds it (LEVEL only when there is no file),
// so that a visit to the options never changes the level reached.
double SaveSettings();

// The level editor's session, from its opening on the title menu to the
// return to the title menu, TEST runs and their ending included. Opening
// keeps the player's level (LEVEL) aside; closing puts it back. Opening an
// open session or closing a closed one does nothing.
void OpenEditorSession();
void CloseEditorSession();
