// A score sent while the player goes on typing: the exchange blocks the game for the 6-second
// wait and a slow server's reply, yet Windows never takes the window for hung (a screen reader
// would announce it "not responding" and a click would offer to end the game), and the keys
// typed meanwhile reach the game afterwards, in order. Nothing reaches the game during the block.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/game_app.h"
#include "game/state.h"
#include "online/submit.h"
#include "platform/key_codes.h"
#include "platform/win32/win32_backend.h"
#include "tests/support/loopback_http.h"
#include "tests/support/test_pack.h"

namespace {

LoopbackHttp* s_server = nullptr;
bool s_submitting = false;
bool s_submitted = false;
std::vector<int> s_keysAfter;
int s_deliveredDuringBlock = 0;
std::atomic<bool> s_sawHung{false};
std::atomic<bool> s_watching{true};
std::thread s_screenReader;

void PressKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 1 | (1L << 30) | (1L << 31));
}

// The player: types B and 1 once the score has gone out (the game now waits its 6 seconds),
// and Enter once the place has been asked for; meanwhile a window over it goes away (a paint).
// A screen reader beside it asks Windows all the while whether the window still answers.
void Player(HWND window) {
    s_server->WaitForRequests(1);
    PressKey(window, 'B');
    PressKey(window, '1');
    InvalidateRect(window, nullptr, FALSE);
    s_server->WaitForRequests(2);
    PressKey(window, VK_RETURN);
}

void ScreenReader(HWND window) {
    while (s_watching) {
        if (IsHungAppWindow(window)) s_sawHung = true;
        Sleep(20);
    }
}

void Handler(const PlatformMessage& msg) {
    if (s_submitting) {
        ++s_deliveredDuringBlock;
        return;
    }
    if (msg.type == kMsgPaint && !s_submitted) {
        s_submitted = true;
        PlatformSetTimer(kGameTimerId, kTickIntervalMs);
        s_screenReader = std::thread(ScreenReader, Win32Window());
        std::thread(Player, Win32Window()).detach();
        s_submitting = true;
        SubmitScore(g_score);
        s_submitting = false;
        return;
    }
    if (msg.type == kMsgKeyDown && s_submitted) {
        s_keysAfter.push_back(msg.wParam);
        if (msg.wParam == kKeyEnter) PlatformDestroyWindow();
    }
}

}  // namespace

TEST(Win32Answering, TheWindowAnswersThroughAWholeScoreSubmission) {
    LoopbackHttp server;
    server.Answer("/tapdash/top1.php", HttpReply("200 OK", ""));
    server.Answer("/tapdash/top2.php", HttpReply("200 OK", "3"), 6000);  // past Windows' patience
    s_server = &server;
    const std::string savedDir = g_programDir, savedServer = g_scoreServer;
    g_programDir = MakeScratchDir();
    WriteFileBytes(g_programDir + "config.dat", "Ann\nLee\n1 Main St\nUK\n");
    g_scoreServer = server.Url();
    g_score = 4200;

    PlatformSelectReal();
    PlatformRunWindow("Tapdash", 215, 228, Handler);
    s_watching = false;
    if (s_screenReader.joinable()) s_screenReader.join();
    g_programDir = savedDir;
    g_scoreServer = savedServer;
    server.Stop();

    const std::vector<std::string> lines = server.RequestLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("/tapdash/top2.php"), std::string::npos);
    EXPECT_FALSE(s_sawHung) << "Windows took the window for hung";
    EXPECT_EQ(s_deliveredDuringBlock, 0);
    EXPECT_EQ(s_keysAfter, (std::vector<int>{kKeyB, kKey0 + 1, kKeyEnter}));
}
