#!/usr/bin/env python3
"""How clearly the pack speaks: an off-line recogniser, restricted to exactly the pack's short
phrases, names the phrase it hears in each spoken file, at four levels.

    voice_bench.py PACK-FOLDER [PACK-FOLDER ...]

With one folder: letters, digits, symbols and words understood (summed over the levels) and the
confusions. With several (each holding the characters in one voice and spelling, as
voice_candidates writes them): one line per character with its score in each folder.

The recogniser scores full-scale clips worse than a listener would, so every file is heard at
0, -6, -12 and -18 dB and the four results are summed. The files themselves are never changed.
"""
import os
import subprocess
import sys
import tempfile

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


def prepare(pack, files, work):
    """Each file at each level as raw 16-bit mono at the recogniser's rate; the control lines."""
    controls = []
    for index, name in enumerate(files):
        plain = os.path.join(work, "%d.wav" % index)
        with open(plain, "wb") as f:
            f.write(read_stored_sound(os.path.join(pack, *name.split("\\"))))
        for db in LEVELS_DB:
            utterance = "%d_%d" % (index, -db)
            subprocess.run(
                ["sox", "-D", plain, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1",
                 os.path.join(work, utterance + ".raw"), "gain", str(db),
                 "rate", "-v", str(RECOGNISER_RATE)],
                check=True)
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
    """{file: [heard at each level]} for every listed file present in the pack."""
    files = [(n, p) for _, group in GROUPS for n, p in group
             if os.path.exists(os.path.join(pack, *n.split("\\")))]
    phrases = [p for _, group in GROUPS for _, p in group]
    with tempfile.TemporaryDirectory(prefix="voice-bench-") as work:
        controls = prepare(pack, [n for n, _ in files], work)
        heard = recognise(work, controls, phrases)
    return {name: [heard.get("%d_%d" % (i, -db), "") for db in LEVELS_DB]
            for i, (name, _) in enumerate(files)}


def expected(name):
    for _, group in GROUPS:
        for n, p in group:
            if n == name:
                return p
    return None


def report_pack(pack):
    results = score_pack(pack)
    print("Understood, summed over levels %s dB:" % ", ".join(str(d) for d in LEVELS_DB))
    confusions = []
    for title, group in GROUPS:
        right = total = 0
        for name, phrase in group:
            for level, got in zip(LEVELS_DB, results.get(name, [])):
                total += 1
                if got == phrase:
                    right += 1
                else:
                    confusions.append("  %-28s %-22s at %3d dB heard as %s" % (
                        name, '"' + phrase + '"', level, '"' + got + '"' if got else "nothing"))
        share = 100.0 * right / total if total else 0.0
        print("  %-8s %3d of %3d  %5.1f%%" % (title, right, total, share))
    print("Confusions:" if confusions else "No confusions.")
    print("\n".join(confusions))


def report_candidates(packs):
    scores = [score_pack(p) for p in packs]
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
