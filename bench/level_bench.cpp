// Starting a level: the 51 sounds of the level bank read, restored and copied into buffers,
// then the background and the first character started. Goal: under 30 ms warm.
//
// Uses the pack named by TAPDASH_PACK_DIR, else the generated pack in build/tapdash or in this
// build's program folder when it holds the level's sounds, else writes a temporary pack of
// realistic size: 16-bit mono at 22050 Hz, 0.8 s a character, 0.3 s a cue, 20 s of background
// music.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/game_app.h"
#include "audio/banks.h"
#include "audio/sound.h"
#include "game/level.h"
#include "platform/platform.h"
#include "platform/virtual/virtual.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kRate = 22050;
constexpr int kStoredPrefixBytes = 50;  // stored in reverse order

void PutLe(std::string& s, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void WriteStoredSound(const fs::path& path, double seconds) {
    const uint32_t dataBytes = static_cast<uint32_t>(seconds * kRate) * 2;
    std::string wav = "RIFF";
    PutLe(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);  // PCM
    PutLe(wav, 1, 2);  // mono
    PutLe(wav, kRate, 4);
    PutLe(wav, kRate * 2, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, dataBytes, 4);
    for (uint32_t i = 0; i < dataBytes / 2; ++i) {
        PutLe(wav, static_cast<uint32_t>(static_cast<int16_t>((i % 50) * 600 - 15000)), 2);
    }
    for (int i = 0; i < kStoredPrefixBytes / 2; ++i) {
        std::swap(wav[i], wav[kStoredPrefixBytes - 1 - i]);
    }
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(wav.data(), static_cast<std::streamsize>(wav.size()));
}

std::string HostName(const char* relativeName) {
    std::string name = relativeName;
    for (char& c : name) {
        if (c == '\\') c = '/';
    }
    return name;
}

bool HoldsLevelSounds(const std::string& dir) {
    if (dir.empty()) return false;
    for (const char* name : kLevelSoundFiles) {
        if (!fs::exists(PlatformResolvePath((dir + name).c_str()))) return false;
    }
    return true;
}

std::string WriteTemporaryPack() {
    std::string dir = (fs::temp_directory_path() / "tapdash-level-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) return "";
    dir += "/";
    for (int slot = 0; slot < kLevelSoundCount; ++slot) {
        double seconds = slot == 0 ? 20.0 : slot < 5 ? 0.3 : 0.8;
        WriteStoredSound(dir + HostName(kLevelSoundFiles[slot]), seconds);
    }
    return dir;
}

std::string g_temporaryPack;

std::string FindPack() {
    if (const char* named = std::getenv("TAPDASH_PACK_DIR")) {
        std::string dir = named;
        if (!dir.empty() && dir.back() != '/') dir += '/';
        if (HoldsLevelSounds(dir)) return dir;
    }
    for (const std::string built :
         {TAPDASH_SOURCE_DIR "/build/tapdash/", TAPDASH_PROGRAM_DIR "/"}) {
        if (HoldsLevelSounds(built)) return built;
    }
    g_temporaryPack = WriteTemporaryPack();
    return g_temporaryPack;
}

// The real backend, with its device open when there is one (SDL's dummy driver otherwise);
// its buffers are made and converted the same either way. The virtual backend keeps the samples
// as they are, which leaves the game's own part of the work.
bool OpenDevice(PlatformKind kind) {
    if (kind == kPlatformVirtual) {
        VirtualReset();
        return CreateSoundDevice() != 0;
    }
    PlatformSelect(kPlatformReal);
    if (CreateSoundDevice()) return true;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return CreateSoundDevice() != 0;
}

void BM_StartLevel(benchmark::State& state, PlatformKind kind) {
    const bool deviceOpen = OpenDevice(kind);
    g_programDir = FindPack();
    std::string pack = g_temporaryPack.empty() ? g_programDir : "temporary pack";
    state.SetLabel(pack + (deviceOpen ? "" : ", no device open"));
    for (auto _ : state) {
        if (!StartLevel()) {
            state.SkipWithError("the level did not start");
            break;
        }
        state.PauseTiming();
        StopLevelSounds();
        StopSound(g_levelSounds[0].sound);
        UnloadLevelSounds();
        if (kind == kPlatformVirtual) VirtualClearCalls();
        state.ResumeTiming();
    }
    if (deviceOpen) ReleaseSoundDevice();
    if (!g_temporaryPack.empty()) fs::remove_all(g_temporaryPack);
}

}  // namespace

BENCHMARK_CAPTURE(BM_StartLevel, real, kPlatformReal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartLevel, virtual, kPlatformVirtual)->Unit(benchmark::kMillisecond);
