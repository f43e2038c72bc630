// Cutting, trimming, replacing and case conversion of string values.
//
// Replacement with a text of the find text's length edits a copy in place;
// any other replacement assembles the result once at its final size (the
// text is the same as replacing one occurrence after another).
#include "runtime/strings/text_edit.h"

#include <cstring>
#include <new>

#include "runtime/strings/text_search.h"

RtString ExtractSubstring(const RtString& text, int32_t start, int32_t count) {
    const int64_t length = text.length;
    int64_t take = count < 0 ? length : count;
    if (int64_t{start} + take > length) take = length - start;
    RtString result;
    if (take <= 0 || start >= length || start < 0) return result;
    result.reserve(static_cast<uint32_t>(take) + 1, false);
    std::memcpy(result.data, text.data + start, static_cast<size_t>(take));
    result.length = static_cast<uint32_t>(take);
    result.data[result.length] = '\0';
    return result;
}

namespace {

bool inSet(const RtString& set, char c) {
    return std::memchr(set.data, c, set.length) != nullptr;
}

}  // namespace

RtString TrimRight(const RtString& text, const RtString& set) {
    if (text.length == 0) return RtString();
    if (set.length == 0) return text;
    int64_t i = int64_t{text.length} - 1;
    while (i >= 0 && inSet(set, text.data[i])) --i;
    if (i < 0) return RtString();
    if (i == int64_t{text.length} - 1) return text;
    return ExtractSubstring(text, 0, static_cast<int32_t>(i + 1));
}

RtString TrimLeft(const RtString& text, const RtString& set) {
    if (text.length == 0) return RtString();
    if (set.length == 0) return text;
    uint32_t i = 0;
    while (i < text.length && inSet(set, text.data[i])) ++i;
    if (i == text.length) return RtString();
    if (i == 0) return text;
    return ExtractSubstring(text, static_cast<int32_t>(i), -1);
}

RtString replaceAll(const RtString& text, const RtString& find, const RtString& replacement) {
    const uint32_t f = find.length;
    const uint32_t r = replacement.length;
    const rtstring::TextView source = rtstring::viewOf(text);
    const rtstring::TextView pattern = rtstring::viewOf(find);
    if (f == r) {
        RtString result(text);
        int32_t pos = 0;
        while (static_cast<uint32_t>(pos) < result.length) {
            int32_t at = rtstring::findForward(rtstring::viewOf(result), pattern, pos);
            if (at < 0) break;
            std::memcpy(result.data + at, replacement.data, r);
            pos = at + static_cast<int32_t>(r);
        }
        return result;
    }
    // Count first, so the result is made once.
    uint64_t finalLength = text.length;
    int32_t pos = 0;
    uint32_t matches = 0;
    while (static_cast<uint32_t>(pos) < text.length) {
        int32_t at = rtstring::findForward(source, pattern, pos);
        if (at < 0) break;
        ++matches;
        finalLength = finalLength - f + r;
        pos = at + static_cast<int32_t>(f);
    }
    if (matches == 0) return text;
    if (finalLength >= UINT32_MAX - 16) throw std::bad_alloc();
    RtString result;
    if (finalLength == 0) return result;
    result.reserve(static_cast<uint32_t>(finalLength), false);
    char* out = result.data;
    pos = 0;
    while (static_cast<uint32_t>(pos) < text.length) {
        int32_t at = rtstring::findForward(source, pattern, pos);
        if (at < 0) break;
        std::memcpy(out, text.data + pos, static_cast<size_t>(at - pos));
        out += at - pos;
        std::memcpy(out, replacement.data, r);
        out += r;
        pos = at + static_cast<int32_t>(f);
    }
    std::memcpy(out, text.data + pos, text.length - static_cast<uint32_t>(pos));
    result.length = static_cast<uint32_t>(finalLength);
    result.data[result.length] = '\0';
    return result;
}

RtString ReplaceText(const RtString& text, const RtString& find, const RtString& replacement) {
    return replaceAll(text, find, replacement);
}

RtString LowerCase(const RtString& text) {
    RtString result(text);
    result.toLowerInPlace();
    return result;
}

RtString UpperCase(const RtString& text) {
    RtString result(text);
    result.toUpperInPlace();
    return result;
}
