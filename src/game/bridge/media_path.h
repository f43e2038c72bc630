// The rule by which ResolveMediaPath (device_requests.h) takes the working
// directory to be the media folder already.
#pragma once
#include "runtime/strings/rt_string.h"

// True when the folder (a path ending in "/", as GetCurrentDir gives it) is
// itself the media folder: its last name is "Media", or it holds no "Media"
// folder to enter. A "Media" folder further up the path (a game kept under
// ~/Media/Games/) does not count.
bool isInsideMediaFolder(const RtString& folder);
// True when the folder's last name is "Media": the media folder was found
// (the resolver entered it, or the program started inside it).
bool isNamedMedia(const RtString& folder);
// The next ResolveMediaPath checks the working directory again (tests).
void resetMediaFolderCheck();
