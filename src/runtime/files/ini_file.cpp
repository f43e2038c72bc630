// INI documents over the read streams, the pack resolver and the exclusive
// disk opens.
#include "runtime/files/ini_file.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/files/read_stream.h"
#include "runtime/strings/ascii_text.h"

namespace {

constexpr int32_t kIniLineBytes = 1024;  // the line buffer, the NUL included

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
const char* skipSpace(const char* p) {
    while (isSpace(*p)) ++p;
    return p;
}
// The end of a name run: a blank, tab, line end, "=" or the end of the text.
const char* runEnd(const char* p) {
    while (*p && !isSpace(*p) && *p != '=') ++p;
    return p;
}

RtString textOf(const char* begin, const char* end) {
    return RtString::fromBytes(begin, static_cast<uint32_t>(end - begin));
}

int32_t findSection(const IniFile& ini, const RtString& name) {
    for (int32_t i = 0; i < ini.sections.count; ++i)
        if (rtstring::equalsIgnoringAsciiCase(ini.sections[i].name.data, name.data)) return i;
    return -1;
}

int32_t findPair(const IniSection& section, const RtString& key) {
    for (int32_t i = 0; i < section.pairs.count; ++i)
        if (rtstring::equalsIgnoringAsciiCase(section.pairs[i].key.data, key.data)) return i;
    return -1;
}

// One line of the file into the current section (or, at a header, the
// current section into the document).
void parseLine(const char* line, IniFile& ini, IniSection& current) {
    const char* p = skipSpace(line);
    if (*p == ';') return;
    if (*p == '[') {
        if (current.pairs.count > 0) {
            ini.sections.append(current);
            current.pairs.clear(false);
        }
        // The name runs to the line's last "]" (or its end), so every name
        // the writer puts between "[" and "]" reads back whole, blanks, "="
        // and "]" inside it included.
        const char* begin = skipSpace(p + 1);
        const char* end = std::strrchr(begin, ']');
        if (!end) end = begin + std::strlen(begin);
        while (end > begin && isSpace(end[-1])) --end;
        if (end > begin) current.name = textOf(begin, end);
        return;
    }
    const char* keyEnd = runEnd(p);
    const char* q = keyEnd;
    if (!*q) return;
    if (*q != '=') {
        q = skipSpace(q);
        if (*q != '=') return;
    }
    const char* value = skipSpace(q + 1);
    if (!*value) return;
    const char* valueEnd = value + std::strlen(value);
    while (valueEnd > value && static_cast<unsigned char>(valueEnd[-1]) <= 0x1F) --valueEnd;
    current.pairs.append(IniPair{textOf(p, keyEnd), textOf(value, valueEnd)});
}

void closeDocument(IniFile& ini) {
    ini.dirty = 0;
    ini.fileName.clear();
    ini.diskPath.clear();
    clearIniSections(ini);
}

}  // namespace

IniFile& getIniFile() {
    static IniFile document;  // step 128, minimum 512
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(writeIniFileAtExit);
    }
    return document;
}

void clearIniSections(IniFile& ini) { ini.sections.clear(true); }

void parseIniFile(IniFile& ini, const RtString& name) {
    closeDocument(ini);
    char diskName[files::kPathBufferSize];
    char resolved[files::kPathBufferSize] = "";
    bool found = files::resolveDiskPath(name.data, diskName) &&
                 resolvePackedFile(filePackArchive(), diskName, resolved, 1);
    ini.sections.step = 16;
    ini.sections.minimum = 8;
    ini.fileName = found ? RtString(resolved) : name;
    // Made whole now, so the write-back goes to this file whatever the
    // current folder is by then; a document from the pack has none.
    // A name that cannot be a disk path (too long) keeps its text, so the
    // write-back fails in the open and the log says why.
    if (!diskName[0]) ini.diskPath = name;
    else if (!files::isMemBlockName(found ? resolved : diskName))
        ini.diskPath = RtString(files::absolutePath(diskName).c_str());
    ReadStream stream;
    if (!readStreamOpen(stream, ini.fileName.data)) {
        // A file that is there but cannot be read (a writer holds it, it is
        // not readable) is not the document's to write: a write-back would
        // put the little the document knows in the place of all it holds.
        if (found) {
            ini.fileName.clear();
            ini.diskPath.clear();
        }
        return;
    }
    IniSection current;
    current.pairs.step = 32;
    current.pairs.minimum = 32;
    char line[kIniLineBytes];
    while (readStreamReadLine(stream, line, kIniLineBytes)) parseLine(line, ini, current);
    if (current.pairs.count > 0) ini.sections.append(current);
    readStreamClose(stream);
}

RtString findIniValue(const IniFile& ini, const RtString& section, const RtString& key,
                      const RtString& defaultValue) {
    int32_t s = findSection(ini, section);
    if (s < 0) return defaultValue;
    int32_t k = findPair(ini.sections[s], key);
    return k < 0 ? defaultValue : ini.sections[s].pairs[k].value;
}

void writeIniFile(const IniFile& ini) {
    if (ini.diskPath.isEmpty()) return;
    std::string text;
    for (int32_t s = 0; s < ini.sections.count; ++s) {
        const IniSection& section = ini.sections[s];
        text.append("[").append(section.name.data, section.name.length).append("]\r\n");
        for (int32_t k = 0; k < section.pairs.count; ++k) {
            const IniPair& pair = section.pairs[k];
            text.append(pair.key.data, pair.key.length).append("=");
            text.append(pair.value.data, pair.value.length).append("\r\n");
        }
    }
    files::replaceWholeFile(ini.diskPath.data, text.data(), text.size(), "INI file");
}

RtString GetIniValue(const RtString& section, const RtString& key, const RtString& defaultValue) {
    return findIniValue(getIniFile(), section, key, defaultValue);
}

void PutIniValue(const RtString& section, const RtString& key, const RtString& value) {
    IniFile& ini = getIniFile();
    int32_t s = findSection(ini, section);
    if (key.isEmpty()) {
        if (s < 0) return;
        int32_t last = ini.sections.count - 1;
        if (s != last) {
            ini.sections[s].name = ini.sections[last].name;
            ini.sections[s].pairs.swap(ini.sections[last].pairs);
        }
        ini.sections.count = last;
        ini.dirty = 1;
        return;
    }
    if (s < 0) {
        IniSection fresh;
        fresh.name = section;
        int32_t before = ini.sections.count;
        ini.sections.append(fresh);
        if (ini.sections.count != before + 1) return;  // no storage for it
        s = before;
    }
    IniSection& target = ini.sections[s];
    int32_t k = findPair(target, key);
    if (k >= 0) {
        ini.dirty = 1;
        if (value.isEmpty()) {
            int32_t last = target.pairs.count - 1;
            if (k != last) target.pairs[k] = target.pairs[last];
            target.pairs.count = last;
        } else {
            target.pairs[k].value = value;
        }
        return;
    }
    if (value.isEmpty()) return;
    ini.dirty = 1;
    target.pairs.append(IniPair{key, value});
}

void OpenIniFile(const RtString& name) {
    IniFile& ini = getIniFile();
    if (ini.dirty && !ini.fileName.isEmpty()) writeIniFile(ini);
    if (name.isEmpty()) closeDocument(ini);
    else parseIniFile(ini, name);
}

void writeIniFileAtExit() {
    IniFile& ini = getIniFile();
    if (ini.dirty && !ini.fileName.isEmpty()) writeIniFile(ini);
    ini.fileName.clear();
    ini.diskPath.clear();
    clearIniSections(ini);
}
