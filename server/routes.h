// What the score server answers: /tapdash/top1.php records, /tapdash/top2.php answers the place,
// /tapdash/ shows the top ten. Independent of the HTTP library.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "server/query.h"

struct Reply {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    // When set, the body is this open file's `fileBytes` bytes instead of `body`: a file is sent
    // from the disk as the client reads it, never copied whole into memory.
    std::shared_ptr<const int> file;
    unsigned long long fileBytes = 0;
};

// The request headers a reply may depend on: the browser build's files come compressed and
// answer a revalidation with 304.
// A request for a score page says where it comes from in Sec-Fetch-Site or Origin (browsers
// only; the game's own clients send neither), compared with Host.
struct RequestHeaders {
    std::string acceptEncoding;
    std::string ifNoneMatch;
    std::string secFetchSite;
    std::string origin;
    std::string host;
};

// A request from `client` (its address) for `target` (path and raw query). Returns true when it
// is a valid submission to record, in `toRecord`: its reply is RecordedReply once the recording
// ended. Otherwise the answer is in `reply`.
bool RouteRequest(const std::string& method, const std::string& target, const std::string& client,
                  Reply* reply, Submission* toRecord, const RequestHeaders& headers = {});
Reply RecordedReply(bool stored);
// A refusal; its body begins with a letter, never a digit, since the game speaks the first
// character of what top2.php answers.
Reply Refusal(int status, const std::string& reason);
// Whether `path` is top1.php or top2.php, whose queries hold a player's details.
bool IsScorePath(const std::string& path);
// The headers every reply for `target` carries: the tightest content policy its page works under,
// no framing, no referrer, and no caching of the score pages, whose URLs hold a player's details.
std::vector<std::pair<std::string, std::string>> PolicyHeaders(const std::string& target);
// Whether a request says it was made by a page of another site.
bool FromAnotherSite(const RequestHeaders& headers);
