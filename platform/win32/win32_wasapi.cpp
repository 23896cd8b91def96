// WASAPI in shared, event-driven mode. Everything COM lives on the render thread, which opens the
// default device, reports the outcome to the opener and then renders until it is told to end,
// opening the default device again whenever the one it plays to is lost or no longer the default.
#include "platform/win32/win32_wasapi.h"

#include <atomic>
#include <vector>

// After windows.h, which they need.
#include <audioclient.h>
#include <avrt.h>
#include <initguid.h>
#include <ksmedia.h>
#include <mmdeviceapi.h>

namespace {

constexpr int kChannels = 2;
// The two sample formats of an extensible wave format (the system's own headers only declare
// them).
constexpr GUID kSubtypePcm = {
    0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kSubtypeFloat = {
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr REFERENCE_TIME kHundredNsPerSecond = 10000000;
constexpr DWORD kFrontPair = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
// A device that signals nothing for this long is asked how it is all the same.
constexpr DWORD kWakeTimeoutMs = 100;
// Without a device: how often the scratch buffer is filled, and how often the default device is
// tried again.
constexpr DWORD kScratchStepMs = 10;
constexpr uint64_t kRetryMs = 1000;
// A device that takes nothing for this long while the clock runs is taken as lost.
constexpr uint64_t kStalledMs = 2000;
// How long the opener waits for the first device before going on without one.
constexpr DWORD kOpenTimeoutMs = 5000;

enum class Sample { Float32, Int16 };

struct Stream {
    WasapiRender render = nullptr;
    int rate = 0;
    int askedFrames = 0;
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;    // set once the first device has been opened or failed to
    HANDLE stop = nullptr;     // the game closes the device
    HANDLE changed = nullptr;  // Windows named another default device
};

Stream s_stream;
CRITICAL_SECTION s_lock;
bool s_lockReady = false;
WasapiEnumeratorMaker s_enumeratorMaker = nullptr;

// Written by the render thread, read by anyone.
std::atomic<int> s_openings{0}, s_losses{0}, s_periodFrames{0}, s_latencyFrames{0},
    s_aheadFrames{0};
std::atomic<bool> s_device{false};
std::atomic<uint64_t> s_wakes{0}, s_missed{0}, s_frames{0};

template <typename T>
void ReleaseCom(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

REFERENCE_TIME DurationOf(int frames, int rate) {
    return REFERENCE_TIME(frames) * kHundredNsPerSecond / rate;
}

// Tells the render thread when the default playback device for the console role changes.
class DefaultDeviceWatch final : public IMMNotificationClient {
  public:
    explicit DefaultDeviceWatch(HANDLE changed) : changed_(changed) {}
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, __uuidof(IMMNotificationClient))) {
            *out = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
        if (flow == eRender && role == eConsole) SetEvent(changed_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
        return S_OK;
    }

  private:
    LONG refs_ = 1;
    HANDLE changed_;
};

WAVEFORMATEXTENSIBLE FormatOf(Sample sample, int rate, int channels, DWORD mask) {
    WAVEFORMATEXTENSIBLE format = {};
    const int bits = sample == Sample::Float32 ? 32 : 16;
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.nChannels = static_cast<WORD>(channels);
    format.Format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.Format.wBitsPerSample = static_cast<WORD>(bits);
    format.Format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.Format.nAvgBytesPerSec = format.Format.nBlockAlign * static_cast<DWORD>(rate);
    format.Format.cbSize = sizeof format - sizeof format.Format;
    format.Samples.wValidBitsPerSample = static_cast<WORD>(bits);
    format.dwChannelMask = mask;
    format.SubFormat = sample == Sample::Float32 ? kSubtypeFloat : kSubtypePcm;
    return format;
}

const WAVEFORMATEXTENSIBLE* ExtensibleOf(const WAVEFORMATEX* format) {
    if (format->wFormatTag != WAVE_FORMAT_EXTENSIBLE ||
        format->cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX)) {
        return nullptr;
    }
    return reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(format);
}

bool IsFloat(const WAVEFORMATEX* format) {
    if (format->wFormatTag == WAVE_FORMAT_IEEE_FLOAT) return true;
    const WAVEFORMATEXTENSIBLE* extensible = ExtensibleOf(format);
    return extensible && IsEqualGUID(extensible->SubFormat, kSubtypeFloat);
}

bool IsPcm16(const WAVEFORMATEX* format) {
    if (format->wBitsPerSample != 16) return false;
    if (format->wFormatTag == WAVE_FORMAT_PCM) return true;
    const WAVEFORMATEXTENSIBLE* extensible = ExtensibleOf(format);
    return extensible && IsEqualGUID(extensible->SubFormat, kSubtypePcm);
}

// The speakers of a mix format; a plain two-channel format is front left and right.
DWORD SpeakersOf(const WAVEFORMATEX* format) {
    if (const WAVEFORMATEXTENSIBLE* extensible = ExtensibleOf(format)) {
        if (extensible->dwChannelMask != 0) return extensible->dwChannelMask;
    }
    return format->nChannels == 2 ? kFrontPair : 0;
}

// One way to open the stream: its format and whether the system must convert to the mix.
struct Choice {
    WAVEFORMATEXTENSIBLE format;
    Sample sample;
    bool convert;
};

// In order of preference. The device's own layout where it has front left and right (the game
// fills those two and leaves the rest silent), in its own sample format where that is float or
// 16-bit; then stereo, converted by the system to whatever the device has (a mono device gets
// both sides mixed down instead of the left alone).
std::vector<Choice> ChoicesFor(const WAVEFORMATEX* mix, int rate) {
    std::vector<Choice> choices;
    const DWORD speakers = mix ? SpeakersOf(mix) : 0;
    if (mix && (speakers & kFrontPair) == kFrontPair) {
        const Sample sample = IsPcm16(mix) ? Sample::Int16 : Sample::Float32;
        const bool same =
            (IsFloat(mix) || IsPcm16(mix)) && mix->nSamplesPerSec == static_cast<DWORD>(rate);
        choices.push_back({FormatOf(sample, rate, mix->nChannels, speakers), sample, !same});
    }
    for (Sample sample : {Sample::Float32, Sample::Int16}) {
        choices.push_back({FormatOf(sample, rate, kChannels, kFrontPair), sample, true});
    }
    return choices;
}

// The engine's period now, in frames of `rate`: the current one where the system can say (it is
// shared by every program and may be shorter than the default), else the default period.
int EnginePeriodFrames(IAudioClient* client, int rate) {
    IAudioClient3* client3 = nullptr;
    int frames = 0;
    if (SUCCEEDED(
            client->QueryInterface(__uuidof(IAudioClient3), reinterpret_cast<void**>(&client3)))) {
        WAVEFORMATEX* format = nullptr;
        UINT32 period = 0;
        if (SUCCEEDED(client3->GetCurrentSharedModeEnginePeriod(&format, &period)) && format &&
            format->nSamplesPerSec > 0) {
            frames = int((uint64_t(period) * rate + format->nSamplesPerSec / 2) /
                         format->nSamplesPerSec);
        }
        if (format) CoTaskMemFree(format);
        ReleaseCom(client3);
    }
    if (frames > 0) return frames;
    REFERENCE_TIME defaultPeriod = 0, minPeriod = 0;
    if (FAILED(client->GetDevicePeriod(&defaultPeriod, &minPeriod)) || defaultPeriod <= 0) {
        defaultPeriod = kHundredNsPerSecond / 100;
    }
    return int((defaultPeriod * rate + kHundredNsPerSecond / 2) / kHundredNsPerSecond);
}

// Where the player asked for a latency shorter than the engine's period and the system lets a
// stream set it (the newer interface, the device's own format): the shortest period the engine
// allows at or above it. This shortens the period for the whole device, so only when asked.
bool InitializeShortPeriod(IAudioClient* client, const WAVEFORMATEX* mix, int rate,
                           int askedFrames) {
    IAudioClient3* client3 = nullptr;
    if (FAILED(
            client->QueryInterface(__uuidof(IAudioClient3), reinterpret_cast<void**>(&client3)))) {
        return false;
    }
    UINT32 defaultPeriod = 0, fundamental = 0, minPeriod = 0, maxPeriod = 0;
    bool ok = SUCCEEDED(client3->GetSharedModeEnginePeriod(mix, &defaultPeriod, &fundamental,
                                                           &minPeriod, &maxPeriod)) &&
              fundamental > 0;
    if (ok) {
        const UINT32 wanted = UINT32(uint64_t(askedFrames) * mix->nSamplesPerSec / rate);
        UINT32 period = (wanted + fundamental - 1) / fundamental * fundamental;
        if (period < minPeriod) period = minPeriod;
        if (period > maxPeriod) period = maxPeriod;
        ok = SUCCEEDED(client3->InitializeSharedAudioStream(AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                                            period, mix, nullptr));
    }
    ReleaseCom(client3);
    return ok;
}

struct Device {
    IMMDeviceEnumerator* enumerator = nullptr;
    DefaultDeviceWatch* watch = nullptr;
    IMMDevice* endpoint = nullptr;
    IAudioClient* client = nullptr;
    IAudioRenderClient* output = nullptr;
    HANDLE wake = nullptr;
    bool started = false;
    Sample sample = Sample::Float32;
    int channels = kChannels;
    UINT32 bufferFrames = 0;
    UINT32 periodFrames = 1;
    UINT32 latencyFrames = 1;  // the mix is kept this far ahead of the device
    int rate = 0;
    uint64_t startMs = 0;
    uint64_t progressMs = 0;  // when the device last took frames
    uint64_t supplied = 0;    // frames handed to the device since the start
    int64_t aheadFrames = 0;

    ~Device() {
        if (client && started) client->Stop();
        ReleaseCom(output);
        ReleaseCom(client);
        ReleaseCom(endpoint);
        if (enumerator && watch) enumerator->UnregisterEndpointNotificationCallback(watch);
        ReleaseCom(watch);
        ReleaseCom(enumerator);
        if (wake) CloseHandle(wake);
    }

    // The default device, opened and started, with the first frames in its buffer.
    bool Open(int streamRate, int askedFrames, HANDLE changed, WasapiRender render,
              std::vector<int16_t>& mixed) {
        rate = streamRate;
        const HRESULT made = s_enumeratorMaker
                                 ? s_enumeratorMaker(&enumerator)
                                 : CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr,
                                                    CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                                    reinterpret_cast<void**>(&enumerator));
        if (FAILED(made) || !enumerator) return false;
        watch = new DefaultDeviceWatch(changed);
        if (FAILED(enumerator->RegisterEndpointNotificationCallback(watch))) ReleaseCom(watch);
        if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &endpoint))) return false;
        wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!wake || !Initialize(askedFrames)) return false;
        if (FAILED(client->SetEventHandle(wake)) || FAILED(client->GetBufferSize(&bufferFrames)) ||
            FAILED(client->GetService(__uuidof(IAudioRenderClient),
                                      reinterpret_cast<void**>(&output)))) {
            return false;
        }
        periodFrames = UINT32(EnginePeriodFrames(client, rate));
        if (periodFrames == 0) periodFrames = 1;
        // The device takes a period at a time: the mix must hold at least that and a little.
        latencyFrames = UINT32(askedFrames > 0 ? askedFrames : kWasapiLatencyFrames);
        if (latencyFrames < periodFrames + periodFrames / 16) {
            latencyFrames = periodFrames + periodFrames / 16;
        }
        if (latencyFrames > bufferFrames) latencyFrames = bufferFrames;
        if (!Fill(render, mixed) || FAILED(client->Start())) return false;
        started = true;
        return true;
    }

    bool Initialize(int askedFrames) {
        WAVEFORMATEX* mix = nullptr;
        if (!Activate()) return false;
        if (FAILED(client->GetMixFormat(&mix))) mix = nullptr;
        bool opened = false;
        const DWORD event = AUDCLNT_STREAMFLAGS_EVENTCALLBACK;
        const DWORD convert =
            AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
        const std::vector<Choice> choices = ChoicesFor(mix, rate);
        const Choice& own = choices.front();
        if (mix && askedFrames > 0 && !own.convert &&
            askedFrames < EnginePeriodFrames(client, rate)) {
            opened = InitializeShortPeriod(client, &own.format.Format, rate, askedFrames);
            if (opened) Take(own);
        }
        if (mix) CoTaskMemFree(mix);
        // Room for two periods of the longest latency asked for: the buffer's length is not the
        // latency, which is how far ahead the mix is kept.
        const int room = askedFrames > kWasapiLatencyFrames ? askedFrames : kWasapiLatencyFrames;
        for (const Choice& choice : choices) {
            if (opened) break;
            if (!Activate()) return false;
            opened = SUCCEEDED(
                client->Initialize(AUDCLNT_SHAREMODE_SHARED, event | (choice.convert ? convert : 0),
                                   DurationOf(2 * room, rate), 0, &choice.format.Format, nullptr));
            if (opened) Take(choice);
        }
        return opened;
    }

    void Take(const Choice& choice) {
        sample = choice.sample;
        channels = choice.format.Format.nChannels;
    }

    // A fresh client: one that failed to initialize cannot be tried again.
    bool Activate() {
        ReleaseCom(client);
        return SUCCEEDED(endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                            reinterpret_cast<void**>(&client)));
    }

    void Drain() {
        UINT32 padding = 0;
        for (UINT32 waited = 0; waited <= bufferFrames; waited += periodFrames) {
            if (FAILED(client->GetCurrentPadding(&padding)) || padding == 0) break;
            WaitForSingleObject(wake, 200);
        }
        WaitForSingleObject(wake, 200);
    }

    // Tops the device buffer up to the latency with the next frames of the mix. False when the
    // device failed or has taken nothing for a long while.
    //
    // The mix follows the clock: after the first fill, no more frames are handed over than the
    // time since the start calls for. A sound card takes no more anyway; a sink that takes
    // everything at once (a file, under Wine) would otherwise run the game's sounds faster than
    // the clock. Where the device runs ahead of the clock and its buffer runs low, the clock is
    // let ahead a little each period, so the two never drift apart for long.
    bool Fill(WasapiRender render, std::vector<int16_t>& mixed) {
        UINT32 padding = 0;
        if (FAILED(client->GetCurrentPadding(&padding))) return false;
        const uint64_t now = Win32NowMs();
        if (supplied == 0) {
            startMs = progressMs = now;
        } else {
            ++s_wakes;
            if (padding == 0) ++s_missed;
            // Short of the one period the device took since the last fill: the clock held the
            // mix back while the device ran ahead of it.
            if (padding + periodFrames < latencyFrames) aheadFrames += periodFrames / 500 + 1;
            s_aheadFrames = int(aheadFrames);
        }
        const int64_t due = int64_t((now - startMs) * uint64_t(rate) / 1000) + latencyFrames +
                            aheadFrames - int64_t(supplied);
        UINT32 frames = padding < latencyFrames ? latencyFrames - padding : 0;
        if (due < int64_t(frames)) frames = due > 0 ? UINT32(due) : 0;
        if (frames == 0) {
            // Full, and the clock wants more: a device that stays so has stopped playing.
            return padding == 0 || due <= 0 || now - progressMs < kStalledMs;
        }
        progressMs = now;
        BYTE* data = nullptr;
        if (FAILED(output->GetBuffer(frames, &data))) return false;
        supplied += frames;
        if (mixed.size() < size_t(frames) * kChannels) mixed.resize(size_t(frames) * kChannels);
        WasapiLock();
        render(mixed.data(), static_cast<int>(frames));
        WasapiUnlock();
        s_frames += frames;
        for (UINT32 i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                // Front left and right come first in any layout that has them.
                const int16_t value = c < kChannels ? mixed[i * kChannels + c] : 0;
                const size_t at = size_t(i) * channels + c;
                if (sample == Sample::Float32) {
                    reinterpret_cast<float*>(data)[at] = value / 32768.0f;
                } else {
                    reinterpret_cast<int16_t*>(data)[at] = value;
                }
            }
        }
        return SUCCEEDED(output->ReleaseBuffer(frames, 0));
    }
};

// With no device: the mix is rendered into a scratch buffer as fast as the clock runs, so that
// what plays ends when it would have been heard to its end.
struct ScratchClock {
    uint64_t startMs = 0;
    uint64_t rendered = 0;

    void Restart() {
        startMs = Win32NowMs();
        rendered = 0;
    }

    void Run(WasapiRender render, int rate, std::vector<int16_t>& mixed) {
        const uint64_t due = (Win32NowMs() - startMs) * uint64_t(rate) / 1000;
        // After a long stall (the machine slept) the clock jumps instead of catching up.
        if (due > rendered + uint64_t(rate)) rendered = due - uint64_t(rate);
        constexpr uint64_t kChunk = 1024;
        if (mixed.size() < kChunk * kChannels) mixed.resize(kChunk * kChannels);
        while (rendered < due) {
            const int frames = int(due - rendered < kChunk ? due - rendered : kChunk);
            WasapiLock();
            render(mixed.data(), frames);
            WasapiUnlock();
            rendered += uint64_t(frames);
            s_frames += uint64_t(frames);
        }
    }
};

void Opened(const Device& device) {
    s_periodFrames = int(device.periodFrames);
    s_latencyFrames = int(device.latencyFrames);
    ++s_openings;
    s_device = true;
}

DWORD WINAPI RenderThread(void*) {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    WasapiNameSoundThread();
    DWORD taskIndex = 0;
    // The system's scheduling class for audio where it has one, and the highest priority
    // besides (which Wine passes on to the host where it may).
    HANDLE task = AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    std::vector<int16_t> mixed;
    const WasapiRender render = s_stream.render;
    const int rate = s_stream.rate;
    Device* device = new Device;
    if (device->Open(rate, s_stream.askedFrames, s_stream.changed, render, mixed)) {
        Opened(*device);
    } else {
        delete device;
        device = nullptr;
    }
    SetEvent(s_stream.ready);
    ScratchClock scratch;
    scratch.Restart();
    uint64_t triedMs = Win32NowMs();
    bool stopping = false;
    while (!stopping) {
        if (device) {
            HANDLE waits[3] = {s_stream.stop, s_stream.changed, device->wake};
            const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, kWakeTimeoutMs);
            stopping = woke == WAIT_OBJECT_0;
            if (stopping) break;
            // The default device changed, or this one failed: everything of it is released,
            // and the mix goes on into the scratch buffer until the next one is open.
            if (woke == WAIT_OBJECT_0 + 1 || !device->Fill(render, mixed)) {
                delete device;
                device = nullptr;
                ++s_losses;
                s_device = false;
                scratch.Restart();
                triedMs = 0;  // the next default device is tried at once
            }
            continue;
        }
        HANDLE waits[2] = {s_stream.stop, s_stream.changed};
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kScratchStepMs);
        stopping = woke == WAIT_OBJECT_0;
        scratch.Run(render, rate, mixed);
        const uint64_t now = Win32NowMs();
        if (!stopping && (woke == WAIT_OBJECT_0 + 1 || now - triedMs >= kRetryMs)) {
            triedMs = now;
            device = new Device;
            if (device->Open(rate, s_stream.askedFrames, s_stream.changed, render, mixed)) {
                Opened(*device);
            } else {
                delete device;
                device = nullptr;
                scratch.Run(render, rate, mixed);
            }
        }
    }
    // What was mixed is heard to its end (the goodbye before the program ends): the device is
    // given the time its buffer holds, then one more period.
    if (device) {
        device->Drain();
        delete device;
    }
    s_device = false;
    if (task) AvRevertMmThreadCharacteristics(task);
    if (com) CoUninitialize();
    return 0;
}

}  // namespace

void WasapiNameSoundThread() {
    // Windows 10 and later (and Wine, which passes it on to the host) name threads.
    typedef HRESULT(WINAPI * SetDescription)(HANDLE, PCWSTR);
    const auto set = reinterpret_cast<SetDescription>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (set) set(GetCurrentThread(), kWasapiThreadName);
}

void WasapiLock() {
    if (s_lockReady) EnterCriticalSection(&s_lock);
}

void WasapiUnlock() {
    if (s_lockReady) LeaveCriticalSection(&s_lock);
}

int WasapiOpen(WasapiRender render, int rate, int askedFrames, int* periodFrames, bool* hasDevice) {
    if (s_stream.thread) return -1;
    if (!s_lockReady) {
        InitializeCriticalSection(&s_lock);
        s_lockReady = true;
    }
    s_openings = s_losses = s_periodFrames = s_latencyFrames = s_aheadFrames = 0;
    s_wakes = s_missed = s_frames = 0;
    s_device = false;
    s_stream.render = render;
    s_stream.rate = rate;
    s_stream.askedFrames = askedFrames;
    s_stream.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s_stream.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s_stream.changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (s_stream.ready && s_stream.stop && s_stream.changed) {
        s_stream.thread = CreateThread(nullptr, 0, RenderThread, nullptr, 0, nullptr);
    }
    if (!s_stream.thread) {
        WasapiClose();
        PlatformSetLastError("the sound thread could not start");
        return -1;
    }
    // A driver that hangs in its open leaves the game running on the clock without it.
    WaitForSingleObject(s_stream.ready, kOpenTimeoutMs);
    if (hasDevice) *hasDevice = s_device;
    if (periodFrames) *periodFrames = s_device ? s_periodFrames.load() : 0;
    if (!s_device) {
        PlatformSetLastError("no WASAPI playback device that takes 16-bit or float at %d Hz", rate);
    }
    return 0;
}

void WasapiClose() {
    if (s_stream.thread) {
        SetEvent(s_stream.stop);
        WaitForSingleObject(s_stream.thread, INFINITE);
        CloseHandle(s_stream.thread);
    }
    for (HANDLE handle : {s_stream.ready, s_stream.stop, s_stream.changed}) {
        if (handle) CloseHandle(handle);
    }
    s_stream = Stream{};
}

WasapiStats WasapiGetStats() {
    return {s_openings,    s_losses,       s_device,        s_periodFrames, s_latencyFrames,
            s_aheadFrames, s_wakes.load(), s_missed.load(), s_frames.load()};
}

void WasapiSetEnumeratorMaker(WasapiEnumeratorMaker maker) {
    s_enumeratorMaker = maker;
}
