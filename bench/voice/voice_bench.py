#!/usr/bin/env python3
"""How clearly the pack speaks: an off-line recogniser, restricted to exactly the pack's short
phrases, names the phrase it hears in each spoken file, alone at four levels and as a player
hears it, over the music.

    voice_bench.py PACK-FOLDER [PACK-FOLDER ...]

With one folder: letters, digits, symbols and words understood alone (summed over the levels),
then over the music, and the confusions. With several (each holding the characters in one voice
and spelling, as voice_candidates writes them): one line per character with its score alone in
each folder.

The recogniser scores full-scale clips worse than a listener would, so every file alone is heard
at 0, -6, -12 and -18 dB and the four results are summed. Over the music, each character is
heard as at its first play in a level (8 dB below the file, the level's loop at its own level,
the near ear) and each menu item as the menu plays it (both at their own level), each over the
same fixed stretches of the loop so that runs compare. The files themselves are never changed.
"""
import os
import subprocess
import sys
import tempfile
import wave

LEVELS_DB = [0, -6, -12, -18]
RECOGNISER_RATE = 16000
MODEL = "/usr/share/pocketsphinx/model/en-us"

# Each spoken file with the words a listener should hear in it, grouped as the figures are.
LETTERS = [("level1\\%s.vgz" % c, c.lower()) for c in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"]
DIGIT_NAMES = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]
DIGITS = [("level1\\%d.vgz" % d, DIGIT_NAMES[d]) for d in range(10)]
SYMBOLS = [
    ("level1\\bslash.vgz", "backslash"),
    ("level1\\col.vgz", "colon"),
    ("level1\\com.vgz", "comma"),
    ("level1\\great.vgz", "greater than"),
    ("level1\\less.vgz", "less than"),
    ("level1\\minus.vgz", "minus"),
    ("level1\\plus.vgz", "plus"),
    ("level1\\point.vgz", "full stop"),
    ("level1\\scol.vgz", "semicolon"),
    ("level1\\slash.vgz", "slash"),
]
NUMBER_NAMES = DIGIT_NAMES + [
    "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen",
    "eighteen", "nineteen", "twenty"]
TENS = ["thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"]
WORDS = (
    [("score\\%d.vgz" % n, NUMBER_NAMES[n]) for n in range(21)]
    + [("score\\%d.vgz" % (30 + 10 * i), TENS[i]) for i in range(7)]
    + [
        ("score\\hundred.vgz", "hundred"),
        ("score\\thousand.vgz", "thousand"),
        ("score\\say_final_score.vgz", "your final score is"),
        ("score\\your_current_score.vgz", "your current score is"),
        ("score\\say_points.vgz", "points"),
        ("score\\SayLivesRemaining.vgz", "lives remaining"),
        ("menu\\start_game.vgz", "start game"),
        ("menu\\test_speakers.vgz", "test speakers"),
        ("menu\\learn_game_sounds.vgz", "learn game sounds"),
        ("menu\\final_score.vgz", "final score"),
        ("menu\\view_top_10.vgz", "view top ten"),
        ("menu\\send_score.vgz", "send score"),
        ("menu\\quit.vgz", "quit"),
        ("game\\return_to_menu.vgz", "return to menu"),
        ("game\\not_enough.vgz", "not enough points"),
        ("game\\say_game_over.wav", "game over"),
        ("game\\sending_score.vgz", "sending score"),
        ("TestSpk\\f_left.vgz", "front left"),
        ("TestSpk\\f_right.vgz", "front right"),
        ("TestSpk\\f_left1.vgz", "rear left"),
        ("TestSpk\\f_right1.vgz", "rear right"),
    ]
)
GROUPS = [("letters", LETTERS), ("digits", DIGITS), ("symbols", SYMBOLS), ("words", WORDS)]
MENU_ITEMS = [(n, p) for n, p in WORDS if n.startswith("menu\\")]

# The player's condition: (title, loop, level of the speech in dB, groups, stretch starts in
# seconds). The stretches fall on different parts of the bar and of the beat, and each ends
# before the loop does.
LEVEL_LOOP = "level1\\bgrn.vgz"
MENU_LOOP = "menu\\bgrn.vgz"
FIRST_PLAY_DB = -8
OVER_MUSIC = [
    ("characters at -8 dB over the level's loop", LEVEL_LOOP, FIRST_PLAY_DB,
     [("letters", LETTERS), ("digits", DIGITS), ("symbols", SYMBOLS)],
     [0.0, 2.125, 4.25, 6.375]),
    ("menu items at 0 dB over the menu's loop", MENU_LOOP, 0,
     [("menu", MENU_ITEMS)], [0.0, 3.1875, 6.375, 9.5625]),
]

# Letter names as the recogniser should know them (its dictionary also lets "a" be a schwa).
LETTER_SOUNDS = {
    "a": "EY", "b": "B IY", "c": "S IY", "d": "D IY", "e": "IY", "f": "EH F", "g": "JH IY",
    "h": "EY CH", "i": "AY", "j": "JH EY", "k": "K EY", "l": "EH L", "m": "EH M", "n": "EH N",
    "o": "OW", "p": "P IY", "q": "K Y UW", "r": "AA R", "s": "EH S", "t": "T IY", "u": "Y UW",
    "v": "V IY", "w": "D AH B AH L Y UW", "x": "EH K S", "y": "W AY", "z": "Z IY",
}
# Words of the pack missing from the recogniser's dictionary.
EXTRA_SOUNDS = {"semicolon": ["S EH M IY K OW L AH N", "S EH M IH K OW L AH N"]}


def read_stored_sound(path):
    """The stored form is a PCM WAVE file with its first 50 bytes reversed."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    data[:50] = data[:50][::-1]
    return bytes(data)


def write_dictionary(path, phrases):
    words = sorted({w for p in phrases for w in p.split()})
    wanted = {w: [] for w in words if w not in LETTER_SOUNDS and w not in EXTRA_SOUNDS}
    with open(os.path.join(MODEL, "cmudict-en-us.dict"), encoding="utf-8") as f:
        for line in f:
            head, _, sounds = line.strip().partition(" ")
            word = head.split("(")[0]
            if word in wanted:
                wanted[word].append(sounds.split("#")[0].strip())
    missing = [w for w, s in wanted.items() if not s]
    if missing:
        sys.exit("voice_bench: not in the recogniser's dictionary: " + " ".join(missing))
    with open(path, "w", encoding="utf-8") as out:
        for w in words:
            sounds = [LETTER_SOUNDS[w]] if w in LETTER_SOUNDS else EXTRA_SOUNDS.get(w, wanted.get(w))
            for i, s in enumerate(sounds):
                out.write("%s %s\n" % (w if i == 0 else "%s(%d)" % (w, i + 1), s))


def write_grammar(path, phrases):
    with open(path, "w", encoding="utf-8") as out:
        out.write("#JSGF V1.0;\ngrammar pack;\npublic <phrase> = %s;\n" % " | ".join(
            "( %s )" % p for p in sorted(set(phrases))))


def to_recogniser(inputs, out, effects=()):
    """sox from `inputs` (a file, or ["-m", "-v", gain, file, ...] to mix) to raw 16-bit mono
    at the recogniser's rate."""
    subprocess.run(["sox", "-D"] + list(inputs) +
                   ["-t", "raw", "-e", "signed", "-b", "16", "-c", "1", out] + list(effects) +
                   ["rate", "-v", str(RECOGNISER_RATE)], check=True)


def restore(pack, name, path):
    with open(path, "wb") as f:
        f.write(read_stored_sound(os.path.join(pack, *name.split("\\"))))
    with wave.open(path) as w:
        return w.getframerate(), w.getnframes()


def prepare(pack, files, work):
    """Each file alone at each level and over each stretch of its music, as raw 16-bit mono at
    the recogniser's rate; the control lines. Utterance "i_l" is file i at -l dB alone,
    "i_mc_k" file i over stretch k of the music of condition c."""
    controls = []
    loops = {}
    for c, (_, loop, _, _, _) in enumerate(OVER_MUSIC):
        if os.path.exists(os.path.join(pack, *loop.split("\\"))):
            loops[c] = os.path.join(work, "loop%d.wav" % c)
            restore(pack, loop, loops[c])
    for index, name in enumerate(files):
        plain = os.path.join(work, "%d.wav" % index)
        rate, frames = restore(pack, name, plain)
        for db in LEVELS_DB:
            utterance = "%d_%d" % (index, -db)
            to_recogniser([plain], os.path.join(work, utterance + ".raw"), ["gain", str(db)])
            controls.append(utterance)
        for c, (_, _, db, groups, starts) in enumerate(OVER_MUSIC):
            if c not in loops or not any(n == name for _, g in groups for n, _ in g):
                continue
            for k, start in enumerate(starts):
                stretch = os.path.join(work, "%d_m%d_%d.wav" % (index, c, k))
                subprocess.run(["sox", "-D", loops[c], stretch, "trim",
                                "%ds" % round(start * rate), "%ds" % frames], check=True)
                utterance = "%d_m%d_%d" % (index, c, k)
                to_recogniser(["-m", "-v", "%.6f" % (10 ** (db / 20)), plain, "-v", "1", stretch],
                              os.path.join(work, utterance + ".raw"))
                controls.append(utterance)
    return controls


def write_model(work):
    """The acoustic model as installed, but with live cepstral mean normalisation: the batch
    normalisation would make every level sound the same, which a listener does not hear."""
    model = os.path.join(work, "model")
    os.mkdir(model)
    installed = os.path.join(MODEL, "en-us")
    for name in os.listdir(installed):
        if name != "feat.params":
            os.symlink(os.path.join(installed, name), os.path.join(model, name))
    with open(os.path.join(installed, "feat.params")) as f, \
            open(os.path.join(model, "feat.params"), "w") as out:
        out.write(f.read().replace("-cmn batch", "-cmn live"))
    return model


def recognise(work, controls, phrases):
    """{utterance: words heard}. One recogniser run per utterance: the live normalisation
    carries over from one utterance to the next within a run."""
    model = write_model(work)
    write_dictionary(os.path.join(work, "pack.dict"), phrases)
    write_grammar(os.path.join(work, "pack.gram"), phrases)
    runs = []
    for utterance in controls:
        ctl = os.path.join(work, utterance + ".ctl")
        with open(ctl, "w") as f:
            f.write(utterance + "\n")
        runs.append(subprocess.Popen(
            ["pocketsphinx_batch", "-hmm", model,
             "-dict", os.path.join(work, "pack.dict"), "-jsgf", os.path.join(work, "pack.gram"),
             "-ctl", ctl, "-cepdir", work, "-cepext", ".raw", "-adcin", "yes",
             "-samprate", str(RECOGNISER_RATE), "-hyp", os.path.join(work, utterance + ".hyp"),
             "-logfn", os.path.join(work, utterance + ".log")]))
        if len(runs) >= 2:
            wait_for(runs.pop(0))
    for run in runs:
        wait_for(run)
    heard = {}
    for utterance in controls:
        with open(os.path.join(work, utterance + ".hyp"), encoding="utf-8") as f:
            text, _, _ = f.read().strip().rpartition(" (")
            heard[utterance] = " ".join(text.split())
    return heard


def wait_for(run):
    if run.wait() != 0:
        sys.exit("voice_bench: pocketsphinx_batch failed: %s" % " ".join(run.args))


def score_pack(pack):
    """({file: [heard alone at each level]}, [{file: [heard at each stretch]} per condition over
    the music]) for every listed file present in the pack."""
    files = [(n, p) for _, group in GROUPS for n, p in group
             if os.path.exists(os.path.join(pack, *n.split("\\")))]
    phrases = [p for _, group in GROUPS for _, p in group]
    with tempfile.TemporaryDirectory(prefix="voice-bench-") as work:
        controls = prepare(pack, [n for n, _ in files], work)
        heard = recognise(work, controls, phrases)
    alone = {name: [heard.get("%d_%d" % (i, -db), "") for db in LEVELS_DB]
             for i, (name, _) in enumerate(files)}
    music = [{name: [heard["%d_m%d_%d" % (i, c, k)] for k in range(len(condition[4]))]
              for i, (name, _) in enumerate(files) if "%d_m%d_0" % (i, c) in heard}
             for c, condition in enumerate(OVER_MUSIC)]
    return alone, music


def report_pack(pack):
    alone, music = score_pack(pack)
    print("Understood alone, summed over levels %s dB:" % ", ".join(str(d) for d in LEVELS_DB))
    confusions = []
    for title, group in GROUPS:
        right = total = 0
        for name, phrase in group:
            for level, got in zip(LEVELS_DB, alone.get(name, [])):
                total += 1
                if got == phrase:
                    right += 1
                else:
                    confusions.append("  %-28s %-22s alone at %3d dB heard as %s" % (
                        name, '"' + phrase + '"', level, '"' + got + '"' if got else "nothing"))
        share = 100.0 * right / total if total else 0.0
        print("  %-8s %3d of %3d  %5.1f%%" % (title, right, total, share))
    for (title, loop, _, groups, starts), results in zip(OVER_MUSIC, music):
        if not results:
            print("Over the music: no %s in the pack" % loop)
            continue
        print("Understood over the music, %s, stretches from %s s:" % (
            title, ", ".join("%g" % s for s in starts)))
        for group_title, group in groups:
            cells = []
            for k, start in enumerate(starts):
                right = 0
                for name, phrase in group:
                    got = results[name][k]
                    if got == phrase:
                        right += 1
                    else:
                        confusions.append("  %-28s %-22s over %gs heard as %s" % (
                            name, '"' + phrase + '"', start, '"' + got + '"' if got else "nothing"))
                cells.append("%2d of %2d" % (right, len(group)))
            print("  %-8s %s" % (group_title, "   ".join(cells)))
    print("Confusions:" if confusions else "No confusions.")
    print("\n".join(confusions))


def report_candidates(packs):
    scores = [score_pack(p)[0] for p in packs]
    labels = [os.path.basename(os.path.normpath(p)) for p in packs]
    print("Times understood of %d levels, per candidate:" % len(LEVELS_DB))
    print("%-20s %s" % ("file", " ".join("%12s" % l for l in labels)))
    for title, group in GROUPS:
        for name, phrase in group:
            row = [s.get(name) for s in scores]
            if all(r is None for r in row):
                continue
            cells = ["%12s" % ("-" if r is None else sum(g == phrase for g in r)) for r in row]
            print("%-20s %s" % (name, " ".join(cells)))


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: voice_bench.py PACK-FOLDER [PACK-FOLDER ...]")
    if len(sys.argv) == 2:
        report_pack(sys.argv[1])
    else:
        report_candidates(sys.argv[1:])


if __name__ == "__main__":
    main()
