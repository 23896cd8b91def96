// The two requests to the score server: record the score, then ask for its place.
#include <string>

#include "online/submit.h"
#include "platform/platform.h"

int SendScore() {
    // The reply of the recording request carries nothing the game needs: no byte of it is read.
    return PlatformHttpGet(g_submitUrl.c_str(), nullptr, 0) ? 1 : 0;
}

void FetchTopPlace() {
    g_submitUrl = PlaceQueryUrl(g_submitUrl);
    std::string reply;
    if (!PlatformHttpGet(g_submitUrl.c_str(), &reply, kMaxReplyBytes)) return;
    if (reply.empty()) {
        SayNotEnough();
        return;
    }
    // The reply is text up to its first zero byte.
    AnnouncePlace(reply.c_str());
}
