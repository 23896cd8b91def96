// Per-address rate limits: a bucket of requests for each client address that refills at a
// steady pace. IPv6 clients are counted by their /64 network, which one home usually holds.
#pragma once

#include <cstdint>
#include <string>

enum RateLimitedPage { kRecordPage, kPlacePage, kRateLimitedPageCount };

struct RateRule {
    double burst;            // requests that may come at once
    double secondsPerToken;  // then one more after each such interval
};

// Recording: a game lasts a while, so a player sends a score every few minutes at most; six at
// once leave room for players who share an address. Place: the game asks once per score.
constexpr RateRule kRateRules[kRateLimitedPageCount] = {
    {6, 60},  // top1.php
    {20, 5},  // top2.php
};

// Addresses counted at once for each page; memory stays bounded whatever the number of addresses.
constexpr size_t kMaxTrackedAddresses = 50000;

extern bool g_rateLimitsOn;

// The key an address is counted under: the address itself, an IPv4 address in IPv6 form as
// IPv4, an IPv6 address as its /64 network.
std::string RateLimitKey(const std::string& client);
// True when a request for `page` from `client` may go ahead, and counts it; false with the
// seconds until the next one may in `retryAfterSeconds`.
bool TakeRateToken(RateLimitedPage page, const std::string& client, int64_t nowMs,
                   int* retryAfterSeconds);
