// The orderly end of the program and the engine shutdown.
//
// terminateProgram() runs the shutdown once and ends the process; it never
// returns, except when called while that shutdown is already under way,
// where it returns at once. The exit status is the runtime error code as it
// stands when the end begins: 0 for an orderly end (the end command, the quit
// keys, closing the window: each records 0 first), the code of the error
// after a fatal runtime error, whose text ("0003 no such file") then also
// goes to the error log; when the error has a subject (runtime_error.h),
// ": " and the subject follow, and the line goes to standard error too.
#pragma once

// terminateProgram for callers that cannot go on in any case: called while
// the shutdown is under way it ends the process at once, without a second
// shutdown, instead of returning.
[[noreturn]] void terminateProgramAndExit();
void terminateProgram();

// The exit status for a runtime error code: the code itself from 0 to 255,
// 1 for any other code (so no error ends with the status of success).
int exitStatusForCode(int code);

// First call: the quit callback "VNT_ON_QUIT", then "Shut down VNT\n" in the
// error log. Every call: the steps before the file channels, the file
// channels (closeAllFileChannels), then the engine objects' release steps in
// stage order; each step runs once and is forgotten, so a later call (for
// example from terminateProgram after ShellOpen) skips what is gone.
void shutdownEngine();

// Forgets that a shutdown or an end has begun, so the next shutdown runs the
// quit callback, logs and calls the project hook at the channels' close
// again (registered steps stay registered): for a process that starts the
// engine anew after a shutdown, as a test program that runs all its cases in
// one process does.
void resetOrderlyEnd();

// The shutdown's steps in the order they run.
enum ShutdownStage : int {
    // Before the file channels are closed:
    ShutdownStageVideo,             // stops a playing video
    ShutdownStageWorkingDirectory,  // returns to the executable's folder
    // After the file channels are closed, the engine objects:
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
