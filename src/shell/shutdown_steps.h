// The shell's steps of the engine shutdown, registered with the orderly end
// (runtime/engine/orderly_end.h) by startEngine: the return to the
// executable's folder before the file channels close, then the release of
// the input object and of the 2-D context with its window. Each release
// frees its object once and nulls its engine pointer.
#pragma once

void registerShellReleaseSteps();
