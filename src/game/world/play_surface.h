// Showing the 240 x 160 play surface (sprite 500) in the window: one quad
// without filtering from (OVERSCAN_H, OVERSCAN_V) to (SCREEN_W - OVERSCAN_H,
// SCREEN_H - OVERSCAN_V), over black margins when a margin is set. Every
// screen but the editor ends its frame with it, drawing into whatever
// surface is selected (the window).
#pragma once

double PresentPlaySurface();
