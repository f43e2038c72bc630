// What OpenFileDialog sets up again around the dialog, reached through hooks
// that the layers owning each part register: the 2-D context (the window and
// its display mode), the input object (its level, cursor and device window),
// the sound system (the device's window) and the shell (a frame end). A
// layer sets its hooks when its object is made and clears them when the
// object goes; a null hook means the part is not there and is skipped.
#pragma once
#include <cstdint>

struct FileDialogHooks {
    // Before the dialog: the window out of full screen and hidden.
    void (*leaveFullscreen)();
    // After it, for a windowed program: the window windowed again.
    void (*restoreWindowed)();
    // After it, for a full-screen program: the display mode of this size again.
    void (*restoreFullScreen)(int32_t width, int32_t height);
    // The window the devices attach to; null without one.
    const void* (*deviceWindow)();
    // The input object's level and cursor for its mouse mode, and its device window.
    void (*restoreInput)();
    // The sound device's priority level for the window.
    void (*restoreSoundLevel)(const void* window);
    // One frame end and the 2-D render state after it, while the display settles.
    void (*settleFrame)();
};

extern FileDialogHooks fileDialogHooks;  // all null at start
