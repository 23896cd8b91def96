#!/usr/bin/env python3
"""How clearly the pack speaks: an off-line recogniser, restricted to exactly the pack's short
phrases, names the phrase it hears in each spoken file, alone at four levels and as a player
hears it, over the music.

    voice_bench.py PACK-FOLDER [PACK-FOLDER ...]

With one folder: letters, digits, symbols and words understood alone (summed over the levels),
then over the music with the worst stretch of the loop for each character, and the confusions.
With several (each holding the characters in one voice and spelling, as voice_candidates writes
them): one line per character with its score alone in each folder.

The recogniser scores full-scale clips worse than a listener would, so every file alone is heard
at 0, -6, -12 and -18 dB and the four results are summed. Over the music, each character is
heard as at its first play in a level (8 dB below the file, the level's loop at its own level,
the near ear) and each menu item as the menu plays it (both at their own level), then each 3 dB
quieter again, for the margin a player needs on a bad day. Each is heard over every stretch of
its loop, one starting every STEP_S seconds all the way round (a stretch that runs past the end
goes on from the start, as the loop does). The files themselves are never changed.
"""
import array
import ctypes
import multiprocessing
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
        ("menu\\practise.vgz", "practise"),
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
        ("game\\weakest.vgz", "your weakest characters are"),
        ("game\\side_left.vgz", "left control"),
        ("game\\side_centre.vgz", "centre space"),
        ("game\\side_right.vgz", "right enter"),
        ("TestSpk\\f_left.vgz", "front left"),
        ("TestSpk\\f_right.vgz", "front right"),
        ("TestSpk\\f_left1.vgz", "rear left"),
        ("TestSpk\\f_right1.vgz", "rear right"),
    ]
)
GROUPS = [("letters", LETTERS), ("digits", DIGITS), ("symbols", SYMBOLS), ("words", WORDS)]
MENU_ITEMS = [(n, p) for n, p in WORDS if n.startswith("menu\\")]

# The player's condition: (title, loop, level of the speech in dB, groups). Each is heard at
# that level and MARGIN_DB below it, over every stretch of the loop.
LEVEL_LOOP = "level1\\bgrn.vgz"
MENU_LOOP = "menu\\bgrn.vgz"
FIRST_PLAY_DB = -8
MARGIN_DB = 3
STEP_S = 0.125  # a sixteenth of the level's beat; a third of the menu's eighth
OVER_MUSIC = [
    ("characters over the level's loop", LEVEL_LOOP, FIRST_PLAY_DB,
     [("letters", LETTERS), ("digits", DIGITS), ("symbols", SYMBOLS)]),
    ("menu items over the menu's loop", MENU_LOOP, 0, [("menu", MENU_ITEMS)]),
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


def to_floats(path):
    """The WAVE file at `path` as float samples at the recogniser's rate."""
    out = path + ".f32"
    subprocess.run(["sox", "-D", path, "-t", "raw", "-e", "floating-point", "-b", "32", "-c", "1",
                    out, "rate", "-v", str(RECOGNISER_RATE)], check=True)
    samples = array.array("f")
    with open(out, "rb") as f:
        samples.frombytes(f.read())
    return samples


def to_pcm(samples):
    """Rounded 16-bit samples, clipped at full scale, as the recogniser reads them."""
    return array.array("h", (max(-32768, min(32767, round(s * 32768))) for s in samples)).tobytes()


def restore(pack, name, path):
    with open(path, "wb") as f:
        f.write(read_stored_sound(os.path.join(pack, *name.split("\\"))))


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


class FeatT(ctypes.Structure):
    """The head of sphinxbase's feat_t (feat.h, 0.8+5prealpha), up to its normaliser."""
    _fields_ = [("refcount", ctypes.c_int), ("name", ctypes.c_char_p), ("cepsize", ctypes.c_int32),
                ("n_stream", ctypes.c_int32), ("stream_len", ctypes.c_void_p),
                ("window_size", ctypes.c_int32), ("n_sv", ctypes.c_int32),
                ("sv_len", ctypes.c_void_p), ("subvecs", ctypes.c_void_p),
                ("sv_buf", ctypes.c_void_p), ("sv_dim", ctypes.c_int32), ("cmn", ctypes.c_int),
                ("varnorm", ctypes.c_int32), ("agc", ctypes.c_int), ("compute_feat", ctypes.c_void_p),
                ("cmn_struct", ctypes.c_void_p)]


class CmnT(ctypes.Structure):
    """sphinxbase's cmn_t (cmn.h)."""
    _fields_ = [("cmn_mean", ctypes.POINTER(ctypes.c_float)),
                ("cmn_var", ctypes.POINTER(ctypes.c_float)),
                ("sum", ctypes.POINTER(ctypes.c_float)), ("nframe", ctypes.c_int32),
                ("veclen", ctypes.c_int32)]


class Recogniser:
    """pocketsphinx's decoder, loaded once. The noise estimate and the live normalisation learn
    from each utterance; before the next, the stream starts afresh and the normalisation is put
    back as the freshly loaded decoder had it, so that every utterance is heard as by a decoder
    of its own. The decoder has no call that reaches its normaliser (sphinxbase's cmn_live_set
    leaves it weighted as if 500 frames had been heard, which a fresh decoder is not), so it is
    found and put back through feat_t and cmn_t as sphinxbase's headers lay them out. Each step
    is checked, and a library laid out otherwise stops the benchmark rather than letting one
    utterance's normalisation leak into the next.
    """
    CEPSTRA = 13
    CMN_LIVE = 2  # cmn_type_t

    def __init__(self, work):
        ps = ctypes.CDLL("libpocketsphinx.so.3")
        base = ctypes.CDLL("libsphinxbase.so.3")
        for lib, name, restype, argtypes in [
                (ps, "ps_args", ctypes.c_void_p, []),
                (ps, "ps_init", ctypes.c_void_p, [ctypes.c_void_p]),
                (ps, "ps_get_feat", ctypes.POINTER(FeatT), [ctypes.c_void_p]),
                (ps, "ps_start_stream", ctypes.c_int, [ctypes.c_void_p]),
                (ps, "ps_start_utt", ctypes.c_int, [ctypes.c_void_p]),
                (ps, "ps_process_raw", ctypes.c_int,
                 [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_int]),
                (ps, "ps_end_utt", ctypes.c_int, [ctypes.c_void_p]),
                (ps, "ps_get_hyp", ctypes.c_char_p,
                 [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int32)]),
                (base, "cmd_ln_init", ctypes.c_void_p, None),
                (base, "cmn_live_get", None, [ctypes.POINTER(CmnT), ctypes.POINTER(ctypes.c_float)])]:
            getattr(lib, name).restype = restype
            getattr(lib, name).argtypes = argtypes
        self.ps = ps
        args = ["-hmm", os.path.join(work, "model"), "-dict", os.path.join(work, "pack.dict"),
                "-jsgf", os.path.join(work, "pack.gram"), "-samprate", str(RECOGNISER_RATE),
                "-logfn", os.devnull]
        config = base.cmd_ln_init(None, ctypes.c_void_p(ps.ps_args()), 1,
                                  *[ctypes.c_char_p(a.encode()) for a in args], None)
        self.decoder = ps.ps_init(config) if config else None
        if not self.decoder:
            sys.exit("voice_bench: the recogniser did not start")
        feat = ps.ps_get_feat(self.decoder).contents
        if (feat.refcount < 1 or feat.cepsize != self.CEPSTRA or feat.cmn != self.CMN_LIVE
                or not feat.cmn_struct):
            sys.exit("voice_bench: this sphinxbase lays out feat_t otherwise")
        self.cmn = ctypes.cast(feat.cmn_struct, ctypes.POINTER(CmnT))
        if self.cmn.contents.veclen != self.CEPSTRA:
            sys.exit("voice_bench: this sphinxbase lays out cmn_t otherwise")
        vector = ctypes.c_float * self.CEPSTRA
        c = self.cmn.contents
        self.mean = vector.from_address(ctypes.addressof(c.cmn_mean.contents))
        self.sum = vector.from_address(ctypes.addressof(c.sum.contents))
        self.fresh = self.state()
        # The library reads the same mean there as this layout does.
        mean = vector()
        base.cmn_live_get(self.cmn, mean)
        if list(mean) != self.fresh[0]:
            sys.exit("voice_bench: this sphinxbase lays out cmn_t otherwise")
        self.checked = False

    def state(self):
        return (list(self.mean), list(self.sum), self.cmn.contents.nframe)

    def reset(self):
        self.mean[:], self.sum[:], self.cmn.contents.nframe = self.fresh

    def hear(self, pcm):
        """(words heard, the recogniser's score for them: higher is surer) for 16-bit samples."""
        self.reset()
        self.ps.ps_start_stream(self.decoder)
        self.ps.ps_start_utt(self.decoder)
        self.ps.ps_process_raw(self.decoder, pcm, len(pcm) // 2, 0, 1)
        self.ps.ps_end_utt(self.decoder)
        # The first utterance must have moved the normalisation found: else it is not the one
        # the decoder uses, and resetting it would change nothing.
        if not self.checked and self.state() == self.fresh:
            sys.exit("voice_bench: the normalisation found is not the decoder's")
        self.checked = True
        score = ctypes.c_int32()
        text = self.ps.ps_get_hyp(self.decoder, ctypes.byref(score))
        return " ".join((text or b"").decode().split()), score.value


# What each worker process hears: the sounds and loops as float samples, and its recogniser.
SOUNDS = {}
LOOPS = {}
RECOGNISER = []


def utterance(key):
    """The samples of an utterance: ("alone", file, dB) or ("music", condition, file, dB,
    stretch start in samples)."""
    if key[0] == "alone":
        gain = 10 ** (key[2] / 20)
        return [s * gain for s in SOUNDS[key[1]]]
    _, c, name, db, start = key
    gain = 10 ** (db / 20)
    loop = LOOPS[c]
    return [s * gain + loop[(start + i) % len(loop)] for i, s in enumerate(SOUNDS[name])]


def start_worker(work):
    RECOGNISER.append(Recogniser(work))


def hear(key):
    return key, RECOGNISER[0].hear(to_pcm(utterance(key)))


def stretch_starts(loop):
    step = round(STEP_S * RECOGNISER_RATE)
    return list(range(0, len(loop), step))


def music_levels(db):
    return [db, db - MARGIN_DB]


def score_pack(pack, over_music=True):
    """({file: [heard alone at each level]}, [{(file, dB): [(heard, score) at each stretch]} per
    condition over the music]) for every listed file present in the pack."""
    files = [n for _, group in GROUPS for n, _ in group
             if os.path.exists(os.path.join(pack, *n.split("\\")))]
    phrases = [p for _, group in GROUPS for _, p in group]
    with tempfile.TemporaryDirectory(prefix="voice-bench-") as work:
        SOUNDS.clear()
        LOOPS.clear()
        for index, name in enumerate(files):
            path = os.path.join(work, "%d.wav" % index)
            restore(pack, name, path)
            SOUNDS[name] = to_floats(path)
        keys = [("alone", n, db) for n in files for db in LEVELS_DB]
        for c, (_, loop, db, groups) in enumerate(OVER_MUSIC):
            if not over_music or not os.path.exists(os.path.join(pack, *loop.split("\\"))):
                continue
            path = os.path.join(work, "loop%d.wav" % c)
            restore(pack, loop, path)
            LOOPS[c] = to_floats(path)
            keys += [("music", c, n, level, start) for _, g in groups for n, _ in g if n in SOUNDS
                     for level in music_levels(db) for start in stretch_starts(LOOPS[c])]
        write_model(work)
        write_dictionary(os.path.join(work, "pack.dict"), phrases)
        write_grammar(os.path.join(work, "pack.gram"), phrases)
        with multiprocessing.get_context("fork").Pool(
                2, initializer=start_worker, initargs=(work,)) as pool:
            heard = dict(pool.imap_unordered(hear, keys, chunksize=32))
    alone = {n: [heard[("alone", n, db)][0] for db in LEVELS_DB] for n in files}
    music = [{(n, level): [heard[("music", c, n, level, s)] for s in stretch_starts(LOOPS[c])]
              for _, g in OVER_MUSIC[c][3] for n, _ in g if n in SOUNDS
              for level in music_levels(OVER_MUSIC[c][2])} if c in LOOPS else {}
             for c in range(len(OVER_MUSIC))]
    return alone, music


def worst_stretch(results, phrase):
    """The index of the stretch heard worst: the first misheard, or else the least sure."""
    for k, (got, _) in enumerate(results):
        if got != phrase:
            return k
    return min(range(len(results)), key=lambda k: results[k][1])


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
    rows = []
    for (title, loop, db, groups), results in zip(OVER_MUSIC, music):
        if not results:
            print("Over the music: no %s in the pack" % loop)
            continue
        stretches = len(next(iter(results.values())))
        levels = music_levels(db)
        print("Understood over the music, %s, %d stretches %g s apart, at %s dB:" % (
            title, stretches, STEP_S, " and ".join("%d" % l for l in levels)))
        for group_title, group in groups:
            cells = []
            for level in levels:
                heard = [results[(n, level)] for n, _ in group]
                every = sum(all(g == p for g, _ in r) for r, (_, p) in zip(heard, group))
                worst = min(sum(r[k][0] == p for r, (_, p) in zip(heard, group))
                            for k in range(stretches))
                cells.append("%3d dB: %2d of %2d on every stretch, worst stretch %2d of %2d" % (
                    level, every, len(group), worst, len(group)))
            print("  %-8s %s" % (group_title, "   ".join(cells)))
        for group_title, group in groups:
            for name, phrase in group:
                cells = ["alone %d of %d" % (sum(g == phrase for g in alone[name]), len(LEVELS_DB))]
                for level in levels:
                    r = results[(name, level)]
                    k = worst_stretch(r, phrase)
                    got, score = r[k]
                    right = sum(g == phrase for g, _ in r)
                    cells.append("%3d dB %2d of %2d, worst from %6.3f s: %s" % (
                        level, right, stretches, k * STEP_S,
                        "score %d" % score if got == phrase else
                        "heard as " + ('"' + got + '"' if got else "nothing")))
                    if right < stretches:
                        missed = [k * STEP_S for k, (g, _) in enumerate(r) if g != phrase]
                        confusions.append("  %-28s %-22s at %3d dB over %d of %d stretches (from "
                                          "%s s), e.g. heard as %s" % (
                                              name, '"' + phrase + '"', level, len(missed),
                                              stretches, ", ".join("%g" % s for s in missed[:6])
                                              + (", ..." if len(missed) > 6 else ""),
                                              '"' + got + '"' if got else "nothing"))
                rows.append("  %-24s %s" % (name, "   ".join(cells)))
    print("Each character over the music, with its worst stretch:")
    print("\n".join(rows))
    print("Confusions:" if confusions else "No confusions.")
    print("\n".join(confusions))


def report_candidates(packs):
    scores = [score_pack(p, over_music=False)[0] for p in packs]
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
