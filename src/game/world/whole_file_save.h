// A whole-file save for the game's own files (the progress file, the level
// editor's levels): the bytes go to a new file beside the old one, which is
// then renamed over it (files::FileReplacement), so an interrupted or failed
// save leaves either the old file or the new one whole, never a truncated
// file in its place.
#pragma once
#include <cstddef>

#include "runtime/strings/rt_string.h"

// Saves `count` bytes as the file `name` (resolved without regard to letter
// case, as the file channels resolve it); false, with the old file as it was
// and no new file left behind, when the folder is missing, a folder with
// something in it bears the name (an empty one is replaced, as
// files::createForWriting does), the old file is read-only or held by
// another opener, or a write fails.
bool saveWholeFile(const RtString& name, const void* bytes, size_t count);
