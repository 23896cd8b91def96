#include "platform/core/http_policy.h"

#include <cstring>

#include "platform/platform.h"

namespace {

constexpr long kStatusOk = 200;

}  // namespace

bool HttpKeepBody(std::string* body, size_t limit, const char* data, size_t bytes) {
    size_t room = body && limit > body->size() ? limit - body->size() : 0;
    if (bytes <= room) {
        if (bytes > 0) body->append(data, bytes);
        return true;
    }
    if (room > 0) body->append(data, room);
    return false;
}

int HttpAnswer(const char* url, const char* failure, long status, std::string* body) {
    const std::string where(url, std::strcspn(url, "?"));
    if (failure) {
        PlatformSetLastError("%s: %s", where.c_str(), failure);
    } else if (status != kStatusOk) {
        PlatformSetLastError("%s: HTTP status %ld", where.c_str(), status);
    }
    const bool answered = !failure && status == kStatusOk;
    if (!answered && body) body->clear();
    return answered ? 1 : 0;
}
