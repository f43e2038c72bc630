// OpenFileDialog over the platform dialog service. Depends on the display
// settings, and on the 2-D context (the window), the input object, the sound
// device and the frame end through their hooks (file_dialog_hooks.h), each
// only when it exists.
#include "runtime/files/file_dialog.h"

#include <cstring>
#include <unistd.h>

#include "platform/file_dialog.h"
#include "runtime/engine/display_settings.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_dialog_hooks.h"
#include "runtime/files/file_paths.h"

namespace {

constexpr int kSettleFrames = 5;  // frames run after a full-screen dialog

// "a|b|c|d" into filters (a, b) and (c, d); an empty part ends the list as
// the double NUL does, and a description without a pattern is dropped.
std::vector<platform::FileDialogFilter> parseFilter(const RtString& filter) {
    // Room for the text and its two final NULs in 1,024 bytes.
    std::string text(filter.data, strnlen(filter.data, files::kPathBufferSize - 2));
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('|', start);
        if (end == std::string::npos) end = text.size();
        if (end == start) break;
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<platform::FileDialogFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

void restoreDisplay() {
    const FileDialogHooks& hooks = fileDialogHooks;
    if (!displaySettings.fullScreen) {
        if (hooks.restoreWindowed) hooks.restoreWindowed();
        return;
    }
    displaySettings.fullScreen = 1;
    if (hooks.restoreFullScreen) hooks.restoreFullScreen(displaySettings.width, displaySettings.height);
    if (hooks.restoreInput) hooks.restoreInput();
    const void* window = hooks.deviceWindow ? hooks.deviceWindow() : nullptr;
    if (window && hooks.restoreSoundLevel) hooks.restoreSoundLevel(window);
    for (int i = 0; i < kSettleFrames; ++i) {
        if (hooks.settleFrame) hooks.settleFrame();
    }
}

}  // namespace

RtString OpenFileDialog(int32_t open, const RtString& filter) {
    platform::FileDialogRequest request;
    request.open = open != 0;
    request.filters = parseFilter(filter);
    char savedDir[files::kPathBufferSize];
    bool dirSaved = getcwd(savedDir, sizeof savedDir) != nullptr;
    if (dirSaved) request.initialDirectory = savedDir;

    if (fileDialogHooks.leaveFullscreen) fileDialogHooks.leaveFullscreen();
    platform::FileDialogAnswer answer = platform::runFileDialog(request);
    if (dirSaved && chdir(savedDir) != 0) {
        // The folder went away while the dialog was open; nothing to go back to.
    }
    restoreDisplay();

    if (answer.outcome == platform::FileDialogOutcome::Unavailable) {
        static bool told = false;
        if (!told) {
            told = true;
            appendToErrorLog("File dialog: no zenity or kdialog to show it, or no display; it answers NO_FILE\n");
        }
    }
    if (answer.outcome != platform::FileDialogOutcome::Chosen || answer.path.empty() ||
        answer.path.size() >= files::kPathBufferSize) {
        return RtString("NO_FILE");
    }
    RtString chosen = RtString::fromBytes(answer.path.data(), static_cast<uint32_t>(answer.path.size()));
    for (uint32_t i = 0; i < chosen.length; ++i)
        if (chosen.data[i] == '\\') chosen.data[i] = '/';
    return chosen;
}
