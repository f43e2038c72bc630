// The desktop's controller state: the game's actions read from the keyboard
// and the first joystick, written as the reply to "JoyUpdateKeys".
//
// The reply names every action once, in this order:
//   "Up", "Down", "Left", "Right": 1000 while an arrow key or W, S, A, D is
//     held; else the first joystick's stick pushed that way by more than 60 %
//     of its range, scaled to 0..1000 (601..1000); else 0.
//   "PadL_Up", "PadL_Down", "PadL_Left", "PadL_Right": 1 while the
//     joystick's first hat points that way (a diagonal counts for both
//     directions), else 0.
//   "b1": Enter, Space or Z, or joystick button 0; "b2": Escape, Backspace
//     or X, or button 1; "b3": R or C, or button 2; "b9": F9 or button 8;
//     "b10": F10 or button 9. 1 while held, else 0.
// Depends on the input object (engine state) and the input commands.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// One reading of the controls.
struct ControllerSample {
    uint8_t keys[256] = {};  // key-state bytes by scan code, 0x80 while held
    bool joystick = false;   // a first joystick is attached
    double stickX = 0.0;     // -1 (left) .. 1 (right)
    double stickY = 0.0;     // -1 (up) .. 1 (down)
    uint32_t buttons = 0;    // bit n while button n is held
    int32_t pov = -1;        // hundredths of a degree clockwise from up; -1 centred
};

// The keyboard state of the last frame end (the input object's key bytes)
// and the first joystick as it is now; all released without an input object.
ControllerSample sampleDesktopControls();
// The "JoyUpdateKeys" reply for a sample.
RtString formatControllerReply(const ControllerSample& sample);
