// The real backend's clock, sleep and window timers, on SDL's millisecond clock.
#include <SDL.h>

#include "platform/core/message_loop.h"
#include "platform/sdl/sdl_backend.h"

int RealSetTimer(int id, int periodMs) {
    return LoopSetTimer(id, periodMs, SDL_GetTicks64());
}

void RealKillTimer(int id) {
    LoopKillTimer(id);
}

uint64_t RealNowMs() {
    return SDL_GetTicks64();
}

void RealSleep(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

void RealYield() {
    SDL_Delay(1);
}
