// System information service: the executable's own path, the working folder,
// the user's folders, the locale and the battery. Implemented over POSIX,
// /proc and /sys in system_info_posix.cpp.
// Folder texts end without "/"; an empty text means "not known".
#pragma once
#include <string>

namespace platform {

// The full path of the running executable ("" when it cannot be read).
std::string executablePath();
// The folder holding it.
std::string executableFolder();
bool changeWorkingFolder(const std::string& folder);

// The user's documents folder: XDG_DOCUMENTS_DIR of the user-dirs file
// ($XDG_CONFIG_HOME, else $HOME/.config, + "/user-dirs.dirs") with "$HOME"
// expanded, else $HOME/Documents; "" when HOME is not set.
std::string documentsFolder();
// The user's data folder: $XDG_DATA_HOME when absolute, else $HOME/.local/share.
std::string dataFolder();
// The locale's language and territory ("en_US"), from LC_ALL, LC_MESSAGES or
// LANG, without encoding or modifier; "C" when none is set.
std::string localeName();
// Charge of the first battery under the power-supply folder, in percent
// 0 to 100; -1 when there is no battery. `powerSupplyRoot` is normally
// "/sys/class/power_supply".
int batteryPercent(const std::string& powerSupplyRoot);

}  // namespace platform
