// The process environment: the stand-in for the C runtime's getenv, _putenv
// and its environment table.
#pragma once

namespace platform {

// The value of a variable, or null when it is not set (or the name is null).
const char* environmentValue(const char* name);

// Takes "name=value" the way _putenv does: the name runs to the first "=",
// the value is the rest; an empty value removes the variable. False (and no
// change) for a null text, a text without "=", or an empty name.
bool putEnvironmentText(const char* text);

// The entries "name=value" in order, ended by a null pointer.
char** environmentEntries();

}  // namespace platform
