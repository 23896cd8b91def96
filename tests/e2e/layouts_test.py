#!/usr/bin/python3
"""Each of the game's characters typed on a US, UK, German and French (AZERTY) layout, the way
that layout types it (with Shift or AltGr where it needs them), reaches the game as the code of
the character table's entry that speaks that character.

tapdash_key_echo lists the characters the game speaks, each with its sound file; its window (the
SDL backend's) reports each key-down with the sound file of the entry its code answers. It runs
under an Xvfb of our own; setxkbmap sets each layout and xdotool types each character by its
key symbol, pressing the modifiers that layout needs for it.

usage: layouts_test.py --echo <tapdash_key_echo>
Exit status 0 when every character arrives right, 1 when one does not, 77 without the tools.
"""

import argparse
import os
import queue
import shutil
import subprocess
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import xvfb  # noqa: E402

LAYOUTS = ("us", "gb", "de", "fr")
KEY_SHIFT = 16  # held for a character, never the character
WAIT = 30.0  # seconds for anything awaited; a busy machine takes far less


def run(env, *command):
    return subprocess.run(command, env=env, capture_output=True, text=True, timeout=WAIT, check=True).stdout


def check_layout(layout, echo, characters, env, failures):
    run(env, "setxkbmap", "-layout", layout)
    window = subprocess.Popen([echo], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(line.split()) for line in window.stdout], daemon=True).start()

    def next_line():
        try:
            return lines.get(timeout=WAIT)
        except queue.Empty:
            return None

    try:
        if next_line() != ["shown"]:
            failures.append(f"{layout}: the window did not open")
            return
        found = run(env, "xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tapdash keys$")
        run(env, "xdotool", "windowfocus", "--sync", found.split()[0])
        for character, spoken_by in characters:
            # A Latin-1 character's key symbol is its own code; a letter is typed unshifted.
            run(env, "xdotool", "key", hex(ord(character.lower())))
            line = next_line()
            while line and int(line[1]) == KEY_SHIFT:
                line = next_line()
            if not line:
                failures.append(f"{layout}: {character!r} never arrived")
                return
            if line[3] != spoken_by:
                failures.append(f"{layout}: {character!r} arrived as {line[1]}, which plays {line[3]}")
    finally:
        xvfb.stop(window)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--echo", required=True)
    args = parser.parse_args()
    if not all(shutil.which(tool) for tool in ("Xvfb", "xdotool", "setxkbmap")):
        print("skipped: Xvfb, xdotool or setxkbmap missing")
        return 77
    try:
        display = xvfb.start()
    except xvfb.Unavailable as why:
        print(f"skipped: {why}")
        return 77
    env = display.env(dict(os.environ, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy"))
    characters = [line.split() for line in run(os.environ, args.echo, "--characters").splitlines()]
    failures = [] if characters else ["the game speaks no characters"]
    try:
        for layout in LAYOUTS:
            check_layout(layout, args.echo, characters, env, failures)
    finally:
        display.stop()
    print("\n".join(failures) or f"every character arrives right on the layouts {', '.join(LAYOUTS)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
