// The progress and settings file: four lines ended by CR LF at CONFIG_FILE
// (the documents folder's path followed directly by "Shoalrunner.cfg"): the
// level reached, the two overscan margins and the music volume.
#pragma once

// Reads what the file holds into LEVEL, OVERSCAN_H, OVERSCAN_V and
// MUSIC_VOLUME, then sets PLAY_MODE to 1 (also without a file). A missing
// line keeps its global's value; values are held to 0..30, 0..50 and 0..1.
double LoadConfig();
// Writes the four lines. A file that cannot be written is reported in the
// error log and play goes on.
double SaveConfig();
