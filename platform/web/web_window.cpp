// The main window on the page, its message loop, clock and timers. The loop waits for the page
// (a key, the focus, a timer's deadline) without holding the browser up: each wait hands the
// page its turn and resumes where it was (emscripten's Asyncify), and so does every sleep. Keys
// that come during a sleep or a sound played to its end wait in the page's queue and are handled
// afterwards, in order.
#include <emscripten.h>

#include <cstdint>

#include "platform/core/message_loop.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_keys.h"

namespace {

enum { kTakenNone = 0, kTakenKeyDown, kTakenKeyUp, kTakenKeyRepeat, kTakenFocus, kTakenBlur };

// clang-format off
EM_JS(int, WebTakeEvent, (char* code, int codeSize, char* key, int keySize, int* modifiers), {
    const e = TapdashPage.takeEvent();
    if (!e) return 0;
    if (e.kind === 'focus') return 4;
    if (e.kind === 'blur') return 5;
    stringToUTF8(e.code, code, codeSize);
    stringToUTF8(e.key, key, keySize);
    HEAP32[modifiers >> 2] = e.modifiers;
    return e.kind === 'keyup' ? 2 : e.repeat ? 3 : 1;
});

EM_JS(int, WebHasEvent, (), { return TapdashPage.hasEvent() ? 1 : 0; });

EM_ASYNC_JS(void, WebWaitForEvent, (double timeoutMs), {
    await TapdashPage.waitForEvent(timeoutMs);
});

EM_ASYNC_JS(void, WebPause, (double ms), {
    await new Promise(resolve => setTimeout(resolve, ms));
});

// The page shows the window once the player has pressed its start button.
EM_ASYNC_JS(void, WebWindowShown, (const char* title, int width, int height), {
    await TapdashPage.windowShown(UTF8ToString(title), width, height);
});

EM_JS(void, WebWindowEnded, (), { TapdashPage.windowEnded(); });
// clang-format on

uint64_t Now() {
    return static_cast<uint64_t>(emscripten_get_now());
}

void Poll() {
    char code[32];
    char key[32];
    int modifiers = 0;
    while (int taken = WebTakeEvent(code, sizeof code, key, sizeof key, &modifiers)) {
        switch (taken) {
            case kTakenKeyDown:
            case kTakenKeyRepeat:
            case kTakenKeyUp:
                WebPostKeyEvent(taken != kTakenKeyUp, taken == kTakenKeyRepeat, code, key,
                                modifiers);
                break;
            case kTakenFocus:
                LoopPostMessage(kMsgActivate, 1);
                break;
            case kTakenBlur:
                LoopPostMessage(kMsgActivate, 0);
                break;
            default:
                break;
        }
    }
}

void Wait(uint64_t deadlineMs) {
    if (LoopHasPendingEvents() || WebHasEvent()) {
        Poll();
        return;
    }
    const uint64_t now = Now();
    if (deadlineMs != UINT64_MAX && deadlineMs <= now) return;
    WebWaitForEvent(deadlineMs == UINT64_MAX ? -1.0 : static_cast<double>(deadlineMs - now));
    Poll();
}

constexpr LoopBackend kPageBackend = {Now, Wait, Poll};

}  // namespace

void WebRunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    LoopBegin(handler);
    LoopDeliver(kMsgInitDialog, 0);
    if (LoopWindowOpen()) {
        WebWindowShown(title, width, height);
        LoopPostPaint();
        LoopRun(kPageBackend, UINT64_MAX);
    }
    WebWindowEnded();
}

uint64_t WebNowMs() {
    return Now();
}

void WebSleep(int ms) {
    if (ms > 0) WebPause(ms);
}

void WebYield() {
    WebPause(1);
}
