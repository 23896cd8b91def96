// The query of a score request: the player's details and the score.
#pragma once

#include <cstdint>
#include <string>

constexpr size_t kMaxFieldBytes = 99;
// A right answer scores 100, so every score is a whole number of hundreds. A million is ten
// thousand right answers without three misses: hours of flawless play, more than anyone sends.
constexpr int32_t kScoreStep = 100;
constexpr int32_t kMaxScore = 1000000;

struct Submission {
    std::string firstName;
    std::string lastName;
    std::string address;
    std::string country;
    int32_t score = 0;
};

// Reads first_name, last_name, addr, country and score from the raw query text (what follows
// the '?', still percent-encoded). Other keys are ignored. The fields come out as UTF-8 (see
// CleanFieldText). Returns false with the reason in `error` when a key is missing or repeated, an
// escape is malformed, a value is longer than kMaxFieldBytes once decoded, a field holds a
// character CleanFieldText refuses, the first name is blank, or the score is not a decimal
// whole number of hundreds from 0 to kMaxScore.
bool ParseSubmission(const std::string& rawQuery, Submission* submission, std::string* error);

// Decodes %XX escapes; a '+' stays a '+'. False for a '%' not followed by two hex digits.
bool PercentDecode(const std::string& text, std::string* decoded);
// A decimal 32-bit integer: an optional minus sign, then digits only.
bool ParseScore(const std::string& text, int32_t* score);
