#!/usr/bin/python3
"""Each of the game's 47 characters typed on a US, UK, German and French (AZERTY) keyboard
layout, the way that layout types it (with Shift or AltGr where it needs them), reaches the game
as the code that the character's entry of the character table holds.

The real backend's window (tapdash_key_echo, which reports every key-down with the table entry
its code answers) runs under its own Xvfb; setxkbmap sets each layout and xdotool types each
character by its key-symbol name, pressing whatever modifiers that layout needs for it.

usage: layouts_test.py --echo <tapdash_key_echo executable>

Exit status 0 when every character arrives right, 1 when one does not, 77 when no virtual
display, key sender or layout tool is available.
"""

import argparse
import os
import queue
import shutil
import subprocess
import sys
import threading
import time

LAYOUTS = ("us", "gb", "de", "fr")
# The character table, entry by entry (entry 36 holds no character), with the key-symbol name
# xdotool types each one by.
TABLE = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 \\:,><-+.;/"
SYMBOL_NAMES = {
    "\\": "backslash",
    ":": "colon",
    ",": "comma",
    ">": "greater",
    "<": "less",
    "-": "minus",
    "+": "plus",
    ".": "period",
    ";": "semicolon",
    "/": "slash",
}
KEY_SHIFT = 16  # held for a character, not typed
WAIT = 30.0  # seconds for anything the test waits on; a busy machine takes far less


class Unavailable(Exception):
    pass


def key_name(character):
    return SYMBOL_NAMES.get(character, character.lower())


class Display:
    """An Xvfb of our own that keeps its keyboard layout when its last client goes."""

    def __init__(self):
        self.process = None
        self.name = None

    def start(self):
        for tool in ("Xvfb", "xdotool", "setxkbmap"):
            if not shutil.which(tool):
                raise Unavailable(f"{tool} missing")
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp", "-screen", "0", "640x480x24"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise Unavailable("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        deadline = time.monotonic() + WAIT
        while self.run("xdotool", "getdisplaygeometry").returncode != 0:
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise Unavailable("Xvfb never answered")
            time.sleep(0.05)

    def env(self):
        env = dict(os.environ, DISPLAY=self.name, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy")
        env.pop("XAUTHORITY", None)
        return env

    def run(self, *command):
        return subprocess.run(command, env=self.env(), capture_output=True, text=True, timeout=WAIT)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class KeyWindow:
    """tapdash_key_echo, its reports read as they come."""

    def __init__(self, executable, display):
        self.display = display
        self.process = subprocess.Popen(
            [executable], env=display.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True
        )
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.split())
        self.lines.put(None)

    def next_line(self):
        try:
            line = self.lines.get(timeout=WAIT)
        except queue.Empty:
            return None
        return line

    def open(self):
        """Waits until the window is shown and has the keyboard."""
        line = self.next_line()
        if line != ["shown"]:
            raise RuntimeError(f"the key window did not open: {line}")
        found = self.display.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tapdash keys$")
        window = found.stdout.split()[0]
        self.display.run("xdotool", "windowfocus", "--sync", window)

    def next_key(self):
        """The (code, entry) of the next key-down that is not Shift; None when none comes."""
        while True:
            line = self.next_line()
            if line is None:
                return None
            if line[0] == "down" and int(line[1]) != KEY_SHIFT:
                return int(line[1]), int(line[2])

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def check_layout(layout, executable, display, failures):
    done = display.run("setxkbmap", "-layout", layout)
    if done.returncode != 0:
        failures.append(f"{layout}: setxkbmap failed: {done.stderr.strip()}")
        return
    window = KeyWindow(executable, display)
    try:
        window.open()
        for entry, character in enumerate(TABLE):
            if character == " ":
                continue
            display.run("xdotool", "key", key_name(character))
            got = window.next_key()
            if got is None:
                failures.append(f"{layout}: {character!r} never arrived")
                return
            code, answered = got
            if answered != entry:
                failures.append(
                    f"{layout}: {character!r} arrived as code {code}, which answers entry {answered}, not {entry}"
                )
    finally:
        window.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--echo", required=True)
    args = parser.parse_args()
    display = Display()
    failures = []
    try:
        display.start()
        for layout in LAYOUTS:
            check_layout(layout, args.echo, display, failures)
    except Unavailable as why:
        print(f"skipped: {why}")
        return 77
    finally:
        display.stop()
    for failure in failures:
        print(failure)
    if not failures:
        print(f"all {len(TABLE) - 1} characters arrive right on the layouts {', '.join(LAYOUTS)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
