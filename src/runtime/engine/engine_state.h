// The engine state: the one block of engine globals through which commands
// reach the engine objects. startEngine creates each object once; the
// shutdown frees each once (through its registered release step) and sets
// its pointer back to null, so later calls skip what is gone.
#pragma once

class OpenGLRainbows;
class InputState;
class Rainbows3D;
class NetSession;

struct EngineState {
    OpenGLRainbows* graphics2D = nullptr;  // the 2-D context with the window
    InputState* input = nullptr;           // keyboard, mice, joysticks, typed characters
    Rainbows3D* graphics3D = nullptr;      // the 3-D renderer on the 2-D context
    NetSession* network = nullptr;         // the multiplayer session and its thread
};

extern EngineState engine;

