// ResolveMediaPath: the media folder becomes the working directory once.
// Depends on the working-directory commands and the error log.
//
// Departure: the working directory counts as the media folder only when it
// is one (its last name is "Media", or no "Media" folder lies beside the
// program to enter), not whenever "Media/" appears somewhere in its path: a
// game installed under a folder named Media found none of its files. The
// folder chosen is named in the error log, so a missing one can be told.
#include "game/bridge/media_path.h"

#include <string_view>

#include "game/bridge/device_requests.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_system.h"

namespace {
bool mediaFolderChecked = false;
constexpr const char* kMediaFolder = "Media";
}  // namespace

bool isNamedMedia(const RtString& folder) {
    std::string_view path(folder.data, static_cast<size_t>(folder.length));
    if (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return path == kMediaFolder || path.ends_with("/Media");
}

bool isInsideMediaFolder(const RtString& folder) {
    return isNamedMedia(folder) || !IsDirectory(folder + kMediaFolder);
}

void resetMediaFolderCheck() { mediaFolderChecked = false; }

RtString ResolveMediaPath(const RtString& name) {
    if (!mediaFolderChecked) {
        mediaFolderChecked = true;
        RtString folder = GetCurrentDir();
        if (!isInsideMediaFolder(folder)) {
            RtString media = folder + kMediaFolder;
            SetCurrentDir(media);
        }
        appendToErrorLog(("Media folder: " + GetCurrentDir() + "\n").data);
    }
    return "Media/" + name;
}
