// Memory blocks that the file-reading commands accept in place of a disk
// file, named by a MemBlockName: "mem://" + size + "." + key, written with
// "mem://%8x.%8x" (lower-case hexadecimal, at least eight characters each,
// blanks on the left), 23 characters for every name made here.
//
// Departure: the second number is not the block's address. A 64-bit address
// does not fit eight hexadecimal digits, and a forged name must never make a
// reader touch arbitrary memory, so it is the key of a live block in the
// registry below. Keys count up from 1 and stay below 2^31 (so a signed
// 32-bit reading sees them too); a key comes round again only after 2^31 - 1
// further blocks, and never while its first block is still live.
// Every reader looks the key up, and checks that the size in the name fits
// the block, on every access: an unknown or released block reads as a
// missing file, and a reader still holding a released block fails its next
// read instead of reading freed memory.
//
// The registry does not own the bytes; whoever registers a block (the pack
// archive context) keeps it alive until it unregisters it. One thread uses
// the file layer; the registry has no lock.
#pragma once
#include <cstdint>

namespace files {

constexpr int kMemBlockNameLength = 23;  // characters of a name made here, the NUL not counted

// True when the first six characters are exactly "mem://" (case-sensitive);
// no other test is made, so such a name never names a disk file.
bool isMemBlockName(const char* name);

// Writes the name of the block into `out` (at least 24 bytes).
void formatMemBlockName(char* out, uint32_t size, uint32_t key);

// Reads the size (at character 6) and the key (at character 15), each a
// hexadecimal number of at most eight digits after optional blanks. The size
// is the 32-bit value widened with its sign, so "ffffffff" reads as -1.
// False when the text is not long enough or a number is missing or too long.
bool parseMemBlockName(const char* name, int64_t& size, uint32_t& key);

// Makes a block known; returns its key (never 0).
uint32_t registerMemBlock(const uint8_t* data, uint32_t size);
// Forgets a block; readers that still hold its key fail from now on.
void unregisterMemBlock(uint32_t key);

// The bytes of a live block whose size is at least `size`, or null when the
// key is unknown or released or `size` is negative or larger than the block.
// A block of size 0 is valid: its pointer is not null, but holds no bytes.
const uint8_t* findMemBlock(uint32_t key, int64_t size);

// The size and key of a name whose block is live and large enough; false
// for anything else (not a block name, malformed, unknown, released, too large).
bool lookupMemBlockName(const char* name, int64_t& size, uint32_t& key);

}  // namespace files
