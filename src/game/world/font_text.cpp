// The game's bitmap text.
//
// Departure: the bytes of the text are read as unsigned, and a character
// whose frame lies outside the font (a control code, or a byte of 127 and
// above) is skipped but keeps its place; drawing its frame would have picked
// a square beyond the font picture.
#include "game/world/font_text.h"

#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

int32_t fontKerning(uint8_t character) {
    switch (character) {
        case '\'': return -3;
        case '1': return -2;
        case 'I':
        case 'i':
        case 'l': return -3;
        case 'T':
        case 't': return -1;
        case 'K':
        case 'M':
        case 'W':
        case 'Y':
        case 'm': return 1;
        default: return 0;
    }
}

double DrawFontText(double x, double y, const RtString& text) {
    const int32_t top = truncateToInt32(y);
    forEachFontGlyph(x, text, [top](int32_t frame, double left) {
        if (frame < 0 || frame >= kFontFrames) return;
        DrawAnimFrame(kSpriteFont, frame, truncateToInt32(left), top);
    });
    return 0.0;
}
