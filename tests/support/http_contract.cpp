#include "tests/support/http_contract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "tests/support/loopback_http.h"
#include "tests/support/test_pack.h"

namespace {

const std::string kQuery = "?first_name=Ann&addr=1%20Secret%20Rd&score=4200";

std::string Reason() {
    return PlatformLastError();
}

// A file on this machine as a file: URL, which no score request may open.
std::string AFileUrl() {
    std::string path = MakeScratchDir() + "hostname";
    WriteFileBytes(path, "a file on this machine");
    std::replace(path.begin(), path.end(), '\\', '/');
    return (path[0] == '/' ? "file://" : "file:///") + path;
}

}  // namespace

void CheckHttpContract(HttpGet get) {
    const std::string fileUrl = AFileUrl();
    std::string longBody(200000, 'x');
    longBody.replace(0, 10, "0123456789");
    const struct {
        const char* what;
        std::string reply;
        int delayMs;
        bool bodyWanted;
        size_t limit;
        bool answered;
        std::string body;
        const char* reason;  // what a failure's reason names
    } cases[] = {
        {"the server's answer", HttpReply("200 OK", "3"), 0, true, 1024, true, "3", ""},
        {"an empty answer", HttpReply("200 OK", ""), 0, true, 1024, true, "", ""},
        {"an answer whose body is not wanted", HttpReply("200 OK", "3"), 0, false, 0, true, "", ""},
        {"a slow server within the time-outs", HttpReply("200 OK", "5"), 1500, true, 1024, true,
         "5", ""},
        {"a long answer cut to a small limit", HttpReply("200 OK", longBody), 0, true, 10, true,
         "0123456789", ""},
        {"a long answer cut to a large limit", HttpReply("200 OK", longBody), 0, true, 100000, true,
         longBody.substr(0, 100000), ""},
        {"an answer of exactly the limit", HttpReply("200 OK", "12345678"), 0, true, 8, true,
         "12345678", ""},
        {"an answer with a limit of nothing", HttpReply("200 OK", longBody), 0, true, 0, true, "",
         ""},
        // What stands between the game and its server on a hotel's or a school's network, and a
        // missing page, nginx with the server down: none of it is the server's answer.
        {"a proxy that wants a password", HttpReply("407 Proxy Authentication Required", "4"), 0,
         true, 1024, false, "", "status 407"},
        {"no such page", HttpReply("404 Not Found", "4"), 0, true, 1024, false, "", "status 404"},
        {"a bad gateway", HttpReply("502 Bad Gateway", "4"), 0, true, 1024, false, "",
         "status 502"},
        {"a portal's redirect to no page", HttpReply("302 Found", "4"), 0, true, 1024, false, "",
         "status 302"},
        {"a redirect to a file on this machine", HttpRedirect("302 Found", fileUrl), 0, true, 1024,
         false, "", ""},
        {"a reply cut short by the network",
         "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nhello", 0, true, 1024,
         false, "", ""},
    };
    LoopbackHttp server;
    for (size_t n = 0; n < std::size(cases); ++n) {
        server.Answer("/case" + std::to_string(n), cases[n].reply, cases[n].delayMs);
    }
    for (size_t n = 0; n < std::size(cases); ++n) {
        const auto& each = cases[n];
        SCOPED_TRACE(each.what);
        const std::string target = "/case" + std::to_string(n) + kQuery;
        std::string body = "left over from before";
        EXPECT_EQ(get(server.Url(target).c_str(), each.bodyWanted ? &body : nullptr, each.limit),
                  each.answered ? 1 : 0)
            << Reason();
        if (each.bodyWanted) {
            EXPECT_EQ(body, each.body);
        }
        EXPECT_EQ(server.LastRequestLine(), "GET " + target + " HTTP/1.1");
        if (each.answered) continue;
        EXPECT_NE(Reason().find(each.reason), std::string::npos) << Reason();
        EXPECT_EQ(Reason().find("Secret"), std::string::npos) << Reason();
    }
    server.Stop();

    // Nobody listens on the port any more; the reason names the address and the cause.
    const std::string closed = server.Url("/top1.php");
    std::string body = "left over from before";
    EXPECT_EQ(get((closed + kQuery).c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
    EXPECT_EQ(Reason().rfind(closed + ": ", 0), 0u) << Reason();
    EXPECT_GT(Reason().size(), closed.size() + 2);
    EXPECT_EQ(Reason().find("Secret"), std::string::npos) << Reason();

    // Only the web's own protocols are spoken.
    EXPECT_EQ(get(fileUrl.c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
}
