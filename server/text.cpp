#include "server/text.h"

#include <cstdint>

#include "server/unicode_marks.h"

static uint32_t DecodeAt(const std::string& text, size_t i, size_t length) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    if (length == 1) return byte(i);
    uint32_t codePoint = byte(i) & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (size_t k = 1; k < length; ++k) codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    return codePoint;
}

size_t Utf8SequenceLength(const std::string& text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    size_t length;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    uint32_t codePoint = DecodeAt(text, i, length);
    // Overlong forms, surrogates and values past U+10FFFF are not valid.
    if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

bool IsValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t length = Utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

static void AppendUtf8(uint32_t codePoint, std::string* out) {
    if (codePoint < 0x80) {
        out->push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page defines nothing.
static const uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::string Windows1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        uint32_t codePoint = byte;
        if (byte >= 0x80 && byte <= 0x9F && kWindows1252High[byte - 0x80] != 0) {
            codePoint = kWindows1252High[byte - 0x80];
        }
        AppendUtf8(codePoint, &out);
    }
    return out;
}

namespace {

struct Range {
    uint32_t first, last;
};

// Characters no field may hold: controls (C0, DEL, C1), the format characters (Unicode Cf), which
// are invisible or turn text around, and the line and paragraph separators. The zero-width
// non-joiner and joiner are how some scripts spell words, so they pass after a visible character.
constexpr Range kRefused[] = {
    {0x00, 0x1F},       {0x7F, 0x9F},       {0xAD, 0xAD},       {0x600, 0x605},
    {0x61C, 0x61C},     {0x6DD, 0x6DD},     {0x70F, 0x70F},     {0x890, 0x891},
    {0x8E2, 0x8E2},     {0x180E, 0x180E},   {0x200B, 0x200B},   {0x200E, 0x200F},
    {0x2028, 0x202E},   {0x2060, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x13438}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0001, 0xE007F},
};
constexpr uint32_t kZeroWidthNonJoiner = 0x200C, kZeroWidthJoiner = 0x200D;
// Spaces, and the fillers that are letters drawn as nothing.
constexpr Range kBlank[] = {
    {0x20, 0x20},     {0xA0, 0xA0},     {0x115F, 0x1160}, {0x1680, 0x1680},
    {0x2000, 0x200A}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x2800, 0x2800},
    {0x3000, 0x3000}, {0x3164, 0x3164}, {0xFFA0, 0xFFA0},
};
// Real writing puts a few marks on one character; a tower of them covers the rows around it.
constexpr int kMaxStackedMarks = 4;

template <size_t N>
bool InRanges(const Range (&ranges)[N], uint32_t c) {
    for (const Range& range : ranges) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

}  // namespace

FieldText CleanFieldText(const std::string& raw, std::string* clean) {
    *clean = IsValidUtf8(raw) ? raw : Windows1252ToUtf8(raw);
    bool visible = false, afterVisible = false;
    int stacked = 0;
    for (size_t i = 0; i < clean->size();) {
        size_t length = Utf8SequenceLength(*clean, i);
        uint32_t c = DecodeAt(*clean, i, length);
        i += length;
        bool joiner = c == kZeroWidthNonJoiner || c == kZeroWidthJoiner;
        if (InRanges(kRefused, c) || (joiner && !afterVisible)) return FieldText::kRefused;
        stacked = IsStackingMark(c) ? stacked + 1 : 0;
        if (stacked > kMaxStackedMarks) return FieldText::kRefused;
        afterVisible = !joiner && !InRanges(kBlank, c);
        visible = visible || (afterVisible && !stacked);
    }
    return visible ? FieldText::kShown : FieldText::kBlank;
}
