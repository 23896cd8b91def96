// The words of every spoken file, and the voice of each. The characters are the game itself, so
// their voices were chosen by measurement (bench/voice): an off-line recogniser, restricted to
// the pack's phrases, named each character at four levels. rms speaks the letters, digits and
// signs; awb only those it makes clearly better (see, dee, eye, zee and eight, each heard on every
// level in awb and on at most two in rms). Letters are written as they are spoken: written as a
// capital, "A" comes out less clearly. Short phrases keep kal16, which the recogniser hears best
// for words; long explanations are in slt, the most natural.
#include "tools/script.h"

namespace {
constexpr SpeechVoice C = kVoiceKal16;  // short phrases: menu items, numbers, messages
constexpr SpeechVoice N = kVoiceSlt;    // long explanations
constexpr SpeechVoice R = kVoiceRms;    // characters
constexpr SpeechVoice A = kVoiceAwb;    // the characters rms says least clearly
constexpr SpokenShape P = kSpokenPhrase;
constexpr SpokenShape K = kSpokenCharacter;
}  // namespace

const ScriptLine kScript[] = {
    // The welcome, played once at start.
    {"game\\game_intro.vgz", N, P,
     "Welcome to Tapdash, a game you play by ear. "
     "You will hear a letter, a digit or a sign, from the left, the centre or the right. "
     "Type it, then press the key for its side: "
     "Control for left, Space for centre, Enter for right. "
     "A right answer scores one hundred points. "
     "A wrong answer, or a character left until it is loud, costs one of your three lives. "
     "The better you play, the faster it gets. "
     "Press Control to skip this introduction."},

    // The main menu.
    {"menu\\arrows.vgz", N, P,
     "Main menu. Use the up and down arrows to move through the menu, "
     "Enter to choose an item, and Escape to quit."},
    {"menu\\start_game.vgz", C, P, "Start game"},
    // Written "Practice", as it sounds: flite reads "practise" with the vowel of "rice", which
    // the recogniser of bench/voice hears as "front right" over the menu's loop.
    {"menu\\practise.vgz", C, P, "Practice"},
    {"menu\\test_speakers.vgz", C, P, "Test speakers"},
    {"menu\\learn_game_sounds.vgz", C, P, "Learn game sounds"},
    {"menu\\final_score.vgz", C, P, "Final score"},
    {"menu\\view_top_10.vgz", C, P, "View top ten"},
    {"menu\\send_score.vgz", C, P, "Send score"},
    {"menu\\quit.vgz", C, P, "Quit"},

    // Scores: the announcer builds every number from these pieces.
    {"score\\0.vgz", C, P, "zero"},
    {"score\\1.vgz", C, P, "one"},
    {"score\\2.vgz", C, P, "two"},
    {"score\\3.vgz", C, P, "three"},
    {"score\\4.vgz", C, P, "four"},
    {"score\\5.vgz", C, P, "five"},
    {"score\\6.vgz", C, P, "six"},
    {"score\\7.vgz", C, P, "seven"},
    {"score\\8.vgz", C, P, "eight"},
    {"score\\9.vgz", C, P, "nine"},
    {"score\\10.vgz", C, P, "ten"},
    {"score\\11.vgz", C, P, "eleven"},
    {"score\\12.vgz", C, P, "twelve"},
    {"score\\13.vgz", C, P, "thirteen"},
    {"score\\14.vgz", C, P, "fourteen"},
    {"score\\15.vgz", C, P, "fifteen"},
    {"score\\16.vgz", C, P, "sixteen"},
    {"score\\17.vgz", C, P, "seventeen"},
    {"score\\18.vgz", C, P, "eighteen"},
    {"score\\19.vgz", C, P, "nineteen"},
    {"score\\20.vgz", C, P, "twenty"},
    {"score\\30.vgz", C, P, "thirty"},
    {"score\\40.vgz", C, P, "forty"},
    {"score\\50.vgz", C, P, "fifty"},
    {"score\\60.vgz", C, P, "sixty"},
    {"score\\70.vgz", C, P, "seventy"},
    {"score\\80.vgz", C, P, "eighty"},
    {"score\\90.vgz", C, P, "ninety"},
    {"score\\hundred.vgz", C, P, "hundred"},
    {"score\\thousand.vgz", C, P, "thousand"},
    {"score\\say_final_score.vgz", C, P, "Your final score is"},
    {"score\\score_arrows.vgz", N, P,
     "Top ten. Use the up and down arrows to hear each best score, "
     "and Escape to return to the menu."},
    {"score\\your_current_score.vgz", C, P, "Your current score is"},
    {"score\\say_points.vgz", C, P, "points"},
    {"score\\SayLivesRemaining.vgz", C, P, "lives remaining"},

    // Messages of the game and of sending a score.
    {"game\\return_to_menu.vgz", C, P, "Return to menu"},
    {"game\\made_it.vgz", C, P, "You made it into the top ten, at place"},
    {"game\\not_enough.vgz", C, P, "Not enough points"},
    {"game\\say_game_over.wav", C, P, "Game over"},
    {"game\\check_connected.vgz", N, P,
     "Send your score to the top ten. Make sure you are connected to the internet. "
     "Press Y to send, or N to cancel."},
    {"game\\sending_score.vgz", C, P, "Sending score"},
    {"game\\say_config_first.vgz", N, P,
     "Your player details are missing. Close the game, run the program tapdash player, "
     "and enter your first name, last name, address and country. Then send your score again."},
    {"game\\exit_game.vgz", N, P, "Thank you for playing Tapdash. Goodbye."},

    // What each cue of the game means, in the order the learn menu offers them.
    {"learn\\1.vgz", C, P, "Key click: you typed a key. Press Enter to hear each sound."},
    {"learn\\2.vgz", C, P, "Answer cue: you pressed Control, Space or Enter."},
    {"learn\\3.vgz", C, P, "Success: a right answer."},
    {"learn\\4.vgz", C, P, "Error: a wrong answer or a missed character costs a life."},

    // A practice round: how it differs from a game, the sides named after a wrong answer or a
    // miss, and the characters the player misses most, named at its end.
    {"game\\practise_intro.vgz", N, P,
     "Practice. The characters you miss most come most often. "
     "There are no lives and no score. "
     "After a wrong answer you hear the character again, and the key for its side. "
     "Press Escape to end the practice."},
    {"game\\weakest.vgz", C, P, "Your weakest characters are"},
    {"game\\side_left.vgz", C, P, "left, Control"},
    {"game\\side_centre.vgz", C, P, "centre, Space"},
    {"game\\side_right.vgz", C, P, "right, Enter"},

    // The speaker test, placed around the listener.
    {"TestSpk\\f_left.vgz", C, P, "front left"},
    {"TestSpk\\f_right.vgz", C, P, "front right"},
    {"TestSpk\\f_left1.vgz", C, P, "rear left"},
    {"TestSpk\\f_right1.vgz", C, P, "rear right"},

    // The characters of the game.
    {"level1\\bslash.vgz", R, K, "backslash"},
    {"level1\\col.vgz", R, K, "colon"},
    {"level1\\com.vgz", R, K, "comma"},
    {"level1\\great.vgz", R, K, "greater than"},
    {"level1\\less.vgz", R, K, "less than"},
    {"level1\\minus.vgz", R, K, "minus"},
    {"level1\\plus.vgz", R, K, "plus"},
    {"level1\\point.vgz", R, K, "full stop"},
    {"level1\\scol.vgz", R, K, "semicolon"},
    {"level1\\slash.vgz", R, K, "slash"},
    {"level1\\A.vgz", R, K, "ay"},
    {"level1\\B.vgz", R, K, "bee"},
    {"level1\\C.vgz", A, K, "see"},
    {"level1\\D.vgz", A, K, "dee"},
    {"level1\\E.vgz", R, K, "ee"},
    {"level1\\F.vgz", R, K, "eff"},
    {"level1\\G.vgz", R, K, "gee"},
    {"level1\\H.vgz", R, K, "aitch"},
    {"level1\\I.vgz", A, K, "eye"},
    {"level1\\J.vgz", R, K, "jay"},
    {"level1\\K.vgz", R, K, "kay"},
    {"level1\\L.vgz", R, K, "el"},
    {"level1\\M.vgz", R, K, "em"},
    {"level1\\N.vgz", R, K, "en"},
    {"level1\\O.vgz", R, K, "oh"},
    {"level1\\P.vgz", R, K, "pee"},
    {"level1\\Q.vgz", R, K, "cue"},
    {"level1\\R.vgz", R, K, "are"},
    {"level1\\S.vgz", R, K, "ess"},
    {"level1\\T.vgz", R, K, "tee"},
    {"level1\\U.vgz", R, K, "you"},
    {"level1\\V.vgz", R, K, "vee"},
    {"level1\\W.vgz", R, K, "double you"},
    {"level1\\X.vgz", R, K, "ex"},
    {"level1\\Y.vgz", R, K, "why"},
    {"level1\\Z.vgz", A, K, "zee"},
    {"level1\\0.vgz", R, K, "0"},
    {"level1\\1.vgz", R, K, "1"},
    {"level1\\2.vgz", R, K, "2"},
    {"level1\\3.vgz", R, K, "3"},
    {"level1\\4.vgz", R, K, "4"},
    {"level1\\5.vgz", R, K, "5"},
    {"level1\\6.vgz", R, K, "6"},
    {"level1\\7.vgz", R, K, "7"},
    {"level1\\8.vgz", A, K, "8"},
    {"level1\\9.vgz", R, K, "9"},
};

const int kScriptLines = sizeof(kScript) / sizeof(kScript[0]);
