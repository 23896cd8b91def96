// The picture on the page's canvas, and the message and About boxes as the page's dialogs. A
// dialog is modal as on the other systems: the game waits (handing the page its turn) until the
// player closes it, and the keys meanwhile are the dialog's.
#include <emscripten.h>

#include <string>

#include "platform/web/web_backend.h"

namespace {

// clang-format off
EM_JS(void, WebShowPicture, (int width, int height, const uint8_t* pixels), {
    TapdashPage.showPicture(width, height, HEAPU8.subarray(pixels, pixels + ((width * 3 + 3) & ~3) * height));
});

EM_ASYNC_JS(void, WebShowDialog, (int about, const char* caption, const char* text), {
    await TapdashPage.showDialog(about ? 'about' : 'message', UTF8ToString(caption),
                                 UTF8ToString(text).split('\n'));
});
// clang-format on

}  // namespace

void WebPaintImage(const PlatformImage& image) {
    if (image.width <= 0 || image.height <= 0 || !image.pixels) return;
    WebShowPicture(image.width, image.height, image.pixels);
}

void WebMessageBox(const char* caption, const char* text) {
    WebShowDialog(0, caption ? caption : "", text ? text : "");
}

void WebAboutBox(const char* caption, const char* text) {
    WebShowDialog(1, caption, text);
}
