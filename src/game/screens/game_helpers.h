// The game's small toolkit: media loaded into sprites with an automatic
// sprite number, angle texts, clamping, the file name of a path, the
// desktop's debug lines, fields of a text, attributes of a mark-up tag, a
// screenshot and the window title. Numbers in, a number or a text out.
#pragma once
#include "runtime/strings/rt_string.h"

// Media loaders. Each resolves a copy of the name through the media
// resolver, loads the working directory's path followed by the name into
// the sprite (-1: the first free sprite), asks the device to check its
// memory, and returns the sprite number used. A failed load records error 3
// as its command does.
double LoadMediaSprite(const RtString& name, double sprite);
double LoadMediaAnim(const RtString& name, int frameWidth, int frameHeight, double sprite);
double LoadMediaBackground(const RtString& name);  // returns 0.0
// The font number used; -1 takes the first free sprite's number, as the
// sprite loaders do (a number outside 0 to 31 then records error 7).
double LoadMediaFont(const RtString& name, double font);
double LoadMediaNormalMap(const RtString& name, double sprite);

// An angle in degrees as whole degrees, the degree sign (byte 0xB0) and a
// blank, minutes, "' ", seconds and '"'; the sign is lost when the whole
// degrees are 0.
RtString AngleToText(double angle);
RtString LongitudeToText(double angle);  // + " W" below 0, else " E"
RtString LatitudeToText(double angle);   // + " S" below 0, else " N"
// The value held to low..high; low for a NaN.
double Clamp(double value, double low, double high);
// What follows the last "/" or "\" of the path; the whole path without either.
RtString FileNameOfPath(const RtString& path);
// Field n (from 1) of the text cut at each occurrence of the separator's
// first character; "" when there is no field n.
RtString SplitTokens(const RtString& text, int n, const RtString& separator);
// The value of key="value" in a one-line tag such as <img src="a.png" w="3"/>;
// "0" when the key is not among its first 32 fields or a field is empty.
RtString GetTagAttribute(const RtString& text, const RtString& key);

// "[VNT]->" + text + a line feed on standard output, on desktops only, and
// only when the text differs from the last one given. Returns 0.0.
double DebugPrint(const RtString& text);
// The next DebugPrint prints its text whatever came before (tests).
void resetDebugPrintMemory();
// The current picture into an image file, fully opaque; nothing is written
// when the picture cannot be taken. The first free sprite carries the
// picture and keeps an 8 x 8 grab afterwards. Returns 0.0.
double SaveScreenshot(const RtString& file);
// SCREENSHOT_SPRITE, the sprite it used, is a game global (game_state.h).
// The main window's title. Returns 0.0.
double SetWindowTitle(const RtString& text);
