// The operator at work while players send scores: a forged score of a million taken off the top
// ten, the list read and a backup taken meanwhile, and refusals that say what is wrong. The real
// server runs throughout; the commands are the real executable's.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "tapdash_version.h"
#include "tests/server/score_server_process.h"
#include "tests/support/test_pack.h"

namespace {

struct Command {
    int status;
    std::string output;  // standard output and error
};

Command RunScores(const std::string& arguments) {
    std::string line = std::string(TAPDASH_SCORES_EXE) + " " + arguments + " 2>&1";
    Command run{-1, ""};
    FILE* pipe = popen(line.c_str(), "r");
    char chunk[4096];
    size_t got;
    while (pipe && (got = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, got);
    int status = pipe ? pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::set<long long> StoredScores(const std::string& db) {
    std::set<long long> scores;
    for (const auto& row : ReadRows(db, "SELECT score, first_name, country FROM submissions")) {
        // A half-written row would lose its name or country.
        EXPECT_NE(row[1], "");
        EXPECT_NE(row[2], "");
        scores.insert(std::stoll(row[0]));
    }
    return scores;
}

std::string Query(const std::string& first, long long score) {
    return "first_name=" + first +
           "&last_name=Lee&addr=1%20Main%20St&country=UK&score=" + std::to_string(score);
}

}  // namespace

TEST(Moderation, AForgedScoreIsRemovedAndABackupHoldsEveryScoreSentBeforeItWhilePlayersPlay) {
    const std::string dir = MakeScratchDir();
    const std::string db = dir + "scores.db", backup = dir + "backup.db";
    umask(022);
    ScoreServerProcess server = StartScoreServer(db, kNoRateLimits);
    httplib::Client client("127.0.0.1", server.port);
    client.set_url_encode(false);
    ASSERT_EQ(client.Get("/tapdash/top1.php?" + Query("Forger", 1000000))->status, 200);

    // Players go on sending scores 100, 200, 300, ... through everything the operator does.
    std::atomic<long long> acknowledged{0};
    std::atomic<bool> playing{true};
    std::thread players([&] {
        httplib::Client player("127.0.0.1", server.port);
        player.set_url_encode(false);
        for (long long score = 1; playing || score <= 20; ++score) {
            auto reply = player.Get("/tapdash/top1.php?" + Query("Ann", score * 100));
            if (reply && reply->status == 200) acknowledged = score;
        }
    });
    while (acknowledged < 10) std::this_thread::yield();

    Command list = RunScores("--db " + db + " --list 3");
    EXPECT_EQ(list.status, 0) << list.output;
    ASSERT_NE(list.output.find("\tForger\tLee\t1 Main St\tUK\t1000000\n"), std::string::npos)
        << list.output;
    std::string forgedId = list.output.substr(list.output.find('\n') + 1);
    forgedId.resize(forgedId.find('\t'));
    EXPECT_EQ(RunScores("--db " + db + " --remove " + forgedId).status, 0);
    // The page and the next place answer reflect it at once.
    EXPECT_EQ(client.Get("/tapdash/")->body.find("Forger"), std::string::npos);
    const long long before = acknowledged;
    Command copy = RunScores("--db " + db + " --backup " + backup);
    EXPECT_EQ(copy.status, 0) << copy.output;
    while (acknowledged < before + 10) std::this_thread::yield();
    playing = false;
    players.join();

    const std::set<long long> kept = StoredScores(db);
    EXPECT_EQ(kept.count(1000000), 0u) << "the forged score is still there";
    for (long long score = 1; score <= acknowledged; ++score)
        ASSERT_EQ(kept.count(score * 100), 1u) << "acknowledged score " << score << " was lost";
    const std::set<long long> restored = StoredScores(backup);
    for (long long score = 1; score <= before; ++score)
        ASSERT_EQ(restored.count(score * 100), 1u)
            << "score " << score << " was sent before the backup";
    auto place = client.Get("/tapdash/top2.php?" + Query("Ann", acknowledged * 100));
    EXPECT_EQ(place->body, "1") << "the forged score still takes first place";

    // What the operator may get wrong is refused with a reason and a failing status.
    const struct {
        std::string arguments;
        int status;
        const char* says;
    } refusals[] = {
        {"--db " + db + " --remove " + forgedId, 1, "has no entry"},
        {"--db " + db + " --remove 0", 2, "needs the id"},
        {"--db " + dir + "missing.db --list", 1, "no score database"},
        {"--db " + dir + "missing.db --backup " + dir + "b.db", 1, "no score database"},
        {"--db " + db + " --list 5 --remove 3", 2, "only one of"},
    };
    for (const auto& refusal : refusals) {
        Command run = RunScores(refusal.arguments);
        EXPECT_EQ(run.status, refusal.status) << refusal.arguments;
        EXPECT_NE(run.output.find(refusal.says), std::string::npos) << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "missing.db")) << "a mistyped name made a database";
    // The operator asks which release runs, without starting a second server.
    Command version = RunScores("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "tapdash-scores " TAPDASH_VERSION "\n");

    // A backup onto the live database or its journals, by whatever name, is refused and harms
    // nothing; a link planted where the copy is made is replaced, never written through.
    namespace fs = std::filesystem;
    fs::create_symlink(db, dir + "link.db");
    fs::create_hard_link(db, dir + "hard.db");
    fs::create_symlink(db, dir + "planted.db.partial");
    std::ofstream(dir + "victim") << "untouched";
    fs::create_symlink(dir + "victim", dir + "copy.db.partial");
    const std::pair<std::string, int> backups[] = {
        // clang-format off
        {db, 1}, {dir + "link.db", 1}, {dir + "hard.db", 1}, {db + "-wal", 1},
        {dir + "planted.db", 1}, {dir + "./scores.db-shm", 1}, {dir + "copy.db", 0},
        // clang-format on
    };
    const size_t storedBefore = StoredScores(db).size();
    for (const auto& [target, status] : backups) {
        Command run = RunScores("--db " + db + " --backup " + target);
        EXPECT_EQ(run.status, status) << target << ": " << run.output;
    }
    EXPECT_EQ(client.Get("/tapdash/top1.php?" + Query("After", 1000000))->status, 200);
    EXPECT_EQ(StoredScores(db).size(), storedBefore + 1) << "the live database was harmed";
    std::ifstream victim(dir + "victim");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "untouched");

    // Whatever the umask, the database, its journals and new backups are the owner's alone; a
    // backup that replaces another keeps the mode the operator gave it.
    fs::permissions(dir + "copy.db", fs::perms(0640));
    EXPECT_EQ(RunScores("--db " + db + " --backup " + dir + "copy.db").status, 0);
    // clang-format off
    for (const auto& [file, mode] : {std::pair{db, 0600}, {db + "-wal", 0600}, {db + "-shm", 0600},
                                     {backup, 0600}, {dir + "copy.db", 0640}}) {
        // clang-format on
        EXPECT_EQ(static_cast<int>(fs::status(file).permissions()), mode) << file;
    }
    StopScoreServer(server, SIGTERM);
    std::filesystem::remove_all(dir);
}
