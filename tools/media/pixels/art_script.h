// The interpreter of the art sources. A source file holds, at its top level:
//
//   include <file>               another source, relative to this one
//   palette <file>               colours (see palette.h)
//   let <name> <expression>      a constant for later expressions
//   map <name> ... end           a pixel map: rows of palette characters
//   font <name> <height> <spacing>, then glyph <c> ... end blocks
//   sheet <file> <frame w> <frame h> [frames <n>] [columns <c>]
//   frames <a>[-<b>] ... end     drawing commands run once per frame a..b
//
// A sheet is one PNG: its frames run left to right, then top to bottom,
// columns to a row (all frames in one row by default). It is written when the
// next sheet begins or the sources end, and stays available to the `sprite`
// command of later sheets. Inside a frames block the variables f (index from
// 0 within the block), F (frame number), n (frames in the block), W and H
// (frame size) are set, and {expressions} in any token are replaced by their
// values. The drawing commands are listed in art_script.cpp.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "../common/expr.h"
#include "../common/text_source.h"
#include "canvas.h"
#include "palette.h"
#include "pixel_font.h"

namespace media {

struct PixelMap {
    int width = 0, height = 0;
    std::vector<std::string> rows;
};

struct Sheet {
    std::string file;
    int frameW = 0, frameH = 0, frames = 1, columns = 1;
    std::vector<Canvas> canvases;  // one per frame
    int rows() const { return (frames + columns - 1) / columns; }
    Canvas assemble() const;       // the whole sheet
};

class ArtScript {
public:
    explicit ArtScript(std::string outputDir) : outputDir_(std::move(outputDir)) {}

    // Runs a source file (and what it includes); throws MediaError.
    void runFile(const std::string& path);
    // Writes the sheet still open. Call once after the last source.
    void finish();

    const std::vector<std::string>& written() const { return written_; }
    const Sheet* sheet(const std::string& file) const;

private:
    void runLines(const std::vector<SourceLine>& lines, const std::string& folder, int depth);
    size_t readBlock(const std::vector<SourceLine>& lines, size_t start, std::vector<SourceLine>& block) const;
    void defineMap(const SourceLine& head, const std::vector<SourceLine>& rows);
    void defineGlyph(const SourceLine& head, const std::vector<SourceLine>& rows);
    void openSheet(const SourceLine& line);
    void runFrames(const SourceLine& head, const std::vector<SourceLine>& body);
    void runCommand(const SourceLine& line, Canvas& canvas, Variables& vars);
    void writeSheet();

    Paint paint(const SourceLine& line, const std::string& spec) const;
    Paint solidOrGradient(const SourceLine& line, const std::string& token) const;
    Rgba colour(const SourceLine& line, const std::string& token) const;
    const PixelFont& font(const SourceLine& line, const std::string& name) const;

    std::string outputDir_;
    Palette palette_;
    Variables globals_;
    std::map<std::string, PixelMap> maps_;
    std::map<std::string, PixelFont> fonts_;
    std::string currentFont_;
    std::map<std::string, Sheet> done_;
    Sheet open_;
    bool hasOpen_ = false;
    std::vector<std::string> written_;
};

}  // namespace media
