// The system's file-open and file-save dialog.
//
// The real backend runs a desktop dialog program as a child process, started
// directly (no shell): "zenity --file-selection", or "kdialog" when zenity
// is missing. With neither program on PATH, or with no display to show it on
// ($DISPLAY and $WAYLAND_DISPLAY both unset or empty), the dialog is
// unavailable and nothing is started. The backend is replaceable, so tests
// (and programs without a desktop) can answer the dialog themselves.
#pragma once
#include <string>
#include <vector>

namespace platform {

struct FileDialogFilter {
    std::string description;  // what the user reads, e.g. "Levels"
    std::string patterns;     // ";"-separated wildcards, e.g. "*.dat;*.lvl"
};

struct FileDialogRequest {
    bool open = true;                       // false: a dialog for saving
    std::vector<FileDialogFilter> filters;  // in the order offered
    std::string initialDirectory;           // where the dialog starts
};

enum class FileDialogOutcome {
    Chosen,      // `path` holds the chosen name
    Cancelled,   // the user closed the dialog without a choice, or it failed
    Unavailable  // no dialog program or no display: nothing was shown
};

struct FileDialogAnswer {
    FileDialogOutcome outcome = FileDialogOutcome::Cancelled;
    std::string path;
};

using FileDialogBackend = FileDialogAnswer (*)(const FileDialogRequest& request);

// Replaces the backend; null puts the real one back.
void setFileDialogBackend(FileDialogBackend backend);
// Shows the dialog through the current backend; blocks until it is closed.
FileDialogAnswer runFileDialog(const FileDialogRequest& request);

// The real backend.
FileDialogAnswer runProcessFileDialog(const FileDialogRequest& request);
// The words the real backend starts `program` ("zenity" or "kdialog") with.
std::vector<std::string> fileDialogArguments(const std::string& program, const FileDialogRequest& request);

}  // namespace platform
