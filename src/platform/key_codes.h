// Keyboard scan codes: the numbers that key commands take and the key-state
// bytes are indexed by. They are the classic PC set-1 scan codes with the
// extended keys at 0x80 + code, the numbering game code was written against
// (1 Escape, 57 Space, 28 Enter, 200/203/205/208 the arrows).
//
// One table in key_codes.cpp maps the platform's keys to these codes; every
// code named here must have its row there (and the reverse lookup follows
// from the same rows).
#pragma once
#include <cstdint>

namespace keys {
enum : uint8_t {
    Escape = 0x01, Digit1 = 0x02, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    Digit0 = 0x0B, Minus = 0x0C, Equals = 0x0D, Backspace = 0x0E, Tab = 0x0F,
    Q = 0x10, W, E, R, T, Y, U, I, O, P, LeftBracket = 0x1A, RightBracket = 0x1B,
    Enter = 0x1C, LeftControl = 0x1D,
    A = 0x1E, S, D, F, G, H, J, K, L, Semicolon = 0x27, Apostrophe = 0x28, Grave = 0x29,
    LeftShift = 0x2A, Backslash = 0x2B,
    Z = 0x2C, X, C, V, B, N, M, Comma = 0x33, Period = 0x34, Slash = 0x35,
    RightShift = 0x36, NumpadMultiply = 0x37, LeftAlt = 0x38, Space = 0x39, CapsLock = 0x3A,
    F1 = 0x3B, F2, F3, F4, F5, F6, F7, F8, F9, F10 = 0x44,
    NumLock = 0x45, ScrollLock = 0x46,
    Numpad7 = 0x47, Numpad8 = 0x48, Numpad9 = 0x49, NumpadMinus = 0x4A,
    Numpad4 = 0x4B, Numpad5 = 0x4C, Numpad6 = 0x4D, NumpadPlus = 0x4E,
    Numpad1 = 0x4F, Numpad2 = 0x50, Numpad3 = 0x51, Numpad0 = 0x52, NumpadPeriod = 0x53,
    Oem102 = 0x56, F11 = 0x57, F12 = 0x58, F13 = 0x64, F14 = 0x65, F15 = 0x66,
    Kana = 0x70, AbntC1 = 0x73, Convert = 0x79, NoConvert = 0x7B, Yen = 0x7D,
    NumpadEquals = 0x8D, PreviousTrack = 0x90, NextTrack = 0x99, NumpadEnter = 0x9C,
    RightControl = 0x9D, Mute = 0xA0, Calculator = 0xA1, PlayPause = 0xA2, MediaStop = 0xA4,
    VolumeDown = 0xAE, VolumeUp = 0xB0, WebHome = 0xB2, NumpadComma = 0xB3,
    NumpadDivide = 0xB5, PrintScreen = 0xB7, RightAlt = 0xB8, Pause = 0xC5,
    Home = 0xC7, Up = 0xC8, PageUp = 0xC9, Left = 0xCB, Right = 0xCD, End = 0xCF,
    Down = 0xD0, PageDown = 0xD1, Insert = 0xD2, Delete = 0xD3,
    LeftSystem = 0xDB, RightSystem = 0xDC, Menu = 0xDD, Power = 0xDE, Sleep = 0xDF,
    WebSearch = 0xE5, WebFavorites = 0xE6, WebRefresh = 0xE7, WebStop = 0xE8,
    WebForward = 0xE9, WebBack = 0xEA, MyComputer = 0xEB, Mail = 0xEC, MediaSelect = 0xED,
};
}  // namespace keys

namespace platform {

// The scan code of a platform key number (an SDL scancode); 0 for a key that
// has no scan code, and for numbers outside the platform's range.
uint8_t scanCodeOfPlatformKey(int platformKey);
// The platform key number of a scan code; 0 when no platform key gives it.
int platformKeyOfScanCode(uint8_t scanCode);

}  // namespace platform
