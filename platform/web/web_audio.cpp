// The software sound device on the page's sound graph: an AudioWorklet (a ScriptProcessor where
// the browser has none) plays what the mixer renders here. The worklet asks for more whenever what
// it holds falls below its lead, and the page renders that much at once (WebAudioRender), between
// the game's own turns: one thread, so the device's lock has nothing to keep out. The lead starts
// at a few render quanta and grows only when the browser did not keep up.
#include <emscripten.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/sound/soft_audio.h"
#include "platform/web/web_backend.h"

namespace {

constexpr int kWebRate = 48000;
constexpr int kWebPeriod = 128;  // the worklet's render quantum

SoftAudioRender s_render = nullptr;
std::vector<int16_t> s_frames;

// clang-format off
EM_JS(int, WebOpenSound, (int rate), { return TapdashPage.openSound(rate); });
EM_JS(void, WebCloseSound, (), { TapdashPage.closeSound(); });
EM_JS(void, WebNotePlay, (), { TapdashPage.notePlay(); });
// clang-format on

// Each play is noted to the page, so that its latency figures can tell the render that first
// holds a sound the game started.
void Called(const SoftAudioCall& call) {
    if (std::strcmp(call.op, "Play") == 0) WebNotePlay();
}

bool RefusesNothing(const char*) {
    return false;
}

}  // namespace

const SoftAudioWatcher kWebPlayNotes = {Called, RefusesNothing};

// Renders `frames` frames of 16-bit stereo for the worklet; the page copies them out of the
// returned memory before the game runs again.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* WebAudioRender(int frames) {
    s_frames.assign(static_cast<size_t>(frames > 0 ? frames : 0) * 2, 0);
    if (s_render && frames > 0) s_render(s_frames.data(), frames);
    return s_frames.data();
}

int WebAudioOpen(SoftAudioRender render, int, int, int* rate, int* period) {
    const int opened = WebOpenSound(kWebRate);
    if (opened <= 0) {
        PlatformSetLastError("the browser gave no sound output");
        return kAudioErrNoDevice;
    }
    s_render = render;
    *rate = opened;
    *period = kWebPeriod;
    return kAudioOk;
}

void WebAudioClose() {
    WebCloseSound();
    s_render = nullptr;
}

// One thread: render runs only between the game's own turns, so there is nothing to keep out.
void WebAudioLock() {}
void WebAudioUnlock() {}
