"""The real game under a virtual display, played with real key events while its sound is captured.

`Session` starts Xvfb and the game (SDL's disk audio driver writing everything the mixer outputs
to a file), presses keys through the X test extension, and follows the capture as it grows, so
that a player program can react to what it hears.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
import traceback

import capture

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import xvfb  # noqa: E402

KEY_NAMES = {"ctrl": "Control_L", "space": "space", "enter": "Return", "esc": "Escape", "up": "Up", "down": "Down"}
BEST_KEY = (9, 4, 21, 7, 15, 2, 24, 12, 6, 20)


Unavailable = xvfb.Unavailable  # no virtual display or no key sender on this machine
# Every wait below ends at the event it waits for; its timeout is only the last guard against a
# hang, stretched this many times so that a machine loaded by other work never reaches it.
PATIENCE = 3


class Checks:
    def __init__(self):
        self.failures = []

    def that(self, condition, message):
        if not condition:
            self.failures.append(message)
        return condition

    def near(self, value, expected, tolerance, message):
        return self.that(
            value is not None and abs(value - expected) <= tolerance,
            f"{message}: {value if value is None else round(value, 3)} (expected {expected} ± {tolerance})",
        )

    def within(self, value, low, high, message):
        return self.that(low <= value <= high, f"{message}: {value:.3f} (expected {low} to {high})")


def main(test, arguments, flags=(), tools=("Xvfb", "xdotool")):
    """A by-ear test's main: `test(args, checks)` with the named arguments (each required) and
    flags; 0 when every check holds, 1 with the failures printed, 77 when a tool or the virtual
    display is missing. `test` prints what else a failure needs."""
    parser = argparse.ArgumentParser()
    for name in arguments:
        parser.add_argument(name, required=True)
    for name in flags:
        parser.add_argument(name, action="store_true")
    args = parser.parse_args()
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        print(f"SKIP: {', '.join(missing)} missing")
        return 77
    checks = Checks()
    try:
        test(args, checks)
    except Unavailable as why:
        print(f"SKIP: {why}")
        return 77
    except Exception:
        checks.failures.append(traceback.format_exc())
    if checks.failures:
        print("FAILED:\n  " + "\n  ".join(checks.failures))
        return 1
    return 0


def stored_sound(samples_16bit_mono, rate):
    """A sound file in the game's stored form: a plain WAVE file with its first 50 bytes reversed."""
    data = samples_16bit_mono.astype("<i2").tobytes()
    header = b"RIFF" + (36 + len(data)).to_bytes(4, "little") + b"WAVEfmt "
    header += (16).to_bytes(4, "little") + (1).to_bytes(2, "little") + (1).to_bytes(2, "little")
    header += rate.to_bytes(4, "little") + (rate * 2).to_bytes(4, "little")
    header += (2).to_bytes(2, "little") + (16).to_bytes(2, "little")
    header += b"data" + len(data).to_bytes(4, "little")
    whole = header + data
    return whole[:50][::-1] + whole[50:]


def tone_samples(frequency, seconds, peak_dbfs, rate=16000):
    import numpy as np

    n = np.arange(int(seconds * rate))
    return np.rint(32767 * 10 ** (peak_dbfs / 20) * np.sin(2 * np.pi * frequency * n / rate))


def unscramble_best(stored):
    """best.dat's bytes in plain form: the key is added to its first 100 bytes."""
    plain = bytearray(stored)
    for j in range(min(100, len(plain))):
        plain[j] = (plain[j] - BEST_KEY[j % 10]) % 256
    return bytes(plain)


def best_records(stored):
    plain = unscramble_best(stored)
    records = []
    for at in range(0, len(plain) - 6, 7):
        text = plain[at : at + 7].split(b"\0", 1)[0]
        records.append(int(text))
    return records


def make_program_folder(folder, executable, tone_pack, intro_seconds=None):
    """A scratch program folder: the executable (under its own name), a sound pack (the tone
    pack, or any other) and an empty best.dat; the intro lengthened to `intro_seconds` when
    given."""
    if os.path.exists(folder):
        shutil.rmtree(folder)
    shutil.copytree(tone_pack, folder)
    shutil.copy2(executable, os.path.join(folder, os.path.basename(executable)))
    open(os.path.join(folder, "best.dat"), "wb").close()
    has_tones = os.path.exists(os.path.join(folder, "tones.txt"))
    tones = capture.load_tones(folder) if has_tones else {}
    if intro_seconds:
        intro = tones.get("game\\game_intro.vgz", capture.Tone("game\\game_intro.vgz", 5650, 0, -6.0))
        samples = tone_samples(intro.frequency, intro_seconds, intro.peak_db, capture.RATE)
        with open(os.path.join(folder, "game", "game_intro.vgz"), "wb") as out:
            # At the rate the pack is stored at, as the game's own intro: a sound at another rate
            # is converted as it loads, which takes the sanitizers' build seconds for a long one.
            out.write(stored_sound(samples, capture.RATE))
        intro.length_ms = int(intro_seconds * 1000)
    return tones


# Wine's sound goes to an ALSA file device: a plug converts it to the capture's format (16-bit
# stereo at 48000 Hz, what SDL's disk driver writes on Linux) and the file device writes it,
# paced by a null device. No sound card is needed.
WINE_ASOUNDRC = """pcm.!default {
  type plug
  slave { pcm "tapdash_capture"; format S16_LE; rate 48000; channels 2 }
}
pcm.tapdash_capture {
  type file
  slave.pcm "null"
  file { @func getenv vars [ TAPDASH_CAPTURE ] default "/dev/null" }
  format "raw"
}
"""


class Wine:
    """Running the Windows build under Wine: a scratch prefix (made once, never downloading mono
    or gecko) and a scratch HOME whose asoundrc sends the sound to the capture file."""

    def __init__(self, scratch):
        self.home = os.path.join(scratch, "wine-home")
        self.prefix = os.environ.get("WINEPREFIX") or os.path.join(scratch, "wine-prefix")
        os.makedirs(self.home, exist_ok=True)
        with open(os.path.join(self.home, ".asoundrc"), "w") as rc:
            rc.write(WINE_ASOUNDRC)

    @staticmethod
    def command(program):
        """The command that runs `program` under Wine. Where we may (as root), ahead of the
        other work of a busy machine: Wine fills a gap in the game's sound with silence as a
        sound card would, and a capture is only as good as the game's render thread is prompt."""
        ahead = ["nice", "-n", "-10"] if os.geteuid() == 0 else []
        return ahead + ["wine", program]

    def env(self):
        return dict(
            HOME=self.home,
            WINEPREFIX=self.prefix,
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
        )

    def prepare(self, env, driver="alsa"):
        """Makes the prefix if it is not there (wineboot returns once it is made), with `driver`
        as Wine's sound driver."""
        # Not through pipes: the services a fresh prefix starts inherit them and keep them open.
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=300, **quiet)
        subprocess.run(
            ["wine", "reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Audio", "/d", driver, "/f"],
            env=env, check=True, timeout=300, **quiet,
        )


class Session:
    def __init__(self, folder, tones, scratch, extra_env=None, command=None, wine=None):
        self.folder = folder
        self.command = command or [os.path.join(folder, "tapdash")]
        self.wine = wine
        self.tones = tones
        self.capture_path = os.path.join(scratch, "capture.raw")
        self.scratch = scratch
        self.extra_env = extra_env or {}
        self.xvfb = None
        self.game = None
        self.window = None
        self.unseen = 0.0  # capture second of the last look that did not find the window
        self.started = None  # monotonic time of the game's start
        self.growth = []  # (monotonic time, frames in the capture): maps the wall clock onto it
        self.keys = []  # (name, monotonic time, capture second when sent, capture second when done)

    # --- processes ---------------------------------------------------------------------------

    def start_display(self):
        if not all(shutil.which(tool) for tool in ("Xvfb", "xdotool")):
            raise Unavailable("Xvfb or xdotool missing")
        self.xvfb = xvfb.start()

    def env(self):
        env = self.xvfb.env()
        env.update(
            SDL_AUDIODRIVER="disk",
            SDL_DISKAUDIOFILE=self.capture_path,
            SDL_VIDEODRIVER="x11",
        )
        if self.wine:
            env.update(self.wine.env(), TAPDASH_CAPTURE=self.capture_path)
        env.update(self.extra_env)
        return env

    def start_game(self):
        if os.path.isfile(self.capture_path) and not os.path.islink(self.capture_path):
            os.remove(self.capture_path)
        self.started = time.monotonic()
        self.game = subprocess.Popen(
            self.command,
            cwd=self.scratch,
            env=self.env(),
            stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.scratch, "game.stderr"), "wb"),
        )

    def find_window(self, timeout=60.0, name="Tapdash"):
        """Waits for the visible window titled `name` and focuses it."""
        deadline = time.monotonic() + timeout * PATIENCE
        while time.monotonic() < deadline:
            looked = self.now()
            found = subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                env=self.env(),
                capture_output=True,
                text=True,
            )
            if found.stdout.split():
                self.window = found.stdout.split()[0]
                subprocess.run(["xdotool", "windowfocus", "--sync", self.window], env=self.env(), timeout=10)
                return time.monotonic()
            self.unseen = looked
            if self.game.poll() is not None:
                break
            time.sleep(0.02)
        return None

    def skip_intro(self, checks):
        """Waits for the window and the intro and cuts it with Ctrl: the intro heard and where
        the capture stood when Ctrl went, or None when the window or the intro never came."""
        if not checks.that(self.find_window() is not None, "the window never appeared"):
            return None
        intro = self.wait_for("game\\game_intro.vgz", 0.0, 15, min_duration=0.3)
        if not checks.that(intro is not None, "no intro"):
            return None
        return intro, self.press("ctrl")

    def wait_exit(self, timeout):
        try:
            return self.game.wait(timeout=timeout * PATIENCE)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        for process in (self.game, self.xvfb and self.xvfb.process):
            if process:
                xvfb.stop(process)

    # --- keys --------------------------------------------------------------------------------

    def press(self, *names, delay_ms=60):
        """Sends the keys one after the other; answers where the capture stood when they went."""
        keys = [KEY_NAMES.get(name, name) for name in names]
        at = self.frames() / capture.RATE
        sent = time.monotonic()
        command = ["xdotool", "key", "--delay", str(delay_ms), *keys]
        subprocess.run(command, env=self.env(), check=True, timeout=10)
        done = self.frames() / capture.RATE
        for name in names:
            self.keys.append((name, sent, at, done))
        return at

    def sent_by(self, at):
        """Where the capture stood once the keys sent at `at` had surely gone: the key sender is
        a process of its own, which a busy machine may take a while to start."""
        return max([done for _, _, sent_at, done in self.keys if sent_at == at], default=at)

    # --- the capture -------------------------------------------------------------------------

    def frames(self):
        try:
            size = os.path.getsize(self.capture_path)
        except OSError:
            size = 0
        frames = size // 4
        self.growth.append((time.monotonic(), frames))
        return frames

    def heard(self, since=0.0, folder=None):
        """The timeline of the capture from `since` (seconds) to its current end; only of the
        sounds of one folder ("level1\\") when given, which is quicker."""
        first = max(0, int(since * capture.RATE) - capture.FRAME)
        if self.frames() <= first:
            return []  # nothing captured there yet (the file may not even exist)
        samples = capture.read_capture(self.capture_path, first, self.frames() - first)
        tones = self.tones
        if folder:
            tones = {name: tone for name, tone in tones.items() if name.startswith(folder)}
        return capture.timeline(samples, tones, first / capture.RATE)

    def wait_for(self, match, since, timeout, min_duration=0.0, lead=1.0, folder=None):
        """The first play (oldest) that starts at or after `since` and matches; None on timeout.
        `match` is a file name or a predicate on events. `lead` is how much capture before
        `since` each look takes in (less is quicker; a play's start is then less sure)."""
        if isinstance(match, str):
            name = match.lower()

            def match(event):
                return event.file.lower() == name

        deadline = time.monotonic() + timeout * PATIENCE
        # Each look takes in the capture from `cursor` (and `lead` before it, so that a play
        # that began earlier is seen with its true start) to its end. The cursor follows the
        # end, a little behind: a play that started further back would have been judged by now.
        # However far a busy machine lets the capture run ahead between looks, nothing is missed.
        cursor = since
        while time.monotonic() < deadline:
            end = self.frames() / capture.RATE
            first = max(0.0, cursor - lead)
            for event in self.heard(first, folder):
                earliest = since - 0.02 if first == 0.0 else max(since - 0.02, first + lead)
                if event.start >= earliest and match(event):
                    # A play still going on counts once it has lasted long enough to be judged.
                    if event.duration >= min_duration or event.end < end - 0.05:
                        return event
            cursor = max(cursor, end - max(1.0, min_duration) - 0.1)
            if self.game.poll() is not None:
                return None
            time.sleep(0.04)
        return None

    def wait_until(self, second, timeout):
        """Waits until the capture reaches `second`; False on timeout or when the game ended."""
        deadline = time.monotonic() + timeout * PATIENCE
        while time.monotonic() < deadline and self.game.poll() is None:
            if self.now() >= second:
                return True
            time.sleep(0.02)
        return False

    def pace(self, first_second, last_second):
        """Seconds of capture written per second of the wall clock while the capture grew from
        `first_second` to `last_second` (1 when the sound thread keeps up with the clock)."""
        inside = [(t, f) for t, f in self.growth if first_second * capture.RATE <= f <= last_second * capture.RATE]
        if len(inside) < 2 or inside[-1][0] - inside[0][0] < 0.5:
            return 1.0
        return (inside[-1][1] - inside[0][1]) / capture.RATE / (inside[-1][0] - inside[0][0])

    def now(self):
        return self.frames() / capture.RATE
