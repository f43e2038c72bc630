// InputState, the one input object: the keyboard's state bytes by scan code
// (platform/key_codes.h), the mouse, the joysticks and the typed characters.
// It reads the keyboard, mouse and joystick devices of src/platform; the
// window's message handling feeds it the typed characters.
#pragma once
#include <cstdint>

#include "input/typed_char_queue.h"
#include "platform/keyboard_device.h"

namespace platform {
struct GLWindow;
}

// One mouse reading: six 16-bit values.
struct MouseRecord {
    int16_t motionX, motionY;  // pointer motion since the last consuming read
    int16_t wheel;             // wheel steps since the last consuming read, up positive
    int16_t left, right, middle;  // 1 while held
};

class InputState {
public:
    // Keyboard cooperative levels: foreground with the cursor hidden
    // (exclusive), or foreground sharing the mouse (non-exclusive).
    static constexpr int32_t kLevelExclusive = 5;
    static constexpr int32_t kLevelShared = 6;
    // ReadKeyState takes a fresh keyboard state once per this many calls.
    static constexpr int32_t kKeyReadsPerRefresh = 128;

    InputState();
    virtual ~InputState();  // stops the joysticks and gives the mouse back
    InputState(const InputState&) = delete;
    InputState& operator=(const InputState&) = delete;

    // Takes the devices for the window: keyboard, the one mouse, joysticks.
    void start(platform::GLWindow* forWindow);
    // The poll of a frame: copies the keyboard device's state into keyState,
    // with every key that went down since the last poll down for this frame
    // even when it is up again (a press shorter than a frame still counts).
    void refreshKeyboard();
    // Reads the next attached mouse into the record; with consume the motion
    // and wheel count as seen. False when no mouse is attached.
    bool pollMouse(MouseRecord& out, bool consume);
    // The frame end's poll: reads every attached mouse into lastMouse, leaving
    // its motion and wheel for the commands that consume them. A button that
    // went down since the last poll reads as held for this frame even when
    // it is up again, as keys do.
    void pollMice();
    // The mouse buttons held for this frame (bits as in
    // platform::MouseReading::buttons): those held now and this frame's presses.
    uint32_t mouseButtons() const;
    // 1 while the key is down, 0 otherwise (and for codes outside 0..255);
    // refreshes the state first on every kKeyReadsPerRefresh-th call (the
    // presses of this frame's poll stay down).
    int32_t readKey(int32_t scanCode);
    // Clear (0): cursor hidden, exclusive level; set (1): arrow cursor, shared level.
    void setMouseMode(uint8_t arrowCursor);
    // Lets the mouse go (a debugger is about to take over).
    void releaseMouse();

    uint8_t keyState[platform::kKeyStateCount] = {};
    bool keyboardPresent = false;
    int32_t mouseCount = 0;
    uint8_t mouseMode = 0;
    int32_t cooperativeLevel = kLevelExclusive;
    platform::GLWindow* deviceWindow = nullptr;
    TypedCharQueue typedChars;
    MouseRecord lastMouse = {};

private:
    void copyKeyboardDevice();

    uint8_t pressedThisFrame_[platform::kKeyStateCount] = {};  // the last poll's presses
    uint32_t mousePressesThisFrame_ = 0;                       // the same for the mouse buttons
    int32_t keyReadsSinceRefresh_ = 0;
    bool joysticksStarted_ = false;
};
