// The host's screen-size notice and two small commands over the display
// settings and the 2-D context.
#pragma once
#include <cstdint>

// Logs "vnt_notify_screen_size <w>x<h>\n", then stores the size into the host
// screen-size pair, the display settings and, when it exists, the 2-D context.
void notifyScreenSize(int32_t width, int32_t height);
// The window size of the display settings into each out-parameter that is
// not null.
void GetDisplaySize(int32_t* width, int32_t* height);
// Moves the sprites' pixels to temporary files (flag not 0) or back (0);
// 1 when the 2-D context reports success, 0 otherwise (also without one).
int32_t MoveTexturesToTempFiles(int32_t flag);
