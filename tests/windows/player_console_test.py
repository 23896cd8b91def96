#!/usr/bin/env python3
"""tapdash-player.exe at a console, under Wine on a pseudo-terminal: a player whose name, street
and country have accents types them at the prompts, and config.dat holds them in UTF-8, the way
the game sends them and the score server reads them. Ctrl+Z and Enter give up and keep the file.
Started alone, as from the Start menu, its console closes with it: it then waits for Enter after
its last line, so that a screen reader has read it. Started from a command prompt, which keeps the
console open, it ends at once.

  player_console_test.py <tapdash-player.exe> <scratch folder>

Each answer is typed once its prompt is on the screen; the time limits only end a run that hangs.
"""
import os
import pty
import re
import select
import shutil
import signal
import sys
import time
import tty

ESCAPES = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]")


def screen_text(shown):
    """The characters on the screen: Wine's console may draw a space as a cursor move."""
    return ESCAPES.sub(b"", shown).replace(b" ", b"")
PROMPTS = [b"First name:", b"Last name:", b"Address:", b"Country:"]
CLOSE = b"Press Enter to close this window."


class Console:
    """The program on a pseudo-terminal, and what its screen has shown so far."""

    def __init__(self, program, from_prompt=False):
        env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            # Raw from the start, as Wine's console makes it once it reads: an Enter typed
            # before that stays a carriage return instead of becoming a line feed.
            tty.setraw(0)
            os.chdir(os.path.dirname(program))
            command = ["wine", program]
            if from_prompt:
                command = ["wine", "cmd", "/c", os.path.basename(program)]
            os.execvpe("wine", command, env)
        self.shown = b""
        self.read_to = 0
        self.status = None
        self.closed = False

    def _read(self, seconds):
        ready, _, _ = select.select([self.fd], [], [], seconds)
        if not ready:
            return True
        try:
            data = os.read(self.fd, 4096)
        except OSError:  # the program has ended and the terminal closed
            data = b""
        self.shown += data
        self.closed = not data
        return not self.closed

    def shows(self, text, limit=120):
        """Waits until the screen shows `text` after what was read before; False if it never does."""
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            at = screen_text(self.shown).find(text.replace(b" ", b""), self.read_to)
            if at >= 0:
                self.read_to = at + len(text.replace(b" ", b""))
                return True
            if not self._read(0.5):
                break
        return False

    def wait_for(self, text):
        if not self.shows(text):
            sys.exit(f"the screen never showed {text!r}; it showed:\n{screen_text(self.shown)!r}")

    def type(self, text):
        os.write(self.fd, text)

    def wait_for_end(self, limit=120):
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = os.waitstatus_to_exitcode(status)
                return self.status
            if self.closed:
                time.sleep(0.05)
            else:
                self._read(0.2)
        os.kill(self.pid, signal.SIGKILL)
        sys.exit("the program did not end")


def start(player, from_prompt=False):
    """The program at its first prompt. Wine very rarely ends at once, before the program has
    shown anything: such a start is made once more."""
    console = Console(player, from_prompt)
    if console.shows(PROMPTS[0]):
        return console
    if not console.shown and console.closed and console.wait_for_end() != 0:
        print("Wine ended before the program showed anything; starting it again")
        console = Console(player, from_prompt)
        if console.shows(PROMPTS[0]):
            return console
    sys.exit(f"the screen never showed the first prompt; it showed:\n{screen_text(console.shown)!r}")


def main():
    program, scratch = sys.argv[1], sys.argv[2]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    player = os.path.join(scratch, "tapdash-player.exe")
    shutil.copy(program, player)
    config = os.path.join(scratch, "config.dat")

    answers = ["José", "Müller", "Straße 1", "Österreich"]
    console = start(player)
    console.type(answers[0].encode("utf-8") + b"\r")
    for prompt, answer in zip(PROMPTS[1:], answers[1:]):
        console.wait_for(prompt)
        console.type(answer.encode("utf-8") + b"\r")
    console.wait_for(b"Saved.")
    console.wait_for(CLOSE)
    console.type(b"\r")
    if console.wait_for_end() != 0:
        sys.exit(f"the details were saved but the program ended with {console.status}")
    with open(config, "rb") as f:
        written = f.read()
    expected = "".join(a + "\n" for a in answers).encode("utf-8")
    if written != expected:
        sys.exit(f"config.dat holds {written!r}, not {expected!r}")

    console = start(player)
    console.type(b"Ada\r")
    console.wait_for(PROMPTS[1])
    console.type(b"\x1a\r")
    console.wait_for(b"Nothing was saved")
    console.wait_for(CLOSE)
    console.type(b"\r")
    if console.wait_for_end() != 1:
        sys.exit(f"giving up ended the program with {console.status}, not 1")
    with open(config, "rb") as f:
        if f.read() != expected:
            sys.exit("giving up changed config.dat")

    # From a command prompt the console stays: no question, the prompt's own end follows.
    console = start(player, from_prompt=True)
    console.type(b"Ada\r")
    for prompt, answer in zip(PROMPTS[1:], [b"Lovelace", b"1 Main Street", b"UK"]):
        console.wait_for(prompt)
        console.type(answer + b"\r")
    console.wait_for(b"Saved.")
    if console.wait_for_end() != 0:
        sys.exit(f"started from a prompt, the program ended with {console.status}")
    if CLOSE.replace(b" ", b"") in screen_text(console.shown):
        sys.exit("started from a prompt, the program still asked for Enter")
    print("accented details reached config.dat in UTF-8; Ctrl+Z kept them; a console of its own "
          "waited for Enter, a prompt's did not")


if __name__ == "__main__":
    main()
