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
#include <string>
#include <vector>

#include "app/game_app.h"
#include "audio/banks.h"
#include "audio/sound.h"
#include "game/level.h"
#include "platform/platform.h"
#include "platform/virtual/virtual.h"
#include "tools/wave_file.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kRate = 22050;

// A buzz of the given length, 16-bit mono at 22050 Hz.
std::string TestSound(double seconds) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>((i % 50) * 600 - 15000);
    return StoredWaveBytes(samples, kRate);
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
        WritePackFile(dir, kLevelSoundFiles[slot], TestSound(seconds));
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

// The system's backend, with its device open when there is one (SDL's dummy driver otherwise);
// its buffers are made and converted the same either way. The virtual backend keeps the samples
// as they are, which leaves the game's own part of the work.
bool OpenDevice(PlatformKind kind) {
    if (kind == kPlatformVirtual) {
        VirtualReset();
        return CreateSoundDevice() != 0;
    }
    PlatformSelectReal();
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

BENCHMARK_CAPTURE(BM_StartLevel, system, kPlatformReal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartLevel, virtual, kPlatformVirtual)->Unit(benchmark::kMillisecond);
