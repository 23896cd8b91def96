// The SDL backend's pieces, shared between its files and their tests.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/sound/soft_audio.h"

struct PlatformDriver;

// Window and message loop (sdl_window.cpp).
void SdlRunWindow(const char* title, int width, int height, PlatformMessageHandler handler);
// The main window, null when none is open.
SDL_Window* SdlWindow();
// Posts what an SDL event means to the window; events of no interest are dropped.
void SdlTranslateEvent(const SDL_Event& event);

// Painting (sdl_paint.cpp).
void SdlPaintImage(const PlatformImage& image);
void SdlSetWindowIcon(const PlatformImage& big, const PlatformImage& small);

// Message boxes (sdl_dialogs.cpp).
void SdlMessageBox(const char* caption, const char* text);
void SdlAboutBox(const char* caption, const char* text);

// Time and timers (sdl_time.cpp).
uint64_t SdlNowMs();
void SdlSleep(int ms);
void SdlYield();

// The sound device (sdl_audio.cpp): SDL's audio device as the software sound device's hooks.
int SdlAudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate, int* period);
void SdlAudioClose();
void SdlAudioLock();
void SdlAudioUnlock();

// Game controller (sdl_controller.cpp).
int SdlControllerOpen();
int SdlControllerPoll();
void SdlControllerClose();

// HTTP (sdl_http.cpp).
int SdlHttpGet(const char* url, std::string* body, size_t maxBodyBytes);
