// The event pump over SDL2's event queue: translation both ways, and the
// keyboard and mouse devices fed on the way through.
#include "platform/event_pump.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/key_codes.h"
#include "platform/keyboard_device.h"
#include "platform/mouse_device.h"

namespace platform {
namespace {

void translate(const SDL_Event& e, Event& out) {
    out = Event{};
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        bool down = e.type == SDL_KEYDOWN;
        out.kind = down ? EventKind::KeyDown : EventKind::KeyUp;
        out.scanCode = scanCodeOfPlatformKey(e.key.keysym.scancode);
        out.repeat = e.key.repeat != 0;
        if (out.scanCode) setKeyboardDeviceKey(out.scanCode, down);
        break;
    }
    case SDL_TEXTINPUT:
        out.kind = EventKind::Text;
        std::snprintf(out.text, sizeof out.text, "%s", e.text.text);
        break;
    case SDL_MOUSEMOTION:
        out.kind = EventKind::MouseMotion;
        out.x = e.motion.x;
        out.y = e.motion.y;
        out.dx = e.motion.xrel;
        out.dy = e.motion.yrel;
        mouseDeviceMoved(out.x, out.y, out.dx, out.dy);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        out.kind = down ? EventKind::MouseButtonDown : EventKind::MouseButtonUp;
        out.button = e.button.button;
        out.x = e.button.x;
        out.y = e.button.y;
        mouseDeviceButton(out.button, down, out.x, out.y);
        break;
    }
    case SDL_MOUSEWHEEL: {
        int sign = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        out.kind = EventKind::MouseWheel;
        out.dx = e.wheel.x * sign;
        out.dy = e.wheel.y * sign;
        mouseDeviceWheel(out.dy);
        break;
    }
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.kind = EventKind::FocusGained; break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = EventKind::FocusLost;
            releaseAllKeyboardKeys();
            resetMouseDevice();
            break;
        case SDL_WINDOWEVENT_CLOSE: out.kind = EventKind::CloseRequested; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.kind = EventKind::Resized;
            out.x = e.window.data1;
            out.y = e.window.data2;
            break;
        default: break;
        }
        break;
    case SDL_QUIT: out.kind = EventKind::CloseRequested; break;
    default: break;
    }
}

}  // namespace

bool pollEvent(Event& out) {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    translate(e, out);
    return true;
}

bool waitEvent(Event& out, int32_t timeoutMillis) {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, timeoutMillis < 0 ? 0 : timeoutMillis)) return false;
    translate(e, out);
    return true;
}

bool pushEvent(const Event& event) {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.common.timestamp = SDL_GetTicks();
    switch (event.kind) {
    case EventKind::KeyDown:
    case EventKind::KeyUp:
        e.type = event.kind == EventKind::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = event.kind == EventKind::KeyDown ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = event.repeat ? 1 : 0;
        e.key.keysym.scancode = static_cast<SDL_Scancode>(platformKeyOfScanCode(event.scanCode));
        e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
        break;
    case EventKind::Text:
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", event.text);
        break;
    case EventKind::MouseMotion:
        e.type = SDL_MOUSEMOTION;
        e.motion.x = event.x;
        e.motion.y = event.y;
        e.motion.xrel = event.dx;
        e.motion.yrel = event.dy;
        break;
    case EventKind::MouseButtonDown:
    case EventKind::MouseButtonUp:
        e.type = event.kind == EventKind::MouseButtonDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.state = event.kind == EventKind::MouseButtonDown ? SDL_PRESSED : SDL_RELEASED;
        e.button.button = static_cast<Uint8>(event.button);
        e.button.clicks = 1;
        e.button.x = event.x;
        e.button.y = event.y;
        break;
    case EventKind::MouseWheel:
        e.type = SDL_MOUSEWHEEL;
        e.wheel.x = event.dx;
        e.wheel.y = event.dy;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        break;
    case EventKind::FocusGained:
    case EventKind::FocusLost:
    case EventKind::CloseRequested:
    case EventKind::Resized:
        e.type = SDL_WINDOWEVENT;
        e.window.event = event.kind == EventKind::FocusGained  ? SDL_WINDOWEVENT_FOCUS_GAINED
                         : event.kind == EventKind::FocusLost  ? SDL_WINDOWEVENT_FOCUS_LOST
                         : event.kind == EventKind::Resized    ? SDL_WINDOWEVENT_SIZE_CHANGED
                                                               : SDL_WINDOWEVENT_CLOSE;
        e.window.data1 = event.x;
        e.window.data2 = event.y;
        break;
    case EventKind::Other:
        return false;
    }
    return SDL_PushEvent(&e) == 1;
}

}  // namespace platform
