// One table names every action with its keys and its joystick source; the
// sample is formatted by walking it.
#include "game/bridge/desktop_controls.h"

#include <cstring>

#include "input/input_commands.h"
#include "input/input_state.h"
#include "platform/key_codes.h"
#include "platform/keyboard_device.h"
#include "runtime/engine/engine_state.h"

namespace {

enum class Source : uint8_t { StickLeft, StickRight, StickUp, StickDown, Hat, Button };

struct ActionRow {
    const char* name;
    int32_t heldValue;  // what a held key gives
    uint8_t keyCodes[3];  // 0 ends the list
    Source source;
    int32_t sourceIndex;  // button number, or the hat's direction in hundredths of a degree
};

constexpr int32_t kDirection = 1000;
constexpr int32_t kStickThreshold = 600;  // a push counts beyond 60 % of the range

const ActionRow kActions[] = {
    {"Up", kDirection, {keys::Up, keys::W, 0}, Source::StickUp, 0},
    {"Down", kDirection, {keys::Down, keys::S, 0}, Source::StickDown, 0},
    {"Left", kDirection, {keys::Left, keys::A, 0}, Source::StickLeft, 0},
    {"Right", kDirection, {keys::Right, keys::D, 0}, Source::StickRight, 0},
    {"PadL_Up", 1, {0, 0, 0}, Source::Hat, 0},
    {"PadL_Down", 1, {0, 0, 0}, Source::Hat, 18000},
    {"PadL_Left", 1, {0, 0, 0}, Source::Hat, 27000},
    {"PadL_Right", 1, {0, 0, 0}, Source::Hat, 9000},
    {"b1", 1, {keys::Enter, keys::Space, keys::Z}, Source::Button, 0},
    {"b2", 1, {keys::Escape, keys::Backspace, keys::X}, Source::Button, 1},
    {"b3", 1, {keys::R, keys::C, 0}, Source::Button, 2},
    {"b9", 1, {keys::F9, 0, 0}, Source::Button, 8},
    {"b10", 1, {keys::F10, 0, 0}, Source::Button, 9},
};

// The joystick buttons some action reads (bits), so a sample reads no others.
constexpr uint32_t kButtonsRead = (1u << 0) | (1u << 1) | (1u << 2) | (1u << 8) | (1u << 9);

// 601..1000 for a push beyond the threshold, else 0; push 0..1 along the direction.
int32_t stickValue(double push) {
    if (!(push > 0.0)) return 0;  // also a NaN
    const int32_t scaled = push >= 1.0 ? kDirection : static_cast<int32_t>(push * kDirection);
    return scaled > kStickThreshold ? scaled : 0;
}

// True when the hat's direction lies within 45 degrees of the row's direction
// (a diagonal is 45 degrees from both of its directions).
bool hatPoints(int32_t pov, int32_t direction) {
    if (pov < 0) return false;
    int32_t difference = (pov - direction) % 36000;
    if (difference < 0) difference += 36000;
    return difference <= 4500 || difference >= 36000 - 4500;
}

int32_t joystickValue(const ControllerSample& s, const ActionRow& row) {
    if (!s.joystick) return 0;
    switch (row.source) {
    case Source::StickLeft: return stickValue(-s.stickX);
    case Source::StickRight: return stickValue(s.stickX);
    case Source::StickUp: return stickValue(-s.stickY);
    case Source::StickDown: return stickValue(s.stickY);
    case Source::Hat: return hatPoints(s.pov, row.sourceIndex) ? 1 : 0;
    case Source::Button: return (s.buttons >> row.sourceIndex) & 1u;
    }
    return 0;
}

bool anyKeyHeld(const ControllerSample& s, const ActionRow& row) {
    for (uint8_t code : row.keyCodes) {
        if (code != 0 && (s.keys[code] & platform::kKeyDownBit)) return true;
    }
    return false;
}

}  // namespace

ControllerSample sampleDesktopControls() {
    ControllerSample s;
    InputState* input = engine.input;
    if (!input) return s;
    static_assert(sizeof s.keys == sizeof input->keyState);
    std::memcpy(s.keys, input->keyState, sizeof s.keys);
    if (CountJoysticks() < 1) return s;
    s.joystick = true;
    s.stickX = ReadJoystickAxis(0, 0);
    s.stickY = ReadJoystickAxis(0, 1);
    for (int32_t b = 0; b < 32; ++b) {
        if (((kButtonsRead >> b) & 1u) && ReadJoystickButton(0, b)) s.buttons |= 1u << b;
    }
    s.pov = ReadJoystickPov(0);
    return s;
}

RtString formatControllerReply(const ControllerSample& sample) {
    RtString reply;
    reply.reserve(160, false);  // the whole reply is about 130 bytes: one allocation
    for (const ActionRow& row : kActions) {
        if (!reply.isEmpty()) reply.appendChar(';');
        reply += row.name;
        reply.appendChar('=');
        const int32_t fromKeys = anyKeyHeld(sample, row) ? row.heldValue : 0;
        const int32_t fromJoystick = joystickValue(sample, row);
        reply += fromKeys > fromJoystick ? fromKeys : fromJoystick;
    }
    return reply;
}
