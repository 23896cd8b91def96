// Start-up's loading: the 50 sounds of the menu and score banks read, restored, copied into
// buffers and converted to the device's format. Goal: under 30 ms warm.
//
// Uses the pack named by TAPDASH_PACK_DIR, else the generated pack in build/tapdash or in this
// build's program folder when it is there, else writes a temporary pack of the same files: 16-bit
// mono at 22050 Hz, 1 to 3 s each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "audio/banks.h"
#include "audio/sound.h"
#include "audio/sound_file.h"
#include "platform/soft_audio.h"
#include "tools/wave_file.h"

namespace fs = std::filesystem;

namespace {

// A tone of its own for each file, 16-bit mono at 22050 Hz.
std::string TestSound(double seconds, int index) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * 22050));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(8000 * std::sin(0.05 * (index + 1) * i));
    }
    return StoredWaveBytes(samples, 22050);
}

std::string TemporaryPack() {
    std::string dir = (fs::temp_directory_path() / "tapdash-load-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) return {};
    int index = 0;
    std::set<std::string> written;
    auto write = [&](const char* name) {
        if (!written.insert(PackPath(dir, name)).second) return;
        WritePackFile(dir, name, TestSound(1.0 + (index * 7 % 21) / 10.0, index));
        ++index;
    };
    for (const char* name : kMenuSoundFiles) write(name);
    for (const char* name : kScoreSoundFiles) write(name);
    return dir + "/";
}

std::string PackDir(bool* temporary) {
    *temporary = false;
    if (const char* named = std::getenv("TAPDASH_PACK_DIR")) return std::string(named) + "/";
    for (const std::string built :
         {TAPDASH_SOURCE_DIR "/build/tapdash/", TAPDASH_PROGRAM_DIR "/"}) {
        if (fs::exists(built + "menu/start_game.vgz") && fs::exists(built + "score/0.vgz")) {
            return built;
        }
    }
    *temporary = true;
    return TemporaryPack();
}

void ReleaseMenuBank() {
    ReleaseBank(g_menuSounds, kMenuSoundCount);
}

void BM_LoadStartUpSounds(benchmark::State& state) {
    bool temporary = false;
    g_programDir = PackDir(&temporary);
    PlatformSelectReal();
    // Buffers need an open device; this one plays nothing by itself.
    SoftAudioOpen(&kSoftAudioManualDevice);
    uint64_t bytes = 0;
    for (auto _ : state) {
        if (!LoadBank(g_menuSounds, kMenuSoundFiles, kMenuSoundCount, ReleaseMenuBank) ||
            !LoadScoreSounds()) {
            state.SkipWithError(("the pack in " + g_programDir + " is incomplete").c_str());
            break;
        }
        state.PauseTiming();
        ReleaseScoreSounds();
        ReleaseMenuBank();
        state.ResumeTiming();
    }
    for (const char* name : kMenuSoundFiles)
        bytes += fs::file_size(PlatformResolvePath((g_programDir + name).c_str()));
    for (const char* name : kScoreSoundFiles)
        bytes += fs::file_size(PlatformResolvePath((g_programDir + name).c_str()));
    state.counters["sounds"] = kMenuSoundCount + kScoreSoundCount;
    state.counters["MB_read"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel(temporary ? "temporary pack" : g_programDir);
    SoftAudioClose();
    if (temporary) fs::remove_all(g_programDir);
}
BENCHMARK(BM_LoadStartUpSounds)->Unit(benchmark::kMillisecond);

// The reading alone (the files read and restored, nothing created): what the loading costs
// beyond it is the buffers, the copies and the conversion to the device's format.
void BM_ReadStartUpSoundFiles(benchmark::State& state) {
    bool temporary = false;
    g_programDir = PackDir(&temporary);
    for (auto _ : state) {
        for (const char* name : kMenuSoundFiles) benchmark::DoNotOptimize(ReadSoundFile(name));
        for (const char* name : kScoreSoundFiles) benchmark::DoNotOptimize(ReadSoundFile(name));
    }
    if (temporary) fs::remove_all(g_programDir);
}
BENCHMARK(BM_ReadStartUpSoundFiles)->Unit(benchmark::kMillisecond);

}  // namespace
