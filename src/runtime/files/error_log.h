// The runtime's diagnostic file, "ErrorLog.txt" in the temporary folder.
//
// Each append writes exactly the caller's bytes, adding no line end (callers
// end their lines with "\n"); a null text is written as "NULL". The file is
// opened anew for every append and closed again, so no handle stays open
// between calls; the text goes in one write, so appends of several programs
// at once each land whole. Failures are
// silent and nothing here records an error code or ends the program, so the
// log can be written on the way out of a fatal error. Only a regular file
// that the user owns is written, and the open never waits (a FIFO of the
// log's name is passed over).
#pragma once
#include "runtime/strings/rt_string.h"

// The temporary folder (see temp_folder.h) + "ErrorLog.txt", built anew per call.
RtString errorLogPath();
// Appends the text; a null pointer is written as "NULL", an empty text
// creates the file when missing and writes nothing.
void appendToErrorLog(const char* text);
// A load that failed, named so that a user can find the file: the line
// `what` + ": " + the path as pathForMessages gives it (file_paths.h) + "\n".
void logFileFailure(const char* what, const char* name);
// Engine start-up: deletes the log (or an empty directory of its name) and
// starts it again with "Start new log...\n"; from then on the platform
// layer's lines (platform/log_sink.h) go to the log too.
void recreateErrorLog();
