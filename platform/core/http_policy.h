// The score request's rules, the same whatever carries it (libcurl, WinINet, the page's fetch):
// its time-outs and redirects, the body kept up to the caller's limit, and what counts as the
// server's answer. A backend makes the request and hands its result to HttpAnswer.
#pragma once

#include <cstddef>
#include <string>

constexpr long kHttpConnectTimeoutMs = 10000;
constexpr long kHttpRequestTimeoutMs = 30000;
// A score server that has moved answers with a redirect; a few are followed, as browsers do,
// within the one request's time-outs, and never from https to plain http.
constexpr long kHttpMostRedirects = 5;

// Appends what arrived to `body` (null: none is wanted) up to `limit` bytes in all. False when
// some of it did not fit: the caller stops reading, and the reply still counts as received.
bool HttpKeepBody(std::string* body, size_t limit, const char* data, size_t bytes);

// The outcome of one GET of `url`: 1 when the reply is the server's answer, that is it arrived
// whole (`failure` null; a body cut short by the caller's limit counts as whole) with status 200.
// Anything else (no reply, a reply cut short by the network, a proxy asking for a password, a
// redirect left over, a server error) is no answer: `body` is emptied and the reason goes to
// PlatformSetLastError, naming the URL without its query, which holds the player's details.
int HttpAnswer(const char* url, const char* failure, long status, std::string* body);
