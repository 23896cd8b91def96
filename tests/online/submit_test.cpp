// Sending the score from the menu: what is sent, what the player hears for each answer of the
// score server, and what happens when the server or config.dat is missing. The server is
// scripted here; tests/server runs the real one.
#include "online/submit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/banks.h"
#include "tests/online/send_score.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

const char kPrompt[] = "game\\check_connected.vgz";
const char kConfigFirst[] = "game\\say_config_first.vgz";
const char kNotEnough[] = "game\\not_enough.vgz";

struct ScriptedReply {
    int ok;
    std::string body;
    uint64_t durationMs;
};

class SubmitScore : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        SkipToMenu();
        savedServer_ = g_scoreServer;
        g_scoreServer = "scores.test:8080";
        WriteFileBytes(programDir + "config.dat", "Ann\nLee\n1 Main St\nUK\n");
    }
    void TearDown() override {
        g_scoreServer = savedServer_;
        GameFixture::TearDown();
    }

    // The server answers the score request with `first` and the place request with `second`.
    void Script(ScriptedReply first, ScriptedReply second) {
        VirtualSetHttpHandler(
            [first, second](const std::string& url, std::string* body, uint64_t* durationMs) {
                const ScriptedReply& reply =
                    url.find("/top1.php?") != std::string::npos ? first : second;
                *body = reply.body;
                *durationMs = reply.durationMs;
                return reply.ok;
            });
    }

    std::vector<std::string> RequestedUrls() const {
        std::vector<std::string> urls;
        for (const VirtualCall& call : VirtualCallsOf("HttpGet")) urls.push_back(call.label);
        return urls;
    }

    std::string savedServer_;
};

TEST_F(SubmitScore, ANameWithSpacesAmpersandsAndThePageNameIsSentIntactInBothRequests) {
    WriteFileBytes(programDir + "config.dat",
                   "Mary Jo&score=99999\nO'Neil top1.php\n1 High St\nUK\r\n");
    Script({1, "", 0}, {1, "3", 0});
    ChooseSendScore(1234);
    Press(kKeyY);

    const std::string query =
        "?first_name=Mary%20Jo%26score%3D99999&last_name=O%27Neil%20top1.php"
        "&addr=1%20High%20St&country=UK%0D&score=1234";
    EXPECT_EQ(RequestedUrls(), (std::vector<std::string>{
                                   "https://scores.test:8080/tapdash/top1.php" + query,
                                   "https://scores.test:8080/tapdash/top2.php" + query,
                               }));
    EXPECT_EQ(PlayedFiles(), Heard(3));
    EXPECT_EQ(g_mode, MODE_MENU);
}

TEST_F(SubmitScore, TheDetailsGoOverHttpsUnlessTheSettingAsksForPlainHttp) {
    const struct {
        const char* setting;
        const char* firstRequest;
    } settings[] = {
        {"scores.example.org", "https://scores.example.org/tapdash/top1.php?"},
        {"localhost:8080", "https://localhost:8080/tapdash/top1.php?"},
        {"[::1]:8443", "https://[::1]:8443/tapdash/top1.php?"},
        {"https://scores.example.org", "https://scores.example.org/tapdash/top1.php?"},
        {"http://192.168.1.20:8080", "http://192.168.1.20:8080/tapdash/top1.php?"},
        {"HTTP://laptop.local", "HTTP://laptop.local/tapdash/top1.php?"},
        // Not a scheme of the web: taken as a host name, which fails over https.
        {"ftp://scores.example.org", "https://ftp://scores.example.org/tapdash/top1.php?"},
    };
    for (const auto& each : settings) {
        SCOPED_TRACE(each.setting);
        g_scoreServer = each.setting;
        Script({1, "", 0}, {1, "2", 0});
        ChooseSendScore(300);
        Press(kKeyY);
        auto urls = RequestedUrls();
        ASSERT_EQ(urls.size(), 2u);
        EXPECT_EQ(urls[0].rfind(each.firstRequest, 0), 0u) << urls[0];
    }
}

// Servers end their answer with a line end, or a blank, or nothing: each place is heard alike.
// Only the first character counts; what is no place says nothing; an empty answer says the score
// was not enough.
TEST_F(SubmitScore, EachAnswerOfTheServerIsSpokenAsItsPlace) {
    std::vector<std::pair<std::string, int>> answers = {
        {"", 0},
        {"<html><body>500 Internal Server Error</body></html>", 0},
        {"Refused: missing key score\n", 0},
        {std::string("\0"
                     "5",
                     2),
         0},
        {"7" + std::string(150000, 'x'), 7},
    };
    for (const char* end : {"", "\n", "\r\n", " ", "\t"}) {
        for (int place = 0; place <= 10; ++place)
            answers.push_back({std::to_string(place) + end, place});
    }
    for (const auto& [reply, place] : answers) {
        SCOPED_TRACE("reply \"" + reply.substr(0, 40) + "\"");
        Script({1, "", 0}, {1, reply, 0});
        ChooseSendScore(500);
        Press(kKeyY);
        EXPECT_EQ(PlayedFiles(),
                  (reply.empty() ? std::vector<std::string>{kSending, kNotEnough, kSendScoreItem}
                                 : Heard(place)));
        EXPECT_EQ(g_mode, MODE_MENU);
    }
}

TEST_F(SubmitScore, ThePlaceIsAskedSixSecondsAfterTheScoreRequestReturned) {
    Script({1, "", 2500}, {1, "4", 300});
    ChooseSendScore(800);
    Press(kKeyY);
    auto requests = VirtualCallsOf("HttpGet");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].timeMs, requests[0].timeMs + 2500 + kPlaceQueryDelayMs);
    auto sleeps = VirtualCallsOf("Sleep");
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0].a, kPlaceQueryDelayMs);
}

// Whatever fails on the way, the player hears its cue and is back in the menu, with no place.
TEST_F(SubmitScore, AFailureOnTheWayLeavesOnlyItsCue) {
    const struct {
        const char* what;
        ScriptedReply first, second;
        size_t requests;  // never a place request after a failed score request
        std::vector<std::string> heard;
    } failures[] = {
        {"refused at once", {0, "", 0}, {1, "1", 0}, 1, Heard()},
        {"a connection that times out", {0, "", 10000}, {1, "1", 0}, 1, Heard()},
        {"the place request fails", {1, "", 0}, {0, "", 30000}, 2, Heard()},
        {"no config.dat: nothing is sent",
         {1, "", 0},
         {1, "1", 0},
         0,
         {kConfigFirst, kSendScoreItem}},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.what);
        if (f.requests == 0) RemovePackFile(programDir, "config.dat");
        Script(f.first, f.second);
        ChooseSendScore(300);
        const uint64_t pressedAt = VirtualNowMs();
        Press(kKeyY);
        EXPECT_EQ(RequestedUrls().size(), f.requests);
        EXPECT_EQ(PlayedFiles(), f.heard);
        EXPECT_EQ(g_mode, MODE_MENU);
        if (f.first.ok) continue;
        EXPECT_TRUE(VirtualCallsOf("Sleep").empty());
        // The sending cue, then the failed request: nothing more holds the player.
        EXPECT_LE(VirtualNowMs(), pressedAt + 1000 + f.first.durationMs + 50);
    }
}

TEST_F(SubmitScore, OnlyYesNoAndEscapeAnswerThePrompt) {
    Script({1, "", 0}, {1, "2", 0});
    ChooseSendScore(300);
    for (int ignored : {kKeyUp, kKeyDown, kKeyEnter, kKeySpace, kKeyA, kKeyCtrl}) Press(ignored);
    EXPECT_EQ(g_mode, MODE_SEND_SCORE);
    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_TRUE(VirtualBuffer(kPrompt).exists);

    for (int leave : {kKeyN, kKeyEscape}) {
        SCOPED_TRACE(leave);
        if (g_mode != MODE_SEND_SCORE) ChooseSendScore(300);
        VirtualClearCalls();
        Press(leave);
        EXPECT_EQ(g_mode, MODE_MENU);
        EXPECT_TRUE(RequestedUrls().empty());
        EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{kSendScoreItem}));
        // The mode's sounds are gone with it.
        EXPECT_FALSE(VirtualBuffer(kPrompt).exists);
        EXPECT_FALSE(VirtualBuffer(kSending).exists);
    }
}

// With no score the menu says so; a prompt that cannot be loaded leaves the menu silent.
TEST_F(SubmitScore, WithNoScoreOrNoPromptTheMenuStays) {
    for (int score : {0, 300}) {
        SCOPED_TRACE(score);
        if (score) RemovePackFile(programDir, kSending);
        VirtualClearCalls();
        g_score = score;
        g_menuIndex = kMenuSlotSendScore;
        Press(kKeyEnter);
        EXPECT_EQ(g_mode, MODE_MENU);
        EXPECT_EQ(PlayedFiles(),
                  score ? std::vector<std::string>{} : std::vector<std::string>{kNotEnough});
        EXPECT_TRUE(VirtualCallsOf("HttpGet").empty());
        EXPECT_FALSE(VirtualBuffer(kPrompt).exists);
    }
}

}  // namespace
