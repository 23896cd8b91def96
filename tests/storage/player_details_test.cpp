#include "storage/player_details.h"

#include <gtest/gtest.h>

#include <vector>

#include "online/submit.h"
#include "tests/storage/best_files.h"

namespace {

struct Details {
    bool read;
    std::vector<std::string> fields;
};

Details Split(const std::string& file) {
    std::string fields[kPlayerDetailsFieldCount];
    bool read =
        ParsePlayerDetails(reinterpret_cast<const uint8_t*>(file.data()), file.size(), fields) == 1;
    if (!read) return {false, {}};
    return {true, std::vector<std::string>(fields, fields + kPlayerDetailsFieldCount)};
}

using Fields = std::vector<std::string>;

TEST(PlayerDetails, LinesOfConfigDatBecomeTheFourFields) {
    const std::pair<std::string, Fields> cases[] = {
        {"Ann\nLee\n12 Harbour Road\nWales\n", {"Ann", "Lee", "12 Harbour Road", "Wales"}},
        // The final byte is dropped whatever it is.
        {"Ann\nLee\nHarbour\nWales", {"Ann", "Lee", "Harbour", "Wale"}},
        {"Ann\r\nLee\r\nHarbour\r\nWales\r\n", {"Ann\r", "Lee\r", "Harbour\r", "Wales\r"}},
        {"\n\n", {"", "", "", ""}},
        {"Ann\nLee\n", {"Ann", "Lee", "", ""}},
        {"An`n\nLee\nHarbour\nWales\n", {"An", "n", "Lee", "Harbour"}},
        {"Ann\nLee\nHarbour\nWales\nfifth line\n", {"Ann", "Lee", "Harbour", "Wales"}},
        // A zero byte ends the text.
        {std::string("Ann\nLee\0junk\nmore\n", 18), {"Ann", "Lee", "", ""}},
    };
    for (const auto& [file, fields] : cases) EXPECT_EQ(Split(file).fields, fields) << file;
}

TEST(PlayerDetails, NoTextOrTooLongATextIsRefused) {
    EXPECT_FALSE(Split("").read);
    EXPECT_FALSE(Split("A").read);
    EXPECT_FALSE(Split(std::string("\0Ann\nLee\n", 9)).read);

    const std::string name99(99, 'n');
    EXPECT_EQ(Split(name99 + "\nLee\nHarbour\nWales\n").fields[0], name99);
    EXPECT_FALSE(Split(name99 + "n\nLee\nHarbour\nWales\n").read);
    EXPECT_FALSE(Split("Ann\nLee\nHarbour\n" + name99 + "s\n").read);
    EXPECT_TRUE(Split("Ann\nLee\nHarbour\nWales\n" + std::string(200, 'x') + "\n").read)
        << "a long fifth line is not a field";

    // The text up to the final byte may hold 999 characters, not 1000.
    std::string text = "Ann\nLee\nHarbour\nWales\n";
    text += std::string(999 - text.size(), 'x');
    EXPECT_TRUE(Split(text + "\n").read);
    EXPECT_FALSE(Split(text + "x\n").read);
}

TEST(PlayerDetails, ConfigDatFillsTheScoreUrl) {
    ProgramFolder folder;
    g_scoreServer = "scores.test";
    g_submitUrl = "untouched";
    EXPECT_EQ(ReadPlayerDetails(), 0) << "no config.dat";
    WriteFileBytes(folder.Config(), std::string(100, 'n') + "\nLee\nHarbour\nWales\n");
    EXPECT_EQ(ReadPlayerDetails(), 0);
    EXPECT_EQ(g_submitUrl, "untouched");

    // Only the first 10,000 bytes are read; the text ends well before.
    std::string file = std::string("Ann\nLee\nHarbour\nWales\n") + '\0' + std::string(20000, 'z');
    WriteFileBytes(folder.Config(), file);
    EXPECT_EQ(ReadPlayerDetails(), 1);
    EXPECT_EQ(g_submitUrl,
              "https://scores.test/tapdash/top1.php?first_name=Ann&last_name=Lee&addr=Harbour"
              "&country=Wales&score=");
    EXPECT_EQ(ReadFileBytes(folder.Config()), file);
}

}  // namespace
