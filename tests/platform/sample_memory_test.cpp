// The memory that sound buffers keep their samples in: a level's sounds, loaded and released
// game after game, reuse the same room, and every new sound starts as silence.
#include "platform/sound/sample_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool AllZero(const uint8_t* memory, size_t bytes) {
    return std::all_of(memory, memory + bytes, [](uint8_t b) { return b == 0; });
}

// The sizes of a level's sounds: characters of 800 ms and cues, 16-bit at 48000 Hz.
std::vector<size_t> LevelSizes() {
    std::vector<size_t> sizes;
    for (int i = 0; i < 51; ++i) sizes.push_back(i < 5 ? 3000 + 11111 * i : 76800 + 2 * i);
    return sizes;
}

TEST(SampleMemoryTest, GameAfterGameTheLevelsSoundsReuseTheirRoomAndStartSilent) {
    const SampleMemoryUse before = SampleMemoryInUse();
    std::vector<uint8_t*> menu;
    for (size_t bytes : {83892, 1152000, 31764}) menu.push_back(SampleMemoryAllocate(bytes));

    size_t mappedAfterFirstGame = 0;
    for (int game = 0; game < 3; ++game) {
        std::vector<uint8_t*> level;
        for (size_t bytes : LevelSizes()) {
            uint8_t* sound = SampleMemoryAllocate(bytes);
            ASSERT_NE(sound, nullptr);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(sound) % 64, 0u);
            EXPECT_TRUE(AllZero(sound, bytes)) << "game " << game;
            std::memset(sound, 0xAB, bytes);  // the samples the loader writes
            level.push_back(sound);
        }
        if (game == 0) mappedAfterFirstGame = SampleMemoryInUse().mappedBytes;
        EXPECT_EQ(SampleMemoryInUse().mappedBytes, mappedAfterFirstGame) << "game " << game;
        for (uint8_t* sound : level) SampleMemoryFree(sound);  // released in index order
    }
    for (uint8_t* sound : menu) SampleMemoryFree(sound);
    EXPECT_EQ(SampleMemoryInUse().liveBytes, before.liveBytes);
}

TEST(SampleMemoryTest, ASoundLargerThanALargePageAndNoSoundAtAllAreServed) {
    const size_t intro = 5 << 20;
    uint8_t* memory = SampleMemoryAllocate(intro);
    ASSERT_NE(memory, nullptr);
    EXPECT_TRUE(AllZero(memory, intro));
    memory[intro - 1] = 1;
    uint8_t* empty = SampleMemoryAllocate(0);
    EXPECT_NE(empty, nullptr);
    EXPECT_NE(empty, memory);
    SampleMemoryFree(empty);
    SampleMemoryFree(memory);
    SampleMemoryFree(nullptr);
}

}  // namespace
