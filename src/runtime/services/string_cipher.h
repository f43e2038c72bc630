// Encrypting a text with a key into lower-case hexadecimal and back, with the
// Blowfish cipher over 8-byte blocks, the last block filled with zero bytes.
// DecryptString(k, EncryptString(k, t)) gives t for every t without NUL bytes.
#pragma once
#include "runtime/strings/rt_string.h"

// Two hexadecimal digits per encrypted byte; "" for the empty text.
RtString EncryptString(const RtString& key, const RtString& text);
// Reads the digits in either case (a last lone digit is ignored), decrypts
// and gives the bytes up to the first zero byte. A byte count that is not a
// multiple of 8 is filled up with zero bytes to whole blocks.
RtString DecryptString(const RtString& key, const RtString& hexText);
