// The file dialog's hooks, all null until the layers register theirs.
#include "runtime/files/file_dialog_hooks.h"

FileDialogHooks fileDialogHooks = {};
