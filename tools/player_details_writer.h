// Writing config.dat: the player's first name, last name, address and country, each followed by
// one line feed, as the game reads them when it sends a score.
#pragma once

#include <iosfwd>
#include <string>

constexpr int kDetailsFieldCount = 4;
constexpr int kMaxDetailsFieldBytes = 99;

extern const char* const kDetailsPrompts[kDetailsFieldCount];

// Why an answer cannot be stored, or empty when it can.
std::string DetailsFieldProblem(const std::string& answer);

// The bytes of config.dat for the four answers in order.
std::string DetailsFileBytes(const std::string (&fields)[kDetailsFieldCount]);

// Asks for the four answers one prompt at a time, asking again after a refused answer, and
// writes config.dat into `dir`. 0 when written; 1 when input ended first or the file could not
// be written (an existing config.dat is then left as it was).
int AskAndWritePlayerDetails(std::istream& in, std::ostream& out, const std::string& dir);

// The folder of the running executable, with a trailing '/'; empty when unknown.
std::string ExecutableFolder();
