// The art interpreter: top-level directives, frame blocks and the drawing
// commands. Drawing commands, with x y in frame pixels and <paint> a palette
// colour ("k", "outline"), '.' to erase, or a gradient "w>5>3" (top to
// bottom) or "w~5~3" (left to right) dithered between palette colours; an
// '@' before the paint ("@s") lands only on pixels already drawn:
//
//   fill <paint>                         rect <x> <y> <w> <h> <paint>
//   disc <cx> <cy> <r> <paint>           ring <cx> <cy> <r> <thickness> <paint>
//   ellipse <cx> <cy> <rx> <ry> <paint> [angle]
//   star <cx> <cy> <outer> <inner> <points> <angle> <paint>
//   poly <paint> <x1> <y1> <x2> <y2> <x3> <y3> ...
//   line <x1> <y1> <x2> <y2> <width> <paint>
//   blob <cx> <cy> <r> <rough> <seed> <paint>
//   caustic <x> <y> <w> <h> <period x> <period y> <threshold> <seed> <paint>
//   scatter <x> <y> <w> <h> <count> <r> <seed> <paint>
//   speckle <x> <y> <w> <h> <density> <seed> <paint>
//   text <font> <x> <y> <paint> "<text>" [scale x [scale y]]   (textc: x is the centre)
//   char <font> <code> <x> <y> <paint> [scale x [scale y]]
//   blit <map> <x> <y> [flipx] [flipy]
//   sprite <sheet file> <frame> <x> <y> [scale] [flipx]
//   copy <frame>   clear   flipx   flipy   rotate (a quarter turn clockwise)   shift <dx> <dy>
//   outline <paint> [diag]       bevel <light> <dark>       recolor <from> <to>
//   cutcorner tl|tr|bl|br <r>    rounds a corner: clears what lies outside a
//                                quarter circle of radius r - 1 in the r x r box
//   let <name> <expression>
#include "art_script.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "../common/media_error.h"
#include "../common/png_writer.h"
#include "shapes.h"

namespace media {
namespace {

constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxSide = 4096;  // no sheet side beyond this

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

int intArg(const SourceLine& line, const std::string& token) {
    double v = numberToken(line, token);
    if (std::fabs(v) > 1e7) line.fail("number out of range: " + token);
    return static_cast<int>(std::lround(v));
}

uint64_t seedArg(const SourceLine& line, const std::string& token) {
    double v = numberToken(line, token);
    if (v < 0 || v > 1e15) line.fail("a seed is a whole number from 0: " + token);
    return static_cast<uint64_t>(v);
}

// The arguments of a command after substitution; checks the count.
struct Args {
    const SourceLine& line;
    std::vector<std::string> t;
    void need(size_t count, const char* usage) const {
        if (t.size() < count) line.fail(std::string("usage: ") + usage);
    }
    double num(size_t i) const { return numberToken(line, t[i]); }
    int whole(size_t i) const { return intArg(line, t[i]); }
};

}  // namespace

Canvas Sheet::assemble() const {
    Canvas whole(columns * frameW, rows() * frameH);
    for (int i = 0; i < frames; ++i)
        drawCanvas(whole, canvases[static_cast<size_t>(i)], 0, 0, frameW, frameH, (i % columns) * frameW,
                   (i / columns) * frameH, 1, false);
    return whole;
}

const Sheet* ArtScript::sheet(const std::string& file) const {
    if (hasOpen_ && open_.file == file) return &open_;
    auto it = done_.find(file);
    return it == done_.end() ? nullptr : &it->second;
}

void ArtScript::runFile(const std::string& path) {
    runLines(readSourceFile(path), folderOf(path), 0);
}

size_t ArtScript::readBlock(const std::vector<SourceLine>& lines, size_t start, std::vector<SourceLine>& block) const {
    for (size_t i = start + 1; i < lines.size(); ++i) {
        if (trim(lines[i].raw) == "end") return i;
        block.push_back(lines[i]);
    }
    lines[start].fail("block without 'end'");
}

void ArtScript::runLines(const std::vector<SourceLine>& lines, const std::string& folder, int depth) {
    if (depth > kMaxIncludeDepth) {
        if (!lines.empty()) lines[0].fail("includes nested too deeply (a loop?)");
        throw MediaError("includes nested too deeply");
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const SourceLine& line = lines[i];
        if (line.tokens.empty()) continue;
        const std::string& word = line.tokens[0];
        if (word == "include") {
            std::string path = folder + line.token(1, "file name");
            runLines(readSourceFile(path), folderOf(path), depth + 1);
        } else if (word == "palette") {
            palette_.load(folder + line.token(1, "palette file"));
        } else if (word == "let") {
            std::string expression;
            for (size_t k = 2; k < line.tokens.size(); ++k) expression += line.tokens[k];
            try {
                globals_[line.token(1, "name")] = evaluate(expression, globals_);
            } catch (const MediaError& e) {
                line.fail(e.what());
            }
        } else if (word == "map" || word == "glyph" || word == "frames") {
            std::vector<SourceLine> block;
            i = readBlock(lines, i, block);
            if (word == "map") defineMap(line, block);
            else if (word == "glyph") defineGlyph(line, block);
            else runFrames(line, block);
        } else if (word == "font") {
            int height = intArg(line, line.token(2, "height"));
            int spacing = intArg(line, line.token(3, "spacing"));
            if (height < 1 || height > 64 || spacing < 0 || spacing > 8) line.fail("bad font height or spacing");
            currentFont_ = line.token(1, "font name");
            if (fonts_.count(currentFont_)) line.fail("font '" + currentFont_ + "' defined twice");
            fonts_[currentFont_] = PixelFont(currentFont_, height, spacing);
        } else if (word == "sheet") {
            openSheet(line);
        } else if (word == "end") {
            line.fail("'end' without a block");
        } else {
            line.fail("unknown directive '" + word + "'");
        }
    }
}

void ArtScript::defineMap(const SourceLine& head, const std::vector<SourceLine>& rows) {
    const std::string& name = head.token(1, "map name");
    if (maps_.count(name)) head.fail("map '" + name + "' defined twice");
    PixelMap map;
    for (const SourceLine& row : rows) {
        std::string text = trim(row.raw);
        if (map.rows.empty()) map.width = static_cast<int>(text.size());
        if (static_cast<int>(text.size()) != map.width)
            row.fail("map rows differ in width (" + std::to_string(text.size()) + " instead of " +
                     std::to_string(map.width) + ")");
        for (char c : text) {
            Rgba unused;
            if (!palette_.byChar(c, unused)) row.fail(std::string("colour '") + c + "' is not in the palette");
        }
        map.rows.push_back(text);
    }
    if (map.rows.empty()) head.fail("empty map");
    map.height = static_cast<int>(map.rows.size());
    maps_[name] = std::move(map);
}

void ArtScript::defineGlyph(const SourceLine& head, const std::vector<SourceLine>& rows) {
    if (currentFont_.empty()) head.fail("glyph before any font");
    PixelFont& f = fonts_[currentFont_];
    const std::string& spec = head.token(1, "character");
    int code;
    if (spec == "space") code = ' ';
    else if (spec.rfind("code:", 0) == 0) code = intArg(head, spec.substr(5));
    else if (spec.size() == 1) code = static_cast<unsigned char>(spec[0]);
    else head.fail("a glyph is one character, 'space' or 'code:<number>'");
    if (code < 0 || code > 255) head.fail("character code out of range");
    if (static_cast<int>(rows.size()) != f.height())
        head.fail("glyph has " + std::to_string(rows.size()) + " rows, the font " + std::to_string(f.height()));
    Glyph g;
    for (const SourceLine& row : rows) {
        std::string text = trim(row.raw);
        if (g.rows.empty()) g.width = static_cast<int>(text.size());
        if (static_cast<int>(text.size()) != g.width) row.fail("glyph rows differ in width");
        for (char c : text)
            if (c != '#' && c != '.') row.fail("glyph rows hold only '#' and '.'");
        g.rows.push_back(text);
    }
    if (!f.add(code, std::move(g))) head.fail("glyph given twice");
}

void ArtScript::openSheet(const SourceLine& line) {
    writeSheet();
    Sheet s;
    s.file = line.token(1, "file name");
    if (s.file.find('/') != std::string::npos || s.file.size() < 5 || s.file.substr(s.file.size() - 4) != ".png")
        line.fail("a sheet is a plain file name ending in .png");
    if (done_.count(s.file)) line.fail("sheet '" + s.file + "' made twice");
    s.frameW = intArg(line, line.token(2, "frame width"));
    s.frameH = intArg(line, line.token(3, "frame height"));
    s.frames = 1;
    s.columns = 0;
    for (size_t i = 4; i < line.tokens.size(); i += 2) {
        const std::string& key = line.tokens[i];
        int value = intArg(line, line.token(i + 1, "value"));
        if (key == "frames") s.frames = value;
        else if (key == "columns") s.columns = value;
        else line.fail("unknown sheet option '" + key + "'");
    }
    if (s.columns == 0) s.columns = s.frames;
    if (s.frameW < 1 || s.frameH < 1 || s.frames < 1 || s.columns < 1 || s.columns > s.frames)
        line.fail("bad sheet size");
    if (static_cast<long>(s.columns) * s.frameW > kMaxSide || static_cast<long>(s.rows()) * s.frameH > kMaxSide)
        line.fail("sheet larger than " + std::to_string(kMaxSide) + " pixels a side");
    s.canvases.assign(static_cast<size_t>(s.frames), Canvas(s.frameW, s.frameH));
    open_ = std::move(s);
    hasOpen_ = true;
}

void ArtScript::runFrames(const SourceLine& head, const std::vector<SourceLine>& body) {
    if (!hasOpen_) head.fail("frames before any sheet");
    std::string range = head.token(1, "frame range");
    size_t dash = range.find('-', 1);
    int first = intArg(head, range.substr(0, dash));
    int last = dash == std::string::npos ? first : intArg(head, range.substr(dash + 1));
    if (first < 0 || last < first || last >= open_.frames)
        head.fail("frames " + range + " outside the sheet's " + std::to_string(open_.frames));
    for (int frame = first; frame <= last; ++frame) {
        Variables vars = globals_;
        vars["f"] = frame - first;
        vars["F"] = frame;
        vars["n"] = last - first + 1;
        vars["W"] = open_.frameW;
        vars["H"] = open_.frameH;
        Canvas& canvas = open_.canvases[static_cast<size_t>(frame)];
        for (const SourceLine& line : body) runCommand(line, canvas, vars);
    }
}

Rgba ArtScript::colour(const SourceLine& line, const std::string& token) const {
    Rgba c;
    if (!palette_.byToken(token, c)) line.fail("unknown colour '" + token + "'");
    return c;
}

Paint ArtScript::paint(const SourceLine& line, const std::string& spec) const {
    bool clip = !spec.empty() && spec[0] == '@';
    Paint p = solidOrGradient(line, clip ? spec.substr(1) : spec);
    p.setClipped(clip);
    return p;
}

Paint ArtScript::solidOrGradient(const SourceLine& line, const std::string& token) const {
    char sep = token.find('>') != std::string::npos ? '>' : token.find('~') != std::string::npos ? '~' : 0;
    if (!sep) return Paint(colour(line, token));
    std::vector<Rgba> stops;
    size_t start = 0;
    for (;;) {
        size_t at = token.find(sep, start);
        stops.push_back(colour(line, token.substr(start, at - start)));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return Paint(stops, sep == '>' ? Paint::Direction::Vertical : Paint::Direction::Horizontal);
}

const PixelFont& ArtScript::font(const SourceLine& line, const std::string& name) const {
    auto it = fonts_.find(name);
    if (it == fonts_.end()) line.fail("unknown font '" + name + "'");
    return it->second;
}

void ArtScript::runCommand(const SourceLine& line, Canvas& canvas, Variables& vars) {
    if (line.tokens.empty()) return;
    Args a{line, {}};
    try {
        for (const std::string& t : line.tokens) a.t.push_back(substitute(t, vars));
    } catch (const MediaError& e) {
        line.fail(e.what());
    }
    const std::string& cmd = a.t[0];
    Mask mask(canvas.width(), canvas.height());
    auto shape = [&](size_t paintIndex) { paintMask(canvas, mask, paint(line, a.t[paintIndex])); };

    if (cmd == "let") {
        a.need(3, "let <name> <expression>");
        std::string expression;
        for (size_t k = 2; k < a.t.size(); ++k) expression += a.t[k];
        try {
            vars[a.t[1]] = evaluate(expression, vars);
        } catch (const MediaError& e) {
            line.fail(e.what());
        }
    } else if (cmd == "fill") {
        a.need(2, "fill <paint>");
        maskRect(mask, 0, 0, canvas.width(), canvas.height());
        shape(1);
    } else if (cmd == "rect") {
        a.need(6, "rect <x> <y> <w> <h> <paint>");
        maskRect(mask, a.num(1), a.num(2), a.num(3), a.num(4));
        shape(5);
    } else if (cmd == "disc") {
        a.need(5, "disc <cx> <cy> <r> <paint>");
        maskDisc(mask, a.num(1), a.num(2), a.num(3));
        shape(4);
    } else if (cmd == "ring") {
        a.need(6, "ring <cx> <cy> <r> <thickness> <paint>");
        maskRing(mask, a.num(1), a.num(2), a.num(3), a.num(4));
        shape(5);
    } else if (cmd == "ellipse") {
        a.need(6, "ellipse <cx> <cy> <rx> <ry> <paint> [angle]");
        maskEllipse(mask, a.num(1), a.num(2), a.num(3), a.num(4), a.t.size() > 6 ? a.num(6) : 0.0);
        shape(5);
    } else if (cmd == "star") {
        a.need(8, "star <cx> <cy> <outer> <inner> <points> <angle> <paint>");
        int points = a.whole(5);
        if (points < 2 || points > 64) line.fail("a star has 2 to 64 points");
        maskStar(mask, a.num(1), a.num(2), a.num(3), a.num(4), points, a.num(6));
        shape(7);
    } else if (cmd == "poly") {
        a.need(8, "poly <paint> <x1> <y1> <x2> <y2> <x3> <y3> ...");
        if ((a.t.size() - 2) % 2) line.fail("poly needs pairs of coordinates");
        std::vector<Point> corners;
        for (size_t k = 2; k + 1 < a.t.size(); k += 2) corners.push_back({a.num(k), a.num(k + 1)});
        maskPolygon(mask, corners);
        shape(1);
    } else if (cmd == "line") {
        a.need(7, "line <x1> <y1> <x2> <y2> <width> <paint>");
        maskLine(mask, a.num(1), a.num(2), a.num(3), a.num(4), a.num(5));
        shape(6);
    } else if (cmd == "blob") {
        a.need(7, "blob <cx> <cy> <r> <rough> <seed> <paint>");
        maskBlob(mask, a.num(1), a.num(2), a.num(3), a.num(4), seedArg(line, a.t[5]));
        shape(6);
    } else if (cmd == "caustic") {
        a.need(10, "caustic <x> <y> <w> <h> <period x> <period y> <threshold> <seed> <paint>");
        maskCaustic(mask, a.whole(1), a.whole(2), a.whole(3), a.whole(4), a.whole(5), a.whole(6), a.num(7),
                    seedArg(line, a.t[8]));
        shape(9);
    } else if (cmd == "scatter") {
        a.need(9, "scatter <x> <y> <w> <h> <count> <r> <seed> <paint>");
        int count = a.whole(5);
        if (count < 0 || count > 100000) line.fail("scatter count out of range");
        maskScatter(mask, a.whole(1), a.whole(2), a.whole(3), a.whole(4), count, a.num(6), seedArg(line, a.t[7]));
        shape(8);
    } else if (cmd == "speckle") {
        a.need(8, "speckle <x> <y> <w> <h> <density> <seed> <paint>");
        maskSpeckle(mask, a.whole(1), a.whole(2), a.whole(3), a.whole(4), a.num(5), seedArg(line, a.t[6]));
        shape(7);
    } else if (cmd == "text" || cmd == "textc") {
        a.need(6, "text <font> <x> <y> <paint> \"<text>\" [scale x [scale y]]");
        const PixelFont& f = font(line, a.t[1]);
        int sx = a.t.size() > 6 ? a.whole(6) : 1;
        int sy = a.t.size() > 7 ? a.whole(7) : sx;
        if (sx < 1 || sy < 1 || sx > 16 || sy > 16) line.fail("text scale from 1 to 16");
        int missing = 0;
        int width = f.measure(a.t[5], sx, missing);
        if (width < 0) line.fail("font '" + f.name() + "' has no glyph for character " + std::to_string(missing));
        int x = a.whole(2) - (cmd == "textc" ? width / 2 : 0);
        f.cover(mask, a.t[5], x, a.whole(3), sx, sy);
        shape(4);
    } else if (cmd == "char") {
        a.need(6, "char <font> <code> <x> <y> <paint> [scale x [scale y]]");
        const PixelFont& f = font(line, a.t[1]);
        const Glyph* g = f.find(a.whole(2));
        if (!g) line.fail("font '" + f.name() + "' has no glyph for character " + a.t[2]);
        int sx = a.t.size() > 6 ? a.whole(6) : 1;
        int sy = a.t.size() > 7 ? a.whole(7) : sx;
        if (sx < 1 || sy < 1 || sx > 16 || sy > 16) line.fail("char scale from 1 to 16");
        f.coverGlyph(mask, *g, a.whole(3), a.whole(4), sx, sy);
        shape(5);
    } else if (cmd == "blit") {
        a.need(4, "blit <map> <x> <y> [flipx] [flipy]");
        auto it = maps_.find(a.t[1]);
        if (it == maps_.end()) line.fail("unknown map '" + a.t[1] + "'");
        const PixelMap& m = it->second;
        bool fx = false, fy = false;
        for (size_t k = 4; k < a.t.size(); ++k) {
            if (a.t[k] == "flipx") fx = true;
            else if (a.t[k] == "flipy") fy = true;
            else line.fail("unknown blit option '" + a.t[k] + "'");
        }
        int x0 = a.whole(2), y0 = a.whole(3);
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                char c = m.rows[static_cast<size_t>(fy ? m.height - 1 - y : y)][static_cast<size_t>(fx ? m.width - 1 - x : x)];
                Rgba px;
                palette_.byChar(c, px);
                if (!px.transparent()) canvas.set(x0 + x, y0 + y, px);
            }
    } else if (cmd == "sprite") {
        a.need(5, "sprite <sheet file> <frame> <x> <y> [scale] [flipx]");
        const Sheet* s = sheet(a.t[1]);
        if (!s) line.fail("no sheet '" + a.t[1] + "' made before this line");
        int frame = a.whole(2);
        if (frame < 0 || frame >= s->frames) line.fail("frame " + a.t[2] + " outside '" + a.t[1] + "'");
        int scale = 1;
        bool flip = false;
        for (size_t k = 5; k < a.t.size(); ++k) {
            if (a.t[k] == "flipx") flip = true;
            else scale = a.whole(k);
        }
        if (scale < 1 || scale > 16) line.fail("sprite scale from 1 to 16");
        const Canvas& src = s->canvases[static_cast<size_t>(frame)];
        if (&src == &canvas) line.fail("a frame cannot draw itself");
        drawCanvas(canvas, src, 0, 0, src.width(), src.height(), a.whole(3), a.whole(4), scale, flip);
    } else if (cmd == "copy") {
        a.need(2, "copy <frame>");
        int frame = a.whole(1);
        if (frame < 0 || frame >= open_.frames) line.fail("frame " + a.t[1] + " outside the sheet");
        if (&open_.canvases[static_cast<size_t>(frame)] != &canvas) canvas = open_.canvases[static_cast<size_t>(frame)];
    } else if (cmd == "clear") {
        canvas = Canvas(canvas.width(), canvas.height());
    } else if (cmd == "flipx") {
        flipX(canvas);
    } else if (cmd == "flipy") {
        flipY(canvas);
    } else if (cmd == "rotate") {
        if (canvas.width() != canvas.height()) line.fail("only square frames turn");
        rotate(canvas);
    } else if (cmd == "cutcorner") {
        a.need(3, "cutcorner tl|tr|bl|br <radius>");
        int r = a.whole(2);
        if (r < 1 || r > canvas.width() || r > canvas.height()) line.fail("corner radius out of range");
        const std::string& which = a.t[1];
        if (which != "tl" && which != "tr" && which != "bl" && which != "br") line.fail("corner is tl, tr, bl or br");
        bool right = which[1] == 'r', bottom = which[0] == 'b';
        for (int j = 0; j < r; ++j)
            for (int i = 0; i < r; ++i) {
                // distance of the pixel centre from the corner box's inner corner
                double dx = r - (i + 0.5), dy = r - (j + 0.5);
                if (dx * dx + dy * dy <= (r - 1.0) * (r - 1.0)) continue;
                int x = right ? canvas.width() - 1 - i : i;
                int y = bottom ? canvas.height() - 1 - j : j;
                canvas.set(x, y, kClear);
            }
    } else if (cmd == "shift") {
        a.need(3, "shift <dx> <dy>");
        shift(canvas, a.whole(1), a.whole(2));
    } else if (cmd == "outline") {
        a.need(2, "outline <paint> [diag]");
        outline(canvas, paint(line, a.t[1]), a.t.size() > 2 && a.t[2] == "diag");
    } else if (cmd == "bevel") {
        a.need(3, "bevel <light> <dark>");
        bevel(canvas, colour(line, a.t[1]), colour(line, a.t[2]));
    } else if (cmd == "recolor") {
        a.need(3, "recolor <from> <to>");
        recolor(canvas, colour(line, a.t[1]), colour(line, a.t[2]));
    } else {
        line.fail("unknown command '" + cmd + "'");
    }
}

void ArtScript::writeSheet() {
    if (!hasOpen_) return;
    Canvas whole = open_.assemble();
    std::vector<uint8_t> rgba;
    rgba.reserve(whole.pixels().size() * 4);
    for (const Rgba& c : whole.pixels()) {
        // Transparent pixels are written as 0,0,0,0 whatever colour erased them.
        Rgba out = c.transparent() ? kClear : c;
        rgba.insert(rgba.end(), {out.r, out.g, out.b, out.a});
    }
    writePngRgba(outputDir_ + "/" + open_.file, whole.width(), whole.height(), rgba);
    written_.push_back(open_.file);
    std::string file = open_.file;
    done_[file] = std::move(open_);
    open_ = Sheet();
    hasOpen_ = false;
}

void ArtScript::finish() { writeSheet(); }

}  // namespace media
