// The text of a player's details: read as UTF-8, or as Windows-1252 when it is not UTF-8, and
// refused when it holds characters that would garble a page or a log.
#pragma once

#include <cstddef>
#include <string>

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one.
size_t Utf8SequenceLength(const std::string& text, size_t i);
bool IsValidUtf8(const std::string& text);
// Every byte of `text` as the Windows-1252 character it stands for, in UTF-8. The five bytes that
// code page leaves undefined become the C1 controls of the same number.
std::string Windows1252ToUtf8(const std::string& text);
// `raw` as UTF-8 text in `clean`; false when it holds a control character (C0, DEL or C1) or a
// bidirectional embedding, override or isolate.
bool CleanFieldText(const std::string& raw, std::string* clean);
