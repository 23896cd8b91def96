// The Windows sound output against stand-in devices: what a player hears when headphones are
// unplugged or become the default, when another program holds the device, and on devices of
// every speaker layout and rate.
#include "platform/win32/win32_wasapi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>
// After windows.h, which they need.
#include <audioclient.h>
#include <ksmedia.h>
#include <mmdeviceapi.h>

namespace {

constexpr int kRate = 48000;
constexpr int16_t kLeft = 16384, kRight = -8192;  // what the mix says on each side
constexpr GUID kPcm = {
    0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kFloat = {
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Speakers {
    WORD channels = 2;
    DWORD mask = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
    DWORD rate = kRate;
    bool isFloat = true;
    WORD bits = 32;
    UINT32 enginePeriod = 0;  // frames at `rate` of the newer interface's engine; 0: no such
};

// One playback device: what it offers, and what the game did with it. Shared with the render
// thread under `lock`.
struct FakeDevice {
    Speakers speakers;
    HRESULT initializeResult = S_OK;  // e.g. in use by another program
    bool invalidated = false;         // unplugged: every call fails
    // What the game did.
    WAVEFORMATEXTENSIBLE format = {};
    DWORD flags = 0;
    UINT32 sharedPeriod = 0;  // asked of InitializeSharedAudioStream
    uint64_t frames = 0;      // frames received
    std::vector<int16_t> firstFrame;
    int liveClients = 0;
};

std::mutex lock;
std::condition_variable changed;
uint64_t rendered = 0;  // frames the render callback made: the game's clock

void Render(int16_t* out, int frames) {
    for (int i = 0; i < frames; ++i) {
        out[2 * i] = kLeft;
        out[2 * i + 1] = kRight;
    }
    std::lock_guard<std::mutex> hold(lock);
    rendered += uint64_t(frames);
    changed.notify_all();
}

// Waits until `done` holds (a stand-in device answers within milliseconds; a minute is a hang).
template <typename Condition>
bool WaitFor(Condition done) {
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, std::chrono::seconds(60), done);
}

WAVEFORMATEX* MixFormatOf(const Speakers& s) {
    auto* mix = static_cast<WAVEFORMATEXTENSIBLE*>(CoTaskMemAlloc(sizeof(WAVEFORMATEXTENSIBLE)));
    *mix = {};
    WAVEFORMATEX& f = mix->Format;
    f.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    f.nChannels = s.channels;
    f.nSamplesPerSec = s.rate;
    f.wBitsPerSample = s.bits;
    f.nBlockAlign = WORD(s.channels * s.bits / 8);
    f.nAvgBytesPerSec = f.nBlockAlign * s.rate;
    f.cbSize = sizeof *mix - sizeof f;
    mix->Samples.wValidBitsPerSample = s.bits;
    mix->dwChannelMask = s.mask;
    mix->SubFormat = s.isFloat ? kFloat : kPcm;
    if (s.bits == 16 && s.channels == 2 && !s.isFloat) {  // the plain format of old drivers
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.cbSize = 0;
    }
    return &mix->Format;
}

// The audio client of one FakeDevice, and its render service. It takes everything at once.
class FakeClient final : public IAudioClient3, public IAudioRenderClient {
  public:
    explicit FakeClient(FakeDevice* device) : device_(device) {
        std::lock_guard<std::mutex> hold(lock);
        ++device_->liveClients;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--refs_ > 0) return refs_;
        {
            std::lock_guard<std::mutex> hold(lock);
            --device_->liveClients;
            changed.notify_all();
        }
        delete this;
        return 0;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        const bool newer = device_->speakers.enginePeriod > 0;
        if (IsEqualIID(id, __uuidof(IAudioClient)) ||
            (newer && (IsEqualIID(id, __uuidof(IAudioClient3)) ||
                       IsEqualIID(id, __uuidof(IAudioClient2))))) {
            *out = static_cast<IAudioClient3*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Initialize(AUDCLNT_SHAREMODE, DWORD flags, REFERENCE_TIME,
                                         REFERENCE_TIME, const WAVEFORMATEX* format,
                                         LPCGUID) override {
        std::lock_guard<std::mutex> hold(lock);
        if (FAILED(device_->initializeResult)) return device_->initializeResult;
        const bool plain = format->wFormatTag != WAVE_FORMAT_EXTENSIBLE;
        const Speakers& mix = device_->speakers;
        // Without conversion only the mix format itself is taken.
        const bool same = format->nChannels == mix.channels && format->nSamplesPerSec == mix.rate &&
                          format->wBitsPerSample == mix.bits;
        if (!same && !(flags & AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM)) {
            return AUDCLNT_E_UNSUPPORTED_FORMAT;
        }
        device_->format = {};
        std::memcpy(&device_->format, format,
                    plain ? sizeof(WAVEFORMATEX) : sizeof device_->format);
        device_->flags = flags;
        blockAlign_ = format->nBlockAlign;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBufferSize(UINT32* frames) override {
        *frames = kRate / 10;
        return Alive();
    }
    HRESULT STDMETHODCALLTYPE GetStreamLatency(REFERENCE_TIME*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPadding(UINT32* padding) override {
        *padding = 0;
        return Alive();
    }
    HRESULT STDMETHODCALLTYPE IsFormatSupported(AUDCLNT_SHAREMODE, const WAVEFORMATEX*,
                                                WAVEFORMATEX**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMixFormat(WAVEFORMATEX** mix) override {
        *mix = MixFormatOf(device_->speakers);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevicePeriod(REFERENCE_TIME* defaultPeriod,
                                              REFERENCE_TIME* minimum) override {
        *defaultPeriod = 100000;  // 10 ms
        *minimum = 30000;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Start() override { return Alive(); }
    HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetEventHandle(HANDLE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetService(REFIID id, void** out) override {
        if (!IsEqualIID(id, __uuidof(IAudioRenderClient))) return E_NOINTERFACE;
        *out = static_cast<IAudioRenderClient*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsOffloadCapable(AUDIO_STREAM_CATEGORY, WINBOOL*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetClientProperties(const AudioClientProperties*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetBufferSizeLimits(const WAVEFORMATEX*, WINBOOL, REFERENCE_TIME*,
                                                  REFERENCE_TIME*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSharedModeEnginePeriod(const WAVEFORMATEX*, UINT32* defaultPeriod,
                                                        UINT32* fundamental, UINT32* minimum,
                                                        UINT32* maximum) override {
        *defaultPeriod = device_->speakers.rate / 100;
        *fundamental = device_->speakers.rate / 1000;
        *minimum = 3 * *fundamental;
        *maximum = *defaultPeriod;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentSharedModeEnginePeriod(WAVEFORMATEX** format,
                                                               UINT32* period) override {
        *format = MixFormatOf(device_->speakers);
        std::lock_guard<std::mutex> hold(lock);
        *period = device_->sharedPeriod ? device_->sharedPeriod : device_->speakers.enginePeriod;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InitializeSharedAudioStream(DWORD flags, UINT32 period,
                                                          const WAVEFORMATEX* format,
                                                          LPCGUID) override {
        const HRESULT result = Initialize(AUDCLNT_SHAREMODE_SHARED, flags, 0, 0, format, nullptr);
        std::lock_guard<std::mutex> hold(lock);
        if (SUCCEEDED(result)) device_->sharedPeriod = period;
        return result;
    }
    HRESULT STDMETHODCALLTYPE GetBuffer(UINT32 frames, BYTE** data) override {
        buffer_.assign(size_t(frames) * blockAlign_, 0);
        *data = buffer_.data();
        return Alive();
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32 frames, DWORD) override {
        std::lock_guard<std::mutex> hold(lock);
        if (device_->frames == 0 && frames > 0) {
            const WAVEFORMATEX& f = device_->format.Format;
            for (int c = 0; c < f.nChannels; ++c) {
                device_->firstFrame.push_back(
                    f.wBitsPerSample == 16
                        ? reinterpret_cast<int16_t*>(buffer_.data())[c]
                        : int16_t(reinterpret_cast<float*>(buffer_.data())[c] * 32768.0f));
            }
        }
        device_->frames += frames;
        changed.notify_all();
        return S_OK;
    }

  private:
    HRESULT Alive() {
        std::lock_guard<std::mutex> hold(lock);
        return device_->invalidated ? AUDCLNT_E_DEVICE_INVALIDATED : S_OK;
    }
    FakeDevice* device_;
    ULONG refs_ = 1;
    int blockAlign_ = 4;
    std::vector<BYTE> buffer_;
};

class FakeEndpoint final : public IMMDevice {
  public:
    explicit FakeEndpoint(FakeDevice* device) : device_(device) {}
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE Activate(REFIID, DWORD, PROPVARIANT*, void** out) override {
        *out = static_cast<IAudioClient3*>(new FakeClient(device_));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }

  private:
    FakeDevice* device_;
};

// The system's list of devices: which one is the default (none while `current` is null), and
// the one notification client the game registers.
class FakeEnumerator final : public IMMDeviceEnumerator {
  public:
    FakeEndpoint* current = nullptr;
    IMMNotificationClient* watcher = nullptr;

    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow, ERole, IMMDevice** out) override {
        std::lock_guard<std::mutex> hold(lock);
        *out = current;
        return current ? S_OK : HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    RegisterEndpointNotificationCallback(IMMNotificationClient* client) override {
        std::lock_guard<std::mutex> hold(lock);
        client->AddRef();
        watcher = client;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override {
        std::lock_guard<std::mutex> hold(lock);
        if (watcher == client) watcher = nullptr;
        client->Release();
        return S_OK;
    }

    // Windows names another default device.
    void MakeDefault(FakeEndpoint* endpoint, EDataFlow flow = eRender, ERole role = eConsole) {
        IMMNotificationClient* told = nullptr;
        {
            std::lock_guard<std::mutex> hold(lock);
            current = endpoint;
            told = watcher;
            if (told) told->AddRef();
        }
        if (told) {
            told->OnDefaultDeviceChanged(flow, role, nullptr);
            told->Release();
        }
    }
};

FakeEnumerator* s_enumerator = nullptr;

HRESULT MakeFakeEnumerator(IMMDeviceEnumerator** out) {
    *out = s_enumerator;
    return S_OK;
}

class Win32Wasapi : public ::testing::Test {
  protected:
    FakeEnumerator enumerator;
    FakeDevice speakers, headphones;
    FakeEndpoint speakersEndpoint{&speakers}, headphonesEndpoint{&headphones};
    int period = 0;
    bool hasDevice = false;

    void SetUp() override {
        s_enumerator = &enumerator;
        WasapiSetEnumeratorMaker(MakeFakeEnumerator);
        rendered = 0;
    }
    void TearDown() override {
        WasapiClose();
        WasapiSetEnumeratorMaker(nullptr);
    }
    void Open(FakeEndpoint* endpoint, int askedFrames = 0) {
        enumerator.current = endpoint;
        ASSERT_EQ(WasapiOpen(Render, kRate, askedFrames, &period, &hasDevice), 0);
    }
    static bool Hears(const FakeDevice& device) { return device.frames >= kRate / 10; }
};

// Speakers held by another program at the start are taken once free; headphones that become
// the default are followed (a device for calls only is not); unplugged with no device left, the
// game goes on silently; the speakers, back as the default, are heard again without any
// notification.
TEST_F(Win32Wasapi, TheGameIsHeardOnWhicheverDeviceIsFreeAndTheDefaultAndGoesOnWithoutOne) {
    speakers.initializeResult = AUDCLNT_E_DEVICE_IN_USE;
    Open(&speakersEndpoint);
    EXPECT_FALSE(hasDevice);
    ASSERT_TRUE(WaitFor([&] { return rendered >= kRate / 2; }));  // the clock runs meanwhile
    {
        std::lock_guard<std::mutex> hold(lock);
        speakers.initializeResult = S_OK;
    }
    ASSERT_TRUE(WaitFor([&] { return Hears(speakers); }));
    EXPECT_TRUE(WasapiGetStats().device);
    enumerator.MakeDefault(&headphonesEndpoint, eRender, eCommunications);
    enumerator.MakeDefault(&headphonesEndpoint, eCapture, eConsole);
    EXPECT_EQ(WasapiGetStats().losses, 0);
    enumerator.MakeDefault(&headphonesEndpoint);
    ASSERT_TRUE(WaitFor([&] { return Hears(headphones) && speakers.liveClients == 0; }));
    EXPECT_EQ(WasapiGetStats().openings, 2);

    // Unplugged, and no device left: the game's clock runs on, so sounds still end.
    {
        std::lock_guard<std::mutex> hold(lock);
        headphones.invalidated = true;
        enumerator.current = nullptr;
    }
    ASSERT_TRUE(WaitFor([&] { return headphones.liveClients == 0; }));
    const uint64_t lostAt = rendered;
    ASSERT_TRUE(WaitFor([&] { return rendered >= lostAt + kRate / 2; }));
    EXPECT_FALSE(WasapiGetStats().device);
    EXPECT_EQ(WasapiGetStats().losses, 2) << "the change of default and the unplugging";

    {
        std::lock_guard<std::mutex> hold(lock);
        speakers.frames = 0;
        enumerator.current = &speakersEndpoint;
    }
    ASSERT_TRUE(WaitFor([&] { return Hears(speakers); }));
    EXPECT_EQ(WasapiGetStats().openings, 3);
    WasapiClose();
    EXPECT_EQ(speakers.liveClients, 0);
}

// Front left and right get the two sides wherever the device has them, every other speaker
// silence; a device without them gets stereo, converted by the system.
TEST_F(Win32Wasapi, EverySpeakerLayoutAndRateHearsBothSides) {
    const DWORD stereo = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
    struct Case {
        const char* device;
        Speakers speakers;
        WORD channels;  // of the stream the game opens
        bool isFloat;
        bool converted;
    } cases[] = {
        {"stereo 44.1 kHz float", {2, stereo, 44100, true, 32}, 2, true, true},
        {"stereo 48 kHz 16-bit", {2, stereo, 48000, false, 16}, 2, false, false},
        {"stereo 48 kHz 24-bit", {2, stereo, 48000, false, 24}, 2, true, true},
        {"mono headset", {1, SPEAKER_FRONT_CENTER, 48000, true, 32}, 2, true, true},
        {"5.1 at 48 kHz", {6, KSAUDIO_SPEAKER_5POINT1, 48000, true, 32}, 6, true, false},
        {"7.1 at 96 kHz", {8, KSAUDIO_SPEAKER_7POINT1_SURROUND, 96000, true, 32}, 8, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        FakeDevice device;
        device.speakers = c.speakers;
        FakeEndpoint endpoint(&device);
        Open(&endpoint);
        ASSERT_TRUE(hasDevice);
        ASSERT_TRUE(WaitFor([&] { return device.frames > 0; }));
        WasapiClose();
        EXPECT_EQ(device.format.Format.nSamplesPerSec, DWORD(kRate));
        EXPECT_EQ(device.format.Format.nChannels, c.channels);
        EXPECT_EQ(device.format.Format.wBitsPerSample, c.isFloat ? 32 : 16);
        EXPECT_EQ((device.flags & AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM) != 0, c.converted);
        std::vector<int16_t> expected(c.channels, 0);
        expected[0] = kLeft;
        expected[1] = kRight;
        EXPECT_EQ(device.firstFrame, expected);
    }
}

// The period is the one the device's engine runs at now; the mix is kept 8 ms ahead, or a
// period and a little where the engine's period is longer; a player may ask for another.
TEST_F(Win32Wasapi, ThePeriodIsTheDevicesAndTheLatencyStaysShort) {
    struct Case {
        const char* device;
        UINT32 enginePeriod;  // frames at the device's rate; 0: an older system
        DWORD deviceRate;
        int asked;
        int period, latency;
        UINT32 sharedPeriod;  // asked of the engine, 0 for none
    } cases[] = {
        {"older system, 10 ms", 0, 48000, 0, 480, 510, 0},
        {"engine at 3 ms", 144, 48000, 0, 144, kWasapiLatencyFrames, 0},
        {"engine at 10 ms, 44.1 kHz", 441, 44100, 0, 480, 510, 0},
        {"player asks for 1024", 480, 48000, 1024, 480, 1024, 0},
        {"player asks for 128 of a 10 ms engine", 480, 48000, 128, 144, 153, 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        FakeDevice device;
        device.speakers.enginePeriod = c.enginePeriod;
        device.speakers.rate = c.deviceRate;
        FakeEndpoint endpoint(&device);
        Open(&endpoint, c.asked);
        ASSERT_TRUE(hasDevice);
        const WasapiStats stats = WasapiGetStats();
        WasapiClose();
        EXPECT_EQ(device.sharedPeriod, c.sharedPeriod);
        EXPECT_EQ(period, c.period);
        EXPECT_EQ(stats.periodFrames, c.period);
        EXPECT_EQ(stats.latencyFrames, c.latency);
    }
}

}  // namespace
