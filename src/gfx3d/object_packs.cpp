// Loading an object pack into an object slot.
#include "gfx3d/object_packs.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gfx2d/decoded_image.h"
#include "gfx2d/image_files.h"
#include "gfx2d/texture_upload.h"
#include "gfx3d/ddd_binary.h"
#include "gfx3d/rainbows3d.h"
#include "runtime/files/ini_file.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/files/read_stream.h"

namespace {

// The pack's INI text. A "mem://" pack is parsed from a private copy: the
// resolves that parsing and loading make release the block it names.
void parsePack(IniFile& ini, const char* name) {
    if (!files::isMemBlockName(name)) {
        parseIniFile(ini, RtString(name));
        return;
    }
    ReadStream stream;
    std::vector<uint8_t> bytes;
    if (readStreamOpen(stream, name) && stream.size > 0 && stream.size <= INT32_MAX) {
        bytes.resize(static_cast<size_t>(stream.size));
        if (!readStreamRead(stream, bytes.data(), static_cast<int32_t>(bytes.size()))) bytes.clear();
        bytes.resize(static_cast<size_t>(std::min<int64_t>(stream.position, static_cast<int64_t>(bytes.size()))));
    }
    readStreamClose(stream);
    if (bytes.empty()) {
        parseIniFile(ini, RtString(""));
        return;
    }
    const uint32_t key = files::registerMemBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
    char copyName[files::kMemBlockNameLength + 1];
    files::formatMemBlockName(copyName, static_cast<uint32_t>(bytes.size()), key);
    parseIniFile(ini, RtString(copyName));
    files::unregisterMemBlock(key);
}

// The pack's folder: its name up to and including the last "/" or "\".
std::string folderOf(const char* name) {
    const char* end = nullptr;
    for (const char* c = name; *c; ++c) {
        if (*c == '/' || *c == '\\') end = c + 1;
    }
    return end ? std::string(name, static_cast<size_t>(end - name)) : std::string();
}

int32_t entryCount(const IniFile& ini, const char* section) {
    const int32_t n = findIniValue(ini, RtString(section), RtString("count"), RtString("0")).toInt();
    return std::clamp(n, 0, kMaxPackEntries);
}

// folder + the value of the key, resolved through the file pack context.
// The buffer is used whatever the resolver says.
void resolveEntry(const IniFile& ini, const std::string& folder, const char* section, const RtString& key,
                  char (&resolved)[files::kPathBufferSize]) {
    const RtString value = findIniValue(ini, RtString(section), key, RtString("0"));
    const std::string name = folder + value.c_str();
    resolved[0] = '\0';
    resolvePackedFile(filePackArchive(), name.c_str(), resolved, 1);
}

// A texture number counted from 1 as an index into textureNames; 0 and
// negative numbers stay as they are.
int32_t textureIndex(const IniFile& ini, int32_t model, const char* suffix) {
    const int32_t n = findIniValue(ini, RtString("objects"), RtString(model) + suffix, RtString("0")).toInt();
    return n > 0 ? n - 1 : n;
}

void loadTexture(const char* file, uint32_t transparentColour, uint32_t& textureName) {
    DecodedImage image;
    if (!loadBmpImage(image, file, transparentColour) && !loadPngImage(image, file, transparentColour) &&
        !loadJpegImage(image, file)) {
        return;
    }
    if (image.hasAlpha == 0) fillTransparentPixelColours(image);
    GLuint name = 0;
    if (createTextureFromImage(image, 0, 0, 0, 0, &name, nullptr, false, false)) textureName = name;
}

}  // namespace

int32_t loadObjectPack(Rainbows3D& renderer, const char* name, Object3DSlot& slot, uint32_t transparentColour) {
    slot.used = 1;
    slot.multiPart = 1;
    IniFile ini;
    parsePack(ini, name);
    const std::string folder = folderOf(name);
    char resolved[files::kPathBufferSize];

    const int32_t textures = entryCount(ini, "textures");
    slot.textureNames.count = 0;
    if (textures > 0 && slot.textureNames.reserve(textures)) {
        slot.textureNames.count = textures;
        for (int32_t k = 0; k < textures; ++k) slot.textureNames.data[k] = 0;
        for (int32_t k = 1; k <= textures && renderer.glReady(); ++k) {
            resolveEntry(ini, folder, "textures", RtString(k), resolved);
            loadTexture(resolved, transparentColour, slot.textureNames.data[k - 1]);
        }
    }

    const int32_t models = entryCount(ini, "objects");
    slot.parts.count = 0;
    if (models > 0 && slot.parts.reserve(models)) {
        slot.parts.count = models;
        for (int32_t p = 0; p < models; ++p) {
            MeshObjectX& part = slot.parts.data[p];
            resolveEntry(ini, folder, "objects", RtString(p + 1), resolved);
            loadDddFile(part, resolved);
            part.textureA = textureIndex(ini, p + 1, "ta");
            part.textureB = textureIndex(ini, p + 1, "tb");
            part.buildFaces();
            part.computeFrameBounds();
        }
    }
    clearIniSections(ini);
    return 1;
}
