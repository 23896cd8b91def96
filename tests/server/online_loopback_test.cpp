// The game's score submission over real HTTP on loopback: against the real score server, a
// server that is down, one that never answers, and a scripted one for replies the real server
// never gives. The virtual clock measures the game's waits; the network is real.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/bank_slots.h"
#include "game/menu.h"
#include "game/state.h"
#include "online/submit.h"
#include "platform/driver.h"
#include "platform/key_codes.h"
#include "platform/real/real_backend.h"
#include "tests/server/score_server_process.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

const char kSending[] = "game\\sending_score.vgz";
const char kMadeIt[] = "game\\made_it.vgz";
const char kSendScoreItem[] = "menu\\send_score.vgz";

std::string Number(int n) {
    return "score\\" + std::to_string(n) + ".vgz";
}

class OnlineLoopback : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        // The virtual backend has no network: its requests go out through the real backend's.
        VirtualSetHttpHandler([](const std::string& url, std::string* body, uint64_t*) {
            return g_realDriver.httpGet(url.c_str(), body, SIZE_MAX);
        });
        SkipToMenu();
        savedServer_ = g_scoreServer;
    }
    void TearDown() override {
        g_scoreServer = savedServer_;
        GameFixture::TearDown();
    }

    // Writes the player's config.dat, sends `score` from the menu with Y, and returns what the
    // player heard from the moment Y went down.
    std::vector<std::string> SendScore(const std::string& details, int score) {
        WriteFileBytes(programDir + "config.dat", details);
        g_score = score;
        g_menuIndex = kMenuSlotSendScore;
        VirtualPress(kKeyEnter);
        VirtualRunFor(0);
        EXPECT_EQ(g_mode, MODE_SEND_SCORE);
        VirtualClearCalls();
        VirtualPress(kKeyY);
        VirtualRunFor(0);
        EXPECT_EQ(g_mode, MODE_MENU);
        return PlayedFiles();
    }

    std::string savedServer_;
};

std::vector<std::vector<std::string>> StoredNames(const std::string& dbPath) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT first_name, last_name, addr, country, score FROM submissions ORDER BY id", -1,
        &statement, nullptr);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int column = 0; column < 5; ++column) {
            row.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             static_cast<size_t>(sqlite3_column_bytes(statement, column)));
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

TEST_F(OnlineLoopback, PlayersHearTheirPlaceFromTheRealScoreServer) {
    std::string dir = MakeScratchDir();
    ScoreServerProcess server = StartScoreServer(dir + "scores.db");
    g_scoreServer = ScoreServerHost(server);

    EXPECT_EQ(SendScore("Mary Jo & Co\nO'Neil\n1 High St, Leeds\nUK\n", 1500),
              (std::vector<std::string>{kSending, kMadeIt, Number(1), kSendScoreItem}));
    auto requests = VirtualCallsOf("HttpGet");
    ASSERT_EQ(requests.size(), 2u);
    // The network does not move the virtual clock: the gap is the game's own wait.
    EXPECT_EQ(requests[1].timeMs, requests[0].timeMs + kPlaceQueryDelayMs);

    EXPECT_EQ(SendScore("Bob\nRay\n2 Low Rd\nFR\n", 700),
              (std::vector<std::string>{kSending, kMadeIt, Number(2), kSendScoreItem}));

    auto rows = StoredNames(server.dbPath);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Mary Jo & Co", "O'Neil", "1 High St, Leeds", "UK",
                                                 "1500"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"Bob", "Ray", "2 Low Rd", "FR", "700"}));

    EXPECT_EQ(StopScoreServer(server, SIGTERM), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(OnlineLoopback, AServerThatIsDownLeavesOnlyTheSendingCue) {
    std::string dir = MakeScratchDir();
    ScoreServerProcess server = StartScoreServer(dir + "scores.db");
    g_scoreServer = ScoreServerHost(server);
    // Stopped the moment it has started: it still shuts down cleanly.
    ASSERT_EQ(StopScoreServer(server, SIGTERM), 0);

    EXPECT_EQ(SendScore("Ann\nLee\nx\nUK\n", 300),
              (std::vector<std::string>{kSending, kSendScoreItem}));
    EXPECT_EQ(VirtualCallsOf("HttpGet").size(), 1u);
    std::filesystem::remove_all(dir);
}

TEST_F(OnlineLoopback, AServerThatNeverAnswersIsGivenUpAfterTheRequestTimeOut) {
    // A socket that listens but is never served: the connection is made, no reply ever comes.
    int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 4), 0);
    socklen_t length = sizeof address;
    getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);
    g_scoreServer = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(SendScore("Ann\nLee\nx\nUK\n", 300),
              (std::vector<std::string>{kSending, kSendScoreItem}));
    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(VirtualCallsOf("HttpGet").size(), 1u);
    EXPECT_LT(waited, std::chrono::seconds(60));
    close(silent);
}

TEST_F(OnlineLoopback, RepliesTheRealServerNeverGivesAreHandledOverRealHttp) {
    // A stand-in server: records nothing and answers the place request as scripted.
    std::string placeReply;
    int placeStatus = 200;
    httplib::Server standIn;
    standIn.Get("/tapdash/top1.php", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("", "text/plain");
    });
    standIn.Get("/tapdash/top2.php", [&](const httplib::Request&, httplib::Response& response) {
        response.status = placeStatus;
        response.set_content(placeReply, "text/html");
    });
    int port = standIn.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread serving([&] { standIn.listen_after_bind(); });
    g_scoreServer = "127.0.0.1:" + std::to_string(port);

    // More than the 100,000 bytes the game reads: only the first character counts.
    placeReply = "6" + std::string(250000, '0');
    EXPECT_EQ(SendScore("Ann\nLee\nx\nUK\n", 300),
              (std::vector<std::string>{kSending, kMadeIt, Number(6), kSendScoreItem}));

    // An error page is read like any reply and says nothing.
    placeStatus = 500;
    placeReply = "<!DOCTYPE html><html><body><h1>500</h1></body></html>";
    EXPECT_EQ(SendScore("Ann\nLee\nx\nUK\n", 300),
              (std::vector<std::string>{kSending, kSendScoreItem}));

    standIn.stop();
    serving.join();
}

}  // namespace
