#include "server/routes.h"

#include <httplib.h>

#include <optional>

#include "server/page.h"
#include "server/query.h"
#include "server/store.h"

static const char kText[] = "text/plain; charset=utf-8";

// The query exactly as it came, before any decoding, so that a repeated key or a malformed
// escape can be refused rather than silently merged.
static std::string RawQuery(const httplib::Request& request) {
    size_t question = request.target.find('?');
    return question == std::string::npos ? std::string() : request.target.substr(question + 1);
}

// The game speaks the first character of a place reply, so every refusal begins with a letter.
static void Refuse(httplib::Response& response, int status, const std::string& reason) {
    response.status = status;
    response.set_content("Refused: " + reason + "\n", kText);
}

static bool ReadSubmission(const httplib::Request& request, httplib::Response& response,
                           Submission* submission) {
    std::string error;
    if (ParseSubmission(RawQuery(request), submission, &error)) return true;
    Refuse(response, 400, error);
    return false;
}

static void HandleRecord(const httplib::Request& request, httplib::Response& response) {
    Submission submission;
    if (!ReadSubmission(request, response, &submission)) return;
    if (!RecordSubmission(submission)) {
        Refuse(response, 500, "the score could not be stored");
        return;
    }
    response.set_content("", kText);
}

static void HandlePlace(const httplib::Request& request, httplib::Response& response) {
    Submission submission;
    if (!ReadSubmission(request, response, &submission)) return;
    std::optional<int> place;
    if (!FindPlace(submission, &place)) {
        Refuse(response, 500, "the place could not be read");
        return;
    }
    // The place alone, nothing after it; an empty body when it is not in the top ten.
    response.set_content(place ? std::to_string(*place) : std::string(), kText);
}

static void HandlePage(const httplib::Request&, httplib::Response& response) {
    std::vector<TopEntry> entries;
    if (!ReadTopList(&entries)) {
        Refuse(response, 500, "the top ten could not be read");
        return;
    }
    response.set_header("Cache-Control", "no-cache");
    response.set_content(RenderTopListPage(entries), "text/html; charset=utf-8");
}

void AddScoreRoutes(httplib::Server& server) {
    server.Get("/tapdash/top1.php", HandleRecord);
    server.Get("/tapdash/top2.php", HandlePlace);
    server.Get("/tapdash/", HandlePage);
    server.Get("/tapdash", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/tapdash/");
    });
    server.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/tapdash/");
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            response.set_content(response.status == 404 ? "Not found\n" : "Error\n", kText);
        }
    });
    server.set_keep_alive_max_count(1000);
}
