// Wide text and RtString.
//
// The runtime never changes the C library's start-up locale, under which the
// conversion between bytes and wide characters is Latin-1: each byte widens
// to the character of the same number, and each wide character up to 0xFF
// narrows to its byte. A wide character above 0xFF has no byte: where the
// C library gave up on the whole text, it becomes "?" here and the rest of
// the text is kept. The wide view of a string lives in one shared buffer of
// 512 wide characters; a longer text is cut so that the buffer always ends
// in a NUL.
#include <cstring>
#include <new>
#include <cwchar>

#include "runtime/strings/rt_string.h"

namespace {

constexpr size_t kWideViewSize = 512;  // wide characters, the NUL included
wchar_t wideView[kWideViewSize];

}  // namespace

RtString::RtString(const wchar_t* text) : RtString() { assign(text); }

RtString& RtString::assign(const wchar_t* text) {
    if (text == nullptr) {
        clear();
        return *this;
    }
    size_t wideLength = std::wcslen(text);
    if (wideLength >= UINT32_MAX - 32) throw std::bad_alloc();
    // One byte per wide character and the NUL, as the conversion limit was.
    const uint32_t n = static_cast<uint32_t>(wideLength) + 1;
    reserve(n, false);
    for (size_t i = 0; i < wideLength; ++i) {
        const auto c = static_cast<uint32_t>(text[i]);
        data[i] = static_cast<char>(c <= 0xFF ? c : '?');
    }
    length = static_cast<uint32_t>(wideLength);
    data[length] = '\0';
    return *this;
}

const wchar_t* RtString::toWide() const {
    size_t count = length < kWideViewSize - 1 ? length : kWideViewSize - 1;
    for (size_t i = 0; i < count; ++i) wideView[i] = static_cast<unsigned char>(data[i]);
    wideView[count] = L'\0';
    return wideView;
}
