// The level set of the repository for the levels' tests: the text sources,
// the compiled level files in the media folder and the solutions.
#pragma once
#include <string>

#include "level_data.h"

namespace leveltest {

// VANTRIC_SOURCE_DIR/levels, VANTRIC_MEDIA_DIR and VANTRIC_MEDIA_DIR/Data.
std::string sourcesFolder();
std::string mediaFolder();
std::string dataFolder();
std::string readText(const std::string& path);
// A level compiled from its text source (the test fails when it does not parse).
levels::LevelData sourceLevel(int number);

}  // namespace leveltest
