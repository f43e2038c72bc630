// Line and token reading for the generators' sources, and their file writes.
#include "text_source.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "media_error.h"

namespace media {

void failAt(const std::string& file, int line, const std::string& message) {
    throw MediaError(file + ":" + std::to_string(line) + ": " + message);
}

void SourceLine::fail(const std::string& message) const { failAt(file, number, message); }

const std::string& SourceLine::token(size_t i, const char* what) const {
    if (i >= tokens.size()) fail(std::string("missing ") + what);
    return tokens[i];
}

double numberToken(const SourceLine& line, const std::string& token) {
    const char* begin = token.c_str();
    char* end = nullptr;
    double v = std::strtod(begin, &end);
    if (token.empty() || end != begin + token.size() || !std::isfinite(v)) line.fail("not a number: '" + token + "'");
    return v;
}

double numberInRange(const SourceLine& line, const std::string& token, double lo, double hi) {
    double v = numberToken(line, token);
    if (v < lo || v > hi) line.fail("'" + token + "' outside " + std::to_string(lo) + " to " + std::to_string(hi));
    return v;
}

bool isPlainFileName(const std::string& name, const std::string& extension) {
    return name.find('/') == std::string::npos && name.size() > extension.size() &&
           name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
}

uint32_t sampleRateOption(const SourceLine& line, const std::string& value) {
    double r = numberInRange(line, value, 0, 1e6);
    if (r != 22050 && r != 44100) line.fail("the rate is 22050 or 44100");
    return static_cast<uint32_t>(r);
}

void tokenizeLine(SourceLine& line) {
    line.tokens.clear();
    line.quoted.clear();
    const std::string& s = line.raw;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        // A comment runs to the end of the line: '#' as the line's first
        // token, or '#' standing alone. "#0c1028" is a colour, not a comment.
        if (c == '#' && (line.tokens.empty() || i + 1 == s.size() || s[i + 1] == ' ' || s[i + 1] == '\t')) break;
        if (c == '"') {
            size_t close = s.find('"', i + 1);
            if (close == std::string::npos) line.fail("unterminated quoted text");
            line.tokens.push_back(s.substr(i + 1, close - i - 1));
            line.quoted.push_back(true);
            i = close + 1;
            continue;
        }
        size_t end = i;
        while (end < s.size() && s[end] != ' ' && s[end] != '\t' && s[end] != '\r') ++end;
        line.tokens.push_back(s.substr(i, end - i));
        line.quoted.push_back(false);
        i = end;
    }
}

std::vector<SourceLine> readSourceFile(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) throw MediaError(path + ": cannot read the file");
    std::vector<SourceLine> lines;
    std::istringstream in(bytes);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        SourceLine line;
        line.file = path;
        line.number = number;
        line.raw = raw;
        tokenizeLine(line);
        // Raw rows (pixel maps, glyphs) may begin with '#': keep any line
        // that holds something other than blanks; readers of tokens skip
        // lines without tokens themselves.
        if (raw.find_first_not_of(" \t") == std::string::npos) continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) return false;
    bytes = all.str();
    return true;
}

void writeWholeFile(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw MediaError(path + ": cannot create the file");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            throw MediaError(path + ": write failed");
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw MediaError(path + ": cannot replace the file");
    }
}

}  // namespace media
