// The mouse button edge tracker: the levels of the first two buttons turned
// into events, once per frame: MOUSE_HIT[i] is 2 in the update in which
// button i went down, 1 while it stays down, -1 in the update in which it
// came up, 0 while it stays up.
#pragma once
#include <cstdint>

double UpdateMouseButtons();
// MOUSE_HIT[button] as a number, a negative button counting from the end.
double MouseHit(int32_t button);
