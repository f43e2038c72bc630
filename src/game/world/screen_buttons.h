// The buttons a screen may act on. A button held when a screen opens belongs
// to the screen before it (the press that left it, or a key still held
// through a page that reads none), so a screen takes a button only once it
// has seen that button released since it opened. The menus, the pages and
// the credits all read their buttons here; the in-game loop reads them as
// they stand (world_host.h).
//
// The buttons are watched at every "Update" (refreshControllerState), so a
// release counts even in a frame in which the screen did not ask, as during
// a cool-down.
#pragma once

// A screen opens (and the title menu opens again when the credits return
// into it): every button held in the controller state now waits for its
// release.
void openScreenButtons();
// True while the button ("b1", "b2", "b3", "b9" or "b10") is down and has
// been seen up since the screen opened. Any other name reads as it stands.
bool screenButtonPressed(const char* button);
// Notes the buttons that are up in the controller state just fetched.
void watchScreenButtons();
