#include "server/query.h"

#include <map>

#include "server/text.h"

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool PercentDecode(const std::string& text, std::string* decoded) {
    decoded->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded->push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int high = HexValue(text[i + 1]);
        int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        decoded->push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

bool ParseScore(const std::string& text, int32_t* score) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size()) return false;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) return false;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    *score = static_cast<int32_t>(value);
    return true;
}

bool ParseSubmission(const std::string& rawQuery, Submission* submission, std::string* error) {
    std::map<std::string, std::string> values;
    size_t start = 0;
    while (start <= rawQuery.size()) {
        size_t end = rawQuery.find('&', start);
        if (end == std::string::npos) end = rawQuery.size();
        std::string pair = rawQuery.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) continue;
        size_t eq = pair.find('=');
        std::string key, value;
        if (!PercentDecode(pair.substr(0, eq), &key) ||
            !PercentDecode(eq == std::string::npos ? "" : pair.substr(eq + 1), &value)) {
            *error = "malformed percent escape";
            return false;
        }
        if (values.count(key)) {
            *error = "repeated key " + key;
            return false;
        }
        values[key] = value;
    }

    struct Field {
        const char* key;
        std::string* target;
    };
    std::string scoreText;
    const Field fields[] = {
        {"first_name", &submission->firstName},
        {"last_name", &submission->lastName},
        {"addr", &submission->address},
        {"country", &submission->country},
        {"score", &scoreText},
    };
    for (const Field& field : fields) {
        auto found = values.find(field.key);
        if (found == values.end()) {
            *error = std::string("missing key ") + field.key;
            return false;
        }
        if (found->second.size() > kMaxFieldBytes) {
            *error = std::string(field.key) + " is longer than 99 bytes";
            return false;
        }
        if (field.target == &scoreText) {
            scoreText = found->second;
            continue;
        }
        FieldText text = CleanFieldText(found->second, field.target);
        if (text == FieldText::kRefused) {
            *error = std::string(field.key) + " holds a control, invisible or stacked character";
            return false;
        }
        // The first name is what shows a row on the top ten; one name alone is a whole name, and
        // the address and the country may be left out.
        if (text == FieldText::kBlank && field.target == &submission->firstName) {
            *error = std::string(field.key) + " is blank";
            return false;
        }
    }
    int32_t score = 0;
    if (!ParseScore(scoreText, &score) || score < 0 || score > kMaxScore ||
        score % kScoreStep != 0) {
        *error = "score is not a whole number of hundreds from 0 to " + std::to_string(kMaxScore);
        return false;
    }
    submission->score = score;
    return true;
}
