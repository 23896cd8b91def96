// The score server against clients that are not the game: floods of scores, guessed addresses,
// forged proxy headers, other sites' pages, other methods; names in many scripts; its access log.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "server/access_log.h"
#include "server/options.h"
#include "server/rate_limit.h"
#include "server/store.h"
#include "server/text.h"
#include "tests/server/score_server_process.h"
#include "tests/support/test_pack.h"

namespace {

struct RawReply {
    int status = -1;
    std::string head;
    std::string body;
};

// One request from the loopback address `source` (any 127.x.y.z is this machine), so that
// tests can play several clients.
RawReply Send(int port, const std::string& source, const std::string& method,
              const std::string& target, const std::string& headers = "",
              const std::string& server = "127.0.0.1") {
    RawReply reply;
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    timeval patience{30, 0};  // a server that never closes fails the test instead of hanging it
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    inet_pton(AF_INET, server.c_str(), &to.sin_addr);
    to.sin_port = htons(static_cast<uint16_t>(port));
    std::string request = method + " " + target + " HTTP/1.1\r\nHost: tapdash\r\n" + headers +
                          "Connection: close\r\n\r\n";
    if (bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 ||
        write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
        close(fd);
        return reply;
    }
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    close(fd);
    size_t end = text.find("\r\n\r\n");
    if (text.rfind("HTTP/1.1 ", 0) != 0 || end == std::string::npos) return reply;
    reply.status = std::stoi(text.substr(9, 3));
    reply.head = text.substr(0, end);
    reply.body = text.substr(end + 4);
    return reply;
}

// The content policy's source for the first <style> element of `html`.
std::string StyleHash(const std::string& html) {
    size_t start = html.find("<style>") + 7;
    std::string style = html.substr(start, html.find("</style>") - start);
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(style.data()), style.size(), digest);
    unsigned char text[64] = {};
    EVP_EncodeBlock(text, digest, sizeof digest);
    return "'sha256-" + std::string(reinterpret_cast<char*>(text)) + "'";
}

const char kAnn[] = "first_name=Ann&last_name=Lee&addr=1%20Secret%20Rd&country=UK&score=700";
// Ann's score sent, and her place asked for.
const std::string kRecordAnn = std::string("/tapdash/top1.php?") + kAnn;
const std::string kPlaceAnn = std::string("/tapdash/top2.php?") + kAnn;

class ServerGuards : public ::testing::Test {
  protected:
    void Start(const std::vector<std::string>& options = {}) {
        dir_ = MakeScratchDir();
        server_ = StartScoreServer(dir_ + "scores.db", options);
    }
    void TearDown() override {
        StopScoreServer(server_, SIGTERM);
        std::filesystem::remove_all(dir_);
    }
    RawReply Get(const std::string& target, const std::string& source = "127.0.0.1",
                 const std::string& headers = "") {
        return Send(server_.port, source, "GET", target, headers);
    }

    std::string dir_;
    ScoreServerProcess server_;
};

TEST_F(ServerGuards, ABurstOfScoresFromOneAddressIsCutOffWhileOtherPlayersStillSend) {
    Start();
    // The buckets refill as time passes, so a very slow run may earn one more.
    auto started = std::chrono::steady_clock::now();
    auto refills = [&](int secondsEach) {
        auto elapsed = std::chrono::steady_clock::now() - started;
        return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count() /
                                secondsEach);
    };
    int recorded = 0, refused = 0;
    for (int i = 0; i < 300; ++i) {
        RawReply reply = Get("/tapdash/top1.php?first_name=Bot" + std::to_string(i) +
                             "&last_name=X&addr=a&country=UK&score=1000000");
        if (reply.status == 200) ++recorded;
        if (reply.status == 429) {
            ++refused;
            EXPECT_NE(reply.head.find("Retry-After: "), std::string::npos);
            EXPECT_FALSE(isdigit(static_cast<unsigned char>(reply.body[0])));
        }
    }
    EXPECT_GE(recorded, 6);
    EXPECT_LE(recorded, 6 + refills(60));
    EXPECT_EQ(recorded + refused, 300);
    EXPECT_EQ(StoredCount(server_.dbPath), recorded);
    // A player at another address is not held back by the flood.
    EXPECT_EQ(Get(kRecordAnn, "127.0.0.2").status, 200);

    // Place requests have a limit of their own.
    started = std::chrono::steady_clock::now();
    int answered = 0;
    for (int i = 0; i < 100; ++i) {
        if (Get(kPlaceAnn, "127.0.0.2").status == 200) ++answered;
    }
    EXPECT_GE(answered, 20);
    EXPECT_LE(answered, 20 + refills(5));
}

TEST_F(ServerGuards, BehindAProxyTheClientAddressComesFromItsHeadersOnlyWhenTrusted) {
    Start({"--trust-proxy", "on"});
    ASSERT_EQ(Get(kRecordAnn, "127.0.0.1", "X-Real-IP: 203.0.113.7\r\n").status, 200);
    EXPECT_EQ(Get(kPlaceAnn, "127.0.0.1", "X-Real-IP: 203.0.113.7\r\n").body, "1");
    EXPECT_EQ(Get(kPlaceAnn, "127.0.0.1", "X-Forwarded-For: 10.1.1.1, 203.0.113.7\r\n").body, "1");
    EXPECT_EQ(Get(kPlaceAnn, "127.0.0.1", "X-Real-IP: 203.0.113.8\r\n").body, "");
    EXPECT_EQ(Get(kPlaceAnn, "127.0.0.1").body, "");
    // The rate limits count the players' addresses, not the proxy's.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Get(kRecordAnn, "127.0.0.1", "X-Real-IP: 203.0.113.7\r\n").status, 200);
    }
    EXPECT_EQ(Get(kRecordAnn, "127.0.0.1", "X-Real-IP: 203.0.113.7\r\n").status, 429);
    EXPECT_EQ(Get(kRecordAnn, "127.0.0.1", "X-Real-IP: 2001:db8::1\r\n").status, 200);
    StopScoreServer(server_, SIGTERM);

    // Not trusted (the default): the headers are the client's own and change nothing.
    server_ = StartScoreServer(server_.dbPath);
    ASSERT_EQ(Get(kRecordAnn, "127.0.0.5", "X-Real-IP: 203.0.113.9\r\n").status, 200);
    // Ann's eighth score of 700 ranks after her seven earlier ones.
    EXPECT_EQ(Get(kPlaceAnn, "127.0.0.5", "X-Real-IP: 198.51.100.1\r\n").body, "8");
    // Someone who knows the four fields on the page and guesses the address learns nothing.
    RawReply guess = Get(kPlaceAnn, "127.0.0.6", "X-Real-IP: 203.0.113.9\r\n");
    EXPECT_EQ(guess.status, 200);
    EXPECT_EQ(guess.body, "");
}

TEST_F(ServerGuards, AClientElsewhereCannotPassItselfOffAsAProxy) {
    // The machine's own address on a network, where the peer is not this machine's loopback.
    std::string local;
    ifaddrs* interfaces = nullptr;
    getifaddrs(&interfaces);
    for (ifaddrs* i = interfaces; i && local.empty(); i = i->ifa_next) {
        char text[INET_ADDRSTRLEN];
        if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET &&
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr, text,
                      sizeof text) &&
            std::string(text).rfind("127.", 0) != 0) {
            local = text;
        }
    }
    freeifaddrs(interfaces);
    if (local.empty()) GTEST_SKIP() << "this machine has no address but loopback";
    Start({"--trust-proxy", "on", "--bind", local});
    ASSERT_EQ(Send(server_.port, local, "GET", kRecordAnn, "X-Real-IP: 1.2.3.4\r\n", local).status,
              200);
    // The score counts under the client's own address, whatever it claimed.
    EXPECT_EQ(Send(server_.port, local, "GET", kPlaceAnn, "", local).body, "1");
}

TEST(RateLimits, AFloodOfFreshAddressesNeverGivesASpentAddressItsRequestsBack) {
    const int64_t start = 1000000;
    int retryAfter = 0;
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(TakeRateToken(kRecordPage, "192.0.2.1", start, &retryAfter));
    // Twice as many new addresses as are counted at once, within a second.
    for (size_t i = 0; i < 2 * kMaxTrackedAddresses; ++i) {
        TakeRateToken(kRecordPage,
                      "10." + std::to_string(i >> 16) + "." + std::to_string((i >> 8) & 255) + "." +
                          std::to_string(i & 255),
                      start + 1000, &retryAfter);
    }
    EXPECT_FALSE(TakeRateToken(kRecordPage, "192.0.2.1", start + 1000, &retryAfter));
    // Once the oldest bucket has filled again, a new player takes its place.
    EXPECT_TRUE(TakeRateToken(kRecordPage, "198.51.100.1", start + 400000, &retryAfter));
}

TEST_F(ServerGuards, RealNamesInManyScriptsAreRecorded) {
    Start(kNoRateLimits);
    // Some with a joiner or a few marks on one letter.
    // clang-format off
    const char* names[] = {"Nguye\u0302\u0303n", "\u05E9\u05C1\u05B8\u05DC\u05D5\u05B9\u05DD",
        "\u0645\u064F\u062D\u064E\u0645\u0651\u064E\u062F", "\u0936\u094D\u0930\u0940\u0928\u093F\u0935\u093E\u0938",
        "\u0BA4\u0BAE\u0BBF\u0BB4\u0BCD", "\u0E2A\u0E21\u0E0A\u0E32\u0E22", "\u1019\u103C\u102D\u102F\u1037",
        "\u0F56\u0F66\u0F92\u0FB2\u0F74\u0F56", "\u0646\u06CC\u06A9\u200C\u067E\u0648\u0631", "\u738B\u5C0F\u660E",
        "\u3055\u304F\u3089", "\uAE40\uBBFC\uC900", "\u0395\u03BB\u03AD\u03BD\u03B7",
        "\u041D\u0430\u0442\u0430\u043B\u044C\u044F", "\u12A0\u1260\u1260", "\u10DC\u10D8\u10DC\u10DD",
        "\u0D32\u0D15\u0D4D\u0D37\u0D4D\u0D2E\u0D3F", "Mary Ann"};
    // clang-format on
    for (const char* name : names) {
        std::string encoded;
        for (unsigned char c : std::string(name)) {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
        EXPECT_EQ(Get("/tapdash/top1.php?first_name=" + encoded + "&last_name=" + encoded +
                      "&addr=a&country=" + encoded + "&score=0")
                      .status,
                  200)
            << name;
    }
    EXPECT_EQ(StoredCount(server_.dbPath), static_cast<long long>(std::size(names)));
}

TEST_F(ServerGuards, APageOfAnotherSiteCannotSendScoresInItsVisitorsNames) {
    Start(kNoRateLimits);
    // The game sends neither header; a browser says where the request comes from.
    const std::pair<const char*, int> cases[] = {
        {"", 200},
        {"Sec-Fetch-Site: same-origin\r\n", 200},
        {"Origin: http://tapdash\r\n", 200},
        {"Sec-Fetch-Site: cross-site\r\n", 403},
        {"Origin: https://elsewhere.example\r\n", 403},
        {"Origin: http://tapdash.example\r\n", 403},
        {"Origin: null\r\n", 403},
    };
    long long stored = 0;
    for (const auto& [headers, status] : cases) {
        for (const char* page : {"/tapdash/top1.php?", "/tapdash/top2.php?"}) {
            EXPECT_EQ(Get(page + std::string(kAnn), "127.0.0.1", headers).status, status)
                << page << headers;
        }
        if (status == 200) ++stored;
        EXPECT_EQ(StoredCount(server_.dbPath), stored) << headers;
    }
}

TEST_F(ServerGuards, EveryReplyRefusesFramingSniffingAndReferrersAndScoreRepliesAreNeverCached) {
    Start(kNoRateLimits);
    const std::pair<std::string, bool> cases[] = {
        {"/tapdash/", false}, {"/tapdash/play/", false},           {kRecordAnn, true},
        {kPlaceAnn, true},    {"/tapdash/top2.php?score=1", true},
    };
    for (const auto& [target, noStore] : cases) {
        SCOPED_TRACE(target);
        RawReply reply = Get(target);
        EXPECT_NE(reply.head.find("frame-ancestors 'none'"), std::string::npos);
        EXPECT_NE(reply.head.find("X-Frame-Options: DENY"), std::string::npos);
        EXPECT_NE(reply.head.find("Referrer-Policy: no-referrer"), std::string::npos);
        EXPECT_NE(reply.head.find("X-Content-Type-Options: nosniff"), std::string::npos);
        EXPECT_EQ(reply.head.find("Cache-Control: no-store") != std::string::npos, noStore);
    }
    // The top ten page runs no script, and its policy lets exactly its own style element in.
    RawReply page = Get("/tapdash/");
    EXPECT_EQ(page.head.find("script-src"), std::string::npos);
    EXPECT_NE(page.head.find(StyleHash(page.body)), std::string::npos) << page.head;
    // The browser build's page is served with the policy that lets its style element in.
    std::stringstream html;
    html
        << std::ifstream(std::string(TAPDASH_SOURCE_DIR) + "/platform/web/page/index.html").rdbuf();
    RawReply play = Get("/tapdash/play/");
    EXPECT_NE(play.head.find("script-src 'self' 'wasm-unsafe-eval'"), std::string::npos);
    EXPECT_NE(play.head.find("manifest-src 'self'"), std::string::npos);
    EXPECT_NE(play.head.find(StyleHash(html.str())), std::string::npos) << play.head;
}

TEST_F(ServerGuards, OnlyAGetRecordsAScore) {
    Start(kNoRateLimits);
    const struct {
        const char *method, *headers;
        std::string target;
        int status;
        const char* inHead;
    } cases[] = {
        {"HEAD", "", kRecordAnn, 405, "Allow: GET"},
        {"POST", "Content-Length: 0\r\n", kRecordAnn, 405, ""},
        {"HEAD", "", "/tapdash/", 200, ""},
        {"GET", "Content-Length: 100000\r\n", kRecordAnn, 413, ""},
    };
    for (const auto& c : cases) {
        RawReply reply = Send(server_.port, "127.0.0.1", c.method, c.target, c.headers);
        EXPECT_EQ(reply.status, c.status) << c.method << " " << c.target << " " << c.headers;
        EXPECT_NE(reply.head.find(c.inHead), std::string::npos) << reply.head;
    }
    EXPECT_EQ(StoredCount(server_.dbPath), 0);
}

TEST_F(ServerGuards, EveryRequestLeavesOneLineInTheAccessLogWithoutThePlayersDetails) {
    Start(kNoRateLimits);
    Get(kRecordAnn, "127.0.0.7", "User-Agent: game\r\n");
    Get("/tapdash/top2.php?score=1", "127.0.0.7");
    Get("/tapdash/%22%0A\x01", "127.0.0.7", "User-Agent: a\"b\r\n");
    StopScoreServer(server_, SIGTERM);
    std::ifstream file(server_.logPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    // The score pages are logged without the client's address.
    const std::regex combined(
        R"((127\.0\.0\.7|-) - - \[\d\d/\w{3}/\d{4}:\d\d:\d\d:\d\d \+0000\] "GET \S+ HTTP/1\.1" \d{3} \d+ "-" "[^"]*")");
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, combined)) << line;
    EXPECT_EQ(lines[0].rfind("- - - [", 0), 0u) << lines[0];
    EXPECT_EQ(lines[2].rfind("127.0.0.7 - - [", 0), 0u) << lines[2];
    EXPECT_NE(lines[0].find("\"GET /tapdash/top1.php HTTP/1.1\" 200 0 \"-\" \"game\""),
              std::string::npos);
    EXPECT_EQ(lines[0].find("Secret"), std::string::npos);
    EXPECT_NE(lines[1].find("\" 400 "), std::string::npos);
    EXPECT_NE(lines[2].find("/tapdash/%22%0A\\x01"), std::string::npos);
    EXPECT_NE(lines[2].find("\"a\\x22b\""), std::string::npos);
}

TEST(ScoreStore, AnAddressIsKeptOnlyAsLongAsItsPlaceMayBeAskedFor) {
    std::string dir = MakeScratchDir();
    // A database from before addresses were kept gains the column and keeps its scores.
    sqlite3* old = nullptr;
    sqlite3_open((dir + "scores.db").c_str(), &old);
    sqlite3_exec(old,
                 "CREATE TABLE submissions (id INTEGER PRIMARY KEY AUTOINCREMENT, first_name TEXT "
                 "NOT NULL, last_name TEXT NOT NULL, addr TEXT NOT NULL, country TEXT NOT NULL, "
                 "score INTEGER NOT NULL, received_ms INTEGER NOT NULL);"
                 "INSERT INTO submissions VALUES (NULL, 'Old', 'Timer', 'x', 'UK', 9000, 1);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(old);
    std::string error;
    ASSERT_TRUE(OpenScoreStore(dir + "scores.db", &error)) << error;
    EXPECT_EQ(CountSubmissions(), 1);

    Submission ann{"Ann", "Lee", "1 Secret Rd", "UK", 700};
    ASSERT_TRUE(RecordSubmissions({{ann, "192.0.2.1"}}));
    std::optional<int> place;
    ASSERT_TRUE(FindPlace(ann, "192.0.2.1", NowMs() - kPlaceWindowMs, &place));
    EXPECT_EQ(place, 2);
    // Too late: the window has passed.
    ASSERT_TRUE(FindPlace(ann, "192.0.2.1", NowMs() + 1000, &place));
    EXPECT_EQ(place, std::nullopt);
    // Forgotten addresses match nobody.
    ASSERT_TRUE(ForgetClientAddresses(NowMs() + 1));
    ASSERT_TRUE(FindPlace(ann, "192.0.2.1", 0, &place));
    EXPECT_EQ(place, std::nullopt);
    // And their times keep the day alone.
    EXPECT_EQ(StoredCount(dir + "scores.db", " WHERE received_ms % 86400000 != 0"), 0);
    CloseScoreStore();
    std::filesystem::remove_all(dir);
}

TEST(ScoreText, BytesThatAreNotUtf8AreReadAsWindows1252) {
    EXPECT_EQ(Windows1252ToUtf8("\x80\x8A\x9F\xE9\xFF"),
              "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xC3\xA9\xC3\xBF");
}

TEST(ServerOptions, TheOptionsBehindNginxAreReadAndATypoIsRefused) {
    ServerOptions options;
    std::string error;
    const char* behindNginx[] = {"tapdash-scores",
                                 "--trust-proxy",
                                 "on",
                                 "--connections-per-address=0",
                                 "--rate-limit",
                                 "off"};
    ASSERT_TRUE(ParseServerOptions(6, behindNginx, &options, &error));
    EXPECT_FALSE(options.rateLimits);
    EXPECT_TRUE(options.trustProxy);
    EXPECT_EQ(options.connectionsPerAddress, 0);

    const char* typo[] = {"tapdash-scores", "--rate-limit", "no"};
    EXPECT_FALSE(ParseServerOptions(3, typo, &options, &error));
    EXPECT_EQ(error, "--rate-limit needs on or off");
    const char* missing[] = {"tapdash-scores", "--trust-proxy"};
    EXPECT_FALSE(ParseServerOptions(2, missing, &options, &error));
}

}  // namespace
