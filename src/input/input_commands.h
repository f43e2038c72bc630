// The key, mouse, joystick and typed-character commands that game code calls.
// They read the one input object of the engine state; before the engine has
// started (or after it has stopped) every reading is 0.
#pragma once
#include <cstdint>

// 1 while the key with that scan code is down, else 0 (1 Escape, 57 Space).
int32_t ReadKeyState(int32_t scanCode);
// The mouse position in the picture's pixels (mapped by the screen
// orientation and any scaling of the window) and the two buttons (1 while
// held). Null out-parameters are skipped.
void ReadMouseState(int32_t* x, int32_t* y, int32_t* left, int32_t* right);
void ReadMouseStateFloat(double* x, double* y, double* left, double* right);
// Motion and wheel steps since the last call of this command.
void ReadMouseMotion(int32_t* dx, int32_t* dy, int32_t* wheel);
// The oldest typed character waiting (0 when none), and forgetting them all.
int32_t ReadTypedChar();
void ClearTypedChars();
// Joysticks: how many; an axis as -1.0 (left, up) to 1.0 (right, down);
// 1 while a button (from 0) is held; the first hat in hundredths of a degree
// clockwise from up, -1 when centred. A joystick, axis or button that does
// not exist reads 0 (the hat -1).
int32_t CountJoysticks();
double ReadJoystickAxis(int32_t joystick, int32_t axis);
int32_t ReadJoystickButton(int32_t joystick, int32_t button);
int32_t ReadJoystickPov(int32_t joystick);
