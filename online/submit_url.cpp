// The URLs of the two score requests.
#include <string>

#include "online/submit.h"
#include "storage/player_details.h"

std::string g_scoreServer = TAPDASH_SCORE_SERVER;
std::string g_submitUrl;

static const char kScorePage[] = "top1.php";
static const char kPlacePage[] = "top2.php";

static bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string PercentEncode(const std::string& value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size() * 3);
    for (unsigned char c : value) {
        if (IsUnreserved(c)) {
            encoded.push_back(static_cast<char>(c));
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[c >> 4]);
            encoded.push_back(kHex[c & 0x0F]);
        }
    }
    return encoded;
}

static bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size()) return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

std::string ScoreServerOrigin(const std::string& setting) {
    // The query holds the player's name and postal address: it goes over TLS unless the
    // setting itself asks for plain http, for a server on the player's own machine or network.
    if (StartsWithNoCase(setting, "https://") || StartsWithNoCase(setting, "http://")) {
        return setting;
    }
    return "https://" + setting;
}

void BuildSubmitUrl(const char* firstName, const char* lastName, const char* address,
                    const char* country) {
    g_submitUrl = ScoreServerOrigin(g_scoreServer) + "/tapdash/" + kScorePage +
                  "?first_name=" + PercentEncode(firstName) +
                  "&last_name=" + PercentEncode(lastName) + "&addr=" + PercentEncode(address) +
                  "&country=" + PercentEncode(country) + "&score=";
}

int ReadPlayerDetails() {
    std::string fields[kPlayerDetailsFieldCount];
    if (!ReadPlayerDetailsFile(fields)) return 0;
    BuildSubmitUrl(fields[0].c_str(), fields[1].c_str(), fields[2].c_str(), fields[3].c_str());
    return 1;
}

int AppendScoreToUrl(int score) {
    g_submitUrl += std::to_string(score);
    return 1;
}

std::string PlaceQueryUrl(const std::string& scoreUrl) {
    // The path runs from the first '/' after "scheme://" to the '?'; the fields beyond it may
    // hold the page's name themselves and must reach the server unchanged.
    size_t hostStart = scoreUrl.find("://");
    hostStart = hostStart == std::string::npos ? 0 : hostStart + 3;
    size_t pathStart = scoreUrl.find('/', hostStart);
    if (pathStart == std::string::npos) return scoreUrl;
    size_t pathEnd = scoreUrl.find('?', pathStart);
    if (pathEnd == std::string::npos) pathEnd = scoreUrl.size();

    std::string url = scoreUrl;
    const size_t pageLength = sizeof(kScorePage) - 1;
    for (size_t at = url.find(kScorePage, pathStart); at != std::string::npos && at < pathEnd;
         at = url.find(kScorePage, at + pageLength)) {
        if (at + pageLength > pathEnd) break;
        url.replace(at, pageLength, kPlacePage);
    }
    return url;
}
