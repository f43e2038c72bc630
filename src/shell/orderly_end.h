// The orderly end of the program and the engine shutdown.
//
// terminateProgram() runs the shutdown once and ends the process; it never
// returns, except when called while that shutdown is already under way,
// where it returns at once. The exit status is the runtime error code: 0 for
// an orderly end (the end command, the quit keys, closing the window), the
// code of the error after a fatal runtime error.
#pragma once

[[noreturn]] void terminateProgramAndExit();
void terminateProgram();

// First call: the quit callback "VNT_ON_QUIT". Every call: closes the file
// channels, then runs the registered release steps in stage order; each step
// runs once and is forgotten, so a later call skips what is gone.
void shutdownEngine();

// The engine objects are released in this order.
enum ShutdownStage : int {
    ShutdownStageNetwork,
    ShutdownStageInput,
    ShutdownStageSound,
    ShutdownStageGraphics2D,
    ShutdownStageGraphics3D,
    ShutdownStagePackArchives,
    ShutdownStageCount
};

// The module that creates an engine object registers here how to release it
// (the step frees the object and nulls its engine pointer). Null unregisters.
void setShutdownStep(ShutdownStage stage, void (*release)());
