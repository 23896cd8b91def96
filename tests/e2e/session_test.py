#!/usr/bin/python3
"""One whole session of the real game, played by ear: the program under a virtual display, real
key events, and what the mixer outputs captured and checked as a timeline of sounds.

usage: session_test.py --game <tapdash executable> --tones <tone pack> --work <scratch folder>
                       [--wine]   (the Windows build, Tapdash.exe, under Wine)

Exit status 0 when every check holds, 1 when one fails, 77 when no virtual display or key sender
is available.
"""

import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import capture  # noqa: E402
import live  # noqa: E402

INTRO_SECONDS = 30.0  # cut by Ctrl: long, so that a Ctrl a busy machine sends late still cuts it
PEAK_DB = -6.0  # every tone of the pack peaks here
SIDE_BALANCE_DB = 30.0  # pan 3000
ANSWER_KEYS = {"left": "ctrl", "centre": "space", "right": "enter"}
LEVEL = "level1\\"
SUCCESS, ERROR, KEY_CLICK = "level1\\success.vgz", "level1\\err.vgz", "level1\\key.vgz"
# What follows what is checked; how soon is the benchmarks' matter. These bounds, in seconds of
# the capture, only keep one sound from being taken for another's effect: the machine may be
# busy with other work that holds up the game while its sound goes on.
REACTION = 3.0  # from a key sent to the sound it causes
LEVEL_START = 5.0  # from Enter on Start game to the level's first sounds: 51 sounds are loaded
GAME_OVER = 5.0  # from Esc to the game-over message: the level unloaded, best.dat merged
HANDOVER = 1.5  # from one sound's end to the next one's start, driven by the 50 ms tick
ANSWER_WITHIN = 0.4  # a character is answered only this early in its play of 0.8 seconds
OUTCOME_SETTLES = 0.15  # of an outcome cue heard before it is taken as success or error


CUES = ("bgrn", "key", "blust", "err", "success")


def is_character(event):
    name = event.file.lower()
    return event.steady and name.startswith("level1\\") and name[7:-4] not in CUES


# The key xdotool types for a symbol's file; a letter's or digit's file is named for its key.
SYMBOL_KEYS = {"bslash": "backslash", "col": "colon", "com": "comma", "great": "greater", "point": "period",
               "scol": "semicolon"}


def letter_of(event):
    name = event.file[7:-4].lower()
    return SYMBOL_KEYS.get(name, name)


def played_side(event):
    return event.side(SIDE_BALANCE_DB / 2)


def check_balance(checks, event, expected_side, what):
    side = played_side(event)
    checks.that(side == expected_side, f"{what}: from the {side}, expected the {expected_side}: {event}")
    expected = {"left": SIDE_BALANCE_DB, "centre": 0.0, "right": -SIDE_BALANCE_DB}[side]
    checks.near(event.balance_db, expected, 1.0, f"{what}: balance of {event}")


def character_to_answer(session, since, timeout=20):
    """The character the game plays now: the latest play heard that started at `since` or later
    (an old character's repeat may still start with the answer), taken early enough in its play
    that an answer reaches the game before the play ends and a repeat comes from another side.
    Where the machine is too busy to hear any play that early, the third is taken as it is: the
    outcome heard then tells how the game judged the answer."""
    deadline = time.monotonic() + timeout
    passed = 0
    while time.monotonic() < deadline and session.game.poll() is None:
        # The last second at most: an older play is too far on to be answered anyway.
        first = max(0.0, since - 0.1, session.now() - 1.0)
        plays = [e for e in session.heard(first, LEVEL) if is_character(e) and e.start >= max(since - 0.02, first + 0.05)]
        if plays:
            latest = max(plays, key=lambda e: e.start)
            if session.now() - latest.start <= ANSWER_WITHIN or passed >= 2:
                return latest
            passed += 1
            since = latest.start + 0.1  # too late in this play: the next one
        time.sleep(0.04)
    return None


def settled_outcome(session, outcome):
    """The outcome cue as heard once it has played a little. A play of the same cue just before
    it may have run on into it meanwhile; then the first hearing stands."""
    session.wait_until(outcome.start + OUTCOME_SETTLES, 5)
    heard = [e for e in session.heard(outcome.start - 0.5, LEVEL)
             if e.file in (SUCCESS, ERROR) and abs(e.start - outcome.start) <= 0.06]
    return min(heard, key=lambda e: abs(e.start - outcome.start)) if heard else outcome


def play_session(session, checks):
    """Plays the session as a player would, by ear; returns when each key went, in capture
    seconds, and what it answered."""
    played = {"answers": []}
    skipped = session.skip_intro(checks)
    if not skipped:
        return played
    played["unseen"] = session.unseen
    intro, played["ctrl"] = skipped
    instructions = session.wait_for("menu\\arrows.vgz", intro.start, 10, min_duration=0.1)
    if not checks.that(instructions is not None, "no instructions after Ctrl"):
        return played
    start_item = session.wait_for("menu\\start_game.vgz", instructions.start + 0.3, 10, min_duration=0.1)
    if not checks.that(start_item is not None, "Start game not announced after the instructions"):
        return played

    played["down"] = session.press("down")
    checks.that(session.wait_for("menu\\practise.vgz", played["down"], 5, 0.1), "Down: no Practise")
    played["up"] = session.press("up")
    checks.that(session.wait_for("menu\\start_game.vgz", played["up"], 5, 0.1), "Up: no Start game")

    played["enter"] = session.press("enter")
    first = session.wait_for(is_character, played["enter"], 10, min_duration=0.1)
    if not checks.that(first is not None, "no character after Start game"):
        return played
    played["first"] = first
    # Left unanswered, it comes again.
    current = session.wait_for(lambda e: e.file == first.file, first.start + 0.3, 5, min_duration=0.1)
    if not checks.that(current is not None, f"{first.file} was not repeated"):
        return played
    played["repeat"] = current

    # Two right answers, then one from a wrong side. A late answer (the character moved on to
    # another side meanwhile) may be judged otherwise; the outcome heard decides what comes next.
    outcomes = []  # for each answer: the outcome cue heard, and whether it was meant right
    settled = 0  # outcomes heard again once they had played a little
    since = current.start
    while True:
        rights = sum(1 for cue, _ in outcomes if cue.file == SUCCESS)
        wrongs = len(outcomes) - rights
        meant_wrong_heard = any(cue.file == ERROR and not meant for cue, meant in outcomes)
        if len(outcomes) >= 6 or wrongs >= 2 or (rights >= 2 and meant_wrong_heard):
            # Before the answers stop, each outcome is heard again: taken at its first frames,
            # mixed with the answer cue and the next character, one cue may pass for the other.
            if settled == len(outcomes):
                break
            outcomes = [(settled_outcome(session, cue), meant) for cue, meant in outcomes]
            settled = len(outcomes)
            continue
        session.wait_until(since, 5)
        current = character_to_answer(session, since)
        if not checks.that(current is not None, f"no character to answer after {since:.3f}"):
            return played
        # The side goes once the typed letter's click is heard, so that the two never reach the
        # game together, however slowly a busy machine lets it run.
        typed = session.press(letter_of(current))
        if not checks.that(session.wait_for(KEY_CLICK, typed, 5, lead=0.1, folder=LEVEL),
                           f"typing {letter_of(current)}: no key click"):
            return played
        # Typing took the play too far on: the side answers a later play of the same character,
        # early in it, rather than one that may end and come again from elsewhere meanwhile.
        if session.now() - current.start > ANSWER_WITHIN:
            later = character_to_answer(session, current.start + 0.1)
            if not checks.that(later is not None and later.file == current.file,
                               f"{current.file} not heard again after typing: {later}"):
                return played
            current = later
        side = played_side(current)
        meant_right = rights < 2
        if not meant_right:
            side = {"left": "right", "centre": "left", "right": "centre"}[side]
        at = session.press(ANSWER_KEYS[side])
        outcome = session.wait_for(lambda e: e.file in (SUCCESS, ERROR), at, 5, folder=LEVEL)
        if not checks.that(outcome is not None, "an answer brought neither the success nor the error cue"):
            return played
        played["answers"].append({"character": current, "typed": typed, "at": at, "side": side})
        # The next character comes with the outcome; it is answered at a play that starts once the
        # outcome cue is over: the same cue restarted over its own tail leaves no onset to hear,
        # and the old character's last repeat, which may start with the outcome, is passed over.
        since = outcome.start + session.tones[outcome.file.lower()].length_ms / 1000.0 + 0.05
        outcomes.append((outcome, meant_right))

    session.wait_until(since, 5)  # the last outcome heard in full
    played["esc"] = session.press("esc")
    over = session.wait_for("game\\say_game_over.wav", played["esc"], 10)
    if not checks.that(over is not None, "no game-over message after Esc"):
        return played
    back = session.wait_for("menu\\start_game.vgz", over.end, 15, min_duration=0.1)
    if not checks.that(back is not None, "the menu did not come back after the final score"):
        return played
    if not practise(session, checks):
        return played

    for name in ("test_speakers", "learn_game_sounds", "final_score", "view_top_10"):
        at = session.press("down")
        if not checks.that(session.wait_for(f"menu\\{name}.vgz", at, 5, 0.1), f"Down did not reach {name}"):
            return played
    played["top_ten"] = session.press("enter")
    points = session.wait_for("score\\say_points.vgz", played["top_ten"], 15, min_duration=1.0)
    if not checks.that(points is not None, "the top ten list spoke no entry"):
        return played
    # The list pauses for a second after an entry, deaf to keys.
    played["list_pause_end"] = points.end + 1.0
    session.wait_until(played["list_pause_end"] + 0.1, 10)
    played["leave_list"] = session.press("esc")
    item = session.wait_for("menu\\view_top_10.vgz", played["leave_list"], 5, min_duration=0.1)
    checks.that(item is not None, "Escape from the list did not announce View top 10 in the menu")
    played["quit"] = session.press("esc")
    played["exit_status"] = session.wait_exit(20)
    played["end"] = session.now()
    return played


def practise(session, checks):
    """A practice round from the menu's Start game: the explanation, a wrong answer told (the
    character again, then its side named from that side), and Escape naming the weakest
    characters before the menu speaks Practise again."""
    at = session.press("down")
    if not checks.that(session.wait_for("menu\\practise.vgz", at, 5, 0.1), "Down after the game: no Practise"):
        return False
    at = session.press("enter")
    explained = session.wait_for("game\\practise_intro.vgz", at, 10, min_duration=0.3)
    if not checks.that(explained is not None, "Practise: no explanation"):
        return False
    asked = session.wait_for(is_character, explained.start + 0.3, 10, min_duration=0.1, folder=LEVEL)
    if not checks.that(asked is not None, "Practise: no character after the explanation"):
        return False
    typed = session.press("b" if letter_of(asked) != "b" else "c")
    checks.that(session.wait_for(KEY_CLICK, typed, 5, lead=0.1, folder=LEVEL), "Practise: no key click")
    error = session.wait_for(ERROR, session.press("space"), 5, folder=LEVEL)
    if not checks.that(error is not None, f"Practise: a wrong answer to {asked.file} brought no error cue"):
        return False
    told = session.wait_for(lambda e: e.file == asked.file, error.start + 0.2, 5, min_duration=0.7, folder=LEVEL)
    if not checks.that(told is not None, f"Practise: {asked.file} not told after the error cue"):
        return False
    side = played_side(told)
    named = session.wait_for(f"game\\side_{side}.vgz", told.start + 0.3, 5, min_duration=0.3)
    if checks.that(named is not None, f"Practise: {told} not followed by its side, the {side}"):
        checks.within(named.start - told.end, -0.02, HANDOVER, "Practise: the side named after the character")
        checks.that(played_side(named) == side, f"Practise: {named} not from the {side}")
    at = session.press("esc")
    weakest = session.wait_for("game\\weakest.vgz", at, 5, min_duration=0.3)
    if not checks.that(weakest is not None, "Practise: Escape did not name the weakest characters"):
        return False
    first = session.wait_for(is_character, weakest.start + 0.3, 5, min_duration=0.3, folder=LEVEL)
    checks.that(first is not None and first.start - weakest.end < HANDOVER, f"Practise: no weakest character: {first}")
    back = session.wait_for("menu\\practise.vgz", weakest.end, 10, min_duration=0.1)
    return checks.that(back is not None, "Practise: the menu did not speak Practise after the round")


def after(events, file, since, before=None):
    """The first play of `file` starting at or after `since` (and not after `before`)."""
    for event in events:
        if event.file.lower() == file.lower() and event.start >= since - 0.02:
            if before is None or event.start <= before:
                return event
    return None


def settled(events, heard_live):
    """The play as the whole capture has it (a play heard live may have been still going on)."""
    return after(events, heard_live.file, heard_live.start - 0.03, heard_live.start + 0.03)


def follows(checks, event, moment, limit, what, until=None):
    """`event` starts after `moment`, within `limit` of it (or of `until`, the latest moment its
    cause can have come)."""
    if checks.that(event is not None, f"{what}: nothing heard after {moment:.3f}"):
        until = moment if until is None else until
        checks.within(event.start - moment, -0.02, until - moment + limit, what)
    return event


def check_sequence(checks, events, pieces, at, what):
    """Pieces spoken one after the other, each within a tick or two of the one before; returns
    the end of the last."""
    for piece in pieces:
        event = after(events, piece, at - 0.05)
        if not follows(checks, event, at, HANDOVER, f"{what}: {piece}"):
            return at
        checks.near(event.balance_db, 0, 1, f"{what}: {piece} centred")
        at = event.end
    return at


def check_timeline(checks, played, events, session):
    """Checks the whole session's timeline; returns the score the game should have kept."""
    intro = after(events, "game\\game_intro.vgz", 0)
    checks.that(events and events[0] is intro, "the intro is not the first sound")
    # Once the window is up; how soon after depends on how busy the machine is (a benchmark's matter).
    checks.that(intro.start >= played["unseen"] - 0.05, f"the intro before the window appeared: {intro}")
    checks.that(intro.duration < INTRO_SECONDS - 1.0, f"Ctrl did not cut the intro: {intro}")
    ctrl = played["ctrl"]
    checks.within(intro.end - ctrl, -0.02, session.sent_by(ctrl) - ctrl + REACTION, "Ctrl cuts the intro")
    music = follows(checks, after(events, "menu\\bgrn.vgz", intro.end - 0.05), intro.end, HANDOVER, "menu music")
    instructions = after(events, "menu\\arrows.vgz", intro.end - 0.05)
    follows(checks, instructions, intro.end, HANDOVER, "instructions after the intro")
    checks.near(music.balance_db, 0, 1, "menu music centred")
    checks.near(instructions.duration, 0.6, 0.05, "the instructions in full")
    follows(checks, after(events, "menu\\start_game.vgz", instructions.end), instructions.end, HANDOVER,
            "the tick announcing Start game")
    for key, item, what in (("down", "practise", "Down announcing Practise"),
                            ("up", "start_game", "Up announcing Start game")):
        at = played[key]
        follows(checks, after(events, f"menu\\{item}.vgz", at), at, REACTION, what, session.sent_by(at))

    enter = played["enter"]
    menu_music_end = max(e.end for e in events if e.file == "menu\\bgrn.vgz" and e.start < enter)
    checks.within(menu_music_end - enter, -0.02, session.sent_by(enter) - enter + REACTION,
                  "Start game stops the menu music")
    level_music = follows(checks, after(events, "level1\\bgrn.vgz", enter), enter, LEVEL_START, "level music",
                          session.sent_by(enter))
    first, repeat = settled(events, played["first"]), settled(events, played["repeat"])
    follows(checks, first, enter, LEVEL_START, "the first character", session.sent_by(enter))
    checks.near(first.start, level_music.start, 0.05, "the first character with the level music")
    checks.that(first.file[7] in "ABCDE", f"the first character is not one of A to E: {first}")
    checks.near(first.level_db, PEAK_DB - 8.0, 1.0, f"the first play at volume -800: {first}")
    check_balance(checks, first, played_side(first), "the first play")
    checks.near(first.duration, 0.8, 0.05, f"a character played in full: {first}")
    follows(checks, repeat, first.end, HANDOVER, "the repeat after the first play")
    checks.near(repeat.level_db - first.level_db, 1.0, 0.3, f"the repeat 1 dB louder: {repeat}")
    check_balance(checks, repeat, played_side(repeat), "the repeat")

    score = 0
    outcomes = set()
    for answer in played["answers"]:
        typed, at, character = answer["typed"], answer["at"], answer["character"]
        label = f"{letter_of(character)} answered {answer['side']}"
        click = follows(checks, after(events, KEY_CLICK, typed), typed, REACTION, f"{label}: key click",
                        session.sent_by(typed))
        cue = follows(checks, after(events, "level1\\blust.vgz", at), at, REACTION, f"{label}: answer cue",
                      session.sent_by(at))
        if not (click and cue):
            continue
        checks.that(click.start < cue.start, f"{label}: the click comes before the answer cue")
        checks.near(click.balance_db, 0, 1, f"{label}: key click centred")
        checks.near(cue.balance_db, 0, 1, f"{label}: answer cue centred")
        # The success or the error cue comes with the answer cue, from the side and at the volume
        # of the character's latest play: success when that is the side answered, error when not.
        # (Which play was the latest is told by the cue itself: an answer may cross a repeat.)
        # The cue plays at the character's volume, at most 8 dB down; the cues and the next
        # character clipping together may leave the other cue's tone 30 dB below that.
        heard = [e for e in events if e.level_db > PEAK_DB - 20]
        success = after(heard, SUCCESS, cue.start - 0.06, cue.start + 0.06)
        error = after(heard, ERROR, cue.start - 0.06, cue.start + 0.06)
        if not checks.that((success is None) != (error is None), f"{label}: not one of success and error"):
            continue
        outcome = success or error
        side = played_side(outcome)
        check_balance(checks, outcome, side, f"{label}: {outcome.file}")
        checks.that((side == answer["side"]) == (outcome is success), f"{label}: {outcome.file} from the {side}")
        # The play judged is the latest one before the answer, or a repeat that the game started
        # in the very tick the answer came (the next character, when it is the same one, starts
        # there too: either may be the one at that moment).
        plays = [e for e in events if e.file == character.file and played_side(e) == side]
        judged = [e for e in plays if e.start < cue.start - 0.02][-1:]
        judged += [e for e in plays if abs(e.start - cue.start) <= 0.03]
        if checks.that(judged, f"{label}: {outcome.file} from the {side}, where the character was not"):
            checks.that(any(abs(outcome.level_db - e.level_db) <= 1.0 for e in judged),
                        f"{label}: {outcome} not as loud as the character: " + "; ".join(map(str, judged)))
        score += 100 if outcome is success else 0
        outcomes.add(outcome is success)
    checks.that(outcomes == {True, False}, "the session holds no right answer or no wrong one")

    esc = played["esc"]
    esc_sent = session.sent_by(esc)
    level_end = max(e.end for e in events if e.file.lower().startswith("level1\\") and e.start < esc_sent + REACTION)
    checks.within(level_end - esc, -0.02, esc_sent - esc + REACTION, "Esc silences the level")
    over = follows(checks, after(events, "game\\say_game_over.wav", esc), esc, GAME_OVER, "game-over message",
                   esc_sent)
    checks.near(over.duration, 0.6, 0.05, "the game-over message in full")
    pieces = ["score\\say_final_score.vgz"] + score_pieces(score) + ["score\\say_points.vgz"]
    spoken = check_sequence(checks, events, pieces, over.end, "final score")
    back = after(events, "menu\\start_game.vgz", spoken)
    if checks.that(back is not None, "no menu after the final score"):
        # The pause is the game's own second on the wall clock, which the capture may not keep
        # when the machine is busy: measured in the capture, corrected by its pace meanwhile.
        pause = (back.start - spoken) / session.pace(spoken - 1.0, back.start + 1.0)
        checks.within(pause, 0.85, 1.0 + 2 * HANDOVER, "the menu a second after the final score")
        restarted = after(events, "menu\\bgrn.vgz", spoken)
        checks.that(restarted and abs(restarted.start - back.start) < 0.1, "the menu music restarted with it")

    pieces = ["score\\score_arrows.vgz"] + score_pieces(score) + ["score\\say_points.vgz"]
    follows(checks, after(events, pieces[0], played["top_ten"]), played["top_ten"], REACTION, "top ten",
            session.sent_by(played["top_ten"]))
    check_sequence(checks, events, pieces[1:], after(events, pieces[0], played["top_ten"]).end, "top ten entry")
    leave = played["leave_list"]
    # A key that came during the list's pause is heard once the pause is over.
    follows(checks, after(events, "menu\\view_top_10.vgz", leave), leave, REACTION,
            "Escape from the list back to View top 10",
            max(session.sent_by(leave), played["list_pause_end"] + HANDOVER))

    goodbye = follows(checks, after(events, "game\\exit_game.vgz", played["quit"]), played["quit"], REACTION,
                      "the goodbye", session.sent_by(played["quit"]))
    if goodbye:
        checks.near(goodbye.duration, 0.6, 0.05, "the goodbye in full")
        checks.that(events[-1] is goodbye, f"something sounded after the goodbye: {events[-1]}")
        checks.within(played["end"] - goodbye.end, -0.01, REACTION, "the program ends right after the goodbye")
    checks.that(played.get("exit_status") == 0, f"exit status {played.get('exit_status')}")
    return score


def score_pieces(score):
    """How a score of this session (a few hundred points) is spoken: "2 hundred", or "0"."""
    return [f"score\\{score // 100}.vgz", "score\\hundred.vgz"] if score else ["score\\0.vgz"]


def test(args, checks):
    os.makedirs(args.work, exist_ok=True)
    folder = os.path.join(args.work, "program")
    stderr = os.path.join(args.work, "game.stderr")
    tones = live.make_program_folder(folder, args.game, args.tones, INTRO_SECONDS)
    program = os.path.join(folder, os.path.basename(args.game))
    wine = live.Wine(args.work) if args.wine else None
    session = live.Session(folder, tones, args.work, command=live.Wine.command(program) if wine else [program], wine=wine)
    try:
        session.start_display()
        if wine:
            wine.prepare(session.env())
        session.start_game()
        played = play_session(session, checks)
    finally:
        session.stop()

    if not os.path.exists(session.capture_path):
        checks.failures.append("nothing captured: the game never opened its sound device")
        events = []
    else:
        events = capture.timeline(capture.read_capture(session.capture_path), tones)
    if not checks.failures:
        try:
            score = check_timeline(checks, played, events, session)
        except (AttributeError, TypeError, IndexError, ValueError, KeyError):
            checks.failures.append("a sound the checks rely on is missing:\n" + traceback.format_exc())
            score = -1
        stored = open(os.path.join(folder, "best.dat"), "rb").read()
        records = live.best_records(stored)
        checks.that(records == [score, 0], f"best.dat holds {records}, expected {[score, 0]}")
        checks.that(stored != live.unscramble_best(stored), "best.dat is stored in plain form")
    print(capture.describe(events))
    print("keys:", ", ".join(f"{name}@{at:.3f}-{done:.3f}" for name, _, at, done in session.keys))
    if checks.failures and os.path.exists(stderr):
        print(open(stderr, errors="replace").read()[-3000:])
    elif not checks.failures:
        print("session played and heard as expected")


if __name__ == "__main__":
    sys.exit(live.main(test, ("--game", "--tones", "--work"), flags=("--wine",)))
