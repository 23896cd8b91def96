// The catalogue: the file of every load slot of every bank, in index order. Names are relative
// to the program folder; the level folder is named "level1\" by the level bank and "Level1\" by
// the learn bank, and both find the same files.
#include "audio/banks.h"
#include "platform/game_symbols.h"

const char* const kMenuSoundFiles[kMenuSoundCount] = {
    "menu\\arrows.vgz",             // 0
    "menu\\start_game.vgz",         // 1
    "menu\\practise.vgz",           // 2
    "menu\\start_game.vgz",         // 3: own buffer, never played
    "menu\\test_speakers.vgz",      // 4
    "menu\\learn_game_sounds.vgz",  // 5
    "menu\\final_score.vgz",        // 6
    "menu\\view_top_10.vgz",        // 7
    "menu\\send_score.vgz",         // 8
    "menu\\quit.vgz",               // 9
    "menu\\bgrn.vgz",               // 10: the menu's music, looped
    "menu\\bgrn.vgz",               // 11: own buffer, never played
};

const char* const kScoreSoundFiles[kScoreSoundCount] = {
    // 0 to 20: "score\%d.vgz" with the index
    "score\\0.vgz", "score\\1.vgz", "score\\2.vgz", "score\\3.vgz", "score\\4.vgz", "score\\5.vgz",
    "score\\6.vgz", "score\\7.vgz", "score\\8.vgz", "score\\9.vgz", "score\\10.vgz",
    "score\\11.vgz", "score\\12.vgz", "score\\13.vgz", "score\\14.vgz", "score\\15.vgz",
    "score\\16.vgz", "score\\17.vgz", "score\\18.vgz", "score\\19.vgz", "score\\20.vgz",
    // 21 to 27: "score\%d.vgz" with (index - 18) x 10
    "score\\30.vgz", "score\\40.vgz", "score\\50.vgz", "score\\60.vgz", "score\\70.vgz",
    "score\\80.vgz", "score\\90.vgz",
    "score\\hundred.vgz",             // 28
    "score\\thousand.vgz",            // 29
    "score\\say_final_score.vgz",     // 30
    "score\\score_arrows.vgz",        // 31
    "score\\your_current_score.vgz",  // 32
    "score\\say_points.vgz",          // 33
    "score\\SayLivesRemaining.vgz",   // 34
    "game\\return_to_menu.vgz",       // 35
    "game\\made_it.vgz",              // 36
    "game\\not_enough.vgz",           // 37
};

const char* const kLevelSoundFiles[kLevelSoundCount] = {
    "level1\\bgrn.vgz",     // 0: the game's music, looped
    "level1\\key.vgz",      // 1
    "level1\\blust.vgz",    // 2
    "level1\\err.vgz",      // 3
    "level1\\success.vgz",  // 4
    // 5 to 14: the symbols' files, in the order of their table
    kGameSymbols[0].soundFile,
    kGameSymbols[1].soundFile,
    kGameSymbols[2].soundFile,
    kGameSymbols[3].soundFile,
    kGameSymbols[4].soundFile,
    kGameSymbols[5].soundFile,
    kGameSymbols[6].soundFile,
    kGameSymbols[7].soundFile,
    kGameSymbols[8].soundFile,
    kGameSymbols[9].soundFile,
    // 15 to 40: "level1\%c.vgz" with the capital letter A + (index - 15)
    "level1\\A.vgz",
    "level1\\B.vgz",
    "level1\\C.vgz",
    "level1\\D.vgz",
    "level1\\E.vgz",
    "level1\\F.vgz",
    "level1\\G.vgz",
    "level1\\H.vgz",
    "level1\\I.vgz",
    "level1\\J.vgz",
    "level1\\K.vgz",
    "level1\\L.vgz",
    "level1\\M.vgz",
    "level1\\N.vgz",
    "level1\\O.vgz",
    "level1\\P.vgz",
    "level1\\Q.vgz",
    "level1\\R.vgz",
    "level1\\S.vgz",
    "level1\\T.vgz",
    "level1\\U.vgz",
    "level1\\V.vgz",
    "level1\\W.vgz",
    "level1\\X.vgz",
    "level1\\Y.vgz",
    "level1\\Z.vgz",
    // 41 to 50: "level1\%c.vgz" with the digit 0 + (index - 41)
    "level1\\0.vgz",
    "level1\\1.vgz",
    "level1\\2.vgz",
    "level1\\3.vgz",
    "level1\\4.vgz",
    "level1\\5.vgz",
    "level1\\6.vgz",
    "level1\\7.vgz",
    "level1\\8.vgz",
    "level1\\9.vgz",
};

const char* const kLearnSoundFiles[kLearnSoundCount] = {
    "learn\\1.vgz",              // 0
    "learn\\2.vgz",              // 1
    "learn\\3.vgz",              // 2
    "learn\\4.vgz",              // 3
    "game\\return_to_menu.vgz",  // 4
    "Level1\\key.vgz",           // 5: the file of level slot 1
    "Level1\\blust.vgz",         // 6: level slot 2
    "Level1\\success.vgz",       // 7: level slot 4
    "Level1\\err.vgz",           // 8: level slot 3
};

const char* const kSubmitSoundFiles[kSubmitSoundCount] = {
    "game\\check_connected.vgz",   // 0
    "game\\sending_score.vgz",     // 1
    "game\\say_config_first.vgz",  // 2
};

const char* const kSpeakerTestSoundFiles[kSpeakerTestSoundCount] = {
    "TestSpk\\f_left.vgz",    // 0: front left
    "TestSpk\\f_right.vgz",   // 1: front right
    "TestSpk\\f_left1.vgz",   // 2: rear left
    "TestSpk\\f_right1.vgz",  // 3: rear right
};

const char* const kPracticeSoundFiles[kPracticeSoundCount] = {
    "game\\practise_intro.vgz",  // 0: how a round differs from a game
    "game\\weakest.vgz",         // 1
    "game\\side_left.vgz",       // 2
    "game\\side_centre.vgz",     // 3
    "game\\side_right.vgz",      // 4
};

const char* const kIntroSoundFile = "game\\game_intro.vgz";
const char* const kGameOverSoundFile = "game\\say_game_over.wav";
const char* const kExitSoundFile = "game\\exit_game.vgz";

const SoundFileList kSoundFileLists[kSoundFileListCount] = {
    {kMenuSoundFiles, kMenuSoundCount},
    {kScoreSoundFiles, kScoreSoundCount},
    {kLevelSoundFiles, kLevelSoundCount},
    {kLearnSoundFiles, kLearnSoundCount},
    {kSubmitSoundFiles, kSubmitSoundCount},
    {kSpeakerTestSoundFiles, kSpeakerTestSoundCount},
    {kPracticeSoundFiles, kPracticeSoundCount},
    {&kIntroSoundFile, 1},
    {&kGameOverSoundFile, 1},
    {&kExitSoundFile, 1},
};
