#!/usr/bin/python3
"""The music level keys and a level that waits, on the real game under a virtual display with its
sound captured: three Page Downs lower the menu's music by 9 dB, a restart keeps it there, and the
level's window losing the keyboard to another window for ten seconds costs no life.

usage: music_focus_test.py --game <tapdash> --echo <tapdash_key_echo> --tones <tone pack> --work <scratch>

Exit status 0 when every check holds, 1 when one fails, 77 when no virtual display or key sender
is available.
"""

import os
import subprocess
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import capture  # noqa: E402
import live  # noqa: E402
from session_test import LEVEL, is_character  # noqa: E402

MENU_MUSIC, LEVEL_MUSIC = "menu\\bgrn.vgz", "level1\\bgrn.vgz"
AWAY_SECONDS = 10.0


def music_level(session, music, first, last):
    """The music's steady level (dBFS, its louder channel) between two capture seconds."""
    session.wait_until(last, 10)
    begin = int(first * capture.RATE)
    samples = capture.read_capture(session.capture_path, begin, int((last - first) * capture.RATE))
    _, values = capture.tone_values(samples, {music: session.tones[music]})
    return float(20 * np.log10(np.median(np.abs(values[:, 0, :]), axis=0).max() + 1e-9))


def lowered_level(session, music, since, top, expected):
    """The music's level against `top` in the first second from `since` on that holds `expected`
    (within 1 dB), or in the last second looked at: keys take effect when a busy machine lets the
    game take them."""
    for first in range(10 * live.PATIENCE):
        change = music_level(session, music, since + first, since + first + 1.0) - top
        if abs(change - expected) <= 1.0:
            break
    return change


def reach_menu(session, checks):
    """Starts the game and skips the intro; the capture second once the menu's music plays."""
    session.start_game()
    skipped = session.skip_intro(checks)
    if not skipped:
        return None
    music = session.wait_for(MENU_MUSIC, skipped[0].start, 10, min_duration=0.5)
    checks.that(music is not None, "no menu music after the intro")
    return music and music.start + 0.5


def focus(session, window):
    subprocess.run(["xdotool", "windowfocus", "--sync", window], env=session.env(), timeout=10)


def leave(session, checks):
    session.press("esc")
    checks.that(session.wait_exit(20) == 0, "Escape in the menu did not end the game")


def play(session, echo_path, checks):
    heard_at = reach_menu(session, checks)
    if heard_at is None:
        return
    top = music_level(session, MENU_MUSIC, heard_at, heard_at + 1.0)
    pressed = session.press("Next", "Next", "Next")
    checks.near(lowered_level(session, MENU_MUSIC, session.sent_by(pressed), top, -9.0), -9.0, 1.0,
                "three Page Downs: the menu's music against the top, dB")
    leave(session, checks)
    with open(os.path.join(session.folder, "settings.dat"), encoding="ascii") as settings:
        checks.that(settings.read().strip() == "music=-9", "settings.dat does not say music=-9")

    heard_at = reach_menu(session, checks)
    if heard_at is None:
        return
    checks.near(music_level(session, MENU_MUSIC, heard_at, heard_at + 1.0) - top, -9.0, 1.0,
                "after a restart: the menu's music against the top, dB")

    # The other window is started before the level: a program may take seconds to start on a
    # busy machine, and the level counts a miss once a character has gone unanswered for long.
    # Shown, it takes the keyboard (SDL gives a new window the focus where no window manager
    # does); the game takes it back before the level starts.
    echo = subprocess.Popen([echo_path], env=session.env(), stdout=subprocess.PIPE, text=True)
    try:
        checks.that(echo.stdout.readline().strip() == "shown", "the other window did not show")
        other = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tapdash keys$"],
                               env=session.env(), capture_output=True, text=True, timeout=20).stdout.split()
        focus(session, session.window)
        started = session.press("enter")
        first = session.wait_for(is_character, started, 10, min_duration=0.1)
        if not checks.that(first is not None, "no character after Start game"):
            return
        checks.near(music_level(session, LEVEL_MUSIC, first.start, first.start + 1.0) - top, -9.0, 1.0,
                    "the level's music against the menu's top, dB")

        # The other window takes the keyboard; what is typed meanwhile goes there, never to the game.
        focus(session, other[0])
        away = session.now()
        typed = session.press("b", "ctrl")
        checks.that(echo.stdout.readline().split()[:2] == ["down", "66"], "B did not reach the other window")
        session.wait_until(away + AWAY_SECONDS, AWAY_SECONDS + 20)
        quiet = [e for e in session.heard(away + 0.3, LEVEL) if e.start >= away + 0.3]
        checks.that(not quiet, "the level went on while away: " + "; ".join(map(str, quiet)))
        checks.that(session.sent_by(typed) < away + AWAY_SECONDS, "the keys were sent too late to count")
    finally:
        echo.kill()
        echo.wait()

    # Taken before the keyboard goes back: the level resumes at once, quiet until then.
    back = session.now()
    focus(session, session.window)
    goes_on = session.wait_for(lambda e: e.file == first.file or is_character(e), back, 5, min_duration=0.1)
    checks.that(goes_on is not None and goes_on.file == first.file,
                f"{first.file} did not go on once the keyboard was back: {goes_on}")
    checks.that(session.wait_for(LEVEL_MUSIC, back, 5, min_duration=0.3) is not None,
                "the level's music did not go on")
    lost = [e for e in session.heard(first.start, LEVEL) if e.file in ("level1\\err.vgz", "level1\\key.vgz")]
    checks.that(not lost, "a key or a miss counted while away: " + "; ".join(map(str, lost)))


def test(args, checks):
    os.makedirs(args.work, exist_ok=True)
    folder = os.path.join(args.work, "program")
    tones = live.make_program_folder(folder, args.game, args.tones)
    session = live.Session(folder, tones, args.work)
    try:
        session.start_display()
        play(session, args.echo, checks)
    finally:
        session.stop()
        if os.path.exists(session.capture_path) and (checks.failures or sys.exc_info()[0]):
            print(capture.describe(session.heard(0.0)))
    if not checks.failures:
        print("music level and waiting level: every check holds")


if __name__ == "__main__":
    sys.exit(live.main(test, ("--game", "--echo", "--tones", "--work")))
