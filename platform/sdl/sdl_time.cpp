// The SDL backend's clock, sleep and window timers, on SDL's millisecond clock.
#include <SDL.h>

#include "platform/core/message_loop.h"
#include "platform/sdl/sdl_backend.h"

int SdlSetTimer(int id, int periodMs) {
    return LoopSetTimer(id, periodMs, SDL_GetTicks64());
}

void SdlKillTimer(int id) {
    LoopKillTimer(id);
}

uint64_t SdlNowMs() {
    return SDL_GetTicks64();
}

void SdlSleep(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

void SdlYield() {
    SDL_Delay(1);
}
