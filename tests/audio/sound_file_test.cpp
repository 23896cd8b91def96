// The stored form of the game's sound files and the reader that restores it.
#include "audio/sound_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/game_app.h"
#include "tests/support/test_pack.h"

namespace {

void PutLe(std::string& s, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A canonical WAVE file: 16-bit mono 22050 Hz; `dataLength` as the header claims it and
// `dataBytes` bytes of samples actually present.
std::string Wave(uint32_t dataLength, uint32_t dataBytes,
                 uint32_t formatChunkBytes = kSoundFileFormatChunkBytes) {
    std::string wav = "RIFF";
    PutLe(wav, kSoundFileHeaderBytes - 8 + dataLength, 4);
    wav += "WAVEfmt ";
    PutLe(wav, formatChunkBytes, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, 1, 2);
    PutLe(wav, 22050, 4);
    PutLe(wav, 44100, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, dataLength, 4);
    for (uint32_t i = 0; i < dataBytes; ++i) wav.push_back(static_cast<char>('a' + i % 26));
    return wav;
}

std::string Stored(std::string wav) {
    for (size_t i = 0; i < kScrambledPrefixBytes / 2 && i < wav.size(); ++i)
        std::swap(wav[i], wav[kScrambledPrefixBytes - 1 - i]);
    return wav;
}

std::string BufferBytes(size_t n) {
    return std::string(reinterpret_cast<char*>(g_fileBuffer), n);
}

class SoundFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeScratchDir();
        g_programDir = dir_;
    }
    void Put(const std::string& relative, const std::string& bytes) {
        std::string path = dir_ + relative;
        for (char& c : path) c = c == '\\' ? '/' : c;
        WriteFileBytes(path, bytes);
    }
    std::string dir_;
};

TEST_F(SoundFileTest, StoredFileComesBackAsTheWaveItHides) {
    // 50 bytes: the header and 6 bytes of samples, all of them stored in reverse order.
    const std::string wav50 = Wave(6, 6);
    ASSERT_EQ(wav50.size(), size_t(kScrambledPrefixBytes));
    Put("score\\hundred.vgz", std::string(wav50.rbegin(), wav50.rend()));
    ASSERT_EQ(ReadSoundFile("score\\hundred.vgz"), 1);
    EXPECT_EQ(BufferBytes(kScrambledPrefixBytes), wav50);
    EXPECT_EQ(g_fileBufferBytes, kScrambledPrefixBytes);

    // From byte 50 on nothing is touched; the game-over message with its .wav name is the same.
    const std::string wav60 = Wave(16, 16);
    Put("game\\say_game_over.wav", Stored(wav60));
    ASSERT_EQ(ReadSoundFile("game\\say_game_over.wav"), 1);
    EXPECT_EQ(BufferBytes(60), wav60);
}

TEST_F(SoundFileTest, MissingEmptyTruncatedOrLyingFilesAreRefused) {
    EXPECT_EQ(ReadSoundFile("menu\\quit.vgz"), 0) << "missing";
    const struct {
        const char* what;
        std::string bytes;
        int read;
    } files[] = {
        {"empty", "", 0},
        {"shorter than a header", Stored(Wave(100, 100)).substr(0, kSoundFileHeaderBytes - 1), 0},
        {"claims more samples than it holds", Stored(Wave(1000, 999)), 0},
        // An extended format chunk would put the data elsewhere than the loader takes it from.
        {"extended format chunk", Stored(Wave(100, 100, 18)), 0},
        {"never scrambled", Wave(100, 100), 0},
        {"honest", Stored(Wave(1000, 1000)), 1},
    };
    for (const auto& file : files) {
        Put("menu\\quit.vgz", file.bytes);
        EXPECT_EQ(ReadSoundFile("menu\\quit.vgz"), file.read) << file.what;
    }
}

TEST_F(SoundFileTest, OversizedFileIsReadUpToTheBufferSize) {
    const uint32_t total = kMaxSoundFileBytes + 1;
    std::string wav =
        Wave(kMaxSoundFileBytes - kSoundFileHeaderBytes, total - kSoundFileHeaderBytes);
    wav.back() = 'X';
    Put("game\\game_intro.vgz", Stored(wav));
    ASSERT_EQ(ReadSoundFile("game\\game_intro.vgz"), 1);
    EXPECT_EQ(g_fileBufferBytes, kMaxSoundFileBytes);
    EXPECT_EQ(g_fileBuffer[kMaxSoundFileBytes - 1],
              static_cast<uint8_t>(wav[kMaxSoundFileBytes - 1]));
}

}  // namespace
