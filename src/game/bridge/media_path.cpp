// ResolveMediaPath: the media folder becomes the working directory once.
// Depends on the working-directory commands and the text search.
#include "game/bridge/media_path.h"

#include "game/bridge/device_requests.h"
#include "runtime/files/file_system.h"
#include "runtime/strings/text_search.h"

namespace {
bool mediaFolderChecked = false;
// The working directory is taken to be inside the media folder when its path
// holds this from the sixth character on.
constexpr int32_t kMediaSearchStart = 5;
}  // namespace

bool isInsideMediaFolder(const RtString& folder) { return FindText(folder, "Media/", kMediaSearchStart) >= 0; }

RtString ResolveMediaPath(const RtString& name) {
    if (!mediaFolderChecked) {
        mediaFolderChecked = true;
        RtString folder = GetCurrentDir();
        if (!isInsideMediaFolder(folder)) {
            folder += "Media";
            SetCurrentDir(folder);
        }
    }
    return "Media/" + name;
}
