// Asking a score server for something over WinINet: a small server on the loopback interface,
// the score server itself and the nginx front over TLS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/win32_backend.h"
#include "tests/support/http_contract.h"

TEST(Win32Http, KeepsTheScoreRequestsContract) {
    CheckHttpContract(Win32HttpGet);
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
        // A place: 1 on a fresh server, behind the same score sent by an earlier run of this test.
        const bool place = !body.empty() && body[0] != '0' &&
                           body.find_first_not_of("0123456789") == std::string::npos;
        EXPECT_EQ(place, each.placed) << body;
        EXPECT_EQ(std::string(PlatformLastError()).find("Secret"), std::string::npos)
            << "the reason shows the player's address";
        // 12038: the certificate's name is not the host's (the reason under an untrusted
        // authority differs between Wine and Windows).
        if (!each.placed) {
            EXPECT_EQ(body, "");
            EXPECT_EQ(std::string(PlatformLastError()).find("error 12029"), std::string::npos)
                << "the front was never reached";
        }
        if (trusted && !each.placed) {
            EXPECT_NE(std::string(PlatformLastError()).find("error 12038"), std::string::npos)
                << PlatformLastError();
        }
    }
}
