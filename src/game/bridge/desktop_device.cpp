// The desktop device layer: one table from request verbs to their handlers.
// Numbers inside requests are read as the runtime reads number text; paths
// may hold ":", so a path is taken whole between the fixed fields.
#include "game/bridge/desktop_device.h"

#include <cstring>
#include <string>

#include "game/bridge/desktop_controls.h"
#include "runtime/strings/number_format.h"
#include "sound/desktop_audio.h"

namespace {

// The arguments of a request: the text behind its verb.
struct Arguments {
    const char* text;
    uint32_t length;
};

// The position of the n-th ":" from the end of the arguments, or -1.
int32_t colonFromEnd(const Arguments& args, int n) {
    for (int32_t i = static_cast<int32_t>(args.length) - 1; i >= 0; --i) {
        if (args.text[i] == ':' && --n == 0) return i;
    }
    return -1;
}

RtString flag(bool value) { return RtString(value ? "1" : "0"); }

RtString controllerState(const Arguments&) { return formatControllerReply(sampleDesktopControls()); }

// <number>:<path>
RtString addSound(const Arguments& args) {
    const void* colon = std::memchr(args.text, ':', args.length);
    if (!colon) return RtString("-1");
    const char* path = static_cast<const char*>(colon) + 1;
    return RtString(static_cast<int>(addDesktopSound(path)));
}

// <handle>:<a>:<volume>
RtString playSound(const Arguments& args) {
    const int32_t volumeAt = colonFromEnd(args, 1);
    // A record that was never added sends an empty handle: it names no sound.
    if (volumeAt < 0 || args.text[0] == ':') return flag(false);
    const int32_t handle = rtstring::parseInt32Text(args.text);
    return flag(playDesktopSound(handle, rtstring::parseDoubleText(args.text + volumeAt + 1)));
}

RtString soundsLoading(const Arguments&) { return RtString(static_cast<int>(desktopSoundsLoading())); }

// <path>:<volume>:<loop>
RtString playMusic(const Arguments& args) {
    const int32_t loopAt = colonFromEnd(args, 1);
    const int32_t volumeAt = colonFromEnd(args, 2);
    if (volumeAt < 0) return flag(false);
    const std::string path(args.text, static_cast<size_t>(volumeAt));
    const double volume = rtstring::parseDoubleText(args.text + volumeAt + 1);
    const bool loop = rtstring::parseDoubleText(args.text + loopAt + 1) != 0.0;
    return flag(playDesktopMusic(path.c_str(), volume, loop));
}

RtString musicVolume(const Arguments& args) {
    setDesktopMusicVolume(rtstring::parseDoubleText(args.text));
    return flag(true);
}

struct VerbRow {
    const char* verb;  // the request's text up to its arguments
    RtString (*handle)(const Arguments&);
};

const VerbRow kVerbs[] = {
    {"JoyUpdateKeys", controllerState},
    {"addSound:", addSound},
    {"playSound:", playSound},
    {"sampleCount:", soundsLoading},
    {"playMusic:", playMusic},
    {"setMusicVolume:", musicVolume},
};

}  // namespace

RtString DesktopDevice::answer(const RtString& request) {
    for (const VerbRow& row : kVerbs) {
        const uint32_t verbLength = measureText(row.verb);
        // A verb with arguments ends in ":"; one without must be the whole request.
        const bool takesArguments = row.verb[verbLength - 1] == ':';
        const bool lengthFits = takesArguments ? request.length >= verbLength : request.length == verbLength;
        if (lengthFits && std::memcmp(request.data, row.verb, verbLength) == 0) {
            return row.handle(Arguments{request.data + verbLength, request.length - verbLength});
        }
    }
    return RtString("0");
}
