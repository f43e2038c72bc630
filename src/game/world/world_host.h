// What the game world asks of the device bridge, in one place: media files
// made ready for opening, controller actions, lost textures. The sounds are
// in game_sounds.h.
#pragma once
#include "runtime/strings/rt_string.h"

// Hands a copy of the name to the media resolver (which on its first call
// makes the media folder the working directory); the name is then opened as
// it stands.
void prepareMediaFile(const RtString& name);
// The value of a named action of player 0; 0 when not pressed.
double controllerValue(const char* action);
// Buttons count as pressed when their value is not 0.
bool buttonPressed(const char* action);
// Fetches fresh controller state ("Update"), once per frame after EndFrame,
// and notes the buttons now up for the screens (screen_buttons.h).
void refreshControllerState();
// True when the host reports that the textures were lost.
bool hostLostTextures();
