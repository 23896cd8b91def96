// The generated sound pack: every sound the game loads is there, loads, and lasts as long as
// its role needs; the generator always writes the same bytes.
#include "tools/sound_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "app/game_app.h"
#include "audio/banks.h"
#include "audio/sound_file.h"
#include "platform/virtual/virtual.h"
#include "tests/support/test_pack.h"
#include "tools/cues.h"
#include "tools/pack_audio.h"
#include "tools/script.h"
#include "tools/speech.h"
#include "tools/tone_pack.h"
#include "tools/wave_file.h"

namespace {

const std::string kBuiltPack = std::string(TAPDASH_PROGRAM_DIR) + "/";

bool BuiltPackExists() {
    return std::filesystem::exists(kBuiltPack + "menu/arrows.vgz") &&
           std::filesystem::exists(kBuiltPack + "level1/bgrn.vgz");
}

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

// Reads a file of the program folder through the game's own reader; its length in ms.
int LengthMsThroughGameReader(const std::string& name) {
    if (ReadSoundFile(name.c_str()) != 1) return -1;
    uint32_t bytesPerSecond = Le32(g_fileBuffer + kSoundFileFormatOffset + 8);
    uint32_t dataBytes = Le32(g_fileBuffer + kSoundFileDataLengthOffset);
    return bytesPerSecond == 0 ? -1 : int(uint64_t(dataBytes) * 1000 / bytesPerSecond);
}

bool IsLoop(const std::string& name) {
    return name.find("bgrn") != std::string::npos;
}
bool IsCue(const std::string& name) {
    for (const char* cue : {"key", "blust", "success", "err"})
        if (SameFileName(name, std::string("level1\\") + cue + ".vgz")) return true;
    return false;
}
bool IsCharacter(const std::string& name) {
    return SameFileName(name.substr(0, 7), "level1\\") && !IsLoop(name) && !IsCue(name);
}

TEST(SoundPackTest, EveryLoadSlotOfEveryBankLoadsFromTheBuiltPackAndFitsItsRole) {
    if (!BuiltPackExists()) GTEST_SKIP() << "no sound pack in " << kBuiltPack;
    VirtualReset();
    g_programDir = kBuiltPack;
    int slots = 0;
    for (const SoundFileList& bank : kSoundFileLists) {
        for (int i = 0; i < bank.count; ++i, ++slots) {
            const std::string name = bank.files[i];
            SCOPED_TRACE("slot " + std::to_string(i) + ": " + name);
            bool threeD = bank.files == kSpeakerTestSoundFiles;
            Sound sound = threeD ? LoadSound3D(name.c_str()) : LoadSound(name.c_str());
            EXPECT_NE(sound, nullptr);
            ReleaseSound(sound);

            int ms = LengthMsThroughGameReader(name);
            if (IsLoop(name)) {
                EXPECT_GE(ms, 8000);
                EXPECT_LE(ms, 16000);
            } else if (IsCue(name)) {
                EXPECT_GT(ms, 0);
                EXPECT_LT(ms, 500);
                if (SameFileName(name, "level1\\key.vgz")) {
                    EXPECT_LT(ms, 40);
                }
            } else if (IsCharacter(name)) {
                // A character lasts about 0.8 s, which sets the pace of a game.
                EXPECT_GE(ms, 750);
                EXPECT_LE(ms, 850);
            } else {
                EXPECT_GT(ms, 150);  // a spoken phrase
                EXPECT_LT(ms, 30000);
            }
        }
    }
    EXPECT_EQ(slots, 125);
}

// The samples of a pack file, restored from its stored form.
std::vector<int16_t> PackSamples(const std::string& dir, const std::string& name) {
    std::string bytes = ReadFileBytes(PackPath(dir, name));
    if (bytes.size() < size_t(kScrambledPrefixBytes)) return {};
    std::reverse(bytes.begin(), bytes.begin() + kScrambledPrefixBytes);
    std::vector<int16_t> samples;
    for (size_t i = kSoundFileHeaderBytes; i + 1 < bytes.size(); i += 2)
        samples.push_back(int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
    return samples;
}

float PeakDb(const std::vector<int16_t>& samples) {
    int peak = 1;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
    return 20.0f * std::log10(peak / 32767.0f);
}

TEST(SoundPackTest, SpeechIsEvenedNearFullScaleAndTheLoopsStayQuietBelowIt) {
    if (!BuiltPackExists()) GTEST_SKIP() << "no sound pack in " << kBuiltPack;
    for (const char* spoken : {"menu\\start_game.vgz", "level1\\W.vgz", "game\\game_intro.vgz",
                               "score\\7.vgz", "TestSpk\\f_right1.vgz"}) {
        EXPECT_NEAR(PeakDb(PackSamples(kBuiltPack, spoken)), -1.0f, 0.1f) << spoken;
    }
    EXPECT_NEAR(PeakDb(PackSamples(kBuiltPack, "menu\\bgrn.vgz")), -18.0f, 0.5f);
    EXPECT_NEAR(PeakDb(PackSamples(kBuiltPack, "level1\\bgrn.vgz")), -18.0f, 0.5f);
}

TEST(SoundPackTest, BackgroundLoopsWrapAroundWithoutAClick) {
    if (!BuiltPackExists()) GTEST_SKIP() << "no sound pack in " << kBuiltPack;
    for (const char* loop : {"menu\\bgrn.vgz", "level1\\bgrn.vgz"}) {
        std::vector<int16_t> s = PackSamples(kBuiltPack, loop);
        ASSERT_GT(s.size(), 2u);
        int largestStep = 0;
        for (size_t i = 1; i < s.size(); ++i)
            largestStep = std::max(largestStep, std::abs(s[i] - s[i - 1]));
        // Going from the last sample back to the first is a step like any other in the music.
        EXPECT_LE(std::abs(s.front() - s.back()), largestStep) << loop;
    }
}

// The share of a loop above `hz`: `stages` second-order high-passes in a row, run over the loop
// twice so that they have settled.
std::vector<double> HighPassed(const Signal& loop, double hz, int stages) {
    const double w = 2 * M_PI * hz / kPackSampleRate, alpha = std::sin(w) / std::sqrt(2.0);
    const double b[3] = {(1 + std::cos(w)) / 2, -(1 + std::cos(w)), (1 + std::cos(w)) / 2};
    const double a[3] = {1 + alpha, -2 * std::cos(w), 1 - alpha};
    std::vector<std::array<double, 4>> state(stages, {0, 0, 0, 0});  // x1, x2, y1, y2
    std::vector<double> band(loop.size());
    for (size_t n = 0; n < 2 * loop.size(); ++n) {
        double v = loop[n % loop.size()];
        for (std::array<double, 4>& z : state) {
            double out = (b[0] * v + b[1] * z[0] + b[2] * z[1] - a[1] * z[2] - a[2] * z[3]) / a[0];
            z = {v, z[0], out, z[2]};
            v = out;
        }
        band[n % loop.size()] = v;
    }
    return band;
}

// How far (dB) the share of a loop above `hz` stays below the whole.
double ShareAboveDbBelowWhole(const Signal& loop, double hz, int stages) {
    double band = 0, whole = 0;
    for (float v : loop) whole += double(v) * v;
    for (double v : HighPassed(loop, hz, stages)) band += v * v;
    return 10 * std::log10(whole / band);
}

TEST(SoundPackTest, TheMusicKeepsOutOfTheVoicesPitchAndTheBandWhereTheCharactersHissAndBurst) {
    // A character's first play is 8 dB below the file over the level's loop. Above 2 kHz lie the
    // hiss and bursts of F, S and T: ticks or bell overtones there mask them. Above 1 kHz lies the
    // vowels' second formant: a bell overtone there turned "view top ten" into "eleven". Above
    // 100 Hz lies the voices' pitch: a bass note there sounds like voicing and turns "tee" into
    // "gee".
    const struct {
        const char* what;
        Signal loop;
        double hz;
        int stages;
        double minDb;
    } cases[] = {
        {"level loop above 2 kHz", GameLoop(), 2000, 2, 45},
        {"menu loop above 2 kHz", MenuLoop(), 2000, 2, 28},
        {"menu loop above 1 kHz", MenuLoop(), 1000, 2, 25},
        {"level loop above 100 Hz", GameLoop(), 100, 4, 20},
    };
    for (const auto& c : cases)
        EXPECT_GT(ShareAboveDbBelowWhole(c.loop, c.hz, c.stages), c.minDb) << c.what;
}

TEST(SoundPackTest, TheLevelsTicksDieAwayBeforeTheVowelAfterAT) {
    // A tick's tail reaching into the vowel after a "t" sounds like voicing: "tee" was heard as
    // "gee". The ticks fall on the off-beats (120 a minute); above 300 Hz the bass is gone.
    const std::vector<double> ticks = HighPassed(GameLoop(), 300, 4);
    double head = 0, tail = 0;
    for (int beat = 0; beat < 16; ++beat) {
        const size_t at = size_t((beat + 0.5) * 0.5 * kPackSampleRate);
        for (int i = 0; i < SamplesForMs(80); ++i) {
            const double v = ticks[(at + i) % ticks.size()];
            if (i < SamplesForMs(10)) head += v * v;
            if (i >= SamplesForMs(25)) tail += v * v;
        }
    }
    EXPECT_GT(10 * std::log10(head / tail), 30) << "from 25 ms on, below the first 10 ms";
}

// The level of the component at `hz`, in dB relative to `reference` (full scale = 1), over the
// middle half of the samples (Hann window).
double ComponentDb(const std::vector<int16_t>& s, double hz, double rate, double reference) {
    const size_t first = s.size() / 4, count = s.size() / 2;
    double re = 0, im = 0, windowSum = 0;
    for (size_t n = 0; n < count; ++n) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / count);
        const double phase = 2 * M_PI * hz * double(first + n) / rate;
        re += w * s[first + n] / 32768.0 * std::cos(phase);
        im -= w * s[first + n] / 32768.0 * std::sin(phase);
        windowSum += w;
    }
    return 20 * std::log10(2 * std::hypot(re, im) / windowSum / reference);
}

TEST(SoundPackTest, FilesAreStoredAtTheDeviceRateKeepingLengthPeakAndNoAudibleImages) {
    // A bright cue's partial at 5.1 kHz, made at the voices' rate: stored at the device's rate it
    // lasts as long, peaks as high, and its images (at 16000 -+ 5100 Hz) stay 60 dB below it.
    Signal cue(SamplesForMs(500));
    for (size_t i = 0; i < cue.size(); ++i)
        cue[i] = 0.5f * float(std::sin(2 * M_PI * 5100.0 * double(i) / kPackSampleRate));
    const std::vector<int16_t> made = ToPcm(cue);
    const std::vector<int16_t> stored = AtStoredRate(made);
    ASSERT_EQ(stored.size(), made.size() * kStoredSampleRate / kPackSampleRate);
    EXPECT_NEAR(PeakDb(stored), PeakDb(made), 0.01);
    EXPECT_NEAR(ComponentDb(stored, 5100, kStoredSampleRate, 0.5), 0.0, 0.1);
    EXPECT_LT(ComponentDb(stored, 10900, kStoredSampleRate, 0.5), -60.0);
    EXPECT_LT(ComponentDb(stored, 21100, kStoredSampleRate, 0.5), -60.0);

    if (!BuiltPackExists()) return;
    VirtualReset();
    g_programDir = kBuiltPack;
    ASSERT_EQ(ReadSoundFile("menu\\arrows.vgz"), 1);
    EXPECT_EQ(Le32(g_fileBuffer + kSoundFileFormatOffset + 4), uint32_t(kStoredSampleRate));
}

TEST(SoundPackTest, TheBrowsersPackHoldsTheSoundsAsMadeAtTheVoicesRate) {
    const std::vector<int16_t> made = {0, 1000, -1000, 32767, -32768, 5};
    const std::string dir = MakeScratchDir();
    std::string error;
    ASSERT_TRUE(WritePack(dir, {{"menu\\arrows.vgz", made}}, &error, kPackSampleRate)) << error;
    VirtualReset();
    g_programDir = dir;
    ASSERT_EQ(ReadSoundFile("menu\\arrows.vgz"), 1);
    EXPECT_EQ(Le32(g_fileBuffer + kSoundFileFormatOffset + 4), uint32_t(kPackSampleRate));
    ASSERT_EQ(g_fileBufferBytes, kSoundFileHeaderBytes + int(made.size() * 2));
    const uint8_t* samples = g_fileBuffer + kSoundFileHeaderBytes;
    for (size_t i = 0; i < made.size(); ++i)
        EXPECT_EQ(int16_t(samples[2 * i] | samples[2 * i + 1] << 8), made[i]);
}

TEST(SoundPackTest, TwoRunsOfTheGeneratorWriteTheSameBytes) {
    std::vector<PackSound> sounds;
    std::string error;
    ASSERT_TRUE(MakeSoundPack(&sounds, &error)) << error;
    ASSERT_EQ(sounds.size(), 118u);
    const std::string dir = MakeScratchDir();
    ASSERT_TRUE(WritePack(dir, sounds, &error)) << error;
    // The other run: the build's own, in another process; without it, a second one here.
    std::string other = kBuiltPack;
    if (!BuiltPackExists()) {
        other = MakeScratchDir();
        ASSERT_TRUE(MakeSoundPack(&sounds, &error)) << error;
        ASSERT_TRUE(WritePack(other, sounds, &error)) << error;
    }
    for (const PackSound& sound : sounds) {
        EXPECT_TRUE(ReadFileBytes(PackPath(dir, sound.file)) ==
                    ReadFileBytes(PackPath(other, sound.file)))
            << sound.file << " differs between two runs";
    }
}

// How many samples at the start of `s` stay at or below 2% of its peak: the quiet kept before the
// first sound of the words.
size_t QuietSamplesAtStart(const Signal& s) {
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    size_t quiet = 0;
    while (quiet < s.size() && std::fabs(s[quiet]) <= 0.02f * peak) ++quiet;
    return quiet;
}

TEST(SoundPackTest, APhraseKeepsThirtyMsOfQuietBeforeItsWordsAndACharacterFifteen) {
    // The soft start and end of a word lie below the silence threshold: a phrase keeps enough
    // of them to be understood, a character less so that its name fits its 800 ms.
    ASSERT_EQ(OpenSpeech(), 1);
    const ScriptLine phrase = {"score\\15.vgz", kVoiceKal16, kSpokenPhrase, "fifteen"};
    const ScriptLine character = {"level1\\E.vgz", kVoiceRms, kSpokenCharacter, "ee"};
    Signal fifteen = SpeakLine(phrase);
    Signal e = SpeakLine(character);
    EXPECT_EQ(QuietSamplesAtStart(fifteen), size_t(SamplesForMs(30)));
    EXPECT_EQ(QuietSamplesAtStart(e), size_t(SamplesForMs(15)));
    EXPECT_EQ(e.size(), size_t(SamplesForMs(kCharacterMs)));

    // The same cut on a plain signal: 200 ms of silence, 100 ms of sound, a faint tail.
    Signal s(SamplesForMs(200), 0.0f);
    for (int i = 0; i < SamplesForMs(100); ++i) s.push_back(i % 2 ? 0.5f : -0.5f);
    s.resize(s.size() + SamplesForMs(200), 0.005f);
    EXPECT_EQ(TrimToWords(s, 30).size(), size_t(SamplesForMs(160)));
    EXPECT_EQ(TrimToWords(s, 15).size(), size_t(SamplesForMs(130)));
    // A margin longer than the silence keeps what there is; silence alone leaves nothing.
    EXPECT_EQ(TrimToWords(s, 300).size(), s.size());
    EXPECT_TRUE(TrimToWords(Signal(SamplesForMs(100), 0.0f), 30).empty());
}

TEST(SoundPackTest, EveryVoiceOfTheScriptSpeaksAtThePackRate) {
    ASSERT_EQ(OpenSpeech(), 1);
    std::set<std::string> names;
    for (int v = 0; v < kSpeechVoices; ++v) {
        SpeechVoice voice = SpeechVoice(v);
        names.insert(SpeechVoiceName(voice));
        // Speak gives nothing for a voice at another rate, which would play at the wrong pitch.
        EXPECT_GT(Speak("double you", voice).size(), size_t(SamplesForMs(200)))
            << SpeechVoiceName(voice);
    }
    EXPECT_EQ(names.size(), size_t(kSpeechVoices));
    for (int i = 0; i < kScriptLines; ++i)
        EXPECT_TRUE(kScript[i].voice >= 0 && kScript[i].voice < kSpeechVoices) << kScript[i].file;
}

TEST(TonePackTest, EveryFileIsATestToneOfItsOwnFrequencyListedInTheTable) {
    std::vector<ToneSpec> specs = ToneSpecs();
    ASSERT_EQ(specs.size(), 118u);
    std::set<int> frequencies;
    for (const ToneSpec& spec : specs) frequencies.insert(spec.frequencyHz);
    EXPECT_EQ(frequencies.size(), specs.size());
    EXPECT_LT(*frequencies.rbegin(), kPackSampleRate / 2);

    // Each tone crosses zero twice a cycle of its own frequency, over its whole length.
    const std::vector<PackSound> tones = MakeTonePack(specs);
    ASSERT_EQ(tones.size(), specs.size());
    for (size_t t = 0; t < tones.size(); ++t) {
        const std::vector<int16_t>& s = tones[t].samples;
        int crossings = 0;
        for (size_t i = 1; i < s.size(); ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
        EXPECT_NEAR(crossings, 2.0 * specs[t].frequencyHz * s.size() / kPackSampleRate, 2)
            << specs[t].file;
    }

    const std::string dir = MakeScratchDir();
    std::string error;
    ASSERT_TRUE(WritePack(dir, tones, &error)) << error;
    VirtualReset();
    g_programDir = dir;
    for (const ToneSpec& spec : specs)
        EXPECT_NEAR(LengthMsThroughGameReader(spec.file), spec.lengthMs, 1) << spec.file;

    // The table names each file with its frequency and length, one line each after a comment.
    std::string table = ToneTableText(specs);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), long(specs.size()) + 1);
    for (const ToneSpec& spec : specs) {
        std::string line = spec.file + " " + std::to_string(spec.frequencyHz) + " " +
                           std::to_string(spec.lengthMs) + " ";
        EXPECT_NE(table.find(line), std::string::npos) << line;
    }
}

}  // namespace
