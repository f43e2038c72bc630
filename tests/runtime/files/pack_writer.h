// Test-only pack writer: builds packs in the exact format the pack reader
// accepts, and appends them to copies of real executables. Not part of the
// shipped system. Entry data is compressed with liblzo2 directly, so the
// packs do not depend on the runtime's own encoder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testpack {

// Little-endian bytes of a 32-bit value.
std::string le32(uint32_t value);

// The mode-1 form of `bytes`: the length as u32, then lzo1x_1_compress output.
std::string modeOneStream(const std::string& bytes);

struct Entry {
    std::string name;
    std::string packed;  // the entry's data as stored (usually modeOneStream of the content)
};
Entry entry(const std::string& name, const std::string& content);

enum class Offsets { FromStart, FromEnd };
enum class Placement { DataThenDirectory, DirectoryThenData };

// A pack to be placed behind `prefixSize` bytes of other content (offsets
// from the start count those bytes too): data, directory and the trailer.
std::string buildPack(const std::vector<Entry>& entries, size_t prefixSize = 0,
                      Offsets offsets = Offsets::FromEnd, Placement placement = Placement::DataThenDirectory);

// Pieces for hand-made (malformed) packs.
std::string directoryEntry(const std::string& name, int32_t offset, int32_t packedSize);
std::string trailer(int32_t directoryPosition);

// Copies the executable at `source` to `path`, appends `pack` and makes the
// copy executable. Returns the size of the executable before the pack.
size_t writePackedExecutable(const std::string& path, const std::string& pack, const std::string& source = "/bin/true");

}  // namespace testpack

namespace testpack {
// Every byte of what `name` (a disk path or a MemBlockName) holds, read
// through a ReadStream; "<unreadable>" when it does not open.
std::string readNamed(const char* name);
}  // namespace testpack
