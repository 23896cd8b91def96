// The browser backend's pieces, shared between its files. The page's script (page/tapdash.js)
// holds the browser's side of each: the canvas, the dialogs, the key queue, the sound graph,
// fetch and the browser's storage.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/sound/soft_audio.h"

// Window, message loop, clock and timers (web_window.cpp).
void WebRunWindow(const char* title, int width, int height, PlatformMessageHandler handler);
uint64_t WebNowMs();
void WebSleep(int ms);
void WebYield();

// The picture and the dialogs of the page (web_page.cpp).
void WebPaintImage(const PlatformImage& image);
void WebMessageBox(const char* caption, const char* text);
void WebAboutBox(const char* caption, const char* text);

// The sound device on the page's sound graph (web_audio.cpp), and the note of each play for
// the page's latency figures.
int WebAudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate, int* period);
void WebAudioClose();
void WebAudioLock();
void WebAudioUnlock();
extern const SoftAudioWatcher kWebPlayNotes;

// A request to the server that served the page (web_http.cpp).
int WebHttpGet(const char* url, std::string* body, size_t maxBodyBytes);
// The path and query of `url` ("/tapdash/top1.php?..."), whatever host it names: the browser
// sends it to the page's own origin.
std::string WebPathOf(const char* url);
