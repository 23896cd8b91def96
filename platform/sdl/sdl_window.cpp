// The main window and its message loop over SDL's event queue.
#include <SDL.h>

#include <climits>
#include <cstdio>

#include "platform/core/message_loop.h"
#include "platform/core/trace.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_keys.h"

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

// A key-down with the text it typed. SDL posts that text as a text event right behind the
// key-down, from the same key press, so it is already waiting when the key-down is read: the
// key-down goes on at once.
void TranslateKeyDown(const SDL_KeyboardEvent& key) {
    char text[SDL_TEXTINPUTEVENT_TEXT_SIZE] = "";
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
        next.type == SDL_TEXTINPUT) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        std::snprintf(text, sizeof text, "%s", next.text.text);
    }
    SdlPostKeyEvent(true, key.repeat != 0, key.keysym.sym, key.keysym.scancode, key.keysym.mod,
                    text);
}

void PollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) SdlTranslateEvent(event);
}

// Sleeps in SDL's event wait until an event arrives or the deadline passes, so that an idle
// window costs no processor time.
void WaitEvents(uint64_t deadlineMs) {
    if (LoopHasPendingEvents()) return;
    SDL_Event event;
    if (deadlineMs == UINT64_MAX) {
        if (SDL_WaitEvent(&event)) SdlTranslateEvent(event);
    } else {
        uint64_t now = SDL_GetTicks64();
        if (deadlineMs <= now) return;
        uint64_t timeout = deadlineMs - now;
        if (timeout > INT_MAX) timeout = INT_MAX;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(timeout))) SdlTranslateEvent(event);
    }
    PollEvents();
}

constexpr LoopBackend kSdlBackend = {SDL_GetTicks64, WaitEvents, PollEvents};

}  // namespace

// SDL talks to the desktop over D-Bus, whose library keeps a cache for the life of the process
// that only the program could free, at the risk of breaking other users of it. Builds with the
// leak checker would otherwise end every run with a report about it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

SDL_Window* SdlWindow() {
    return s_window;
}

void SdlTranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            LoopPostClose();
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
            TranslateKeyDown(event.key);
            break;
        case SDL_KEYUP:
            SdlPostKeyEvent(false, false, event.key.keysym.sym, event.key.keysym.scancode,
                            event.key.keysym.mod);
            break;
        default:
            break;
    }
}

void SdlRunWindow(const char* title, int width, int height, PlatformMessageHandler handler) {
    // The picture is copied to the window as it is; a graphics driver would only add start-up
    // time, threads and a window recreated behind our back.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Closing the window is one close request (its window event); SDL_QUIT then only comes
    // from the system asking the program to end.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        PlatformSetLastError("no display: %s", SDL_GetError());
        PlatformReportError("the window cannot be shown");
        return;
    }
    s_window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                height, SDL_WINDOW_HIDDEN);
    if (!s_window) {
        PlatformSetLastError("no window: %s", SDL_GetError());
        PlatformReportError("the window cannot be shown");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return;
    }
    // The text each key types, as the player's layout makes it with Shift and AltGr.
    SDL_StartTextInput();
    LoopBegin(handler);
    LoopDeliver(kMsgInitDialog, 0);
    if (LoopWindowOpen()) {
        SDL_ShowWindow(s_window);
        PlatformTrace("shown");
        LoopPostPaint();
        LoopRun(kSdlBackend, UINT64_MAX);
    }
    SDL_DestroyWindow(s_window);
    s_window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    if (SDL_WasInit(0) == 0) SDL_Quit();
}
