// The sound and music requests. Volumes are held to 0..1 (a NaN to 0) before
// they are written into a request.

#include "game/bridge/device_requests.h"
#include "game/bridge/device_transport.h"
#include "runtime/services/console.h"

namespace {

double volumeBetweenLimits(double volume) {
    if (!(volume >= 0.0)) return 0.0;  // below 0, and a NaN
    return volume > 1.0 ? 1.0 : volume;
}

double printToStdout(const RtString& text) {
    PrintToStdout(text + "\n");
    return 0.0;
}

DebugPrintRoutine debugPrint = printToStdout;

}  // namespace

void setDebugPrintRoutine(DebugPrintRoutine routine) { debugPrint = routine ? routine : printToStdout; }

double HostPlaySound(const DeviceSound& sound, double a, double volume) {
    RtString request("playSound:");
    request += sound.reply;
    request += ":";
    request += a;
    request += ":";
    request += volumeBetweenLimits(volume);
    sendDeviceRequest(request);
    return 0.0;
}

double HostAddSound(DeviceSound& sound, double number, const RtString& path) {
    sound.number = RtString(number);
    RtString request("addSound:");
    request += sound.number;
    request += ":";
    request += path;
    sound.reply = sendDeviceRequest(request);
    return 0.0;
}

double HostWaitForSamples(double) {
    static const RtString request("sampleCount:");
    while (sendDeviceRequest(request).toInt() != 0) {
    }
    return 0.0;
}

double HostPlayMusic(DeviceMusic& music, const RtString& path, double volume, double b) {
    RtString request("playMusic:");
    request += path;
    request += ":";
    request += volumeBetweenLimits(volume);
    request += ":";
    request += b;
    music.reply = sendDeviceRequest(request);
    debugPrint("Result: " + music.reply);
    return 0.0;
}

double HostSetMusicVolume(DeviceMusic&, double volume) {
    RtString request("setMusicVolume:");
    request += volumeBetweenLimits(volume);
    sendDeviceRequest(request);
    return 0.0;
}
