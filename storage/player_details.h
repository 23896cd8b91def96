// config.dat: the player's details that go with a submitted score.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kMaxDetailsFileBytes = 10000;
constexpr int kMaxDetailsTextChars = 999;
constexpr int kMaxDetailsFieldChars = 99;
constexpr int kPlayerDetailsFieldCount = 4;  // first name, last name, address, country

// Reads config.dat from the program folder into the four fields: 1 when it was read, 0 (fields
// unchanged) when it is missing, yields no text, or holds a field or a text too long to send whole.
int ReadPlayerDetailsFile(std::string fields[kPlayerDetailsFieldCount]);

// Splits the bytes read from config.dat into the four fields. The final byte is dropped, a
// zero byte ends the text, a line feed or a backquote ends a field, and what follows the fourth
// field is not looked at. 0 (fields unchanged) when the text is empty, longer than 999
// characters, or one of the four fields is longer than 99.
int ParsePlayerDetails(const uint8_t* bytes, size_t count,
                       std::string fields[kPlayerDetailsFieldCount]);

// Why `answer` cannot be stored as one field, or empty when it can.
std::string DetailsFieldProblem(const std::string& answer);
// The bytes of config.dat for the four answers in order, each followed by a line feed.
std::string DetailsFileBytes(const std::string (&fields)[kPlayerDetailsFieldCount]);
