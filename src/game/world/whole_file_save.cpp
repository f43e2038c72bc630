// The whole-file save over the disk layer's replacement.
#include "game/world/whole_file_save.h"

#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"

bool saveWholeFile(const RtString& name, const void* bytes, size_t count) {
    char diskPath[files::kPathBufferSize];
    return files::resolveDiskPath(name.data, diskPath) && files::replaceWholeFile(diskPath, bytes, count);
}
