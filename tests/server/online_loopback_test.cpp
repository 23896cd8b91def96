// The game's score submission over real HTTP on loopback: against the real score server, one that
// never answers, a plain one where https is expected, and certificates that do not verify.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "online/submit.h"
#include "platform/driver.h"
#include "tests/online/send_score.h"
#include "tests/server/score_server_process.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

class OnlineLoopback : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        // The virtual backend has no network: its requests go out through the system backend's.
        VirtualSetHttpHandler([](const std::string& url, std::string* body, uint64_t*) {
            return g_systemDriver.httpGet(url.c_str(), body, SIZE_MAX);
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
        ChooseSendScore(score);
        Press(kKeyY);
        EXPECT_EQ(g_mode, MODE_MENU);
        return PlayedFiles();
    }

    std::string savedServer_;
};

// A socket listening on a free loopback port that nothing serves; -1 when none could be had.
int ListenOnLoopback(int* port) {
    int listening = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listening < 0 || bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) ||
        listen(listening, 4) ||
        getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length)) {
        if (listening >= 0) close(listening);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return listening;
}

TEST_F(OnlineLoopback, PlayersHearTheirPlaceFromTheRealScoreServer) {
    std::string dir = MakeScratchDir();
    ScoreServerProcess server = StartScoreServer(dir + "scores.db");
    g_scoreServer = "http://" + ScoreServerHost(server);

    EXPECT_EQ(SendScore("Mary Jo & Co\nO'Neil\n1 High St, Leeds\nUK\n", 1500), Heard(1));
    EXPECT_EQ(SendScore("Bob\nRay\n2 Low Rd\nFR\n", 700), Heard(2));

    EXPECT_EQ(ReadRows(server.dbPath,
                       "SELECT first_name, last_name, addr, country, score FROM"
                       " submissions ORDER BY id"),
              (std::vector<std::vector<std::string>>{
                  {"Mary Jo & Co", "O'Neil", "1 High St, Leeds", "UK", "1500"},
                  {"Bob", "Ray", "2 Low Rd", "FR", "700"}}));

    EXPECT_EQ(StopScoreServer(server, SIGTERM), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(OnlineLoopback, AServerThatNeverAnswersIsGivenUpAfterTheRequestTimeOut) {
    // A socket that listens but is never served: the connection is made, no reply ever comes.
    int port = 0;
    int silent = ListenOnLoopback(&port);
    ASSERT_GE(silent, 0);
    g_scoreServer = "http://127.0.0.1:" + std::to_string(port);

    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(SendScore("Ann\nLee\nx\nUK\n", 300), Heard());
    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(VirtualCallsOf("HttpGet").size(), 1u);
    EXPECT_LT(waited, std::chrono::seconds(60));
    close(silent);
}

TEST_F(OnlineLoopback, AServerSettingWithoutSchemeNeverSendsTheDetailsInClear) {
    // A plain http server where the game expects https: it sees a TLS greeting, never a request
    // line, and the player hears nothing after the sending cue.
    int port = 0;
    int plain = ListenOnLoopback(&port);
    ASSERT_GE(plain, 0);
    g_scoreServer = "127.0.0.1:" + std::to_string(port);
    std::string received;
    std::thread listener([&] {
        int client = accept(plain, nullptr, nullptr);
        char chunk[4096];
        ssize_t got = client >= 0 ? recv(client, chunk, sizeof chunk, 0) : -1;
        if (got > 0) received.assign(chunk, static_cast<size_t>(got));
        // A plain server's answer to what it cannot read; the game must not take it either.
        const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n1";
        if (client >= 0) send(client, reply, sizeof reply - 1, MSG_NOSIGNAL);
        if (client >= 0) close(client);
    });

    EXPECT_EQ(SendScore("Ann\nLee\n1 Secret Rd\nUK\n", 300), Heard());
    listener.join();
    close(plain);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0], '\x16') << "not a TLS handshake";
    EXPECT_EQ(received.find("GET"), std::string::npos);
    EXPECT_EQ(received.find("Secret"), std::string::npos);
}

TEST_F(OnlineLoopback, OnlyAServerWhoseCertificateVerifiesHearsTheDetails) {
    // A throw-away authority and the certificates a player's game may meet: one the authority
    // gave this machine, one it gave another name, one that has expired, one that signed itself.
    const std::string certificates = MakeScratchDir();
    ASSERT_EQ(std::system((TAPDASH_SOURCE_DIR "/tests/support/tls_authority.sh '" + certificates +
                           "' good=IP:127.0.0.1 other_name=DNS:scores.example.org --expired"
                           " expired=IP:127.0.0.1 --self-signed self=IP:127.0.0.1")
                              .c_str()),
              0)
        << "openssl could not make the test certificates";
    const struct {
        const char* certificate;
        bool authorityAdded, placeSpoken;  // without it, the system's authorities never heard of it
    } cases[] = {
        {"good", true, true},     {"good", false, false}, {"other_name", true, false},
        {"expired", true, false}, {"self", true, false},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(std::string(each.certificate) + (each.authorityAdded ? "" : ", no authority"));
        if (each.authorityAdded) {
            setenv("TAPDASH_CA_FILE", (certificates + "ca.pem").c_str(), 1);
        } else {
            unsetenv("TAPDASH_CA_FILE");
        }
        httplib::SSLServer server((certificates + each.certificate + ".pem").c_str(),
                                  (certificates + each.certificate + ".key").c_str());
        int requests = 0;
        server.Get(R"(/tapdash/top[12]\.php)", [&](const httplib::Request& request,
                                                   httplib::Response& response) {
            ++requests;
            response.set_content(request.path == "/tapdash/top2.php" ? "4" : "", "text/plain");
        });
        int port = server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(port, 0);
        std::thread serving([&] { server.listen_after_bind(); });
        g_scoreServer = "127.0.0.1:" + std::to_string(port);

        std::vector<std::string> heard = SendScore("Ann\nLee\n1 Secret Rd\nUK\n", 300);
        server.stop();
        serving.join();
        EXPECT_EQ(heard, Heard(each.placeSpoken ? 4 : 0));
        EXPECT_EQ(requests, each.placeSpoken ? 2 : 0)
            << "the details reached a server that did not verify";
    }
    unsetenv("TAPDASH_CA_FILE");
}

}  // namespace
