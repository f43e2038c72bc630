// The level set on disk: the text sources "levels/level_NN.txt" and the
// level files "shol<n>.dat", and reading either form by its name.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "level_data.h"

namespace levels {

// "level_07.txt"
std::string sourceFileName(int32_t number);
// The level number in a name such as ".../level_07.txt" or ".../shol7.dat";
// -1 when the name holds none.
int32_t levelNumberOfPath(const std::string& path);

// A level from a text source (".txt") or a level file (anything else);
// false with the reasons in `errors`.
bool loadLevelFile(const std::string& path, LevelData& level, std::vector<std::string>& errors);

// The build tools' run over the 31 sources of the folder: `act` gets each
// level that reads and adds what went wrong with it to `problems`; every
// problem goes to standard error after the source's path. The exit status:
// 0, or 1 when any level had a problem.
using SourceAction = std::function<void(int32_t number, const LevelData&, std::vector<std::string>& problems)>;
int forEachSource(const std::string& sources, const SourceAction& act);

}  // namespace levels
