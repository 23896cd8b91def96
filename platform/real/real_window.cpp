// The main window and its message loop over SDL's event queue.
#include <SDL.h>

#include <climits>
#include <cstdio>

#include "platform/message_loop.h"
#include "platform/real/real_backend.h"
#include "platform/real/real_keys.h"

namespace {

SDL_Window* s_window = nullptr;

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED:
            LoopPostPaint();
            break;
        case SDL_WINDOWEVENT_CLOSE:
            LoopPostClose();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            LoopPostMessage(kMsgActivate, 1);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            LoopPostMessage(kMsgActivate, 0);
            break;
        default:
            break;
    }
}

void PollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) RealTranslateEvent(event);
}

// Sleeps in SDL's event wait until an event arrives or the deadline passes, so that an idle
// window costs no processor time.
void WaitEvents(uint64_t deadlineMs) {
    if (LoopHasPendingEvents()) return;
    SDL_Event event;
    if (deadlineMs == UINT64_MAX) {
        if (SDL_WaitEvent(&event)) RealTranslateEvent(event);
    } else {
        uint64_t now = SDL_GetTicks64();
        if (deadlineMs <= now) return;
        uint64_t timeout = deadlineMs - now;
        if (timeout > INT_MAX) timeout = INT_MAX;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(timeout))) RealTranslateEvent(event);
    }
    PollEvents();
}

constexpr LoopBackend kSdlBackend = {SDL_GetTicks64, WaitEvents, PollEvents};

}  // namespace

SDL_Window* RealWindow() {
    return s_window;
}

void RealTranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            LoopPostClose();
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            RealPostKeyEvent(event.type == SDL_KEYDOWN, event.key.repeat != 0, event.key.keysym.sym,
                             event.key.keysym.scancode, event.key.keysym.mod);
            break;
        default:
            break;
    }
}

void RealRunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "tapdash: no display: %s\n", SDL_GetError());
        return;
    }
    s_window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                height, SDL_WINDOW_HIDDEN);
    if (!s_window) {
        std::fprintf(stderr, "tapdash: no window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return;
    }
    LoopBegin(handler);
    LoopDeliver(kMsgInitDialog, 0);
    if (LoopWindowOpen()) {
        SDL_ShowWindow(s_window);
        LoopPostPaint();
        LoopRun(kSdlBackend, UINT64_MAX);
    }
    SDL_DestroyWindow(s_window);
    s_window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    if (SDL_WasInit(0) == 0) SDL_Quit();
}

void RealPostClose() {
    LoopPostClose();
}

void RealDestroyWindow() {
    LoopDestroyWindow();
}

int RealIsShiftDown() {
    return (LoopCurrentFlags() & kMsgFlagShift) ? 1 : 0;
}
