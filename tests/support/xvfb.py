#!/usr/bin/python3
"""A private virtual display for the tests that need a window: Xvfb on a free display number
(-displayfd), returned once it has taken a client.

It never resets (-noreset), and so also keeps a keyboard layout set on it. A server that resets
when its last client leaves drops every connection still being set up at that moment: a program
starting while a short-lived client (xdotool looking for its window) comes and goes loses the
display and ends, with a word or without one. Its keys never repeat (-r): a key whose release a
busy machine holds back would otherwise arrive again and again.

From Python: `display = xvfb.start()`, then `display.env()` and `display.stop()`.
From a shell: `read -r DISPLAY xvfb_pid < <(tests/support/xvfb.py)`: it prints the display (":N")
and the server's process id and leaves the server running; exit status 1 when none starts.
"""

import os
import select
import socket
import subprocess
import sys

WAIT = 30.0  # seconds for the server to give its number and answer; a busy machine takes far less


class Unavailable(Exception):
    """No Xvfb on this machine."""


class Display:
    def __init__(self, process, number):
        self.process = process
        self.name = f":{number}"

    def env(self, base=None):
        """`base` (the process environment by default) with this display and no other's key."""
        env = dict(os.environ if base is None else base, DISPLAY=self.name)
        env.pop("XAUTHORITY", None)
        return env

    def stop(self):
        stop(self.process)


def stop(process):
    # Asked to end, so that it removes its lock and socket for the next server.
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def answers(number):
    """Whether the server on `number` accepts a client: the X connection setup sent on its local
    socket, answered with success."""
    setup = b"l\0" + (11).to_bytes(2, "little") + bytes(8)  # protocol 11.0, no authorisation
    with socket.socket(socket.AF_UNIX) as client:
        client.settimeout(WAIT)
        try:
            client.connect(f"\0/tmp/.X11-unix/X{number}")
            client.sendall(setup)
            return client.recv(1) == b"\1"
        except OSError:
            return False


def _start_once():
    read_end, write_end = os.pipe()
    try:
        process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-r", "-nolisten", "tcp", "-screen", "0", "640x480x24"],
            pass_fds=(write_end,),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
    except OSError as why:
        os.close(read_end)
        raise Unavailable(f"Xvfb cannot run: {why}")
    finally:
        os.close(write_end)
    # The number comes once the server listens; an empty read means it ended first.
    with os.fdopen(read_end, "rb") as numbers:
        number = numbers.readline().strip() if select.select([numbers], [], [], WAIT)[0] else b""
    if number.isdigit() and answers(int(number)):
        return Display(process, int(number))
    stop(process)
    return None


def start():
    """A running server. A server that ends before it answers (another one starting at the same
    moment took its number) is followed by a new one."""
    for _ in range(3):
        display = _start_once()
        if display:
            return display
    raise RuntimeError("Xvfb started but never answered")


def main():
    try:
        display = start()
    except (Unavailable, RuntimeError) as why:
        print(f"xvfb: {why}", file=sys.stderr)
        return 1
    print(display.name, display.process.pid, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
