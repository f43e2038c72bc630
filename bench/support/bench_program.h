// The program side of the benchmarks that run the engine: the hooks every
// program on the runtime supplies (runtime/engine/project_hooks.h), a start
// that registers them and brings the engine up headless in a 640 x 480
// window, and the clean end. Depends on the shell's start-up and the orderly end.
#pragma once
#include <cstdint>

namespace bench {

// Names the offscreen video driver (software OpenGL) and the dummy sound
// driver unless the environment already names drivers. The engine start
// calls it; a benchmark that opens SDL by itself first calls it earlier.
void useHeadlessDrivers();

// Starts the engine headless with a 640 x 480 window titled `projectName`
// and paced at `frameRate` frames per second (0: unpaced). The settings hook
// hands both to the engine. False when the engine did not start.
bool startHeadlessEngine(const char* projectName, int32_t frameRate);

// Ends the program as a clean run: standard output flushed, no runtime
// error, the engine's orderly end (status 0).
[[noreturn]] void endProgram();

}  // namespace bench
