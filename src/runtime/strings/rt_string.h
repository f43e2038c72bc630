// RtString: the runtime's one text value.
//
// Three fields, in this order: the text (always NUL-terminated, never null),
// the bytes allocated (0 for the shared empty buffer) and the length (the NUL
// not counted). Empty values point at one shared, read-only empty buffer and
// own nothing; copies duplicate the bytes; the text may hold NUL bytes. Growth
// is linear in steps of 16 bytes (see reserve). C text handed to the value
// operations is measured like lstrlenA: a null pointer counts as empty.
#pragma once
#include <cstdint>
#include <cwchar>

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
    RtString& appendChar(char c);

    uint32_t textLength() const { return measureText(data); }
    bool equals(const char* text) const;
    bool equals(const RtString& other) const;
    bool isEmpty() const { return length == 0; }
    const char* c_str() const { return data; }

    // The shared empty buffer.
    static char* emptyBuffer();
    bool ownsBuffer() const { return data != nullptr && data != emptyBuffer(); }
};

RtString operator+(const RtString& left, const RtString& right);
RtString operator+(const char* left, const RtString& right);
RtString operator+(const RtString& left, const char* right);
RtString concatText(const char* first, const char* second);
