#include "app/game_app.h"
#include "online/submit.h"
#include "platform/platform.h"

int main() {
    PlatformSelectReal();
    // An operator's own score server, or a test's loopback one, stands in for the build's.
    std::string scoreServer = PlatformEnvironment("TAPDASH_SCORE_SERVER");
    if (!scoreServer.empty()) g_scoreServer = scoreServer;
    theApp.InitInstance();
    return 0;
}
