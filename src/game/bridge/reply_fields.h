// Named fields of a device reply: "name=value" entries separated by ";",
// such as "Up=1000;b1=1". The controller state and the device information
// come in this form. Names compare byte for byte (case counts); an entry
// without "=" names nothing; the first entry of a name wins.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// The value text of the named field: its first byte and its length (up to the
// next ";" or the end). False when the reply has no such field; an empty or
// null name is never found.
bool findReplyField(const RtString& reply, const char* name, const char*& value, uint32_t& length);
// The field's value read as a number (leading blanks, sign, digits, point,
// exponent); 0 when the field is missing or holds no number.
double replyFieldNumber(const RtString& reply, const char* name);
// The field's value as text; `missing` when the field is missing.
RtString replyFieldText(const RtString& reply, const char* name, const char* missing);
