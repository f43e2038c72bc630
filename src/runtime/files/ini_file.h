// INI documents: sections of key=value pairs read from a text file (through
// the pack resolver, so a document may come from the pack appended to the
// executable), looked up and changed by section and key, and written back.
//
// The runtime keeps one process-wide document for game code (OpenIniFile,
// GetIniValue, PutIniValue): a changed document is written back to its file
// when the next one is opened and when the process exits. Other users (the
// 3-D object-pack loader) keep documents of their own with parseIniFile and
// findIniValue; nothing is registered or written back for those.
//
// Text: lines end at "\n" (a "\r" before it goes) and hold at most 1,023
// bytes, a longer line going on as a line of its own. Leading blanks, tabs,
// "\r" and "\n" are skipped; ";" starts a comment line; "[name]" starts a
// section (the name runs to the line's last "]", blanks around it cut);
// "key = value" adds a pair (no blank inside the key; trailing
// control bytes of the value cut, trailing blanks kept; a pair with nothing
// behind "=" is not added). A header with no pair behind it makes no
// section; pairs before the first header form a section with the empty name.
// Names of sections and keys compare without regard to ASCII letter case;
// duplicates are kept, and every lookup and change takes the first match.
// The writer produces "[name]" and "key=value" lines, each ended by CR LF.
//
// Departures: a header's name used to end at its first blank or "=", so a
// section the writer wrote as "[High Scores]" read back as "High" and its
// values were lost to the next run; it now runs to the last "]". And a
// document opened by a relative name was written back relative to the
// current folder of the write-back, into another file after a change of
// folder; it goes back to the file it was read from.
//
// Nothing here records an RtErrorCode or ends the program: a missing file
// gives an empty document, a file that cannot be written is not written
// (the write-back is a whole-file save, file_replacement.h: the old file
// stays whole, and the failure is noted in the error log as "INI file").
#pragma once
#include <cstdint>

#include "runtime/containers/rt_vector.h"
#include "runtime/strings/rt_string.h"

struct IniPair {
    RtString key;    // as written, letter case kept
    RtString value;
};

struct IniSection {
    RtString name;             // as written; may be empty
    RtVector<IniPair> pairs;   // in file order
};

struct IniFile {
    RtVector<IniSection> sections;  // in file order
    RtString fileName;  // where it was read from: the name, or the pack's MemBlockName; "" = none
    RtString diskPath;  // where it goes back to: the disk file's whole path at the parse; "" = nowhere (the pack, none)
    uint8_t dirty = 0;  // 1 once a value changed since the last parse or close
};

// The process-wide document; the first call makes it empty and registers
// writeIniFileAtExit to run at process exit.
IniFile& getIniFile();

// Replaces the document's content with the named file. A file neither on
// disk nor in the pack leaves it empty, with fileName = the name; one that is
// there but cannot be read (held by a writer) leaves it empty with no
// fileName, so nothing is ever written back in its place.
void parseIniFile(IniFile& ini, const RtString& name);
// The value of the first matching key in the first matching section, else a
// copy of the default (a later section of the same name is not searched).
RtString findIniValue(const IniFile& ini, const RtString& section, const RtString& key,
                      const RtString& defaultValue);
// Destroys every section with its pairs and frees the storage.
void clearIniSections(IniFile& ini);
// Writes the document to its diskPath (nothing for a document from the pack),
// whatever the current folder is by now. `dirty` stays.
void writeIniFile(const IniFile& ini);

// The commands over the process-wide document.
RtString GetIniValue(const RtString& section, const RtString& key, const RtString& defaultValue);
// Sets the key's value (appending the section or the pair when missing). An
// empty value removes the pair, an empty key the whole section: the last
// pair (section) then takes the removed one's place.
void PutIniValue(const RtString& section, const RtString& key, const RtString& value);
// Writes a changed document back, then reads the named file (an empty name
// only closes the document).
void OpenIniFile(const RtString& name);
// The exit handler: writes a changed document back, then empties it.
void writeIniFileAtExit();
