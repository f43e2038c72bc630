// Percent-encoding of text for URLs, its decoding, and UTF-8 to single bytes.
#pragma once
#include "runtime/strings/rt_string.h"

// 0-9, A-Z and a-z stay; every other byte below 0x80 becomes "%" and two
// lower-case hexadecimal digits (a space is %20); a byte from 0x80 on is
// written as its two-byte UTF-8 form, both bytes escaped (0xE9 is %c3%a9).
RtString UrlEncode(const RtString& text);
// "+" is a space, "%" and two hexadecimal digits (either case) the byte of
// their value; a "%" without two digits is dropped with the byte after it.
// The result then goes through utf8ToSingleByte.
RtString UrlDecode(const RtString& text);
// In place: each UTF-8 sequence becomes one byte, the low 8 bits of its code
// point (Latin-1 for code points up to U+00FF); stray continuation bytes and
// 0xF8 to 0xFF are dropped, and so is a lead byte not followed by all its
// continuation bytes (10xxxxxx), alone: the bytes after it are read as
// themselves. Overlong forms are not checked.
void utf8ToSingleByte(RtString& text);
