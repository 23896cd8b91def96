// stats.dat read back: a damaged file is an empty record, a later version's fields survive.
#include "storage/char_stats.h"

#include <gtest/gtest.h>

TEST(StatsFile, DamagedFilesReadAsAnEmptyRecordAndALaterVersionsFieldsAreKept) {
    const struct {
        const char* text;
        bool good;
    } cases[] = {
        {"", false},
        {"best scores\n", false},
        {"tapdash-stats 0\nF played=1\n", false},
        {"tapdash-stats 1\nF played=1 right\n", false},
        {"tapdash-stats 1\nF played=-1\n", false},
        {"tapdash-stats 1\nF played=1234567890\n", false},
        {"tapdash-stats 1\nF played=1\x01\n", false},
        {"tapdash-stats 1\r\nF played=2 right=1 wrong=1 side=0 missed=0 as:E=1\r\n", true},
        {"tapdash-stats 2\nF played=2 right=1 wrong=1 side=0 missed=0 as:E=1 slow=3\nstreak A=7\n",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseCharacterStats(c.text), c.good);
        if (!c.good) {
            EXPECT_TRUE(g_charStats.empty() && g_statsLaterLines.empty());
            continue;
        }
        EXPECT_EQ(g_charStats['F'].wrong, 1);
        EXPECT_EQ(g_charStats['F'].answeredAs['E'], 1);
        // What this version writes reads back to the same record, unknown fields and lines kept.
        const std::string written = FormatCharacterStats();
        std::string text = c.text;
        for (size_t at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
        EXPECT_EQ(written.substr(written.find('\n')), text.substr(text.find('\n')));
    }
}
