// The score server as the game and a web browser see it: recording, places, refusals, the top
// ten page, and restarts.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/server/score_server_process.h"
#include "tests/support/test_pack.h"

namespace {

using Row = std::vector<std::string>;

std::vector<Row> StoredRows(const std::string& dbPath) {
    return ReadRows(
        dbPath, "SELECT first_name, last_name, addr, country, score FROM submissions ORDER BY id");
}

std::string Query(const std::string& first, const std::string& last, const std::string& addr,
                  const std::string& country, const std::string& score) {
    return "first_name=" + first + "&last_name=" + last + "&addr=" + addr + "&country=" + country +
           "&score=" + score;
}

// A GET from 127.0.0.1 with the target sent as written.
httplib::Result Get(int port, const std::string& target) {
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    return client.Get(target);
}

class ServerScores : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeScratchDir();
        server_ = StartScoreServer(dir_ + "scores.db", kNoRateLimits);
    }
    void TearDown() override {
        StopScoreServer(server_, SIGTERM);
        std::filesystem::remove_all(dir_);
    }

    httplib::Result Get(const std::string& target) { return ::Get(server_.port, target); }
    int Record(const std::string& query) {
        auto result = Get("/tapdash/top1.php?" + query);
        return result ? result->status : -1;
    }
    std::string Page(const std::string& target = "/tapdash/") {
        auto result = Get(target);
        return result && result->status == 200 ? result->body : "<failed>";
    }
    std::string Place(const std::string& query) { return Page("/tapdash/top2.php?" + query); }

    std::string dir_;
    ScoreServerProcess server_;
};

TEST_F(ServerScores, PlacesRankHighestScoreFirstAndEarlierSendingFirstOnATie) {
    ASSERT_EQ(Record(Query("Ann", "Lee", "a", "UK", "500")), 200);
    ASSERT_EQ(Record(Query("Bob", "Ray", "b", "FR", "700")), 200);
    ASSERT_EQ(Record(Query("Cid", "Moe", "c", "DE", "500")), 200);

    EXPECT_EQ(Place(Query("Bob", "Ray", "b", "FR", "700")), "1");
    EXPECT_EQ(Place(Query("Ann", "Lee", "a", "UK", "500")), "2");
    EXPECT_EQ(Place(Query("Cid", "Moe", "c", "DE", "500")), "3");

    // Ann sends the same score again: her newest submission ranks after the three earlier ones.
    ASSERT_EQ(Record(Query("Ann", "Lee", "a", "UK", "500")), 200);
    EXPECT_EQ(Place(Query("Ann", "Lee", "a", "UK", "500")), "4");
    // A score nobody sent has no place.
    EXPECT_EQ(Place(Query("Ann", "Lee", "a", "UK", "900")), "");
}

TEST_F(ServerScores, OnlyTheTopTenHaveAPlaceAndTheTenthIsAnsweredAs10) {
    for (int i = 1; i <= 10; ++i) {
        ASSERT_EQ(
            Record(Query("P" + std::to_string(i), "X", "a", "UK", std::to_string((20 - i) * 100))),
            200);
    }
    EXPECT_EQ(Place(Query("P10", "X", "a", "UK", "1000")), "10");
    ASSERT_EQ(Record(Query("Late", "X", "a", "UK", "100")), 200);
    EXPECT_EQ(Place(Query("Late", "X", "a", "UK", "100")), "");
    // A new best pushes the old tenth out.
    ASSERT_EQ(Record(Query("Ace", "X", "a", "UK", "5000")), 200);
    EXPECT_EQ(Place(Query("Ace", "X", "a", "UK", "5000")), "1");
    EXPECT_EQ(Place(Query("P10", "X", "a", "UK", "1000")), "");
}

TEST_F(ServerScores, MalformedSubmissionsAreRefusedAndNothingIsStored) {
    const std::string hundred(100, 'a');
    std::string thirtyFourEacute;  // 34 two-byte letters: 68 characters encoded as 204
    for (int i = 0; i < 34; ++i) thirtyFourEacute += "%C3%A9";
    std::string fiftyEacute;  // 100 bytes once decoded
    for (int i = 0; i < 50; ++i) fiftyEacute += "%C3%A9";
    std::vector<std::string> refused = {
        Query(hundred, "Lee", "a", "UK", "10"),
        Query("Ann", "Lee", fiftyEacute, "UK", "10"),
        Query("Ann", "Lee", "a", "UK", "10") + "&score=10",
        Query("Ann", "Lee", "a", "UK", "10") + "&score=99999",
        Query("Ann", "Lee", "a", "UK", "10") + "&first_name=Eve",
        "first_name=Ann&last_name=Lee&addr=a&score=10",
        "",
        Query("Ann%G0", "Lee", "a", "UK", "10"),
        Query("Ann", "Lee", "a", "UK%2", "10"),
    };
    // Not numbers, or out of range; and, as the game scores 100 a right answer from 0 up, scores
    // it cannot reach.
    for (const char* score : {"12a", "", "+5", "%205", "1.5", "2147483648", "-2147483649",
                              "99999999999999999999999", "2147483647", "-100", "150", "1000100"}) {
        refused.push_back(Query("Ann", "Lee", "a", "UK", score));
    }
    // Names with controls, direction changes, invisible format characters, line separators, blank
    // names and towers of marks.
    // clang-format off
    for (const char* name : {"A%00B", "A%0D%0AB", "A%09B", "A%1B", "A%7F", "A%C2%85", "A%81",
             "A%E2%80%AEB", "A%E2%81%A6B", "A%E2%80%AAB", "", "%20%20", "%E2%80%8B", "A%E2%80%8BB",
             "A%E2%80%8FB", "A%E2%81%A0B", "%EF%BB%BFA", "A%E2%80%A8B", "A%E2%80%A9B", "%E3%85%A4",
             "%E2%80%8DA", "%CC%81%CC%81", "A%CC%81%CC%81%CC%81%CC%81%CC%81"}) {
        // clang-format on
        refused.push_back(Query(name, "Lee", "a", "UK", "100"));
    }
    for (const std::string& query : refused) {
        for (const char* page : {"/tapdash/top1.php?", "/tapdash/top2.php?"}) {
            auto result = Get(page + query);
            ASSERT_TRUE(result) << query;
            EXPECT_EQ(result->status, 400) << page << query;
            // The game speaks the first character of a reply: a refusal must not start with a
            // digit.
            ASSERT_FALSE(result->body.empty());
            EXPECT_FALSE(result->body[0] >= '0' && result->body[0] <= '9') << result->body;
        }
    }
    EXPECT_TRUE(StoredRows(server_.dbPath).empty());

    // The limits themselves are accepted.
    EXPECT_EQ(Record(Query(std::string(99, 'a'), thirtyFourEacute, "a", "UK", "1000000")), 200);
    EXPECT_EQ(Record(Query("Ann", "Lee", "a", "UK", "0")), 200);
    EXPECT_EQ(StoredRows(server_.dbPath).size(), 2u);
}

TEST_F(ServerScores, SqlInANameIsStoredAsPlainText) {
    const std::string name = "Robert'); DROP TABLE submissions;--";
    const std::string encoded = "Robert%27%29%3B%20DROP%20TABLE%20submissions%3B--";
    ASSERT_EQ(Record(Query(encoded, "%22x%22%20OR%201%3D1", "%25%5F", "UK", "100")), 200);
    ASSERT_EQ(Record(Query("Ann", "Lee", "a", "UK", "0")), 200);
    EXPECT_EQ(StoredRows(server_.dbPath),
              (std::vector<Row>{{name, "\"x\" OR 1=1", "%_", "UK", "100"},
                                {"Ann", "Lee", "a", "UK", "0"}}));
    EXPECT_EQ(Place(Query(encoded, "%22x%22%20OR%201%3D1", "%25%5F", "UK", "100")), "1");
    // Wildcards in a name match only themselves.
    EXPECT_EQ(Place(Query(encoded, "%22x%22%20OR%201%3D1", "%25", "UK", "100")), "");
}

TEST_F(ServerScores, TheTopTenPageShowsFirstNameInitialCountryAndScoreButNeverTheAddress) {
    EXPECT_NE(Page().find("No scores have been sent yet"), std::string::npos);
    ASSERT_EQ(Record(Query("%3Cscript%3Ealert(1)%3C%2Fscript%3E", "%C3%89mile", "42%20Secret%20Rd",
                           "Fr%26nce", "800")),
              200);
    ASSERT_EQ(Record(Query("Zo%EB", "Young", "Hidden%20Lane", "UK", "900")), 200);
    std::string page = Page();
    EXPECT_NE(page.find("<html lang=\"en\">"), std::string::npos);
    EXPECT_NE(page.find("<caption>"), std::string::npos);
    EXPECT_EQ(page.find("Secret"), std::string::npos);
    EXPECT_EQ(page.find("Hidden"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("mile"), std::string::npos);  // only the initial of the last name
    EXPECT_NE(page.find("<td><bdi>&lt;script&gt;alert(1)&lt;/script&gt;</bdi></td><td><bdi>\xC3\x89"
                        "</bdi></td><td><bdi>Fr&amp;nce</bdi></td><td class=\"score\">800</td>"),
              std::string::npos);
    // A name that is not UTF-8 was read as Windows-1252; Zoë ranks first.
    size_t zed =
        page.find("<th scope=\"row\">1</th><td><bdi>Zo\xC3\xAB</bdi></td><td><bdi>Y</bdi></td>");
    size_t emile = page.find("<th scope=\"row\">2</th>");
    EXPECT_NE(zed, std::string::npos);
    EXPECT_LT(zed, emile);
    // Asked again the same way, her place is found.
    EXPECT_EQ(Place(Query("Zo%EB", "Young", "Hidden%20Lane", "UK", "900")), "1");
}

TEST(ServerLifecycle, ScoresSurviveAStopBySignalAndARestart) {
    std::string dir = MakeScratchDir();
    std::string db = dir + "scores.db";
    // Stopped the moment it has started, before any request, it still shuts down cleanly.
    ScoreServerProcess idle = StartScoreServer(db);
    EXPECT_EQ(StopScoreServer(idle, SIGTERM), 0);
    for (int stopSignal : {SIGTERM, SIGINT}) {
        ScoreServerProcess server = StartScoreServer(db);
        auto recorded = Get(server.port, "/tapdash/top1.php?" +
                                             Query("Run" + std::to_string(stopSignal), "X", "a",
                                                   "UK", std::to_string(100 * (1 + stopSignal))));
        ASSERT_TRUE(recorded);
        EXPECT_EQ(recorded->status, 200);
        std::string output;
        EXPECT_EQ(StopScoreServer(server, stopSignal, &output), 0);
        EXPECT_NE(output.find("stopped"), std::string::npos);
    }

    ScoreServerProcess server = StartScoreServer(db);
    auto first = Get(server.port, "/tapdash/top2.php?" + Query("Run2", "X", "a", "UK", "300"));
    auto second = Get(server.port, "/tapdash/top2.php?" + Query("Run15", "X", "a", "UK", "1600"));
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(first->body, "2");
    EXPECT_EQ(second->body, "1");
    EXPECT_EQ(StopScoreServer(server, SIGTERM), 0);
    std::filesystem::remove_all(dir);
}

TEST(ServerLifecycle, NoAcknowledgedScoreIsLostWhenTheServerIsKilledUnderLoad) {
    std::string dir = MakeScratchDir();
    std::string db = dir + "scores.db";
    std::set<std::string> acknowledged;
    for (int round = 0; round < 3; ++round) {
        ScoreServerProcess server = StartScoreServer(db, kNoRateLimits);
        std::mutex lock;
        std::atomic<int> answered{0};
        std::atomic<int> sending{4};
        std::vector<std::thread> players;
        for (int t = 0; t < 4; ++t) {
            players.emplace_back([&, t] {
                httplib::Client client("127.0.0.1", server.port);
                client.set_url_encode(false);
                for (int i = 0; i < 20000; ++i) {
                    std::string name = "R" + std::to_string(round) + "T" + std::to_string(t) + "N" +
                                       std::to_string(i);
                    auto result = client.Get(
                        ("/tapdash/top1.php?" + Query(name, "X", "a", "UK", "100")).c_str());
                    if (!result || result->status != 200) break;  // the server is gone
                    std::lock_guard<std::mutex> guard(lock);
                    acknowledged.insert(name);
                    ++answered;
                }
                --sending;
            });
        }
        // Killed in the middle of the stream, once a few hundred scores have been answered.
        while (answered < 300 && sending > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        kill(server.pid, SIGKILL);
        for (std::thread& player : players) player.join();
        StopScoreServer(server, SIGKILL);
    }
    std::set<std::string> stored;
    for (const Row& row : StoredRows(db)) stored.insert(row[0]);
    for (const std::string& name : acknowledged) EXPECT_TRUE(stored.count(name)) << name;
    EXPECT_GE(acknowledged.size(), 900u);
    std::filesystem::remove_all(dir);
}

TEST(ServerWebFiles, TheBrowserBuildComesCompressedWhereAcceptedWithItsTypeAndIsKeptBetweenVisits) {
    const std::string dir = MakeScratchDir();
    const std::string web = dir + "play/";
    std::filesystem::create_directories(web + "menu");
    for (const auto& [name, bytes] : {std::pair{"index.html", "<html>"},
                                      {"tapdash.wasm", "wasm"},
                                      {"tapdash.wasm.gz", "zipped"},
                                      {"menu/bgrn.vgz", "loop"},
                                      {"menu/bgrn.vgz.gz", "zipped loop"},
                                      {"tapdash.webmanifest", "{}"}}) {
        std::ofstream(web + name, std::ios::binary) << bytes;
    }
    ScoreServerProcess server = StartScoreServer(dir + "scores.db", {"--web", web});
    httplib::Client client("127.0.0.1", server.port);
    client.set_decompress(false);  // the bytes as they travel
    const struct {
        const char *path, *accepts, *type, *encoding, *caching, *body;
    } cases[] = {
        {"/tapdash/play/", "gzip", "text/html; charset=utf-8", "", "no-cache", "<html>"},
        {"/tapdash/play/tapdash.wasm", "br, gzip", "application/wasm", "gzip", "no-cache",
         "zipped"},
        {"/tapdash/play/tapdash.wasm", "", "application/wasm", "", "no-cache", "wasm"},
        {"/tapdash/play/menu/bgrn.vgz", "gzip;q=0", "application/octet-stream", "",
         "public, max-age=86400", "loop"},
        {"/tapdash/play/menu/bgrn.vgz", "*", "application/octet-stream", "gzip",
         "public, max-age=86400", "zipped loop"},
        {"/tapdash/play/tapdash.webmanifest", "", "application/manifest+json", "", "no-cache",
         "{}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " accepting " + c.accepts);
        httplib::Headers accepts{{"Accept-Encoding", c.accepts}};
        auto reply = client.Get(c.path, accepts);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 200);
        EXPECT_EQ(reply->get_header_value("Content-Type"), c.type);
        EXPECT_EQ(reply->get_header_value("Content-Encoding"), c.encoding);
        EXPECT_EQ(reply->get_header_value("Cache-Control"), c.caching);
        EXPECT_EQ(reply->get_header_value("Vary"), "Accept-Encoding");
        EXPECT_EQ(reply->body, c.body);
        // The next visit revalidates and gets nothing again.
        accepts.emplace("If-None-Match", reply->get_header_value("ETag"));
        auto again = client.Get(c.path, accepts);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->status, 304);
        EXPECT_EQ(again->body, "");
    }

    // Codings are named in any case, each with its weight; "*" stands for those not named.
    const std::pair<const char*, bool> codings[] = {
        {"GZIP", true},   {"gzip;Q=0", false},     {"gzip;q=0, *", false},
        {"*;q=0", false}, {"br, *;q=0.5", true},   {"identity", false},
        {"x-gzip", true}, {"gzip; q=0.001", true}, {"gzip;q=0.000", false},
    };
    for (const auto& [accepts, zipped] : codings) {
        auto reply = client.Get("/tapdash/play/tapdash.wasm", {{"Accept-Encoding", accepts}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->body, zipped ? "zipped" : "wasm") << accepts;
    }
    // A revalidation names a list of tags, compared weakly, or "*" alone; a tag inside another
    // is no match.
    const std::string tag = client.Get("/tapdash/play/tapdash.wasm")->get_header_value("ETag");
    const std::string bare = tag.substr(1, tag.size() - 2);
    const std::pair<std::string, int> revalidations[] = {
        {tag, 304},          {"W/" + tag, 304},    {"\"old\", " + tag, 304},
        {"*", 304},          {"\"x*y\"", 200},     {"\"a" + bare + "b\"", 200},
        {"\"old\", *", 200}, {tag.substr(1), 200},
    };
    for (const auto& [list, status] : revalidations) {
        auto reply = client.Get("/tapdash/play/tapdash.wasm", {{"If-None-Match", list}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, status) << list;
    }
    StopScoreServer(server, SIGTERM);
    std::filesystem::remove_all(dir);
}

}  // namespace
