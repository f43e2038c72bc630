// The font every font number prints with until a font file is loaded for it:
// a 128 x 128 image of 16 x 16 cells of 8 x 8 pixels, code c in column
// c % 16 of row c / 16, white glyphs on transparent pixels; codes 33 to 126
// have glyphs, the others are blank.
#pragma once
#include "gfx2d/decoded_image.h"

DecodedImage makeBuiltInFontImage();
