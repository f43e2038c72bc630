// The desktop device layer: the program's default transport.
//   "JoyUpdateKeys": the controller state of the keyboard and the first
//     joystick (desktop_controls.h).
//   "addSound:<number>:<path>": loads the WAV file as a sound of its own and
//     answers its handle ("-1" when it did not load); the number is not used,
//     so sounds registered under one shared number stay distinct.
//   "playSound:<handle>:<a>:<volume>": plays the sound at volume 0..1,
//     overlapping plays allowed; "1" when it played, else "0". a is not used.
//   "sampleCount:": the sounds still loading, "0" (sounds load at once).
//   "playMusic:<path>:<volume>:<loop>": streams the OGG file, looping when
//     the last number is not 0; "1" when it plays, else "0".
//   "setMusicVolume:<volume>": the music's volume 0..1 at once; "1".
// Every other request answers "0", as a device without that service does.
// Depends on the input object and the desktop sounds and music (src/sound).
#pragma once
#include "game/bridge/device_transport.h"

class DesktopDevice : public DeviceTransport {
public:
    RtString answer(const RtString& request) override;
};
