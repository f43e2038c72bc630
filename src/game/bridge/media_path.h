// The rule by which ResolveMediaPath (device_requests.h) takes the working
// directory to be inside the media folder already.
#pragma once
#include "runtime/strings/rt_string.h"

// True when the folder's path holds "Media/" from its sixth character on.
bool isInsideMediaFolder(const RtString& folder);
