// Sounds at rates other than the device's, converted as they are loaded: the cost per second of
// sound, and how far below the tone its images lie (goal: at least 60 dB). resample_bench
// measures libsoxr (Linux), resample_sinc_bench our own windowed sinc (Windows, the browser, whose
// pack comes at 16000 Hz and is converted as it loads).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/sound/resample.h"

namespace {

constexpr uint32_t kOutputRate = 48000;

std::vector<uint8_t> Tone16(double hz, uint32_t rate, uint32_t frames) {
    std::vector<uint8_t> pcm;
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t v =
            static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * hz * i / rate)));
        pcm.push_back(static_cast<uint8_t>(v & 0xFF));
        pcm.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return pcm;
}

// The level at `hz` relative to the tone's, over the middle half (Hann window).
double LevelDb(const std::vector<int16_t>& s, double hz) {
    const size_t first = s.size() / 4, count = s.size() / 2;
    double re = 0, im = 0, windowSum = 0;
    for (size_t n = 0; n < count; ++n) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / count);
        const double phase = 2 * M_PI * hz * (first + n) / kOutputRate;
        re += w * s[first + n] * std::cos(phase);
        im -= w * s[first + n] * std::sin(phase);
        windowSum += w;
    }
    return 20 * std::log10(2 * std::hypot(re, im) / windowSum / 16000);
}

// One second of a tone at `rate`, converted to the device's rate; the counter is its loudest
// image (at rate - tone and rate + tone, folded back below 24 kHz).
void Convert(benchmark::State& state, uint32_t rate, double toneHz) {
    const std::vector<uint8_t> pcm = Tone16(toneHz, rate, rate);
    std::vector<int16_t> out(ConvertedFrames(rate, rate, kOutputRate));
    for (auto _ : state) {
        ConvertPcm(pcm.data(), rate, 1, 16, rate, kOutputRate, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    double loudest = -200;
    for (double image : {rate - toneHz, rate + toneHz}) {
        const double folded = image > kOutputRate / 2.0 ? kOutputRate - image : image;
        if (folded < kOutputRate / 2.0) loudest = std::max(loudest, LevelDb(out, folded));
    }
    state.counters["tone_db"] = LevelDb(out, toneHz);
    state.counters["image_db"] = loudest;
}

void BM_ConvertOneSecondFrom22050(benchmark::State& state) {
    Convert(state, 22050, 4000);
}
BENCHMARK(BM_ConvertOneSecondFrom22050)->Unit(benchmark::kMillisecond);

void BM_ConvertOneSecondFrom16000(benchmark::State& state) {
    Convert(state, 16000, 3100);
}
BENCHMARK(BM_ConvertOneSecondFrom16000)->Unit(benchmark::kMillisecond);

void BM_ConvertOneSecondFrom44100(benchmark::State& state) {
    Convert(state, 44100, 4000);
}
BENCHMARK(BM_ConvertOneSecondFrom44100)->Unit(benchmark::kMillisecond);

}  // namespace
