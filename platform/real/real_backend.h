// The real backend's pieces, shared between its files and their tests.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/soft_audio.h"

struct PlatformDriver;
// The real backend's table (real_driver.cpp), for tests that drive it entry by entry.
extern const PlatformDriver g_realDriver;

// Window and message loop (real_window.cpp).
void RealRunWindow(const char* title, int width, int height, PlatformMessageHandler handler);
// The main window, null when none is open.
SDL_Window* RealWindow();
// Posts what an SDL event means to the window; events of no interest are dropped.
void RealTranslateEvent(const SDL_Event& event);

// Painting (real_paint.cpp).
void RealPaintImage(const PlatformImage& image);
void RealSetWindowIcon(const PlatformImage& big, const PlatformImage& small);

// Message boxes (real_dialogs.cpp).
void RealMessageBox(const char* caption, const char* text);
void RealAboutBox(const char* caption, const char* text);

// Time and timers (real_time.cpp).
uint64_t RealNowMs();
void RealSleep(int ms);
void RealYield();

// The sound device (real_audio.cpp): SDL's audio device as the software sound device's hooks.
int RealAudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate, int* period);
void RealAudioClose();
void RealAudioLock();
void RealAudioUnlock();

// Game controller (real_controller.cpp).
int RealControllerOpen();
void RealControllerAcquire();
int RealControllerPoll();
void RealControllerClose();

// HTTP (real_http.cpp).
int RealHttpGet(const char* url, std::string* body, size_t maxBodyBytes);
