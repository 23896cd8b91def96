// Any config.dat either is refused or gives four fields that fit, without separators in them.
#include <string>

#include "storage/player_details.h"
#include "tests/fuzz/require.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string fields[kPlayerDetailsFieldCount] = {"unchanged", "unchanged", "unchanged",
                                                    "unchanged"};
    if (!ParsePlayerDetails(data, size, fields)) {
        for (const std::string& field : fields) Require(field == "unchanged");
        return 0;
    }
    size_t total = 0;
    for (const std::string& field : fields) {
        Require(field.size() <= kMaxDetailsFieldChars);
        Require(field.find_first_of(std::string("\n`\0", 3)) == std::string::npos);
        total += field.size() + 1;
    }
    Require(total - 1 <= kMaxDetailsTextChars);
    return 0;
}
