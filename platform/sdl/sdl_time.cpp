// The SDL backend's clock and sleep, on SDL's millisecond clock.
#include <SDL.h>

#include "platform/sdl/sdl_backend.h"

uint64_t SdlNowMs() {
    return SDL_GetTicks64();
}

void SdlSleep(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

void SdlYield() {
    SDL_Delay(1);
}
