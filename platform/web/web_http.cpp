// One GET with the page's fetch, to the server that served the page.
#include <emscripten.h>

#include <cstdlib>

#include "platform/core/http_policy.h"
#include "platform/web/web_backend.h"

namespace {

// clang-format off
// The reply's status (0 when the request failed or took longer than `timeoutMs`), with at most
// `limit` bytes of its body in a buffer of malloc's at *body.
EM_ASYNC_JS(int, WebFetch, (const char* path, int limit, int timeoutMs, char** body, int* bodyBytes), {
    const reply = await TapdashPage.fetchFromServer(UTF8ToString(path), limit, timeoutMs);
    if (!reply.status) {
        HEAP32[body >> 2] = 0;
        HEAP32[bodyBytes >> 2] = 0;
        return 0;
    }
    const copy = _malloc(Math.max(1, reply.bytes.length));
    HEAPU8.set(reply.bytes, copy);
    HEAP32[body >> 2] = copy;
    HEAP32[bodyBytes >> 2] = reply.bytes.length;
    return reply.status;
});
// clang-format on

}  // namespace

std::string WebPathOf(const char* url) {
    std::string whole = url ? url : "";
    size_t hostStart = whole.find("://");
    if (hostStart == std::string::npos)
        return whole.empty() || whole[0] != '/' ? "/" + whole : whole;
    size_t pathStart = whole.find('/', hostStart + 3);
    return pathStart == std::string::npos ? "/" : whole.substr(pathStart);
}

int WebHttpGet(const char* url, std::string* body, size_t maxBodyBytes) {
    if (body) body->clear();
    if (!url) return 0;
    const std::string path = WebPathOf(url);
    char* bytes = nullptr;
    int length = 0;
    const int limit =
        body ? static_cast<int>(maxBodyBytes > 1u << 30 ? 1u << 30 : maxBodyBytes) : 0;
    const int status = WebFetch(path.c_str(), limit, kHttpRequestTimeoutMs, &bytes, &length);
    if (body && bytes) body->assign(bytes, static_cast<size_t>(length));
    std::free(bytes);
    return HttpAnswer(url, status > 0 ? nullptr : "the request failed", status, body);
}
