// The game's device requests: controller state, media paths, sound and
// music, button layout, memory, texture reload, device identity and screen
// orientation, each formed as a text and sent through the installed device
// transport (device_transport.h). Like every game routine each returns a
// number (0.0 when it has nothing to return) or a text.
//
// Numbers inside request texts are written as the string value writes a
// double ("0.5", "3", "1e-002"). Volumes are held to 0..1 before they are
// sent; a NaN volume is sent as 0.
// Main thread only.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// A sound registered with the device: the number the game gave it, as text,
// and the device's reply, which names the sound when it is played.
struct DeviceSound {
    RtString number;
    RtString reply;
};

// The music: the device's last reply to "playMusic:".
struct DeviceMusic {
    RtString reply;
};

// The device's identity texts, filled by ReadDeviceInfo; "0" each when the
// device does not give them.
struct DeviceInfo {
    RtString model;
    RtString manufacture;
    RtString device;
    RtString product;
};
extern DeviceInfo deviceInfo;

// Media. The path "Media/" + name. On the first call, unless the working
// directory is the media folder already (media_path.h), its sub-folder
// "Media" becomes the working directory (later calls do not try again), so
// that plain names opened afterwards lie in the media folder; the error log
// gets "Media folder: " and the folder's path.
RtString ResolveMediaPath(const RtString& name);

// Controller. "Update" sends "JoyUpdateKeys" and keeps the reply for the
// queries that follow (0.0). Any other action is looked up in the kept
// reply: its number, 0 when the reply does not name it. The kept reply
// describes player 0; every other player reads 0.
double GetControllerValue(const char* action, int32_t player);
double GetControllerValue(const RtString& action, int32_t player);
// The reply kept by the last "Update" (empty before the first).
const RtString& keptControllerState();

// Sounds and music.
// "playSound:" + the record's reply + ":" + a + ":" + volume; the reply is ignored.
double HostPlaySound(const DeviceSound& sound, double a, double volume);
// "addSound:" + number + ":" + path; the record keeps the number's text and the reply.
double HostAddSound(DeviceSound& sound, double number, const RtString& path);
// "sampleCount:" again and again until its reply reads 0 as an integer; the
// argument is not used.
double HostWaitForSamples(double unused);
// "playMusic:" + path + ":" + volume + ":" + b; the record keeps the reply,
// and "Result: " + reply goes to the debug-print routine.
double HostPlayMusic(DeviceMusic& music, const RtString& path, double volume, double b);
// "setMusicVolume:" + volume (0..1).
double HostSetMusicVolume(DeviceMusic& music, double volume);

// The rest of the host.
// "JoySetButtonLayout:" + layout, pairs "action=label" separated by ";".
double HostSetButtonLayout(const RtString& layout);
// "memory:check" after the named file was loaded (the name is not sent).
double HostCheckMemory(const RtString& name);
// 1.0 when the reply to "isReloadTextures:" is "true" or "TRUE": the
// textures were lost and the images must be loaded again; else 0.0.
double HostIsReloadTextures();
// "getdevice:info"; its reply names the fields "model", "manufacture",
// "device" and "product" ("model=...;manufacture=...;..."), each copied into
// deviceInfo, "0" for a field the reply does not name.
double ReadDeviceInfo();
// One of deviceInfo's texts by its field name; "0" for any other name.
// Reads the device once with ReadDeviceInfo when that has not run yet.
RtString HostGetDeviceInfo(const RtString& key);
// Forgets what ReadDeviceInfo read (the texts empty), so the next
// HostGetDeviceInfo reads the device again: for a process that installs
// another device, as a test program does from case to case.
void forgetDeviceInfo();
// On touch-screen and keyboard devices: "screenOrientation:", and the reply
// read as an integer becomes the screen orientation (0 to 3). Nothing on
// other devices.
double UpdateScreenOrientation();

// The debug-print routine that HostPlayMusic reports to: the game's own
// (which prints on desktops only and skips repeats) once the game installs
// it; by default the text and a line feed on standard output. Null restores
// the default.
using DebugPrintRoutine = double (*)(const RtString& text);
void setDebugPrintRoutine(DebugPrintRoutine routine);
