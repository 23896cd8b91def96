// The text of a player's details: read as UTF-8, or as Windows-1252 when it is not UTF-8, and
// refused when it holds characters that would garble a page or a log, or would show nothing.
#pragma once

#include <cstddef>
#include <string>

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one.
size_t Utf8SequenceLength(const std::string& text, size_t i);
bool IsValidUtf8(const std::string& text);
// Every byte of `text` as the Windows-1252 character it stands for, in UTF-8. The five bytes that
// code page leaves undefined become the C1 controls of the same number.
std::string Windows1252ToUtf8(const std::string& text);
enum class FieldText { kShown, kBlank, kRefused };
// `raw` as UTF-8 text in `clean`: refused when it holds a control character (C0, DEL or C1), an
// invisible or direction-changing format character, a line or paragraph separator, or more than a
// few marks stacked on one character; blank when nothing in it would be seen (empty, spaces,
// marks on nothing).
FieldText CleanFieldText(const std::string& raw, std::string* clean);
