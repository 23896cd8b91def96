// Loading and playing sounds, one at a time and by whole banks, as the game modes use them, on
// the virtual device.
#include "audio/sound.h"

#include <gtest/gtest.h>

#include "app/game_app.h"
#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "platform/virtual/virtual.h"
#include "tests/support/test_pack.h"

namespace {

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VirtualReset();
        dir_ = MakeScratchDir();
        g_programDir = dir_;
        // Letters last 700 ms, everything else a second (8-bit mono at 1000 Hz: 1 byte a ms).
        WriteTestPack(dir_, [](const std::string& name) {
            return name.rfind("level1\\", 0) == 0 && name.size() == 12 ? 700 : 1000;
        });
        ASSERT_EQ(CreateSoundDevice(), 1);
    }
    void TearDown() override {
        ReleaseScoreSounds();
        ReleaseBank(g_menuSounds, kMenuSoundCount);
        ReleaseSoundDevice();
    }
    std::string dir_;
};

TEST_F(SoundTest, ALetterPlaysForItsLengthFromWhereverItIsAimed) {
    Sound letter = LoadSound("level1\\B.vgz");
    ASSERT_NE(letter, nullptr);
    VirtualClearCalls();

    PlaySoundOnce(letter, -3000, -800);
    const auto plays = VirtualCallsOf("Play", "level1\\B.vgz");
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].a, -3000);
    EXPECT_EQ(plays[0].b, -800);
    EXPECT_EQ(plays[0].x, 0);
    EXPECT_EQ(VirtualCallsOf("SetPosition", "level1\\B.vgz").at(0).a, 0);
    EXPECT_EQ(IsSoundPlaying(letter), 1);
    EXPECT_EQ(IsSoundLooping(letter), 0);

    VirtualAdvance(699);
    EXPECT_EQ(IsSoundPlaying(letter), 1);
    VirtualAdvance(1);
    EXPECT_EQ(IsSoundPlaying(letter), 0);

    // The next repeat, louder, from the right; a volume above full is refused and the last one
    // stays in force.
    PlaySoundOnce(letter, 3000, -400);
    PlaySoundOnce(letter, 3000, 100);
    EXPECT_EQ(VirtualBuffer("level1\\B.vgz").volume, -400);
    EXPECT_EQ(VirtualCallsOf("Play", "level1\\B.vgz").back().b, -400);
}

TEST_F(SoundTest, MusicLoopsUntilStoppedAndAReplayStartsOver) {
    Sound music = LoadSound("menu\\bgrn.vgz");
    PlaySoundLooping(music, 0, 0);
    VirtualAdvance(5500);
    EXPECT_EQ(IsSoundLooping(music), 1);
    EXPECT_EQ(IsSoundPlaying(music), 0);
    EXPECT_EQ(VirtualBuffer("menu\\bgrn.vgz").status, 5u);
    StopSound(music);
    EXPECT_EQ(IsSoundLooping(music), 0);

    // Half-way through, a replay rewinds: the sound again lasts its full second.
    Sound item = LoadSound("menu\\quit.vgz");
    PlaySoundOnce(item, 0, 0);
    VirtualAdvance(500);
    PlaySoundOnce(item, 0, 0);
    VirtualAdvance(999);
    EXPECT_EQ(IsSoundPlaying(item), 1);
    VirtualAdvance(1);
    EXPECT_EQ(IsSoundPlaying(item), 0);
}

TEST_F(SoundTest, PlayAndWaitHoldsTheGameUntilTheMessageHasBeenSpoken) {
    Sound message = LoadSound(kExitSoundFile);
    const uint64_t start = VirtualNowMs();
    PlaySoundAndWait(message, 0, 0);
    EXPECT_GE(VirtualNowMs() - start, 1000u);
    EXPECT_LE(VirtualNowMs() - start, 1002u);
    EXPECT_EQ(IsSoundPlaying(message), 0);
}

TEST_F(SoundTest, NoSoundIsSilentAndFinished) {
    VirtualClearCalls();
    PlaySoundOnce(nullptr, 0, 0);
    PlaySoundLooping(nullptr, 0, 0);
    PlaySoundAndWait(nullptr, 0, 0);
    StopSound(nullptr);
    ReleaseSound(nullptr);
    EXPECT_EQ(IsSoundPlaying(nullptr), 0);
    EXPECT_EQ(IsSoundLooping(nullptr), 0);
    EXPECT_TRUE(VirtualCalls().empty());
    EXPECT_EQ(VirtualNowMs(), 0u);
}

TEST_F(SoundTest, MissingFileOrRefusedBufferLeavesNothingBehind) {
    RemovePackFile(dir_, "learn\\3.vgz");
    EXPECT_EQ(LoadSound("learn\\3.vgz"), nullptr);
    VirtualFail("CreateBuffer");
    EXPECT_EQ(LoadSound("learn\\2.vgz"), nullptr);
    VirtualFail("Lock");
    EXPECT_EQ(LoadSound("learn\\2.vgz"), nullptr);
    EXPECT_EQ(VirtualLiveBuffers(), 0);
    EXPECT_NE(LoadSound("learn\\2.vgz"), nullptr);
    EXPECT_EQ(VirtualLiveBuffers(), 1);
}

TEST_F(SoundTest, SpeakerTestSoundsArePlacedAroundTheListener) {
    Sound rearLeft = LoadSound3D("TestSpk\\f_left1.vgz");
    ASSERT_NE(rearLeft, nullptr);  // the substituted 3D algorithm is accepted
    PlatformBuffer3D placement = nullptr;
    ASSERT_EQ(PlatformBufferGet3D(rearLeft, &placement), 0);
    PlatformBuffer3DSetMinDistance(placement, 10.0f);
    PlatformBuffer3DSetPosition(placement, -8, 0, -5);
    PlaySoundAndWait(rearLeft, 2000, -300);

    const VirtualBufferState state = VirtualBuffer("TestSpk\\f_left1.vgz");
    EXPECT_TRUE(state.is3D);
    EXPECT_EQ(state.minDistance, 10.0f);
    EXPECT_EQ(state.x, -8.0f);
    EXPECT_EQ(state.z, -5.0f);
    const VirtualCall play = VirtualCallsOf("Play", "f_left1").at(0);
    EXPECT_EQ(play.a, 0);  // no pan on a placed sound
    EXPECT_EQ(play.b, -300);

    // A plain sound has no 3D interface; the placed one goes when both are released.
    Sound plain = LoadSound("TestSpk\\f_left.vgz");
    PlatformBuffer3D none = nullptr;
    EXPECT_LT(PlatformBufferGet3D(plain, &none), 0);
    SoundSlot slots[2] = {{rearLeft, placement, 1}, {plain, nullptr, 0}};
    ReleaseSlotBank(slots, 2);
    EXPECT_EQ(slots[0].sound, nullptr);
    EXPECT_EQ(slots[0].buffer3D, nullptr);
    EXPECT_EQ(VirtualLiveBuffers(), 0);
    EXPECT_EQ(VirtualCallsOf("Release3D", "f_left1").size(), 1u);
}

TEST_F(SoundTest, NoDeviceMeansNoGame) {
    ReleaseSoundDevice();
    VirtualFail("AudioOpen");
    EXPECT_EQ(CreateSoundDevice(), 0);
    EXPECT_EQ(g_soundDevice, 0);
}

void ReleaseMenuBank() {
    ReleaseBank(g_menuSounds, kMenuSoundCount);
}

TEST_F(SoundTest, StartUpBanksGiveRepeatedFilesTheirOwnBuffers) {
    ASSERT_EQ(LoadBank(g_menuSounds, kMenuSoundFiles, kMenuSoundCount, ReleaseMenuBank), 1);
    ASSERT_EQ(LoadScoreSounds(), 1);
    EXPECT_EQ(VirtualLiveBuffers(), 50);
    EXPECT_EQ(VirtualCallsOf("Label", "menu\\start_game.vgz").size(), 2u);
    EXPECT_EQ(VirtualCallsOf("Label", "menu\\bgrn.vgz").size(), 2u);
    EXPECT_NE(g_menuSounds[kMenuSlotMusic], g_menuSounds[kMenuSlotMusic + 1]);

    // The menu's items stop; its music plays on.
    PlaySoundLooping(g_menuSounds[kMenuSlotMusic], 0, 0);
    PlaySoundOnce(g_menuSounds[kMenuSlotStartGame], 0, 0);
    StopBank(g_menuSounds, kMenuSlotInstructions, kMenuSlotQuit);
    EXPECT_EQ(IsSoundPlaying(g_menuSounds[kMenuSlotStartGame]), 0);
    EXPECT_EQ(IsSoundLooping(g_menuSounds[kMenuSlotMusic]), 1);

    ReleaseScoreSounds();
    for (Sound sound : g_scoreSounds) EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(VirtualLiveBuffers(), 12);
}

// A bank with a file missing releases all it loaded before it: 37 files before the last, none
// before the first.
TEST_F(SoundTest, ABankWithAFileMissingReleasesEverythingItLoaded) {
    const std::pair<const char*, size_t> cases[] = {{"game\\not_enough.vgz", 37},
                                                    {"score\\0.vgz", 0}};
    for (const auto& [missing, loaded] : cases) {
        SCOPED_TRACE(missing);
        VirtualClearCalls();
        RemovePackFile(dir_, missing);
        EXPECT_EQ(LoadScoreSounds(), 0);
        EXPECT_EQ(VirtualLiveBuffers(), 0);
        EXPECT_EQ(VirtualCallsOf("CreateBuffer").size(), loaded);
        EXPECT_EQ(VirtualCallsOf("Release").size(), loaded);
        for (Sound sound : g_scoreSounds) EXPECT_EQ(sound, nullptr);
    }
}

}  // namespace
