// The user's temporary folder, where the error log, the pack's extracted
// entries and swapped-out textures live: $TMPDIR when it names a directory,
// else the user's own folder /tmp/vantric-<uid> (see temp_folder.cpp),
// always ending in exactly one "/" so that file names join it directly.
// The folder is looked up anew on every call, like the log path it feeds.
#pragma once
#include "runtime/strings/rt_string.h"

RtString temporaryFolder();
