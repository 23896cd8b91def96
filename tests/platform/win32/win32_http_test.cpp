// Asking a score server for something over WinINet: a small server on the loopback interface
// answers with canned replies.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "platform/win32/win32_backend.h"

namespace {

struct LoopbackServer {
    SOCKET listener = INVALID_SOCKET;
    int port = 0;
    std::map<std::string, std::string> replies;  // request path -> raw reply
    std::string lastRequestLine;
    std::thread thread;
};

std::string Reply(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

void Serve(LoopbackServer* server) {
    for (;;) {
        SOCKET client = accept(server->listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            int got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            request.append(chunk, static_cast<size_t>(got));
        }
        std::string line = request.substr(0, request.find("\r\n"));
        server->lastRequestLine = line;
        std::string path = line.size() > 4 ? line.substr(4, line.rfind(' ') - 4) : "";
        auto reply = server->replies.find(path);
        std::string answer =
            reply != server->replies.end() ? reply->second : Reply("404 Not Found", "no such page");
        send(client, answer.data(), static_cast<int>(answer.size()), 0);
        shutdown(client, SD_SEND);
        // Wait for the client to finish reading before the connection goes.
        while (recv(client, chunk, sizeof chunk, 0) > 0) {
        }
        closesocket(client);
    }
}

void Start(LoopbackServer& server) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    server.listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(server.listener, INVALID_SOCKET);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server.listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server.listener, 8), 0);
    int length = sizeof address;
    getsockname(server.listener, reinterpret_cast<sockaddr*>(&address), &length);
    server.port = ntohs(address.sin_port);
    server.thread = std::thread(Serve, &server);
}

void Stop(LoopbackServer& server) {
    closesocket(server.listener);
    if (server.thread.joinable()) server.thread.join();
    WSACleanup();
}

std::string Url(const LoopbackServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.port) + path;
}

}  // namespace

TEST(Win32Http, TheServersAnswerComesBackWhateverItsStatusAndCutToTheLimit) {
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
    EXPECT_EQ(server.lastRequestLine, "GET /top2.php?name=Ada%20Lovelace&score=4200 HTTP/1.1");
    // A page the server does not have is still a reply; so is an empty one.
    EXPECT_EQ(Win32HttpGet(Url(server, "/gone.php").c_str(), &body, 1024), 1);
    EXPECT_EQ(body, "no such page");
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
