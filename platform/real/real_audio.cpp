// The real sound device: SDL's audio device as the software sound device's hooks
// (platform/soft_audio.h).
//
// The device is opened as signed 16-bit little-endian samples, 2 channels interleaved (left
// first), 48000 frames a second, in periods of the asked-for length (512 frames unless set),
// with no change allowed: SDL itself converts to whatever the hardware wants. A capture by SDL's
// disk audio driver (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE=<file>) therefore holds exactly
// that raw stream.
#include "platform/real/real_audio.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/soft_audio.h"
#include "platform/trace.h"

namespace {

SDL_AudioDeviceID s_device = 0;
SoftAudioRender s_render = nullptr;

void AudioCallback(void*, Uint8* stream, int length) {
    const uint64_t start = PlatformTraceOn() ? PlatformTraceNow() : 0;
    s_render(reinterpret_cast<int16_t*>(stream), length / static_cast<int>(2 * sizeof(int16_t)));
    if (start) PlatformTraceHeard(start);
}

int Open(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate, int* period) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        PlatformSetLastError("no audio driver: %s", SDL_GetError());
        return kAudioErrNoDevice;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = wantedRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(wantedPeriod);
    wanted.callback = AudioCallback;
    SDL_AudioSpec obtained{};
    s_render = render;
    s_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (!s_device) {
        PlatformSetLastError("no audio device: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return kAudioErrNoDevice;
    }
    *rate = obtained.freq;
    *period = obtained.samples;
    SDL_PauseAudioDevice(s_device, 0);
    return kAudioOk;
}

void Close() {
    if (!s_device) return;
    SDL_CloseAudioDevice(s_device);
    s_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Lock() {
    SDL_LockAudioDevice(s_device);
}

void Unlock() {
    SDL_UnlockAudioDevice(s_device);
}

const SoftAudioHooks kSdlDevice = {
    .open = Open,
    .close = Close,
    .lock = Lock,
    .unlock = Unlock,
};

// The device period a player asked for in TAPDASH_AUDIO_PERIOD (frames, a power of two from 64
// to 8192); 512 otherwise.
void TakePeriodSetting() {
    const char* setting = std::getenv("TAPDASH_AUDIO_PERIOD");
    if (!setting || !*setting) return;
    char* end = nullptr;
    const long frames = std::strtol(setting, &end, 10);
    if (*end != '\0' || frames > 8192 || !SoftAudioSetPeriod(static_cast<int>(frames))) {
        std::fprintf(stderr,
                     "tapdash: TAPDASH_AUDIO_PERIOD=%s ignored (a power of two from 64 to 8192)\n",
                     setting);
    }
}

}  // namespace

int RealAudioOpen() {
    TakePeriodSetting();
    return SoftAudioOpen(&kSdlDevice);
}

void RealAudioClose() {
    SoftAudioClose();
}
