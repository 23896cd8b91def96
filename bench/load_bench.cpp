// Start-up's loading: the 50 sounds of the menu and score banks read, restored, copied into
// buffers and made ready for the mixer. Goals: under 30 ms warm, under 9 ms in a fresh process
// (where the first touches of new memory cost most).
//
// Uses the pack named by TAPDASH_PACK_DIR, else writes a temporary pack of the same files, the
// same bytes on every run: 16-bit mono at the pack's rate, 1 to 3 s each. To compare two builds
// on one pack, write it once (`load_bench --write-pack DIR`) and name it to both.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "audio/banks.h"
#include "audio/sound.h"
#include "audio/sound_file.h"
#include "platform/sound/soft_audio.h"
#include "tools/pack_audio.h"
#include "tools/wave_file.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A tone of its own for each file, 16-bit mono at the pack's rate.
std::string TestSound(double seconds, int index) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * kStoredSampleRate));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(8000 * std::sin(0.05 * (index + 1) * i));
    }
    return StoredWaveBytes(samples, kStoredSampleRate);
}

void WritePack(const std::string& dir) {
    int index = 0;
    std::set<std::string> written;
    auto write = [&](const char* name) {
        if (!written.insert(PackPath(dir, name)).second) return;
        WritePackFile(dir, name, TestSound(1.0 + (index * 7 % 21) / 10.0, index));
        ++index;
    };
    for (const char* name : kMenuSoundFiles) write(name);
    for (const char* name : kScoreSoundFiles) write(name);
}

std::string PackDir(bool* temporary) {
    *temporary = false;
    if (const char* named = std::getenv("TAPDASH_PACK_DIR")) return std::string(named) + "/";
    std::string dir = (fs::temp_directory_path() / "tapdash-load-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) return {};
    *temporary = true;
    WritePack(dir);
    return dir + "/";
}

void ReleaseMenuBank() {
    ReleaseBank(g_menuSounds, kMenuSoundCount);
}

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

double ClockMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

bool LoadStartUpBanks() {
    return LoadBank(g_menuSounds, kMenuSoundFiles, kMenuSoundCount, ReleaseMenuBank) &&
           LoadScoreSounds();
}

void BM_LoadStartUpSounds(benchmark::State& state) {
    bool temporary = false;
    g_programDir = PackDir(&temporary);
    PlatformSelectReal();
    // Buffers need an open device; this one plays nothing by itself.
    SoftAudioOpen(&kSoftAudioManualDevice);
    uint64_t bytes = 0;
    const long faults = MinorFaults();
    for (auto _ : state) {
        if (!LoadStartUpBanks()) {
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
    state.counters["page_faults"] = benchmark::Counter(static_cast<double>(MinorFaults() - faults),
                                                       benchmark::Counter::kAvgIterations);
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

// The child's side: one load of the start-up banks as the game's start-up does it, first thing
// in a new process. Prints "<wall ms> <thread cpu ms> <minor page faults>".
int LoadOnceInThisProcess(const char* programDir) {
    g_programDir = programDir;
    PlatformSelectReal();
    SoftAudioOpen(&kSoftAudioManualDevice);  // buffers need an open device; it plays nothing
    const long faults = MinorFaults();
    const double cpu = ClockMs(CLOCK_THREAD_CPUTIME_ID);
    const double wall = ClockMs(CLOCK_MONOTONIC);
    if (!LoadStartUpBanks()) return 1;
    std::printf("%.4f %.4f %ld\n", ClockMs(CLOCK_MONOTONIC) - wall,
                ClockMs(CLOCK_THREAD_CPUTIME_ID) - cpu, MinorFaults() - faults);
    return 0;
}

// The same load, each iteration in a new process of this program: what start-up pays, with
// every page of the file buffer and of the sounds touched for the first time. The time is the
// child's own measure of its loading (wall clock); counters give its processor time and faults.
void BM_LoadStartUpSoundsInANewProcess(benchmark::State& state) {
    bool temporary = false;
    const std::string dir = PackDir(&temporary);
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<double> cpu, faults;
    for (auto _ : state) {
        int out[2];
        if (pipe(out) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char* argv[] = {self.data(), const_cast<char*>("--load-once"),
                        const_cast<char*>(dir.c_str()), nullptr};
        pid_t child = 0;
        const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char line[128] = {};
        FILE* reader = fdopen(out[0], "r");
        const bool read = reader && std::fgets(line, sizeof line, reader);
        if (reader) std::fclose(reader);
        int status = 0;
        if (spawned == 0) waitpid(child, &status, 0);
        double wallMs = 0, cpuMs = 0;
        long childFaults = 0;
        if (spawned != 0 || !read || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
            std::sscanf(line, "%lf %lf %ld", &wallMs, &cpuMs, &childFaults) != 3) {
            state.SkipWithError(("the pack in " + dir + " did not load").c_str());
            break;
        }
        state.SetIterationTime(wallMs / 1e3);
        cpu.push_back(cpuMs);
        faults.push_back(static_cast<double>(childFaults));
    }
    if (!cpu.empty()) {
        std::sort(cpu.begin(), cpu.end());
        std::sort(faults.begin(), faults.end());
        state.counters["cpu_ms_median"] = cpu[cpu.size() / 2];
        state.counters["page_faults_median"] = faults[faults.size() / 2];
    }
    state.SetLabel(temporary ? "temporary pack" : dir);
    if (temporary) fs::remove_all(dir);
}
BENCHMARK(BM_LoadStartUpSoundsInANewProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load-once") == 0) {
        return LoadOnceInThisProcess(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--write-pack") == 0) {
        std::error_code error;
        fs::create_directories(argv[2], error);
        WritePack(argv[2]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
