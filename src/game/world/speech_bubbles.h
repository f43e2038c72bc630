// The two speech bubbles of level 0's meeting: they move one pixel apart
// every eight frames for five steps, and after ten steps the briefing
// (GAME_PHASE 2) begins. The in-game loop runs the same steps in its own
// phase 1.
#pragma once

double DrawSpeechBubble();
