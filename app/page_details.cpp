// The browser page's form for the player's details asks these two, by name, so that it refuses
// what tapdash-player refuses and writes config.dat the same way. Nothing else calls them.
#include <string>

#include "storage/player_details.h"

namespace {

std::string s_answer;

}  // namespace

// Why `answer` cannot be stored, or "" when it can.
extern "C" const char* WebDetailsProblem(const char* answer) {
    s_answer = DetailsFieldProblem(answer ? answer : "");
    return s_answer.c_str();
}

// config.dat's bytes for the four answers.
extern "C" const char* WebDetailsFile(const char* first, const char* last, const char* address,
                                      const char* country) {
    const std::string fields[kPlayerDetailsFieldCount] = {first, last, address, country};
    s_answer = DetailsFileBytes(fields);
    return s_answer.c_str();
}
