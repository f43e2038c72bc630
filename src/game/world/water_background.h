// The wobbling water background that every screen draws first: the water
// picture (sprite 550) as one strip of 15 bands, each band's texture
// corners pushed by the wobble tables at the moving angle WAVE_ANGLE.
#pragma once

// One frame of the background; WAVE_ANGLE moves by -1 over the call and
// stays between -1 and 239.
double DrawWaterBackground();
// The wobble tables: WAVE_SIN and WAVE_COS of 1,000 elements, elements 0 to
// 799 filled with 5 sin(a) and 5 cos(360 - a) for a = 0, 3, 6, ... (wrapping
// at 360), the rest 0; WAVE_ANGLE 0 afterwards. The game's main routine runs
// it once at start-up.
double FillWaveTables();
