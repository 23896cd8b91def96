// Asking a score server for something over HTTP: a small server on the loopback interface
// answers with canned replies.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <string>
#include <thread>

#include "platform/sdl/sdl_backend.h"

namespace {

struct LoopbackServer {
    int listener = -1;
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
        int client = accept(server->listener, nullptr, nullptr);
        if (client < 0) return;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            ssize_t got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            request.append(chunk, static_cast<size_t>(got));
        }
        std::string line = request.substr(0, request.find("\r\n"));
        server->lastRequestLine = line;
        std::string path = line.substr(4, line.rfind(' ') - 4);
        auto reply = server->replies.find(path);
        std::string answer =
            reply != server->replies.end() ? reply->second : Reply("404 Not Found", "no such page");
        send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        close(client);
    }
}

// Listens on 127.0.0.1 at a port the system picks.
void Start(LoopbackServer& server) {
    server.listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(server.listener, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ASSERT_EQ(bind(server.listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server.listener, 8), 0);
    socklen_t length = sizeof address;
    getsockname(server.listener, reinterpret_cast<sockaddr*>(&address), &length);
    server.port = ntohs(address.sin_port);
    server.thread = std::thread(Serve, &server);
}

void Stop(LoopbackServer& server) {
    shutdown(server.listener, SHUT_RDWR);
    close(server.listener);
    if (server.thread.joinable()) server.thread.join();
}

std::string Url(const LoopbackServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.port) + path;
}

}  // namespace

TEST(SdlHttp, TheServersAnswerComesBack) {
    LoopbackServer server;
    server.replies["/top2.php?name=Ada%20Lovelace&score=4200"] = Reply("200 OK", "3");
    server.replies["/top1.php"] = Reply("200 OK", "");
    Start(server);

    std::string body = "left over from before";
    EXPECT_EQ(
        SdlHttpGet(Url(server, "/top2.php?name=Ada%20Lovelace&score=4200").c_str(), &body, 1024),
        1);
    EXPECT_EQ(body, "3");
    EXPECT_EQ(server.lastRequestLine, "GET /top2.php?name=Ada%20Lovelace&score=4200 HTTP/1.1");

    // The caller may not want the body at all, and the server may send none.
    EXPECT_EQ(SdlHttpGet(Url(server, "/top1.php").c_str(), nullptr, 0), 1);
    EXPECT_EQ(SdlHttpGet(Url(server, "/top1.php").c_str(), &body, 1024), 1);
    EXPECT_EQ(body, "");
    Stop(server);
}

// What stands between the game and its server on a hotel's or a school's network, and a server
// in trouble: none of it is the server's answer, whatever its page says.
const char* const kNotTheServersAnswer[] = {
    "407 Proxy Authentication Required",
    "404 Not Found",
    "500 Internal Server Error",
    "502 Bad Gateway",
    "503 Service Unavailable",
    "302 Found",  // a portal's redirect that names no page to go on to
};

TEST(SdlHttp, AProxyAPortalOrAServerErrorIsNoAnswer) {
    LoopbackServer server;
    for (std::string status : kNotTheServersAnswer) {
        server.replies["/" + status.substr(0, 3)] = Reply(status, "4");
    }
    Start(server);
    for (std::string status : kNotTheServersAnswer) {
        std::string body;
        EXPECT_EQ(SdlHttpGet(Url(server, "/" + status.substr(0, 3)).c_str(), &body, 1024), 0)
            << status;
        EXPECT_EQ(body, "") << status;
        EXPECT_NE(std::string(PlatformLastError()).find("status " + status.substr(0, 3)),
                  std::string::npos)
            << PlatformLastError();
    }
    Stop(server);
}

TEST(SdlHttp, ALongReplyIsCutToTheLimitAndStillCounts) {
    LoopbackServer server;
    std::string longBody(200000, 'x');
    longBody.replace(0, 10, "0123456789");
    server.replies["/long"] = Reply("200 OK", longBody);
    server.replies["/exact"] = Reply("200 OK", "12345678");
    Start(server);

    std::string body;
    EXPECT_EQ(SdlHttpGet(Url(server, "/long").c_str(), &body, 10), 1);
    EXPECT_EQ(body, "0123456789");
    EXPECT_EQ(SdlHttpGet(Url(server, "/exact").c_str(), &body, 8), 1);
    EXPECT_EQ(body, "12345678");
    EXPECT_EQ(SdlHttpGet(Url(server, "/long").c_str(), &body, 0), 1);
    EXPECT_EQ(body, "");
    Stop(server);
}

TEST(SdlHttp, NoServerOrABrokenReplyIsAFailure) {
    LoopbackServer server;
    // The connection drops after 5 of the 100 bytes the server promised.
    server.replies["/cut"] =
        "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nhello";
    Start(server);
    std::string body;
    EXPECT_EQ(SdlHttpGet(Url(server, "/cut").c_str(), &body, 1024), 0);
    std::string closedUrl = Url(server, "/top1.php");
    Stop(server);

    // Nobody listens on the port any more; the reason names the address and libcurl's cause.
    EXPECT_EQ(SdlHttpGet(closedUrl.c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
    EXPECT_EQ(std::string(PlatformLastError()).rfind(closedUrl + ": ", 0), 0u);
    EXPECT_GT(std::string(PlatformLastError()).size(), closedUrl.size() + 2);

    // Only the web's own protocols are spoken.
    EXPECT_EQ(SdlHttpGet("file:///etc/hostname", &body, 1024), 0);
    EXPECT_EQ(body, "");
}

namespace {

std::string Redirect(const std::string& status, const std::string& location) {
    return "HTTP/1.1 " + status + "\r\nLocation: " + location +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

}  // namespace

TEST(SdlHttp, AScoreServerThatMovedIsFollowedUpToFiveRedirects) {
    LoopbackServer moved;
    moved.replies["/tapdash/top2.php?score=900"] = Reply("200 OK", "4");
    Start(moved);
    LoopbackServer server;
    server.replies["/tapdash/top2.php?score=900"] =
        Redirect("301 Moved Permanently", Url(moved, "/tapdash/top2.php?score=900"));
    // Five hops on the same server, by relative locations and every kind of redirect.
    server.replies["/hop1"] = Redirect("302 Found", "/hop2");
    server.replies["/hop2"] = Redirect("303 See Other", "/hop3");
    server.replies["/hop3"] = Redirect("307 Temporary Redirect", "/hop4");
    server.replies["/hop4"] = Redirect("308 Permanent Redirect", "/hop5");
    server.replies["/hop5"] = Redirect("301 Moved Permanently", "/end");
    server.replies["/end"] = Reply("200 OK", "end of the road");
    server.replies["/hop0"] = Redirect("302 Found", "/hop1");  // one too many
    server.replies["/to-file"] = Redirect("302 Found", "file:///etc/hostname");
    Start(server);

    std::string body;
    EXPECT_EQ(SdlHttpGet(Url(server, "/tapdash/top2.php?score=900").c_str(), &body, 1024), 1);
    EXPECT_EQ(body, "4");
    EXPECT_EQ(moved.lastRequestLine, "GET /tapdash/top2.php?score=900 HTTP/1.1");
    EXPECT_EQ(SdlHttpGet(Url(server, "/hop1").c_str(), &body, 1024), 1);
    EXPECT_EQ(body, "end of the road");

    EXPECT_EQ(SdlHttpGet(Url(server, "/hop0").c_str(), &body, 1024), 0);
    EXPECT_EQ(SdlHttpGet(Url(server, "/to-file").c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
    Stop(server);
    Stop(moved);
}
