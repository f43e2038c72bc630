// Object packs: a small INI text file that assembles one multi-part object
// from a list of texture images and a list of .ddd models, each model one
// part of the slot with the numbers of the one or two textures it is drawn
// with. The file begins with ";DDW" (a comment line for the INI reader):
//
//   [textures]  count=N, then 1=image ... N=image
//   [objects]   count=M, then 1=model ... M=model, and per model k the
//               texture numbers kta= and ktb= (counted from 1; 0 = none)
//
// Names are relative to the pack's folder and resolve through the file pack
// context, so packs and their files may lie on disk, in the pack appended
// to the executable or in memory blocks. Section and key names ignore case.
//
// Departures: a pack that is itself a "mem://" block (a pack inside the
// appended pack) is read from a private copy, since resolving its first file
// releases the block it came from; textures are made only while a GL context
// exists, and an image that does not decode leaves texture name 0; the
// texture and model counts are limited to kMaxPackEntries.
#pragma once
#include <cstdint>

class Rainbows3D;
struct Object3DSlot;

// RGB(255, 0, 128): the transparent colour of the images of a pack.
constexpr uint32_t kPackTransparentColour = 0x8000FFu;
// More textures or models than this in one pack are not loaded.
constexpr int32_t kMaxPackEntries = 4096;

// Fills the slot from the pack file: used and multiPart 1, the textures in
// textureNames, one part per model. Always 1.
int32_t loadObjectPack(Rainbows3D& renderer, const char* name, Object3DSlot& slot, uint32_t transparentColour);
