// What the score server answers: /tapdash/top1.php records, /tapdash/top2.php answers the place,
// /tapdash/ shows the top ten. Independent of the HTTP library.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "server/query.h"

struct Reply {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// The request headers a reply may depend on: the browser build's files come compressed and
// answer a revalidation with 304.
struct RequestHeaders {
    std::string acceptEncoding;
    std::string ifNoneMatch;
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
