// Asking a score server for something over WinINet: a small server on the loopback interface
// answers with canned replies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/win32_backend.h"
#include "tests/platform/win32/loopback_server.h"

TEST(Win32Http, TheServersAnswerComesBackCutToTheLimit) {
    LoopbackServer server;
    server.replies["/top2.php?name=Ada%20Lovelace&score=4200"] = Reply("200 OK", "3");
    server.replies["/top1.php"] = Reply("200 OK", "");
    std::string longBody(200000, 'x');
    longBody.replace(0, 10, "0123456789");
    server.replies["/long"] = Reply("200 OK", longBody);
    Start(server);

    std::string body = "left over from before";
    EXPECT_EQ(Win32HttpGet(Url(server, "/top2.php?name=Ada%20Lovelace&score=4200").c_str(), &body,
                           100000),
              1);
    EXPECT_EQ(body, "3");
    EXPECT_EQ(LastRequestLine(server), "GET /top2.php?name=Ada%20Lovelace&score=4200 HTTP/1.1");
    // An empty reply is a reply.
    EXPECT_EQ(Win32HttpGet(Url(server, "/top1.php").c_str(), nullptr, 0), 1);
    // One read of at most the limit.
    EXPECT_EQ(Win32HttpGet(Url(server, "/long").c_str(), &body, 100000), 1);
    EXPECT_EQ(body.size(), 100000u);
    EXPECT_EQ(body.substr(0, 10), "0123456789");
    Stop(server);
}

TEST(Win32Http, NoServerOrABrokenReplyIsAFailure) {
    LoopbackServer server;
    server.replies["/cut"] =
        "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nhello";
    Start(server);
    std::string body;
    EXPECT_EQ(Win32HttpGet(Url(server, "/cut").c_str(), &body, 1024), 0);
    std::string closedUrl = Url(server, "/top1.php");
    Stop(server);

    EXPECT_EQ(Win32HttpGet(closedUrl.c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
    EXPECT_EQ(Win32HttpGet("file:///C:/windows/win.ini", &body, 1024), 0);
}

// What stands between the game and its server on a hotel's or a school's network, and a server
// in trouble: none of it is the server's answer, whatever its page says.
TEST(Win32Http, AProxyAPortalOrAServerErrorIsNoAnswer) {
    const char* const kNotTheServersAnswer[] = {
        "407 Proxy Authentication Required",
        "404 Not Found",
        "500 Internal Server Error",
        "502 Bad Gateway",
        "503 Service Unavailable",
        "302 Found",  // a portal's redirect that names no page to go on to
    };
    LoopbackServer server;
    for (std::string status : kNotTheServersAnswer) {
        server.replies["/" + status.substr(0, 3)] = Reply(status, "4");
    }
    // A portal that sends the request on to a page WinINet will not open.
    server.replies["/to-file"] =
        "HTTP/1.1 302 Found\r\nLocation: file:///C:/windows/win.ini\r\nContent-Length: 1\r\n"
        "Connection: close\r\n\r\n4";
    Start(server);
    for (std::string status : kNotTheServersAnswer) {
        std::string body;
        EXPECT_EQ(Win32HttpGet(Url(server, "/" + status.substr(0, 3)).c_str(), &body, 1024), 0)
            << status;
        EXPECT_EQ(body, "") << status;
        EXPECT_NE(std::string(PlatformLastError()).find("status " + status.substr(0, 3)),
                  std::string::npos)
            << PlatformLastError();
    }
    std::string body;
    EXPECT_EQ(Win32HttpGet(Url(server, "/to-file").c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
    Stop(server);
}

// The game's two requests against the score server itself (tests/windows/run.sh starts one on
// the loopback interface and names it in TAPDASH_TEST_SCORE_SERVER).
TEST(Win32Http, TheScoreServerRecordsAScoreAndAnswersItsPlace) {
    const char* server = std::getenv("TAPDASH_TEST_SCORE_SERVER");
    if (!server || !*server) GTEST_SKIP() << "no score server named in TAPDASH_TEST_SCORE_SERVER";
    const std::string query =
        "?first_name=Ada&last_name=Lovelace&addr=12%20Some%20Street&country=%C3%89ire&score=4200";
    std::string body = "left over";
    EXPECT_EQ(
        Win32HttpGet((std::string(server) + "/tapdash/top1.php" + query).c_str(), &body, 100000),
        1);
    EXPECT_EQ(body, "");
    EXPECT_EQ(
        Win32HttpGet((std::string(server) + "/tapdash/top2.php" + query).c_str(), &body, 100000),
        1);
    EXPECT_EQ(body, "1");
}

// The game's two requests over https to the nginx front that tests/windows/run.sh starts on
// the loopback interface (TAPDASH_TEST_TLS_PORT), its certificate for "localhost" from a
// throw-away authority. Asked as 127.0.0.1, the same front shows a certificate for another name.
// Where the system trusts that authority (TAPDASH_TEST_TLS_TRUSTED, set by
// tests/windows/with_authority.sh) the place comes back from localhost; where it does not,
// nothing comes back from either.
TEST(Win32Http, OnlyAServerWhoseCertificateVerifiesAnswersThePlace) {
    const char* port = std::getenv("TAPDASH_TEST_TLS_PORT");
    if (!port || !*port) GTEST_SKIP() << "no TLS front named in TAPDASH_TEST_TLS_PORT";
    const bool trusted = std::getenv("TAPDASH_TEST_TLS_TRUSTED") != nullptr;
    const std::string query =
        "?first_name=Ann&last_name=Lee&addr=1%20Secret%20Rd&country=UK&score=300";
    const struct {
        const char* host;
        bool placed;
    } cases[] = {{"localhost", trusted}, {"127.0.0.1", false}};
    for (const auto& each : cases) {
        SCOPED_TRACE(std::string(each.host) + (trusted ? ", authority trusted" : ""));
        std::string pages = std::string("https://") + each.host + ":" + port + "/tapdash/";
        std::string body;
        bool placed = Win32HttpGet((pages + "top1.php" + query).c_str(), nullptr, 0) &&
                      Win32HttpGet((pages + "top2.php" + query).c_str(), &body, 100);
        EXPECT_EQ(placed, each.placed) << PlatformLastError();
        EXPECT_EQ(body, each.placed ? "1" : "");
        EXPECT_EQ(std::string(PlatformLastError()).find("Secret"), std::string::npos)
            << "the reason shows the player's address";
        // 12038: the certificate's name is not the host's (the reason under an untrusted
        // authority differs between Wine and Windows).
        if (!each.placed) {
            EXPECT_EQ(std::string(PlatformLastError()).find("error 12029"), std::string::npos)
                << "the front was never reached";
        }
        if (trusted && !each.placed) {
            EXPECT_NE(std::string(PlatformLastError()).find("error 12038"), std::string::npos)
                << PlatformLastError();
        }
    }
}
