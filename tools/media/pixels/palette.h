// The shared palette of every picture: one character and one name per colour,
// read from the art's palette file ("k outline #0b1026"). Pixel maps write
// colours by character; drawing commands by character or by name. The
// character '.' (and the name "clear") is the transparent colour.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace media {

struct SourceLine;

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool transparent() const { return a == 0; }
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

constexpr Rgba kClear{0, 0, 0, 0};

class Palette {
public:
    // Adds the colours of a palette file; a repeated character or name, or a
    // malformed line, is an error naming the line.
    void load(const std::string& path);
    void add(const SourceLine& where, char symbol, const std::string& name, Rgba colour);

    // A pixel-map character; false when the palette has no such character.
    bool byChar(char symbol, Rgba& colour) const;
    // A colour token: one character, a name, or "#rrggbb".
    bool byToken(const std::string& token, Rgba& colour) const;
    size_t size() const { return byChar_.size(); }

private:
    std::map<char, Rgba> byChar_;
    std::map<std::string, Rgba> byName_;
};

// "#rrggbb" or "#rrggbbaa"; false when malformed.
bool parseHexColour(const std::string& text, Rgba& colour);

}  // namespace media
