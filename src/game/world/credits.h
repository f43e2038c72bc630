// The credits page: four headings with their credited names over the moving
// water, until "b2" is pressed (ignored for the first 20 frames, and while
// it is still held from before the page opened).
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// The eight lines of the page, top to bottom, all at x 10.
struct CreditLine {
    int32_t y;
    const char* text;
};
constexpr int32_t kCreditLineCount = 8;
extern const CreditLine kCreditLines[kCreditLineCount];

// One frame of the page on the play surface (the water and the eight lines).
void drawCreditsPage();
// The page's own frame loop; returns 0.0 when the page is left.
double ShowCredits();
