#include "storage/best_scores.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "game/state.h"
#include "tests/storage/best_files.h"

namespace {

std::vector<int> ListRead() {
    std::vector<int> list;
    if (!ReadBestScores()) return list;
    for (int i = 0; i <= g_bestLastIndex; ++i) list.push_back(g_bestScores[i]);
    return list;
}

void PlayGameOver(int score) {
    g_score = score;
    UpdateBestScores(g_score);
}

// What best.dat held after a game over when the game rewrote it in place at every step:
// unscramble the head on disk, read the records, scramble the head again, merge, sort, write
// the plain records over the start of the file, scramble the head again.
std::string InPlaceGameOver(std::string disk, int score) {
    disk = Unscrambled(disk);
    std::vector<int> slots(11, -1);
    int records = 0;
    for (size_t at = 0; at + 7 <= disk.size() && records < 11; at += 7) {
        std::string record = disk.substr(at, 7);
        record[6] = '\n';
        slots[records++] = std::atoi(record.c_str());
    }
    disk = Scrambled(disk);
    int last = records - 1;
    if (last == -1) {
        last = 0;
        slots[0] = 0;
    }
    if (last < 9) ++last;
    if (score > slots[last]) slots[last] = score;
    std::sort(slots.begin(), slots.end(), std::greater<int>());
    std::vector<int> written;
    for (int slot : slots) {
        if (slot == -1) break;
        written.push_back(std::min(slot, 999999));
    }
    std::string plain = PlainRecords(written);
    if (disk.size() < plain.size()) disk.resize(plain.size());
    disk.replace(0, plain.size(), plain);
    return Scrambled(disk);
}

TEST(BestScores, AGameTakesItsPlaceInTheList) {
    ProgramFolder folder;
    WriteFileBytes(folder.Best(), "");
    EXPECT_EQ(ListRead(), (std::vector<int>{0})) << "an empty file lists one zero";
    EXPECT_EQ(ReadFileBytes(folder.Best()), "") << "reading never writes";

    const std::vector<int> ten = {1200, 1100, 1000, 900, 800, 700, 600, 500, 400, 300};
    const struct {
        std::vector<int> before;
        int score;
        std::vector<int> after;
    } games[] = {
        {{}, 700, {700, 0}},
        {{900, 500, 200}, 600, {900, 600, 500, 200}},
        // Ten entries: a new score must beat the lowest to replace it.
        {ten, 300, ten},
        {ten, 400, {1200, 1100, 1000, 900, 800, 700, 600, 500, 400, 400}},
        {ten, 5000, {5000, 1200, 1100, 1000, 900, 800, 700, 600, 500, 400}},
        // A score too long for a record is kept as the highest one that fits.
        {{900}, 1234567, {999999, 900}},
    };
    for (const auto& game : games) {
        SCOPED_TRACE(game.score);
        WriteFileBytes(folder.Best(), StoredList(game.before));
        PlayGameOver(game.score);
        EXPECT_EQ(ReadFileBytes(folder.Best()), StoredList(game.after));
        EXPECT_EQ(ListRead(), game.after);
    }
}

TEST(BestScores, RecordsReadAsTheirNumberWhateverSurroundsIt) {
    ProgramFolder folder;
    std::string plain = std::string("1500\0xy", 7)     // filler after the NUL
                        + std::string("  -42\0\0", 7)  // blanks and a sign before the digits
                        + std::string("      \0", 7)   // blanks only: no number runs on
                        + std::string("77\0\0\0\0\0", 7) + std::string("31", 2);  // part record
    WriteFileBytes(folder.Best(), Scrambled(plain));
    EXPECT_EQ(ListRead(), (std::vector<int>{1500, -42, 0, 77}));
}

TEST(BestScores, WithoutBestDatNothingIsRecorded) {
    ProgramFolder folder;
    g_bestLastIndex = 4;
    EXPECT_EQ(ReadBestScores(), 0);
    EXPECT_EQ(g_bestLastIndex, 4);
    for (int slot : g_bestScores) EXPECT_EQ(slot, -1);

    PlayGameOver(700);
    EXPECT_FALSE(std::filesystem::exists(folder.Best()));
    EXPECT_EQ(ScrambleBestFile(), 0);
    EXPECT_EQ(UnscrambleBestFile(), 0);
}

TEST(BestScores, AReadOnlyFileIsReadButNeverChanged) {
    ProgramFolder folder;
    const std::string stored = StoredList({900, 500, 200});
    WriteFileBytes(folder.Best(), stored);
    chmod(folder.Best().c_str(), 0444);

    EXPECT_EQ(ListRead(), (std::vector<int>{900, 500, 200}));
    PlayGameOver(600);
    EXPECT_EQ(ReadFileBytes(folder.Best()), stored);
    EXPECT_EQ(ScrambleBestFile(), 0);
    EXPECT_EQ(ReadFileBytes(folder.Best()), stored);
}

#ifndef _WIN32
// Users, permission bits and sparse files as POSIX systems have them.

// A shared install: the player may write best.dat but not create files in the program folder,
// so no temporary file can stand beside it. Root may create files anywhere, so there the game
// runs as the unprivileged user "nobody".
TEST(BestScores, AScoreIsRecordedWhereOnlyBestDatItselfMayBeWritten) {
    ProgramFolder folder;
    WriteFileBytes(folder.Best(), StoredList({900, 500, 200}));
    const uid_t player = geteuid() == 0 ? 65534 : geteuid();
    const gid_t group = geteuid() == 0 ? 65534 : getegid();
    ASSERT_EQ(chown(folder.Best().c_str(), player, group), 0);
    ASSERT_EQ(chmod(folder.Best().c_str(), 0644), 0);
    ASSERT_EQ(chmod(folder.dir.c_str(), 0555), 0);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (player != geteuid() &&
            (setgroups(0, nullptr) != 0 || setgid(group) != 0 || setuid(player) != 0)) {
            _exit(2);
        }
        if (access(folder.dir.c_str(), W_OK) == 0) _exit(3);  // the folder must be closed to us
        PlayGameOver(600);
        _exit(0);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(folder.dir.c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    ASSERT_EQ(WEXITSTATUS(status), 0) << "2: could not become the player, 3: folder writable";

    EXPECT_EQ(ListRead(), (std::vector<int>{900, 600, 500, 200}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.dir),
                            std::filesystem::directory_iterator()),
              1)
        << "nothing but best.dat in the folder";
}

// A best.dat grown huge by some accident: the game reads and rewrites only the part its records
// and scrambling can reach, and leaves the rest alone (here a hole in a sparse file, which a
// rewrite of the whole file would fill with 16 MiB of zeros).
TEST(BestScores, AHugeFileIsNeitherReadNorRewrittenWhole) {
    ProgramFolder folder;
    const off_t huge = 16 << 20;
    WriteFileBytes(folder.Best(), StoredList({900, 500, 200}));
    ASSERT_EQ(truncate(folder.Best().c_str(), huge), 0);
    const std::string head = ReadFileBytes(folder.Best()).substr(0, 100);

    PlayGameOver(600);
    struct stat st = {};
    ASSERT_EQ(stat(folder.Best().c_str(), &st), 0);
    EXPECT_EQ(st.st_size, huge);
    EXPECT_LT(st.st_blocks * 512, 1 << 20) << "the file was written whole";
    EXPECT_EQ(ReadFileBytes(folder.Best()).substr(0, 100), InPlaceGameOver(head, 600));
    // The zero bytes after the three records read as records of 0.
    const std::vector<int> list = ListRead();
    EXPECT_EQ(std::vector<int>(list.begin(), list.begin() + 4),
              (std::vector<int>{900, 600, 500, 200}));
}

#endif  // _WIN32

TEST(BestScores, AFileOfMoreThanElevenRecordsIsReadUpToTheEleventh) {
    ProgramFolder folder;
    std::vector<int> twenty;
    for (int score = 2000; score > 0; score -= 100) twenty.push_back(score);
    const std::string stored = StoredList(twenty);  // 140 bytes, the last 40 plain
    WriteFileBytes(folder.Best(), stored);

    std::vector<int> eleven(twenty.begin(), twenty.begin() + 11);
    EXPECT_EQ(ListRead(), eleven);
    PlayGameOver(5000);
    const std::string after = ReadFileBytes(folder.Best());
    EXPECT_EQ(after, InPlaceGameOver(stored, 5000));
    EXPECT_EQ(after.substr(100), stored.substr(100)) << "bytes from 100 on stay as they were";
    eleven.pop_back();
    eleven.insert(eleven.begin(), 5000);
    EXPECT_EQ(ListRead(), eleven);
}

TEST(BestScores, EveryGameOverLeavesTheBytesTheInPlaceRewritesLeft) {
    ProgramFolder folder;
    std::mt19937 random(2024);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 100; ++round) {
        // Lists of up to eleven records as the game writes them, or with stray filler, a
        // part record after them, or bytes of any value.
        std::string plain;
        int records = pick(0, 11);
        for (int i = 0; i < records; ++i) {
            std::string record = std::to_string(pick(1, 99) * 100);
            record.resize(7, '\0');
            if (pick(0, 3) == 0) record[6] = static_cast<char>(pick(0, 255));
            plain += record;
        }
        int extra = pick(0, 2) == 0 ? pick(1, 6) : 0;
        for (int i = 0; i < extra; ++i) plain += static_cast<char>(pick(0, 255));
        if (round % 10 == 9) {
            plain.resize(pick(0, 83));
            for (char& c : plain) c = static_cast<char>(pick(0, 255));
        }
        const std::string stored = Scrambled(plain);
        const int score = pick(1, 100) * 100;
        WriteFileBytes(folder.Best(), stored);
        PlayGameOver(score);
        ASSERT_EQ(ReadFileBytes(folder.Best()), InPlaceGameOver(stored, score))
            << "round " << round << ", a game of " << score;
    }
}

TEST(BestScores, ScramblingTheFileOnDiskRoundTrips) {
    ProgramFolder folder;
    WriteFileBytes(folder.Best(), "");
    EXPECT_EQ(ScrambleBestFile(), 1);
    EXPECT_EQ(ReadFileBytes(folder.Best()), "");

    std::string plain;
    for (int i = 0; i < 130; ++i) plain += static_cast<char>(i * 7);
    WriteFileBytes(folder.Best(), plain);
    EXPECT_EQ(ScrambleBestFile(), 1);
    const std::string stored = ReadFileBytes(folder.Best());
    EXPECT_EQ(stored, Scrambled(plain));
    EXPECT_EQ(stored.substr(100), plain.substr(100));
    EXPECT_EQ(UnscrambleBestFile(), 1);
    EXPECT_EQ(ReadFileBytes(folder.Best()), plain);
}

}  // namespace
