// The browser's storage under the program folder's files (platform/posix/browser_files.h).
#include <emscripten.h>

#include "platform/posix/browser_files.h"

namespace {

// clang-format off
EM_ASYNC_JS(void, WebStoreFileAsync, (const char* path), {
    await TapdashPage.storeFile(UTF8ToString(path));
});
EM_ASYNC_JS(void, WebAwaitFileAsync, (const char* path), {
    await TapdashPage.awaitFile(UTF8ToString(path));
});
// clang-format on

}  // namespace

void BrowserKeepFile(const char* path) {
    WebStoreFileAsync(path);
}

void BrowserAwaitFile(const char* path) {
    WebAwaitFileAsync(path);
}
