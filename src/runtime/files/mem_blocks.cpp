// The registry of live memory blocks behind MemBlockNames.
//
// Few blocks live at once (each pack archive context hands out at most one),
// so the registry is a short list searched from the newest entry.
#include "runtime/files/mem_blocks.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/strings/ascii_text.h"

namespace files {

namespace {

constexpr uint32_t kLastKey = 0x7FFFFFFF;

struct LiveBlock {
    uint32_t key;
    uint32_t size;
    const uint8_t* data;
};

std::vector<LiveBlock>& liveBlocks() {
    static std::vector<LiveBlock> blocks;
    return blocks;
}

uint32_t nextKey = 1;

const LiveBlock* findLive(uint32_t key) {
    const auto& blocks = liveBlocks();
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        if (it->key == key) return &*it;
    return nullptr;
}

// Blanks, then one to eight hexadecimal digits.
bool parseHexField(const char* text, uint32_t& value) {
    while (*text == ' ') ++text;
    value = 0;
    int digits = 0;
    for (int d; (d = rtstring::hexDigitValue(*text)) >= 0; ++text) {
        if (++digits > 8) return false;
        value = value << 4 | static_cast<uint32_t>(d);
    }
    return digits > 0;
}

}  // namespace

bool isMemBlockName(const char* name) { return name && std::strncmp(name, "mem://", 6) == 0; }

void formatMemBlockName(char* out, uint32_t size, uint32_t key) {
    std::snprintf(out, kMemBlockNameLength + 1, "mem://%8x.%8x", size, key);
}

bool parseMemBlockName(const char* name, int64_t& size, uint32_t& key) {
    if (!isMemBlockName(name)) return false;
    // The key field starts at character 15; never read behind the text's end.
    if (strnlen(name, 16) < 16) return false;
    uint32_t rawSize = 0;
    if (!parseHexField(name + 6, rawSize) || !parseHexField(name + 15, key)) return false;
    size = static_cast<int32_t>(rawSize);
    return true;
}

uint32_t registerMemBlock(const uint8_t* data, uint32_t size) {
    static const uint8_t emptyBlock = 0;
    while (findLive(nextKey)) nextKey = nextKey == kLastKey ? 1 : nextKey + 1;
    uint32_t key = nextKey;
    nextKey = nextKey == kLastKey ? 1 : nextKey + 1;
    liveBlocks().push_back({key, size, data ? data : &emptyBlock});
    return key;
}

void unregisterMemBlock(uint32_t key) {
    auto& blocks = liveBlocks();
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        if (it->key == key) {
            blocks.erase(it);
            return;
        }
    }
}

const uint8_t* findMemBlock(uint32_t key, int64_t size) {
    const LiveBlock* block = findLive(key);
    if (!block || size < 0 || size > block->size) return nullptr;
    return block->data;
}

bool lookupMemBlockName(const char* name, int64_t& size, uint32_t& key) {
    return parseMemBlockName(name, size, key) && findMemBlock(key, size) != nullptr;
}

}  // namespace files
