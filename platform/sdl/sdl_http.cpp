// One HTTP GET with libcurl.
#include <curl/curl.h>
#include <strings.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/core/http_policy.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct BodySink {
    std::string* body;
    size_t limit;
    bool limitReached;
};

// Past the limit it refuses the data, which makes libcurl stop reading.
size_t KeepBody(char* data, size_t size, size_t count, void* context) {
    auto* sink = static_cast<BodySink*>(context);
    size_t bytes = size * count;
    if (bytes == 0) return 0;  // an empty body is announced with a call of no bytes
    if (HttpKeepBody(sink->body, sink->limit, data, bytes)) return bytes;
    sink->limitReached = true;
    return CURL_WRITEFUNC_ERROR;
}

bool IsHttps(const char* url) {
    return strncasecmp(url, "https://", 8) == 0;
}

}  // namespace

int SdlHttpGet(const char* url, std::string* body, size_t maxBodyBytes) {
    static std::once_flag s_curlReady;
    std::call_once(s_curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (body) body->clear();
    if (!url) return 0;
    CURL* curl = curl_easy_init();
    if (!curl) return HttpAnswer(url, "libcurl could not start a request", 0, body);
    BodySink sink = {body, maxBodyBytes, false};
    curl_easy_setopt(curl, CURLOPT_URL, url);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    // A request made over TLS stays on it: a redirect to plain http is refused, never followed.
    const char* protocols = IsHttps(url) ? "https" : "http,https";
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, protocols);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kHttpMostRedirects);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
    // The certificate must be valid for the host and come from an authority the system trusts;
    // TAPDASH_CA_FILE names a PEM file of more authorities, for tests and operators who run a
    // server of their own. Verification is never turned off.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    const char* extraAuthorities = std::getenv("TAPDASH_CA_FILE");
    if (extraAuthorities && *extraAuthorities) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, extraAuthorities);
    }
    char reason[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kHttpConnectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kHttpRequestTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, KeepBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    // A reply cut short by the network is a failure; one cut short by our limit is not.
    bool complete = result == CURLE_OK || (result == CURLE_WRITE_ERROR && sink.limitReached);
    const char* failure = *reason ? reason : curl_easy_strerror(result);
    return HttpAnswer(url, complete ? nullptr : failure, status, body);
}
