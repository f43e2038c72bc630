// The level set on disk: the text sources "levels/level_NN.txt" and the
// level files "shol<n>.dat", and reading either form by its name.
#pragma once
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

}  // namespace levels
