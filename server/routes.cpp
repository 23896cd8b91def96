#include "server/routes.h"

#include <optional>

#include "server/page.h"
#include "server/rate_limit.h"
#include "server/store.h"
#include "server/web_files.h"

Reply Refusal(int status, const std::string& reason) {
    Reply reply;
    reply.status = status;
    reply.body = "Refused: " + reason + "\n";
    return reply;
}

Reply RecordedReply(bool stored) {
    return stored ? Reply() : Refusal(500, "the score could not be stored");
}

// The top ten page needs no script, only its own style element (by its hash); the browser build
// needs its scripts, WebAssembly, its audio worklet, its service worker, its manifest and icons.
constexpr char kPagePolicy[] =
    "default-src 'none'; style-src 'sha256-ar2jtJ6/2Qk/TegpsvXtqJ7rbW5raqJVcqtmjGjftcw='; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
constexpr char kPlayPolicy[] =
    "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; worker-src 'self'; "
    "manifest-src 'self'; connect-src 'self'; img-src 'self'; "
    "style-src 'sha256-CGf3PTpWNGcXu86+oCqyr/8gUKwzvKYUGF2iyWGGKXc='; base-uri 'none'; "
    "form-action 'none'; frame-ancestors 'none'";

bool IsScorePath(const std::string& path) {
    return path == "/tapdash/top1.php" || path == "/tapdash/top2.php";
}

std::vector<std::pair<std::string, std::string>> PolicyHeaders(const std::string& target) {
    const std::string path = target.substr(0, target.find('?'));
    std::vector<std::pair<std::string, std::string>> headers = {
        {"Content-Security-Policy", IsPlayPath(path) ? kPlayPolicy : kPagePolicy},
        {"X-Frame-Options", "DENY"},
        {"Referrer-Policy", "no-referrer"},
    };
    if (IsScorePath(path)) headers.emplace_back("Cache-Control", "no-store");
    return headers;
}

bool FromAnotherSite(const RequestHeaders& headers) {
    if (headers.secFetchSite == "cross-site") return true;
    if (headers.origin.empty()) return false;
    // An origin is scheme://host[:port]; the server's own is the host the request was sent to.
    const size_t hostStart = headers.origin.find("://");
    return hostStart == std::string::npos || headers.host.empty() ||
           headers.origin.compare(hostStart + 3, std::string::npos, headers.host) != 0;
}

static Reply RateLimited(int retryAfterSeconds) {
    Reply reply = Refusal(429, "too many requests from this address");
    reply.headers.emplace_back("Retry-After", std::to_string(retryAfterSeconds));
    return reply;
}

static Reply Redirect() {
    Reply reply;
    reply.status = 302;
    reply.body = "Moved to /tapdash/\n";
    reply.headers.emplace_back("Location", "/tapdash/");
    return reply;
}

static Reply NotAllowed(const char* allowed) {
    Reply reply = Refusal(405, "this page answers only " + std::string(allowed));
    reply.headers.emplace_back("Allow", allowed);
    return reply;
}

static Reply TopTenPage() {
    std::vector<TopEntry> entries;
    if (!ReadTopList(&entries)) return Refusal(500, "the top ten could not be read");
    Reply reply;
    reply.contentType = "text/html; charset=utf-8";
    reply.body = RenderTopListPage(entries, !g_webFolder.empty());
    reply.headers.emplace_back("Cache-Control", "no-cache");
    return reply;
}

static Reply Place(const Submission& submission, const std::string& client) {
    std::optional<int> place;
    if (!FindPlace(submission, client, NowMs() - kPlaceWindowMs, &place)) {
        return Refusal(500, "the place could not be read");
    }
    // The place alone, nothing after it; an empty body when it is not in the top ten.
    Reply reply;
    if (place) reply.body = std::to_string(*place);
    return reply;
}

bool RouteRequest(const std::string& method, const std::string& target, const std::string& client,
                  Reply* reply, Submission* toRecord, const RequestHeaders& headers) {
    size_t question = target.find('?');
    std::string path = target.substr(0, question);
    // The query exactly as it came, before any decoding, so that a repeated key or a malformed
    // escape can be refused rather than silently merged.
    std::string query = question == std::string::npos ? "" : target.substr(question + 1);
    if (IsPlayPath(path)) {
        *reply = method == "GET" || method == "HEAD" ? WebFileReply(path, headers)
                                                     : NotAllowed("GET, HEAD");
        return false;
    }
    bool record = path == "/tapdash/top1.php";
    bool place = path == "/tapdash/top2.php";
    bool known = record || place || path == "/tapdash/" || path == "/tapdash" || path == "/";
    if (!known) {
        *reply = Refusal(404, "no such page");
        reply->body = "Not found\n";
        return false;
    }
    // Only GET changes anything: a HEAD of top1.php would record a score without its reply.
    if (record && method != "GET") {
        *reply = NotAllowed("GET");
        return false;
    }
    if (method != "GET" && method != "HEAD") {
        *reply = NotAllowed("GET, HEAD");
        return false;
    }
    if (!record && !place) {
        *reply = path == "/tapdash/" ? TopTenPage() : Redirect();
        return false;
    }

    // A page of another site may not send scores in its visitors' names. The refusal is a
    // failure like any other to the game.
    if (FromAnotherSite(headers)) {
        *reply = Refusal(403, "scores are sent by the game, not by other sites");
        return false;
    }
    int retryAfter = 0;
    if (!TakeRateToken(record ? kRecordPage : kPlacePage, client, NowMs(), &retryAfter)) {
        *reply = RateLimited(retryAfter);
        return false;
    }
    Submission submission;
    std::string error;
    if (!ParseSubmission(query, &submission, &error)) {
        *reply = Refusal(400, error);
        return false;
    }
    if (record) {
        *toRecord = submission;
        return true;
    }
    *reply = Place(submission, client);
    return false;
}
