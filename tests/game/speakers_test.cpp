// The speaker test: four sounds around the listener, each followed by a second of silence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/menu.h"
#include "game/state.h"
#include "platform/key_codes.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_pack.h"

namespace {

constexpr int kStartupBuffers = kMenuSoundCount + kScoreSoundCount;

struct Expected {
    const char* file;
    int lengthMs;
    float x, z;
};

const Expected kFrontLeft = {"TestSpk\\f_left.vgz", 300, -1, 5};
const Expected kFrontRight = {"TestSpk\\f_right.vgz", 400, 1, 5};
const Expected kRearLeft = {"TestSpk\\f_left1.vgz", 500, -8, -5};
const Expected kRearRight = {"TestSpk\\f_right1.vgz", 600, 8, -5};
const Expected kInOrder[] = {kFrontLeft, kFrontRight, kRearLeft, kRearRight};

class SpeakerTest : public GameFixture {
  protected:
    int SoundLengthMs(const std::string& name) override {
        for (const Expected& e : kInOrder) {
            if (name == e.file) return e.lengthMs;
        }
        return 1000;
    }

    void SetUp() override {
        GameFixture::SetUp();
        SkipToMenu();
        MenuDownTo(kMenuSlotTestSpeakers);
        VirtualClearCalls();
    }

    // Checks one whole run that began at `start`; returns when it should have ended.
    uint64_t ExpectOneRun(uint64_t start) {
        uint64_t at = start;
        for (const Expected& e : kInOrder) {
            std::vector<VirtualCall> plays = VirtualCallsOf("Play", e.file);
            std::vector<VirtualCall> places = VirtualCallsOf("SetPosition3D", e.file);
            std::vector<VirtualCall> distances = VirtualCallsOf("SetMinDistance", e.file);
            EXPECT_EQ(plays.size(), 1u) << e.file;
            EXPECT_EQ(places.size(), 1u) << e.file;
            EXPECT_EQ(distances.size(), 1u) << e.file;
            if (plays.size() != 1 || places.size() != 1 || distances.size() != 1) return at;
            EXPECT_EQ(plays[0].timeMs, at) << e.file;
            EXPECT_EQ(places[0].x, e.x) << e.file;
            EXPECT_EQ(places[0].y, 0.0f) << e.file;
            EXPECT_EQ(places[0].z, e.z) << e.file;
            EXPECT_EQ(distances[0].x, 10.0f) << e.file;
            at += e.lengthMs + 1000;
        }
        return at;
    }
};

}  // namespace

TEST_F(SpeakerTest, FourSoundsFrontThenRearLeftThenRightEachFollowedByASecond) {
    uint64_t start = VirtualNowMs();
    VirtualPress(kKeyEnter);
    VirtualRunFor(0);

    uint64_t end = ExpectOneRun(start);
    EXPECT_EQ(end, start + 1800 + 4000);
    std::vector<VirtualCall> pauses = VirtualCallsOf("Sleep");
    ASSERT_EQ(pauses.size(), 4u);
    for (const VirtualCall& pause : pauses) EXPECT_EQ(pause.a, 1000);

    // Then the menu speaks its item again over music that never stopped.
    std::vector<VirtualCall> item = VirtualCallsOf("Play", "menu\\test_speakers.vgz");
    ASSERT_EQ(item.size(), 1u);
    EXPECT_EQ(item[0].timeMs, end);
    EXPECT_TRUE(VirtualCallsOf("Play", "menu\\bgrn.vgz").empty());
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers);

    // A second run plays the same sounds at the same points.
    start = VirtualNowMs();
    PlayedAfter({kKeyEnter});
    ExpectOneRun(start);
}

TEST_F(SpeakerTest, KeysPressedDuringTheTestReachTheMenuAfterIt) {
    uint64_t start = VirtualNowMs();
    VirtualPress(kKeyEnter);
    VirtualKeyDownAt(start + 500, kKeyDown);
    VirtualKeyDownAt(start + 2000, kKeyEnter);
    VirtualRunFor(0);

    // The menu speaks its item, then the Down moves on and the Enter chooses Learn game sounds.
    std::vector<std::string> played = PlayedFiles();
    std::vector<std::string> afterTest(played.begin() + 4, played.end());
    EXPECT_EQ(afterTest,
              (std::vector<std::string>{"menu\\test_speakers.vgz", "menu\\learn_game_sounds.vgz",
                                        kLearnSoundFiles[kLearnSlotKeyClickItem]}));
    EXPECT_EQ(VirtualCallsOf("Play", "menu\\learn_game_sounds.vgz")[0].timeMs, start + 5800);
    EXPECT_EQ(g_mode, MODE_LEARN);
}

TEST_F(SpeakerTest, AMissingThirdSoundPlaysNothingAndLeavesNothingLoaded) {
    RemovePackFile(programDir, kRearLeft.file);
    VirtualPress(kKeyEnter);
    VirtualRunFor(0);

    EXPECT_EQ(VirtualCallsOf("Label", kFrontRight.file).size(), 1u);
    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_TRUE(VirtualCallsOf("Sleep").empty());
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers);
    EXPECT_EQ(VirtualBuffer("menu\\bgrn.vgz").status, 5u);  // only the music goes on
}

TEST_F(SpeakerTest, ASoundWithoutItsPlaceInSpacePlaysNothingAndLeavesNothingLoaded) {
    VirtualFail("Get3D");
    VirtualPress(kKeyEnter);
    VirtualRunFor(0);

    EXPECT_TRUE(PlayedFiles().empty());
    EXPECT_EQ(g_mode, MODE_MENU);
    EXPECT_EQ(VirtualLiveBuffers(), kStartupBuffers);
}
