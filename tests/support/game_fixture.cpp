#include "tests/support/game_fixture.h"

#include <algorithm>
#include <filesystem>

#include "app/game_app.h"
#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "audio/music.h"
#include "game/announcer.h"
#include "game/learn.h"
#include "game/level.h"
#include "game/menu.h"
#include "game/practice.h"
#include "game/state.h"
#include "input/controller.h"
#include "input/keyboard.h"
#include "online/submit.h"
#include "platform/key_codes.h"
#include "storage/best_scores.h"
#include "storage/char_stats.h"
#include "storage/player_files.h"
#include "tests/support/test_pack.h"

static std::string s_programDir;

static std::string FixtureProgramDir() {
    return s_programDir;
}

void ResetGameGlobals() {
    g_programDir.clear();
    g_playerDir.clear();
    g_startupOk = 0;
    g_introStarted = 0;
    g_findProgramDir = PlatformProgramDir;
    g_mode = MODE_INTRO;
    g_tickEnabled = 0;
    g_score = 0;
    g_menuIndex = kMenuSlotInstructions;
    ShutdownController();
    g_controllerLive = 0;
    g_learnPos = kLearnSlotKeyClickItem;

    g_lives = g_charIndex = g_charPoolSize = g_volumeStep = 0;
    g_charPan = g_charVolume = g_lastTypedKey = 0;
    g_levelPaused = 0;
    g_practiceStep = kPracticeAsking;
    g_charStats.clear();
    g_statsLaterLines.clear();
    g_musicLevel = kMusicTop;
    g_windowHasKeyboard = 1;
    std::fill(std::begin(g_characters), std::end(g_characters), CharacterEntry{0, 0});
    std::fill(std::begin(g_speech), std::end(g_speech), 0);
    g_speechPos = g_topTenIndex = 0;
    std::fill(std::begin(g_bestScores), std::end(g_bestScores), 0);
    g_bestLastIndex = 0;
    g_submitUrl.clear();

    // The platform's buffers are gone after a reset; the banks must not point at them.
    std::fill(std::begin(g_menuSounds), std::end(g_menuSounds), nullptr);
    std::fill(std::begin(g_scoreSounds), std::end(g_scoreSounds), nullptr);
    std::fill(std::begin(g_levelSounds), std::end(g_levelSounds), SoundSlot{});
    std::fill(std::begin(g_learnSounds), std::end(g_learnSounds), nullptr);
    std::fill(std::begin(g_submitSounds), std::end(g_submitSounds), nullptr);
    std::fill(std::begin(g_speakerTestSounds), std::end(g_speakerTestSounds), SoundSlot{});
    std::fill(std::begin(g_practiceSounds), std::end(g_practiceSounds), nullptr);
    g_introSound = g_gameOverSound = nullptr;
    g_levelListener = nullptr;
    g_soundDevice = 0;
}

void GameFixture::SetUp() {
    PreparePack();
    StartWindow();
}

void GameFixture::TearDown() {
    // Frees whatever the game left loaded.
    VirtualReset();
    ResetGameGlobals();
    if (!programDir.empty()) std::filesystem::remove_all(programDir);
}

int GameFixture::SoundLengthMs(const std::string&) {
    return 1000;
}

void GameFixture::PreparePack() {
    if (!programDir.empty()) std::filesystem::remove_all(programDir);
    VirtualReset();
    ResetGameGlobals();
    VirtualClearCalls();
    programDir = MakeScratchDir();
    WriteTestPack(programDir, [this](const std::string& name) { return SoundLengthMs(name); });
    s_programDir = programDir;
    g_findProgramDir = FixtureProgramDir;
}

void GameFixture::StartWindow() {
    theApp.InitInstance();
}

void GameFixture::SkipToMenu() {
    VirtualRunFor(0);
    VirtualKeyDown(kKeyCtrl);
    VirtualRunFor(0);
    VirtualClearCalls();
}

void GameFixture::MenuDownTo(int menuSlot) {
    for (int i = 0; i < kMenuSoundCount && g_menuIndex != menuSlot; ++i) {
        VirtualPress(kKeyDown);
        VirtualRunFor(0);
    }
    ASSERT_EQ(g_menuIndex, menuSlot);
}

void GameFixture::ChooseMenuItem(int menuSlot) {
    MenuDownTo(menuSlot);
    VirtualClearCalls();
    VirtualPress(kKeyEnter);
    VirtualRunFor(0);
}

std::vector<std::string> GameFixture::PlayedAfter(std::initializer_list<int> keys) {
    VirtualClearCalls();
    for (int key : keys) VirtualPress(key);
    VirtualRunFor(0);
    return PlayedFiles();
}

std::vector<std::string> GameFixture::PlayedFiles() const {
    std::vector<std::string> files;
    for (const VirtualCall& call : VirtualCallsOf("Play")) files.push_back(call.label);
    return files;
}
