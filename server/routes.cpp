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
