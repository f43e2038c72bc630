// RtString: the runtime's one text value.
//
// Three fields, in this order: the text (always NUL-terminated, never null),
// the bytes allocated (0 for the shared empty buffer) and the length (the NUL
// not counted). Empty values point at one shared, read-only empty buffer and
// own nothing; copies duplicate the bytes; the text may hold NUL bytes. Growth
// is linear in steps of 16 bytes (see reserve). C text handed to the value
// operations is measured like lstrlenA: a null pointer counts as empty.
//
// The operator families over every operand kind live in string_concat.h
// (+ and +=) and string_compare.h (the six comparisons); both are included
// at the end of this header. Conversions are in number_text.h, searching and
// editing in text_edit.h and text_search.h, URL text in url_text.h.
#pragma once
#include <cstdint>
#include <cwchar>

#include "runtime/strings/string_operands.h"

// Length of C text up to its first NUL; 0 for a null pointer.
uint32_t measureText(const char* text);

class RtString {
public:
    char* data;
    uint32_t capacity;
    uint32_t length;

    RtString();
    RtString(const char* text);
    RtString(const RtString& other);
    RtString(RtString&& other) noexcept;
    explicit RtString(const wchar_t* text);
    RtString(int value);
    RtString(long long value);
    RtString(float value);
    RtString(double value);
    ~RtString();

    // Lower-case hexadecimal without leading zeros ("%x").
    static RtString fromHex(uint32_t value);
    // `count` raw bytes (NULs included) as a new value; 0 gives the empty value.
    static RtString fromBytes(const void* bytes, uint32_t count);

    void clear();

    // Room for `needed` bytes and a NUL. Nothing when needed is 0 or already
    // fits; otherwise the capacity becomes (needed + 1) & ~15 plus 16. With
    // keep the old text survives, else the buffer reads as empty and the
    // caller sets the length.
    void reserve(uint32_t needed, bool keep);
    // reserve(n, true), then the buffer for raw writing (n + 1 bytes); the
    // caller counts the text afterwards with recountLength. n must be above 0.
    char* writableBuffer(uint32_t n);
    // length = bytes before the first NUL inside the capacity; with no NUL
    // inside, the last byte becomes the NUL.
    void recountLength();

    // Keeps the target's buffer when it is large enough, also for temporaries.
    RtString& operator=(const RtString& other);
    RtString& operator=(const char* text) { return assign(text); }
    RtString& assign(const char* text);
    RtString& assign(const wchar_t* text);

    RtString& operator+=(const RtString& other);
    RtString& operator+=(const char* text);
    // The decimal or short double text of a number (string_concat.h).
    template <rtstring::NumberOperand N>
    RtString& operator+=(N value);
    // A character or a truth value is no number: use appendChar.
    template <typename C>
        requires rtstring::CharacterType<C> || std::same_as<C, bool>
    RtString& operator+=(C) = delete;
    RtString& appendChar(char c);
    // `count` raw bytes appended (NULs included).
    RtString& appendBytes(const void* bytes, uint32_t count);

    uint32_t textLength() const { return measureText(data); }
    bool equals(const char* text) const;
    bool equals(const RtString& other) const;
    bool isEmpty() const { return length == 0; }
    const char* c_str() const { return data; }

    // Number values of the text up to its first NUL (string_members.cpp):
    // atof and atoi rules of number_format.h.
    double toDouble() const;
    int toInt() const;
    // strcmp of the text against C text (a null pointer counts as empty).
    int compare(const char* text) const;
    // -1, 0 or 1 by number; 0 also when either side is a NaN.
    int compare(double value) const;
    int compare(int value) const;
    // The text widened byte by byte (Latin-1) into one shared buffer of 512
    // wide characters, NUL included; longer text is cut. Every call
    // overwrites the buffer, and it is not for two threads at once.
    const wchar_t* toWide() const;
    // Cuts the text to n bytes when 0 <= n < length; the buffer stays.
    void truncate(int n);
    // Cuts every trailing byte 0x00 to 0x1F (line ends and the like).
    void stripTrailingControl();
    // Only A to Z and a to z change.
    void toLowerInPlace();
    void toUpperInPlace();

    // The shared empty buffer.
    static char* emptyBuffer();
    bool ownsBuffer() const { return data != nullptr && data != emptyBuffer(); }
};

RtString operator+(const RtString& left, const RtString& right);
RtString operator+(const char* left, const RtString& right);
RtString operator+(const RtString& left, const char* right);
RtString concatText(const char* first, const char* second);

#include "runtime/strings/string_concat.h"
#include "runtime/strings/string_compare.h"
