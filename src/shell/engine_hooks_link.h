// Connects the runtime services' engine hooks (runtime/services/engine_hooks.h)
// and the file dialog's frame hook (runtime/files/file_dialog_hooks.h) to
// the shell's engine objects, and disconnects the engine hooks again.
#pragma once

void linkEngineHooks();
// Clears the hooks that reach the input object, respectively the 2-D context.
void unlinkInputHooks();
void unlinkGraphicsHooks();
