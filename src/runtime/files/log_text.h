// Names as the error log shows them. A file name may hold any byte but "/"
// and NUL, so a name written into the log as it is could end the line and
// forge the next one; each control character (and "\\", so that an escape
// cannot be faked either) is shown as an escape instead: "\n", "\r", "\t",
// "\\", else "\x" and two hexadecimal digits ("\x1b").
#pragma once
#include <string>

namespace files {

std::string escapeForLog(const std::string& text);

}  // namespace files
