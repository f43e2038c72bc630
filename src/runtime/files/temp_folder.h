// The user's temporary folder, where the error log and the pack's extracted
// temporary files live: $TMPDIR when it names a directory, else /tmp, always
// ending in exactly one "/" so that file names join it directly.
// The folder is looked up anew on every call, like the log path it feeds.
#pragma once
#include "runtime/strings/rt_string.h"

RtString temporaryFolder();
