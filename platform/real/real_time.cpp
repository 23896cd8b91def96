// The real backend's clock and sleep, on SDL's millisecond clock.
#include <SDL.h>

#include "platform/real/real_backend.h"

uint64_t RealNowMs() {
    return SDL_GetTicks64();
}

void RealSleep(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

void RealYield() {
    SDL_Delay(1);
}
