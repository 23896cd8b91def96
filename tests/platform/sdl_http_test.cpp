// Asking a score server for something over HTTP with libcurl, against a small server on the
// loopback interface.
#include <gtest/gtest.h>

#include <string>

#include "platform/sdl/sdl_backend.h"
#include "tests/support/http_contract.h"
#include "tests/support/loopback_http.h"

TEST(SdlHttp, KeepsTheScoreRequestsContract) {
    CheckHttpContract(SdlHttpGet);
}

TEST(SdlHttp, AScoreServerThatMovedIsFollowedUpToFiveRedirects) {
    LoopbackHttp moved;
    moved.Answer("/tapdash/top2.php", HttpReply("200 OK", "4"));
    LoopbackHttp server;
    server.Answer("/tapdash/top2.php",
                  HttpRedirect("301 Moved Permanently", moved.Url("/tapdash/top2.php?score=900")));
    // Five hops on the same server, by relative locations and every kind of redirect.
    server.Answer("/hop1", HttpRedirect("302 Found", "/hop2"));
    server.Answer("/hop2", HttpRedirect("303 See Other", "/hop3"));
    server.Answer("/hop3", HttpRedirect("307 Temporary Redirect", "/hop4"));
    server.Answer("/hop4", HttpRedirect("308 Permanent Redirect", "/hop5"));
    server.Answer("/hop5", HttpRedirect("301 Moved Permanently", "/end"));
    server.Answer("/end", HttpReply("200 OK", "end of the road"));
    server.Answer("/hop0", HttpRedirect("302 Found", "/hop1"));  // one too many

    std::string body;
    EXPECT_EQ(SdlHttpGet(server.Url("/tapdash/top2.php?score=900").c_str(), &body, 1024), 1);
    EXPECT_EQ(body, "4");
    EXPECT_EQ(moved.LastRequestLine(), "GET /tapdash/top2.php?score=900 HTTP/1.1");
    EXPECT_EQ(SdlHttpGet(server.Url("/hop1").c_str(), &body, 1024), 1);
    EXPECT_EQ(body, "end of the road");
    EXPECT_EQ(SdlHttpGet(server.Url("/hop0").c_str(), &body, 1024), 0);
    EXPECT_EQ(body, "");
}
