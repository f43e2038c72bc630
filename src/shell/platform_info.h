// Platform information by key, as text:
//   ""           the platform's name, "LINUX"
//   "DEVICE"     "DESKTOP"
//   "DOCUMENTS"  the user's documents folder, no "/" at its end
//   "TEMP"       the temporary folder, no "/" at its end
//   "APPDATA"    the user's data folder, no "/" at its end
//   "LOCALE"     language and territory, such as "en_US"
//   "TIME"       local time of day "HH:MM:SS"
//   "UTCTIME"    universal time "YYYY-MM-DD HH:MM:SS"
//   "BATTERY"    charge of the battery in percent, such as "87"
//   "HOSTID"     this machine's identifier, 32 lower-case hexadecimal digits,
//                kept in "<APPDATA>/Vantric/vantric.deviceid" (made on first
//                use; "NO_DATA" where it cannot be kept there)
//   "DPI"        dots per inch of the display, such as "96"
//   "GLEXT:name" "1" when the OpenGL driver offers the extension, else "0"
//   "COMPILED", "ID", "VERSION"  the program's build date, identifier, version
// Every other key, and a value that cannot be found, gives "NO_DATA".
#pragma once
#include "runtime/strings/rt_string.h"

RtString GetPlatformInfo(const RtString& key);

// Where "BATTERY" looks (tests point it elsewhere).
extern const char* powerSupplyFolder;
