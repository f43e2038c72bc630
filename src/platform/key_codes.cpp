// The one table from SDL scancodes to the keyboard scan codes of key_codes.h.
// Depends on SDL's scancode numbering only.
#include "platform/key_codes.h"

#include <SDL_scancode.h>

#include <array>

namespace platform {
namespace {

struct KeyRow {
    SDL_Scancode platformKey;
    uint8_t scanCode;
};

// Every scan code of key_codes.h appears here once. SDL's "non-US hash" sits
// where the backslash key sits on ISO keyboards, so both give Backslash; the
// reverse lookup takes the first row of a code.
constexpr KeyRow keyRows[] = {
    {SDL_SCANCODE_ESCAPE, keys::Escape},
    {SDL_SCANCODE_1, keys::Digit1}, {SDL_SCANCODE_2, keys::Digit2}, {SDL_SCANCODE_3, keys::Digit3},
    {SDL_SCANCODE_4, keys::Digit4}, {SDL_SCANCODE_5, keys::Digit5}, {SDL_SCANCODE_6, keys::Digit6},
    {SDL_SCANCODE_7, keys::Digit7}, {SDL_SCANCODE_8, keys::Digit8}, {SDL_SCANCODE_9, keys::Digit9},
    {SDL_SCANCODE_0, keys::Digit0},
    {SDL_SCANCODE_MINUS, keys::Minus}, {SDL_SCANCODE_EQUALS, keys::Equals},
    {SDL_SCANCODE_BACKSPACE, keys::Backspace}, {SDL_SCANCODE_TAB, keys::Tab},
    {SDL_SCANCODE_Q, keys::Q}, {SDL_SCANCODE_W, keys::W}, {SDL_SCANCODE_E, keys::E},
    {SDL_SCANCODE_R, keys::R}, {SDL_SCANCODE_T, keys::T}, {SDL_SCANCODE_Y, keys::Y},
    {SDL_SCANCODE_U, keys::U}, {SDL_SCANCODE_I, keys::I}, {SDL_SCANCODE_O, keys::O},
    {SDL_SCANCODE_P, keys::P},
    {SDL_SCANCODE_LEFTBRACKET, keys::LeftBracket}, {SDL_SCANCODE_RIGHTBRACKET, keys::RightBracket},
    {SDL_SCANCODE_RETURN, keys::Enter}, {SDL_SCANCODE_LCTRL, keys::LeftControl},
    {SDL_SCANCODE_A, keys::A}, {SDL_SCANCODE_S, keys::S}, {SDL_SCANCODE_D, keys::D},
    {SDL_SCANCODE_F, keys::F}, {SDL_SCANCODE_G, keys::G}, {SDL_SCANCODE_H, keys::H},
    {SDL_SCANCODE_J, keys::J}, {SDL_SCANCODE_K, keys::K}, {SDL_SCANCODE_L, keys::L},
    {SDL_SCANCODE_SEMICOLON, keys::Semicolon}, {SDL_SCANCODE_APOSTROPHE, keys::Apostrophe},
    {SDL_SCANCODE_GRAVE, keys::Grave}, {SDL_SCANCODE_LSHIFT, keys::LeftShift},
    {SDL_SCANCODE_BACKSLASH, keys::Backslash}, {SDL_SCANCODE_NONUSHASH, keys::Backslash},
    {SDL_SCANCODE_Z, keys::Z}, {SDL_SCANCODE_X, keys::X}, {SDL_SCANCODE_C, keys::C},
    {SDL_SCANCODE_V, keys::V}, {SDL_SCANCODE_B, keys::B}, {SDL_SCANCODE_N, keys::N},
    {SDL_SCANCODE_M, keys::M},
    {SDL_SCANCODE_COMMA, keys::Comma}, {SDL_SCANCODE_PERIOD, keys::Period},
    {SDL_SCANCODE_SLASH, keys::Slash}, {SDL_SCANCODE_RSHIFT, keys::RightShift},
    {SDL_SCANCODE_KP_MULTIPLY, keys::NumpadMultiply}, {SDL_SCANCODE_LALT, keys::LeftAlt},
    {SDL_SCANCODE_SPACE, keys::Space}, {SDL_SCANCODE_CAPSLOCK, keys::CapsLock},
    {SDL_SCANCODE_F1, keys::F1}, {SDL_SCANCODE_F2, keys::F2}, {SDL_SCANCODE_F3, keys::F3},
    {SDL_SCANCODE_F4, keys::F4}, {SDL_SCANCODE_F5, keys::F5}, {SDL_SCANCODE_F6, keys::F6},
    {SDL_SCANCODE_F7, keys::F7}, {SDL_SCANCODE_F8, keys::F8}, {SDL_SCANCODE_F9, keys::F9},
    {SDL_SCANCODE_F10, keys::F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, keys::NumLock}, {SDL_SCANCODE_SCROLLLOCK, keys::ScrollLock},
    {SDL_SCANCODE_KP_7, keys::Numpad7}, {SDL_SCANCODE_KP_8, keys::Numpad8},
    {SDL_SCANCODE_KP_9, keys::Numpad9}, {SDL_SCANCODE_KP_MINUS, keys::NumpadMinus},
    {SDL_SCANCODE_KP_4, keys::Numpad4}, {SDL_SCANCODE_KP_5, keys::Numpad5},
    {SDL_SCANCODE_KP_6, keys::Numpad6}, {SDL_SCANCODE_KP_PLUS, keys::NumpadPlus},
    {SDL_SCANCODE_KP_1, keys::Numpad1}, {SDL_SCANCODE_KP_2, keys::Numpad2},
    {SDL_SCANCODE_KP_3, keys::Numpad3}, {SDL_SCANCODE_KP_0, keys::Numpad0},
    {SDL_SCANCODE_KP_PERIOD, keys::NumpadPeriod},
    {SDL_SCANCODE_NONUSBACKSLASH, keys::Oem102},
    {SDL_SCANCODE_F11, keys::F11}, {SDL_SCANCODE_F12, keys::F12},
    {SDL_SCANCODE_F13, keys::F13}, {SDL_SCANCODE_F14, keys::F14}, {SDL_SCANCODE_F15, keys::F15},
    {SDL_SCANCODE_INTERNATIONAL2, keys::Kana}, {SDL_SCANCODE_INTERNATIONAL1, keys::AbntC1},
    {SDL_SCANCODE_INTERNATIONAL4, keys::Convert}, {SDL_SCANCODE_INTERNATIONAL5, keys::NoConvert},
    {SDL_SCANCODE_INTERNATIONAL3, keys::Yen},
    {SDL_SCANCODE_KP_EQUALS, keys::NumpadEquals},
    {SDL_SCANCODE_AUDIOPREV, keys::PreviousTrack}, {SDL_SCANCODE_AUDIONEXT, keys::NextTrack},
    {SDL_SCANCODE_KP_ENTER, keys::NumpadEnter}, {SDL_SCANCODE_RCTRL, keys::RightControl},
    {SDL_SCANCODE_AUDIOMUTE, keys::Mute}, {SDL_SCANCODE_MUTE, keys::Mute},
    {SDL_SCANCODE_CALCULATOR, keys::Calculator}, {SDL_SCANCODE_AUDIOPLAY, keys::PlayPause},
    {SDL_SCANCODE_AUDIOSTOP, keys::MediaStop},
    {SDL_SCANCODE_VOLUMEDOWN, keys::VolumeDown}, {SDL_SCANCODE_VOLUMEUP, keys::VolumeUp},
    {SDL_SCANCODE_AC_HOME, keys::WebHome}, {SDL_SCANCODE_KP_COMMA, keys::NumpadComma},
    {SDL_SCANCODE_KP_DIVIDE, keys::NumpadDivide}, {SDL_SCANCODE_PRINTSCREEN, keys::PrintScreen},
    {SDL_SCANCODE_RALT, keys::RightAlt}, {SDL_SCANCODE_PAUSE, keys::Pause},
    {SDL_SCANCODE_HOME, keys::Home}, {SDL_SCANCODE_UP, keys::Up},
    {SDL_SCANCODE_PAGEUP, keys::PageUp}, {SDL_SCANCODE_LEFT, keys::Left},
    {SDL_SCANCODE_RIGHT, keys::Right}, {SDL_SCANCODE_END, keys::End},
    {SDL_SCANCODE_DOWN, keys::Down}, {SDL_SCANCODE_PAGEDOWN, keys::PageDown},
    {SDL_SCANCODE_INSERT, keys::Insert}, {SDL_SCANCODE_DELETE, keys::Delete},
    {SDL_SCANCODE_LGUI, keys::LeftSystem}, {SDL_SCANCODE_RGUI, keys::RightSystem},
    {SDL_SCANCODE_APPLICATION, keys::Menu}, {SDL_SCANCODE_POWER, keys::Power},
    {SDL_SCANCODE_SLEEP, keys::Sleep},
    {SDL_SCANCODE_AC_SEARCH, keys::WebSearch}, {SDL_SCANCODE_AC_BOOKMARKS, keys::WebFavorites},
    {SDL_SCANCODE_AC_REFRESH, keys::WebRefresh}, {SDL_SCANCODE_AC_STOP, keys::WebStop},
    {SDL_SCANCODE_AC_FORWARD, keys::WebForward}, {SDL_SCANCODE_AC_BACK, keys::WebBack},
    {SDL_SCANCODE_COMPUTER, keys::MyComputer}, {SDL_SCANCODE_MAIL, keys::Mail},
    {SDL_SCANCODE_MEDIASELECT, keys::MediaSelect},
};

struct Tables {
    std::array<uint8_t, SDL_NUM_SCANCODES> scanCodeOf{};
    std::array<uint16_t, 256> platformKeyOf{};
};

constexpr Tables buildTables() {
    Tables t;
    for (const KeyRow& row : keyRows) {
        t.scanCodeOf[row.platformKey] = row.scanCode;
        if (t.platformKeyOf[row.scanCode] == 0) t.platformKeyOf[row.scanCode] = row.platformKey;
    }
    return t;
}

constexpr Tables tables = buildTables();

}  // namespace

uint8_t scanCodeOfPlatformKey(int platformKey) {
    if (platformKey < 0 || platformKey >= SDL_NUM_SCANCODES) return 0;
    return tables.scanCodeOf[platformKey];
}

int platformKeyOfScanCode(uint8_t scanCode) { return tables.platformKeyOf[scanCode]; }

}  // namespace platform
