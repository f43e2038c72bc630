// OpenFileDialog: the system's dialog for choosing a file to open or a name
// to save under, shown through the dialog service of src/platform.
//
// The filter text is "description|pattern|description|pattern..." (patterns
// of one entry separated by ";"); an empty part ends the list, and a text
// longer than 1,022 characters is cut there. While the dialog is open the
// game's window is hidden and out of full screen; afterwards the working
// directory is what it was before, whatever the dialog did, and the window,
// the input devices and the sound device are set up again (full screen: the
// display mode again and five frames to settle).
//
// Where no dialog can be shown (no dialog program, no display) the answer is
// "NO_FILE", as on cancel, and the error log says so once.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// open not 0: a dialog for opening; 0: for saving. The chosen name with "/"
// separators, or "NO_FILE" when the dialog was cancelled, failed or could not
// be shown, or the name has 1,024 characters or more.
RtString OpenFileDialog(int32_t open, const RtString& filter);
