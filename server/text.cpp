#include "server/text.h"

#include <cstdint>

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

static bool IsRefusedCharacter(uint32_t c) {
    bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    bool bidiControl = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    return control || bidiControl;
}

bool CleanFieldText(const std::string& raw, std::string* clean) {
    *clean = IsValidUtf8(raw) ? raw : Windows1252ToUtf8(raw);
    for (size_t i = 0; i < clean->size();) {
        size_t length = Utf8SequenceLength(*clean, i);
        if (IsRefusedCharacter(DecodeAt(*clean, i, length))) return false;
        i += length;
    }
    return true;
}
