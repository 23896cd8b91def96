// What config.dat accepts as one answer, and its bytes for four: tapdash-player's questions and
// the browser page's form both write it this way.
#include <string>

#include "storage/player_details.h"

std::string DetailsFieldProblem(const std::string& answer) {
    if (answer.empty()) return "Please type an answer; it cannot be empty.";
    if (answer.size() > size_t(kMaxDetailsFieldChars))
        return "That is too long: at most 99 characters, and letters with accents count as two.";
    for (unsigned char c : answer) {
        if (c == '\n') return "An answer must fit on one line.";
        // The game splits the file at backquotes as well as at line feeds.
        if (c == '`') return "An answer cannot contain a backquote (`).";
        if (c < 0x20 || c == 0x7F) return "An answer cannot contain control characters.";
    }
    return {};
}

std::string DetailsFileBytes(const std::string (&fields)[kPlayerDetailsFieldCount]) {
    std::string bytes;
    for (const std::string& field : fields) bytes += field + '\n';
    return bytes;
}
