// Reading the generators' text sources: one record per line with its place
// (file and line number), the raw text (pixel rows and glyph rows are read
// raw) and its tokens. Tokens are split at blanks; a token in double quotes
// keeps its blanks; a '#' that begins the line, or stands alone after a
// token, begins a comment that runs to the end of the line ("#0c1028" later
// in a line is a colour). Blank lines are dropped.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace media {

struct SourceLine {
    std::string file;
    int number = 0;
    std::string raw;                  // the line as written, without its line end
    std::vector<std::string> tokens;  // quoted tokens come without their quotes
    std::vector<bool> quoted;         // parallel to tokens

    [[noreturn]] void fail(const std::string& message) const;
    // The token at index i, or a failure naming what was expected there.
    const std::string& token(size_t i, const char* what) const;
};

// Every non-empty line of the file; a file that cannot be read is an error.
std::vector<SourceLine> readSourceFile(const std::string& path);

// The token as a finite number, or the failure "not a number: '<token>'".
double numberToken(const SourceLine& line, const std::string& token);
// The same held to lo..hi: a value outside is a failure naming the range.
double numberInRange(const SourceLine& line, const std::string& token, double lo, double hi);

// A file name without a folder and with something before `extension`
// (".wav", ".ogg").
bool isPlainFileName(const std::string& name, const std::string& extension);
// The value of a "rate" option: 22050 or 44100, else a failure.
uint32_t sampleRateOption(const SourceLine& line, const std::string& value);

// Splits one line into tokens (exposed for the tests).
void tokenizeLine(SourceLine& line);

// The file's folder with a trailing '/', or "" for a bare name.
std::string folderOf(const std::string& path);

// Whole-file read; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes);

// Writes the bytes to path through a temporary file and a rename, so a
// failed run never leaves a truncated output behind. Throws MediaError.
void writeWholeFile(const std::string& path, const std::string& bytes);

}  // namespace media
