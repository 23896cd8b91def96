#include "platform/web/web_storage.h"

#include <emscripten.h>

#include <string>

#include "tools/player_details_writer.h"

namespace {

// clang-format off
EM_ASYNC_JS(void, WebStoreFileAsync, (const char* path), {
    await TapdashPage.storeFile(UTF8ToString(path));
});
EM_ASYNC_JS(void, WebAwaitFileAsync, (const char* path), {
    await TapdashPage.awaitFile(UTF8ToString(path));
});
// clang-format on

std::string s_answer;

}  // namespace

void WebStoreFile(const char* path) {
    WebStoreFileAsync(path);
}

void WebAwaitFile(const char* path) {
    WebAwaitFileAsync(path);
}

// The page's form for the player's details refuses what tapdash-player refuses: why `answer`
// cannot be stored, or "" when it can.
extern "C" EMSCRIPTEN_KEEPALIVE const char* WebDetailsProblem(const char* answer) {
    s_answer = DetailsFieldProblem(answer ? answer : "");
    return s_answer.c_str();
}

// config.dat's bytes for the four answers.
extern "C" EMSCRIPTEN_KEEPALIVE const char* WebDetailsFile(const char* first, const char* last,
                                                           const char* address,
                                                           const char* country) {
    const std::string fields[kDetailsFieldCount] = {first, last, address, country};
    s_answer = DetailsFileBytes(fields);
    return s_answer.c_str();
}
