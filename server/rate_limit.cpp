#include "server/rate_limit.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>
#include <mutex>
#include <unordered_map>

bool g_rateLimitsOn = true;

namespace {

struct Bucket {
    std::string key;
    double tokens;
    int64_t updatedMs;
};

// The buckets of one page, most recently used first, and where each address's is. A new address
// takes the place of the least recently used one once that has filled up again: an address that
// still owes requests is never forgotten, and each request costs the same however many
// addresses there are.
struct Table {
    std::list<Bucket> byUse;
    std::unordered_map<std::string, std::list<Bucket>::iterator> byKey;
};

std::mutex g_rateLock;
Table g_tables[kRateLimitedPageCount];

double Refilled(const Bucket& bucket, const RateRule& rule, int64_t nowMs) {
    double elapsed = static_cast<double>(nowMs - bucket.updatedMs) / 1000.0;
    if (elapsed < 0) elapsed = 0;
    return std::min(rule.burst, bucket.tokens + elapsed / rule.secondsPerToken);
}

}  // namespace

std::string RateLimitKey(const std::string& client) {
    unsigned char bytes[16];
    if (inet_pton(AF_INET6, client.c_str(), bytes) != 1) return client;
    static const unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    char text[64];
    if (std::equal(kMappedPrefix, kMappedPrefix + 12, bytes)) {
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[12], bytes[13], bytes[14], bytes[15]);
    } else {
        std::snprintf(text, sizeof text, "%02x%02x:%02x%02x:%02x%02x:%02x%02x::/64", bytes[0],
                      bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7]);
    }
    return text;
}

bool TakeRateToken(RateLimitedPage page, const std::string& client, int64_t nowMs,
                   int* retryAfterSeconds) {
    if (!g_rateLimitsOn) return true;
    const RateRule& rule = kRateRules[page];
    std::string key = RateLimitKey(client);
    std::lock_guard<std::mutex> lock(g_rateLock);
    Table& table = g_tables[page];
    auto found = table.byKey.find(key);
    if (found == table.byKey.end()) {
        if (table.byKey.size() >= kMaxTrackedAddresses) {
            Bucket& oldest = table.byUse.back();
            double owed = rule.burst - Refilled(oldest, rule, nowMs);
            if (owed > 0) {
                // Every address known owes requests: a new one waits until the oldest is paid.
                *retryAfterSeconds =
                    std::max(1, static_cast<int>(std::ceil(owed * rule.secondsPerToken)));
                return false;
            }
            table.byKey.erase(oldest.key);
            table.byUse.pop_back();
        }
        table.byUse.push_front(Bucket{key, rule.burst, nowMs});
        found = table.byKey.emplace(key, table.byUse.begin()).first;
    } else {
        table.byUse.splice(table.byUse.begin(), table.byUse, found->second);
    }
    Bucket& bucket = *found->second;
    bucket.tokens = Refilled(bucket, rule, nowMs);
    bucket.updatedMs = nowMs;
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return true;
    }
    *retryAfterSeconds = static_cast<int>(std::ceil((1 - bucket.tokens) * rule.secondsPerToken));
    return false;
}
