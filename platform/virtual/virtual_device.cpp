// The virtual sound device: a device under the real mixer, like a sink that plays nowhere. Its
// periods are rendered as the virtual clock moves, a millisecond's worth of frames for each
// millisecond, so a sound ends when the clock reaches its end, exactly as the mixer plays it.
// Every sound operation is recorded through the driver's watcher; failures armed with
// VirtualFail make the operations that can fail do so.
#include <algorithm>
#include <string>

#include "platform/driver.h"
#include "platform/sound/audio_buffers.h"
#include "platform/sound/soft_audio.h"
#include "platform/virtual/virtual_internal.h"

namespace {

constexpr int kRenderFrames = 512;

SoftAudioRender s_render = nullptr;  // the mixer, while the device is open
int s_rate = 0;
uint64_t s_renderedMs = 0;  // the clock time the device has rendered up to
bool s_noDevice = false;    // the machine has no sound device at all

}  // namespace

int VirtualAudioOpen(SoftAudioRender render, int wantedRate, int wantedPeriod, int* rate,
                     int* period) {
    if (s_noDevice) {
        PlatformSetLastError("no sound device on the virtual platform");
        return kAudioErrNoDevice;
    }
    s_render = render;
    s_rate = wantedRate;
    s_renderedMs = VirtualNowMs();
    *rate = wantedRate;
    *period = wantedPeriod;
    return kAudioOk;
}

void VirtualAudioClose() {
    s_render = nullptr;
}

// The mixer runs on the game's own thread here, and only while the clock moves.
void VirtualAudioLock() {}
void VirtualAudioUnlock() {}

namespace {

void Called(const SoftAudioCall& call) {
    VirtualCall record{};
    record.op = call.op;
    record.label = call.label;
    record.a = call.a;
    record.b = call.b;
    record.x = call.x;
    record.y = call.y;
    record.z = call.z;
    VirtualRecord(record);
}

bool Refuses(const char* op) {
    if (!VirtualShouldFail(op)) return false;
    if (std::string(op) == "AudioOpen") {
        PlatformSetLastError("no sound device on the virtual platform");
    }
    return true;
}

}  // namespace

const SoftAudioWatcher kVirtualSoundWatcher = {.called = Called, .refuses = Refuses};

void VirtualDeviceRenderTo(uint64_t nowMs) {
    if (!s_render || nowMs <= s_renderedMs) return;
    static int16_t out[kRenderFrames * 2];
    uint64_t frames = (nowMs - s_renderedMs) * static_cast<uint64_t>(s_rate) / 1000;
    s_renderedMs = nowMs;
    while (frames > 0) {
        const int chunk = static_cast<int>(std::min<uint64_t>(frames, kRenderFrames));
        s_render(out, chunk);
        frames -= chunk;
    }
}

// A fresh start counts as an open device, so that tests of single sounds need not open one.
void VirtualDeviceReset() {
    SoftAudioClose();
    s_noDevice = false;
    SoftAudioOpen(&g_virtualDriver.audio);
}

void VirtualSetNoDevice(bool none) {
    s_noDevice = none;
    if (none) SoftAudioClose();
}

VirtualBufferState VirtualBuffer(const std::string& label) {
    VirtualBufferState state;
    for (const auto& entry : SoftAudioBuffers().buffers) {
        const AudioBuffer* buffer = entry.second;
        if (buffer->released || buffer->label != label) continue;
        state.exists = true;
        PlatformBufferGetStatus(buffer->handle, &state.status);
        state.pan = AudioBufferPanInForce(buffer);
        state.volume = buffer->volume;
        state.is3D = AudioBufferIs3D(buffer);
        state.x = buffer->x;
        state.y = buffer->y;
        state.z = buffer->z;
        state.minDistance = buffer->minDistance;
        break;
    }
    return state;
}

int VirtualLiveBuffers() {
    int live = 0;
    for (const auto& entry : SoftAudioBuffers().buffers) live += entry.second->released ? 0 : 1;
    return live;
}

int VirtualLiveListeners() {
    return static_cast<int>(SoftAudioBuffers().listeners.size());
}
