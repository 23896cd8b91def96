// The SDL backend's sound device: SDL's audio device as the hooks of the software sound device
// (platform/sound/soft_audio.h), which does everything else.
//
// The device is opened as signed 16-bit little-endian samples, 2 channels interleaved (left
// first), 48000 frames a second, in periods of the asked-for length (512 frames unless set),
// with no change allowed: SDL itself converts to whatever the hardware wants. A capture by SDL's
// disk audio driver (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE=<file>) therefore holds exactly
// that raw stream.
#include <SDL.h>

#include "platform/sdl/sdl_backend.h"

namespace {

SDL_AudioDeviceID s_device = 0;
SoftAudioRender s_render = nullptr;

void AudioCallback(void*, Uint8* stream, int length) {
    s_render(reinterpret_cast<int16_t*>(stream), length / static_cast<int>(2 * sizeof(int16_t)));
}

}  // namespace

int SdlAudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate, int* period) {
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

void SdlAudioClose() {
    if (!s_device) return;
    SDL_CloseAudioDevice(s_device);
    s_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioLock() {
    SDL_LockAudioDevice(s_device);
}

void SdlAudioUnlock() {
    SDL_UnlockAudioDevice(s_device);
}
