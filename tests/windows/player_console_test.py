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


# Each run: what it is, the answers typed at the prompts in turn, whether it starts from a command
# prompt, the line it ends with and its exit status. config.dat holds the last answers saved.
RUNS = [
    ("accented details", ["José", "Müller", "Straße 1", "Österreich"], False, b"Saved.", 0),
    ("Ctrl+Z at the second prompt", ["Ada", "\x1a"], False, b"Nothing was saved", 1),
    ("started from a command prompt", ["Ada", "Lovelace", "1 Main Street", "UK"], True, b"Saved.", 0),
]


def main():
    program, scratch = sys.argv[1], sys.argv[2]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    player = os.path.join(scratch, "tapdash-player.exe")
    shutil.copy(program, player)
    config = os.path.join(scratch, "config.dat")
    saved = None
    for name, answers, from_prompt, last, status in RUNS:
        console = start(player, from_prompt)
        for prompt, answer in zip(PROMPTS, answers):
            if prompt != PROMPTS[0]:
                console.wait_for(prompt)
            console.type(answer.encode("utf-8") + b"\r")
        console.wait_for(last)
        # A console of its own waits for Enter after the last line; a prompt's, which stays, not.
        if not from_prompt:
            console.wait_for(CLOSE)
            console.type(b"\r")
        if console.wait_for_end() != status:
            sys.exit(f"{name}: the program ended with {console.status}, not {status}")
        if from_prompt and CLOSE.replace(b" ", b"") in screen_text(console.shown):
            sys.exit(f"{name}: the program still asked for Enter")
        if status == 0:
            saved = "".join(a + "\n" for a in answers).encode("utf-8")
        with open(config, "rb") as f:
            written = f.read()
        if written != saved:
            sys.exit(f"{name}: config.dat holds {written!r}, not {saved!r}")
    print("accented details reached config.dat in UTF-8; Ctrl+Z kept them; a console of its own "
          "waited for Enter, a prompt's did not")


if __name__ == "__main__":
    main()
