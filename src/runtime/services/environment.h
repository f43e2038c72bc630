// The environment commands.
#pragma once
#include "runtime/strings/rt_string.h"

// The value of the variable, or "" when it is not set. The empty name gives
// every entry ("name=value") in order, each followed by "\n".
RtString GetEnv(const RtString& name);
// Sets name to value; an empty value removes the variable. An empty name
// (or a name that makes "name=value" unreadable) changes nothing; nothing is
// reported either way.
void PutEnv(const RtString& name, const RtString& value);
