#include "server/rate_limit.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <unordered_map>

bool g_rateLimitsOn = true;

namespace {

struct Bucket {
    double tokens;
    int64_t updatedMs;
};

// Beyond this many addresses the table drops the ones whose bucket has filled up again, and
// starts afresh if that is not enough: memory stays bounded whatever the number of addresses.
constexpr size_t kMaxTrackedAddresses = 50000;

std::mutex g_rateLock;
std::unordered_map<std::string, Bucket> g_buckets[kRateLimitedPageCount];

double Refilled(const Bucket& bucket, const RateRule& rule, int64_t nowMs) {
    double elapsed = static_cast<double>(nowMs - bucket.updatedMs) / 1000.0;
    if (elapsed < 0) elapsed = 0;
    return std::min(rule.burst, bucket.tokens + elapsed / rule.secondsPerToken);
}

void Prune(std::unordered_map<std::string, Bucket>& buckets, const RateRule& rule, int64_t nowMs) {
    for (auto it = buckets.begin(); it != buckets.end();) {
        it = Refilled(it->second, rule, nowMs) >= rule.burst ? buckets.erase(it) : std::next(it);
    }
    if (buckets.size() >= kMaxTrackedAddresses) buckets.clear();
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
    auto& buckets = g_buckets[page];
    auto found = buckets.find(key);
    if (found == buckets.end()) {
        if (buckets.size() >= kMaxTrackedAddresses) Prune(buckets, rule, nowMs);
        found = buckets.emplace(key, Bucket{rule.burst, nowMs}).first;
    }
    Bucket& bucket = found->second;
    bucket.tokens = Refilled(bucket, rule, nowMs);
    bucket.updatedMs = nowMs;
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return true;
    }
    *retryAfterSeconds = static_cast<int>(std::ceil((1 - bucket.tokens) * rule.secondsPerToken));
    return false;
}
