// The window procedure over the platform's event records. Depends on the
// input object, the 2-D context, the pause flags, callbacks by name and the
// orderly end.
#include "shell/window_messages.h"

#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/runtime_error.h"

namespace {

// Keys that type a control character as well (Enter, Backspace, Tab, Escape).
uint8_t controlCharacterOf(uint8_t scanCode) {
    switch (scanCode) {
    case keys::Enter:
    case keys::NumpadEnter: return 13;
    case keys::Backspace: return 8;
    case keys::Tab: return 9;
    case keys::Escape: return 27;
    default: return 0;
    }
}

// Next code point of a UTF-8 text; -1 for a malformed sequence (skipped).
int32_t nextCodePoint(const unsigned char*& p) {
    unsigned char c = *p++;
    if (c < 0x80) return c;
    int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0) return -1;
    int32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((*p & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (*p++ & 0x3F);
    }
    return cp;
}

}  // namespace

int32_t queueTypedText(const char* utf8) {
    InputState* input = engine.input;
    if (!input || !utf8) return 0;
    int32_t queued = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        int32_t cp = nextCodePoint(p);
        if (cp < 0) continue;
        if (input->typedChars.push(static_cast<uint8_t>(cp <= 255 ? cp : '?'))) ++queued;
    }
    return queued;
}

void handleWindowEvent(const platform::Event& e) {
    // The program's window-message hook sees every message first (a missing
    // hook is skipped without a word).
    static const RtString messageHook("VNT_WIN32_MSG");
    CallByName(messageHook);
    switch (e.kind) {
    case platform::EventKind::FocusLost:
        if (!displaySettings.debug) setPaused(1);
        break;
    case platform::EventKind::FocusGained:
        if (!displaySettings.debug) setPaused(0);
        break;
    case platform::EventKind::CloseRequested:
        setRuntimeError(0);
        terminateProgram();
        break;
    case platform::EventKind::Text:
        queueTypedText(e.text);
        break;
    case platform::EventKind::KeyDown:
        if (uint8_t c = controlCharacterOf(e.scanCode); c && engine.input) engine.input->typedChars.push(c);
        break;
    case platform::EventKind::Resized:
        if (engine.graphics2D) engine.graphics2D->windowResized();
        break;
    default:
        break;
    }
}

int32_t pumpWindowMessages() {
    int32_t handled = 0;
    platform::Event e;
    while (platform::pollEvent(e)) {
        handleWindowEvent(e);
        ++handled;
    }
    return handled;
}
