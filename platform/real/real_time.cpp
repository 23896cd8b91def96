// The real backend's clock, sleep and window timers, on SDL's millisecond clock.
#include <SDL.h>

#include <cstdio>

#include "platform/message_loop.h"
#include "platform/real/real_backend.h"
#include "platform/trace.h"

int RealSetTimer(int id, int periodMs) {
    const uint64_t now = SDL_GetTicks64();
    if (PlatformTraceOn()) {
        char detail[48];
        std::snprintf(detail, sizeof detail, "%d %d %llu", id, periodMs,
                      static_cast<unsigned long long>(now));
        PlatformTrace("timer-set", detail);
    }
    return LoopSetTimer(id, periodMs, now);
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
