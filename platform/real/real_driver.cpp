// The real backend: an SDL2 window, keyboard, audio device and joystick, and libcurl for HTTP.
#include "platform/driver.h"
#include "platform/real/real_audio.h"
#include "platform/real/real_backend.h"
#include "platform/soft_audio.h"

const PlatformDriver g_realDriver = {
    .name = "real",
    .kind = kPlatformReal,
    .runWindow = RealRunWindow,
    .setTimer = RealSetTimer,
    .killTimer = RealKillTimer,
    .paintImage = RealPaintImage,
    .setWindowIcon = RealSetWindowIcon,
    .messageBox = RealMessageBox,
    .aboutBox = RealAboutBox,
    .nowMs = RealNowMs,
    .sleep = RealSleep,
    .yield = RealYield,
    .audioOpen = RealAudioOpen,
    .audioClose = RealAudioClose,
    .createBuffer = SoftAudioCreateBuffer,
    .bufferLock = SoftAudioBufferLock,
    .bufferUnlock = SoftAudioBufferUnlock,
    .bufferSetPosition = SoftAudioBufferSetPosition,
    .bufferSetPan = SoftAudioBufferSetPan,
    .bufferSetVolume = SoftAudioBufferSetVolume,
    .bufferPlay = SoftAudioBufferPlay,
    .bufferStop = SoftAudioBufferStop,
    .bufferGetStatus = SoftAudioBufferGetStatus,
    .bufferRelease = SoftAudioBufferRelease,
    .bufferSetLabel = SoftAudioBufferSetLabel,
    .bufferGet3D = SoftAudioBufferGet3D,
    .buffer3DSetMinDistance = SoftAudioBuffer3DSetMinDistance,
    .buffer3DSetPosition = SoftAudioBuffer3DSetPosition,
    .buffer3DRelease = SoftAudioBuffer3DRelease,
    .createListener = SoftAudioCreateListener,
    .listenerRelease = SoftAudioListenerRelease,
    .controllerOpen = RealControllerOpen,
    .controllerAcquire = RealControllerAcquire,
    .controllerPoll = RealControllerPoll,
    .controllerClose = RealControllerClose,
    .httpGet = RealHttpGet,
};

void PlatformSelectReal() {
    PlatformSelectDriver(&g_realDriver);
}
