// The two requests to the score server: record the score, then ask for its place.
#include <string>

#include "online/submit.h"
#include "platform/platform.h"

int SendScore() {
    // The reply of the recording request carries nothing the game needs: no byte of it is read.
    if (PlatformHttpGet(g_submitUrl.c_str(), nullptr, 0)) return 1;
    PlatformReportError("the score was not sent");
    return 0;
}

void FetchTopPlace() {
    g_submitUrl = PlaceQueryUrl(g_submitUrl);
    std::string reply;
    if (!PlatformHttpGet(g_submitUrl.c_str(), &reply, kMaxReplyBytes)) {
        PlatformReportError("no place from the score server");
        return;
    }
    if (reply.empty()) {
        SayNotEnough();
        return;
    }
    // The reply is text up to its first zero byte.
    AnnouncePlace(reply.c_str());
}
