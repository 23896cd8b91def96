#include "server/page.h"

#include "server/text.h"

static const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size();) {
        size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        char c = text[i++];
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') ||
                    c == 0x7F) {
                    out += kReplacement;
                } else {
                    out.push_back(c);
                }
        }
    }
    return out;
}

std::string LastNameInitial(const std::string& lastName) {
    if (lastName.empty()) return "";
    size_t length = Utf8SequenceLength(lastName, 0);
    return lastName.substr(0, length == 0 ? 1 : length);
}

static const char kPageHead[] =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<title>Tapdash top ten</title>\n"
    "<style>\n"
    "body { font-family: sans-serif; max-width: 40em; margin: 1em auto; padding: 0 1em;"
    " color: #111; background: #fff; line-height: 1.5; }\n"
    "table { border-collapse: collapse; width: 100%; }\n"
    "caption { text-align: left; font-weight: bold; padding: 0.5em 0; }\n"
    "th, td { border: 1px solid #555; padding: 0.3em 0.6em; text-align: left; }\n"
    ".score { text-align: right; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<main>\n"
    "<h1>Tapdash top ten</h1>\n"
    "<p>Tapdash is a keyboard game played by ear. These are the ten best scores sent from the"
    " game, highest first; of two equal scores the one sent first ranks higher.</p>\n";

static const char kPageFoot[] = "</main>\n</body>\n</html>\n";

std::string RenderTopListPage(const std::vector<TopEntry>& entries, bool playLink) {
    std::string page = kPageHead;
    if (playLink) page += "<p><a href=\"/tapdash/play/\">Play Tapdash in your browser</a></p>\n";
    if (entries.empty()) {
        page += "<p>No scores have been sent yet.</p>\n";
        return page + kPageFoot;
    }
    page +=
        "<table>\n"
        "<caption>The ten best scores</caption>\n"
        "<thead>\n<tr><th scope=\"col\">Place</th><th scope=\"col\">First name</th>"
        "<th scope=\"col\">Last name initial</th><th scope=\"col\">Country</th>"
        "<th scope=\"col\" class=\"score\">Score</th></tr>\n</thead>\n<tbody>\n";
    for (const TopEntry& entry : entries) {
        // Each name is isolated, so that right-to-left text stays inside its own cell.
        page += "<tr><th scope=\"row\">" + std::to_string(entry.place) + "</th><td><bdi>" +
                HtmlEscape(entry.firstName) + "</bdi></td><td><bdi>" +
                HtmlEscape(LastNameInitial(entry.lastName)) + "</bdi></td><td><bdi>" +
                HtmlEscape(entry.country) + "</bdi></td><td class=\"score\">" +
                std::to_string(entry.score) + "</td></tr>\n";
    }
    page += "</tbody>\n</table>\n";
    return page + kPageFoot;
}
