// WASAPI in shared, event-driven mode. Everything COM lives on the render thread, which
// opens the device, reports the outcome to the opener and then renders until it is told to end.
#include "platform/win32/win32_wasapi.h"

#include <vector>

#include "platform/win32/win32_backend.h"
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

enum class Sample { Float32, Int16 };

struct Stream {
    WasapiRender render = nullptr;
    int rate = 0;
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;  // set once the thread has opened the device or failed to
    HANDLE stop = nullptr;
    int result = -1;
    int periodFrames = 0;
};

Stream s_stream;
CRITICAL_SECTION s_lock;
bool s_lockReady = false;

template <typename T>
void ReleaseCom(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

WAVEFORMATEXTENSIBLE FormatOf(Sample sample, int rate, int channels) {
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
    format.dwChannelMask = channels == 2 ? (SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT) : 0;
    format.SubFormat = sample == Sample::Float32 ? kSubtypeFloat : kSubtypePcm;
    return format;
}

bool IsFloat(const WAVEFORMATEX* format) {
    if (format->wFormatTag == WAVE_FORMAT_IEEE_FLOAT) return true;
    if (format->wFormatTag != WAVE_FORMAT_EXTENSIBLE) return false;
    auto* extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(format);
    return IsEqualGUID(extensible->SubFormat, kSubtypeFloat);
}

// Initializes the client for `format` with the smallest period it allows. Where the system has
// the newer interface, its own smallest shared period; otherwise the device's minimum period.
bool InitializeClient(IAudioClient* client, const WAVEFORMATEX* format, DWORD flags) {
    IAudioClient3* client3 = nullptr;
    if (SUCCEEDED(
            client->QueryInterface(__uuidof(IAudioClient3), reinterpret_cast<void**>(&client3)))) {
        UINT32 defaultPeriod = 0, fundamental = 0, minPeriod = 0, maxPeriod = 0;
        bool ok =
            SUCCEEDED(client3->GetSharedModeEnginePeriod(format, &defaultPeriod, &fundamental,
                                                         &minPeriod, &maxPeriod)) &&
            minPeriod > 0 &&
            SUCCEEDED(client3->InitializeSharedAudioStream(flags, minPeriod, format, nullptr));
        ReleaseCom(client3);
        if (ok) return true;
    }
    REFERENCE_TIME defaultPeriod = 0, minPeriod = 0;
    if (FAILED(client->GetDevicePeriod(&defaultPeriod, &minPeriod))) minPeriod = 0;
    return SUCCEEDED(
        client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, minPeriod, 0, format, nullptr));
}

struct Device {
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDevice* endpoint = nullptr;
    IAudioClient* client = nullptr;
    IAudioRenderClient* output = nullptr;
    HANDLE wake = nullptr;
    Sample sample = Sample::Float32;
    int channels = kChannels;
    UINT32 bufferFrames = 0;
    UINT32 periodFrames = 1;
    int rate = 0;
    uint64_t startMs = 0;
    uint64_t supplied = 0;  // frames handed to the device since the start
    int64_t aheadFrames = 0;

    ~Device() {
        if (client) client->Stop();
        ReleaseCom(output);
        ReleaseCom(client);
        ReleaseCom(endpoint);
        ReleaseCom(enumerator);
        if (wake) CloseHandle(wake);
    }

    // Our rate in float or 16-bit stereo, converted by the system where it must; else the
    // device's own mix format when it runs at our rate.
    bool Open(int streamRate) {
        rate = streamRate;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                    __uuidof(IMMDeviceEnumerator),
                                    reinterpret_cast<void**>(&enumerator))) ||
            FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &endpoint))) {
            return false;
        }
        wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!wake) return false;
        const DWORD event = AUDCLNT_STREAMFLAGS_EVENTCALLBACK;
        const DWORD convert =
            AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
        WAVEFORMATEX* mix = nullptr;
        bool opened = false;
        if (Activate() && SUCCEEDED(client->GetMixFormat(&mix))) {
            if (static_cast<int>(mix->nSamplesPerSec) == rate &&
                (IsFloat(mix) || mix->wBitsPerSample == 16) && mix->nChannels >= 1) {
                sample = IsFloat(mix) ? Sample::Float32 : Sample::Int16;
                channels = mix->nChannels;
                opened = InitializeClient(client, mix, event);
            }
            CoTaskMemFree(mix);
        }
        for (Sample candidate : {Sample::Float32, Sample::Int16}) {
            if (opened) break;
            if (!Activate()) return false;
            WAVEFORMATEXTENSIBLE format = FormatOf(candidate, rate, kChannels);
            sample = candidate;
            channels = kChannels;
            opened = SUCCEEDED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, event | convert, 0, 0,
                                                  &format.Format, nullptr));
        }
        return opened && SUCCEEDED(client->SetEventHandle(wake)) &&
               SUCCEEDED(client->GetBufferSize(&bufferFrames)) &&
               SUCCEEDED(client->GetService(__uuidof(IAudioRenderClient),
                                            reinterpret_cast<void**>(&output)));
    }

    // A fresh client: one that failed to initialize cannot be tried again.
    bool Activate() {
        ReleaseCom(client);
        return SUCCEEDED(endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                            reinterpret_cast<void**>(&client)));
    }

    int PeriodFrames(int rate) {
        REFERENCE_TIME defaultPeriod = 0, minPeriod = 0;
        if (FAILED(client->GetDevicePeriod(&defaultPeriod, &minPeriod))) return int(bufferFrames);
        // In shared mode the stream moves on at the engine's period.
        return static_cast<int>((defaultPeriod * rate + kHundredNsPerSecond / 2) /
                                kHundredNsPerSecond);
    }

    void Drain() {
        UINT32 padding = 0;
        for (UINT32 waited = 0; waited <= bufferFrames; waited += periodFrames) {
            if (FAILED(client->GetCurrentPadding(&padding)) || padding == 0) break;
            WaitForSingleObject(wake, 200);
        }
        WaitForSingleObject(wake, 200);
    }

    // Fills whatever room the device buffer has with the next frames of the mix.
    //
    // The mix follows the clock: after the first full buffer, no more frames are handed over
    // than the time since the start calls for. A sound card takes no more anyway; a sink that
    // takes everything at once (a file, under Wine) would otherwise run the game's sounds faster
    // than the clock. Where the device runs ahead of the clock and its buffer runs low, the
    // clock is let ahead a little each period, so the two never drift apart for long.
    bool Fill(WasapiRender render, std::vector<int16_t>& mixed) {
        UINT32 padding = 0;
        if (FAILED(client->GetCurrentPadding(&padding))) return false;
        const uint64_t now = Win32NowMs();
        if (supplied == 0) startMs = now;
        if (supplied > 0 && padding < periodFrames) aheadFrames += periodFrames / 500 + 1;
        const int64_t due = int64_t((now - startMs) * uint64_t(rate) / 1000) + bufferFrames +
                            aheadFrames - int64_t(supplied);
        UINT32 frames = bufferFrames - padding;
        if (due < int64_t(frames)) frames = due > 0 ? UINT32(due) : 0;
        if (frames == 0) return true;
        supplied += frames;
        BYTE* data = nullptr;
        if (FAILED(output->GetBuffer(frames, &data))) return false;
        if (mixed.size() < size_t(frames) * kChannels) mixed.resize(size_t(frames) * kChannels);
        WasapiLock();
        render(mixed.data(), static_cast<int>(frames));
        WasapiUnlock();
        for (UINT32 i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                int16_t value = c < kChannels ? mixed[i * kChannels + c] : 0;
                size_t at = size_t(i) * channels + c;
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

DWORD WINAPI RenderThread(void*) {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    DWORD taskIndex = 0;
    // The system's scheduling class for audio where it has one, and the highest priority
    // besides (which Wine passes on to the host where it may).
    HANDLE task = AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    {
        Device device;
        std::vector<int16_t> mixed;
        bool running = com && device.Open(s_stream.rate) && device.Fill(s_stream.render, mixed) &&
                       SUCCEEDED(device.client->Start());
        s_stream.result = running ? 0 : -1;
        if (running) {
            s_stream.periodFrames = device.PeriodFrames(s_stream.rate);
            device.periodFrames = s_stream.periodFrames > 0 ? UINT32(s_stream.periodFrames) : 1;
        }
        SetEvent(s_stream.ready);
        HANDLE waits[2] = {s_stream.stop, device.wake};
        while (running) {
            DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            if (woke != WAIT_OBJECT_0 + 1) break;
            // A device that went away keeps the game running, silent.
            if (!device.Fill(s_stream.render, mixed)) running = false;
        }
        // What was mixed is heard to its end (the goodbye before the program ends): the device
        // is given the time its buffer holds, then one more period.
        if (running) device.Drain();
    }
    if (task) AvRevertMmThreadCharacteristics(task);
    if (com) CoUninitialize();
    return 0;
}

}  // namespace

void WasapiLock() {
    if (s_lockReady) EnterCriticalSection(&s_lock);
}

void WasapiUnlock() {
    if (s_lockReady) LeaveCriticalSection(&s_lock);
}

int WasapiOpen(WasapiRender render, int rate, int* periodFrames) {
    if (s_stream.thread) return -1;
    if (!s_lockReady) {
        InitializeCriticalSection(&s_lock);
        s_lockReady = true;
    }
    s_stream.render = render;
    s_stream.rate = rate;
    s_stream.result = -1;
    s_stream.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s_stream.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (s_stream.ready && s_stream.stop) {
        s_stream.thread = CreateThread(nullptr, 0, RenderThread, nullptr, 0, nullptr);
    }
    if (s_stream.thread) WaitForSingleObject(s_stream.ready, INFINITE);
    if (s_stream.result != 0) {
        WasapiClose();
        PlatformSetLastError("no WASAPI playback device that takes 16-bit or float stereo at %d Hz",
                             rate);
        return -1;
    }
    if (periodFrames) *periodFrames = s_stream.periodFrames;
    return 0;
}

void WasapiClose() {
    if (s_stream.thread) {
        SetEvent(s_stream.stop);
        WaitForSingleObject(s_stream.thread, INFINITE);
        CloseHandle(s_stream.thread);
    }
    if (s_stream.ready) CloseHandle(s_stream.ready);
    if (s_stream.stop) CloseHandle(s_stream.stop);
    s_stream = Stream{};
}
