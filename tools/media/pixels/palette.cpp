// The palette file and colour tokens.
#include "palette.h"

#include <cctype>

#include "../common/text_source.h"

namespace media {

bool parseHexColour(const std::string& text, Rgba& colour) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return false;
    unsigned value[4] = {0, 0, 0, 255};
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        unsigned byte = 0;
        for (size_t j = 1; j <= 2; ++j) {
            char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + j])));
            byte *= 16;
            if (c >= '0' && c <= '9') byte += static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') byte += static_cast<unsigned>(c - 'a' + 10);
            else return false;
        }
        value[i / 2] = byte;
    }
    colour = Rgba{static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                  static_cast<uint8_t>(value[2]), static_cast<uint8_t>(value[3])};
    return true;
}

void Palette::add(const SourceLine& where, char symbol, const std::string& name, Rgba colour) {
    if (symbol == '.' || name == "clear") where.fail("'.' and \"clear\" are the transparent colour");
    if (std::isspace(static_cast<unsigned char>(symbol)) || symbol == '#' || symbol == '{' || symbol == '}' ||
        symbol == '>' || symbol == '~' || symbol == '"')
        where.fail(std::string("'") + symbol + "' cannot name a colour");
    if (colour.a == 0) where.fail("a palette colour must not be transparent");
    if (byChar_.count(symbol)) where.fail(std::string("colour character '") + symbol + "' given twice");
    if (byName_.count(name)) where.fail("colour name '" + name + "' given twice");
    byChar_[symbol] = colour;
    byName_[name] = colour;
}

void Palette::load(const std::string& path) {
    for (const SourceLine& line : readSourceFile(path)) {
        if (line.tokens.empty()) continue;
        if (line.tokens.size() != 3 || line.tokens[0].size() != 1)
            line.fail("a palette line is: <character> <name> #rrggbb");
        Rgba colour;
        if (!parseHexColour(line.tokens[2], colour)) line.fail("bad colour '" + line.tokens[2] + "'");
        add(line, line.tokens[0][0], line.tokens[1], colour);
    }
}

bool Palette::byChar(char symbol, Rgba& colour) const {
    if (symbol == '.') {
        colour = kClear;
        return true;
    }
    auto it = byChar_.find(symbol);
    if (it == byChar_.end()) return false;
    colour = it->second;
    return true;
}

bool Palette::byToken(const std::string& token, Rgba& colour) const {
    if (token.size() == 1) return byChar(token[0], colour);
    if (token == "clear") {
        colour = kClear;
        return true;
    }
    if (!token.empty() && token[0] == '#') return parseHexColour(token, colour);
    auto it = byName_.find(token);
    if (it == byName_.end()) return false;
    colour = it->second;
    return true;
}

}  // namespace media
