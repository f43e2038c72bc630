// Whole-file reads and writes for tests that compare exact bytes.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

std::string readFileBytes(const std::string& path);  // "" when missing
void writeFileBytes(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// The names in a folder, "." and ".." left out, sorted; none when missing.
std::vector<std::string> namesInFolder(const std::string& folder);

// Shows control characters and bytes above 126 as escapes, so a failing
// comparison of binary or CR LF text prints readably.
std::string visible(const std::string& bytes);

}  // namespace testsupport
