#!/usr/bin/python3
"""The sound device lost mid-game, and missing at the start. Headphones unplugged mid-game: Tapdash.exe under Wine plays to the only sink of a private
PulseAudio daemon; the sink is unloaded (the game's stream ends with it: Windows calls this the
device invalidated) and another is loaded as the default; the game must be heard again on it and
still leave with Escape. Started with no sink at all, it shows its error box, goes on silently
and is heard once a sink appears. Prints the time from the loss to the first sound on the new sink.

usage: device_loss_test.py <Tapdash.exe> <tone pack> <scratch folder>
Exit status 0 when it holds, 1 when not, 77 where PulseAudio or a virtual display cannot run.
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import capture  # noqa: E402
import live  # noqa: E402

INTRO = "game\\game_intro.vgz"


class Pulse:
    """A private PulseAudio daemon with null sinks, more of them added later."""

    def __init__(self, scratch):
        self.runtime = os.path.join(scratch, "pulse-runtime")
        os.makedirs(self.runtime)
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, PULSE_SERVER=f"unix:{self.runtime}/pulse/native")
        self.recorders = []

    def start(self, sinks):
        started = subprocess.run(
            ["pulseaudio", "-n", "--daemonize=yes", "--exit-idle-time=-1", "--load=module-native-protocol-unix"]
            + [f"--load=module-null-sink sink_name={sink} rate=48000" for sink in sinks],
            env=self.env, capture_output=True, timeout=60)
        if started.returncode != 0:
            return False
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if subprocess.run(["pactl", "info"], env=self.env, capture_output=True).returncode == 0:
                for sink in sinks:
                    subprocess.run(["pactl", "set-default-sink", sink], env=self.env, check=True)
                return True
            time.sleep(0.05)
        return False

    def add_sink(self, sink):
        subprocess.run(["pactl", "load-module", "module-null-sink", f"sink_name={sink}", "rate=48000"],
                       env=self.env, check=True, capture_output=True)
        subprocess.run(["pactl", "set-default-sink", sink], env=self.env, check=True)

    def listen(self, session, sink):
        """From now on the session follows what `sink` plays: its monitor into a raw file in the
        capture's format."""
        session.capture_path = os.path.join(session.scratch, f"{sink}.raw")
        self.recorders.append(subprocess.Popen(
            ["parec", "-d", f"{sink}.monitor", "--raw", "--format=s16le", "--rate=48000", "--channels=2",
             "--latency-msec=10", session.capture_path], env=self.env))

    def module_of(self, sink):
        modules = subprocess.run(["pactl", "list", "short", "modules"], env=self.env, capture_output=True,
                                 text=True, check=True).stdout
        for line in modules.splitlines():
            if f"sink_name={sink}" in line:
                return line.split()[0]
        return None

    def stop(self):
        for recorder in self.recorders:
            recorder.terminate()
            recorder.wait()
        pid_file = os.path.join(self.runtime, "pulse", "pid")
        if os.path.exists(pid_file):
            try:
                os.kill(int(open(pid_file).read().split()[0]), 15)
            except (OSError, ValueError):
                pass


def lost_mid_game(session, pulse, failures):
    """Heard on sink a; a goes (its stream ends with it: the device is invalidated) and b appears
    at once, as when headphones are unplugged and the speakers take over."""
    session.start_game()
    pulse.listen(session, "a")
    if session.find_window() is None:
        return failures.append("the window never appeared")
    if session.wait_for(INTRO, 0.0, 60) is None:
        return failures.append("the intro was never heard on the first sink")
    lost = time.monotonic()
    subprocess.run(["pactl", "unload-module", pulse.module_of("a")], env=pulse.env, check=True)
    pulse.add_sink("b")
    pulse.listen(session, "b")
    if session.wait_for(INTRO, 0.0, 30) is None:
        failures.append("after the first sink went away the game was never heard on the other")
    else:
        print(f"device recovery: {time.monotonic() - lost:.2f} s from the sink's loss to the intro heard on the next")
    leave(session, failures)


def none_at_start(session, pulse, failures):
    """No sink at all when the game starts: the error box, then the game goes on silently, and
    the intro is heard once a sink appears."""
    session.start_game()
    if session.find_window(name="Error!") is None:
        return failures.append('no "DSound not created" box at a start without a device')
    session.press("enter")
    if session.find_window() is None:
        return failures.append("the window never appeared")
    appeared = time.monotonic()
    pulse.add_sink("a")
    pulse.listen(session, "a")
    if session.wait_for(INTRO, 0.0, 30) is None:
        return failures.append("the intro was never heard once a sink appeared")
    print(f"device at last: {time.monotonic() - appeared:.2f} s from the sink's arrival to the intro heard on it")
    leave(session, failures)


def leave(session, failures):
    """Ctrl leaves the intro for the menu; Escape there says goodbye and quits."""
    if session.wait_for("menu\\arrows.vgz", session.press("ctrl"), 30) is None:
        failures.append("the menu was not heard on the new sink")
    session.press("esc")
    if session.wait_exit(60) is None:
        failures.append("the game did not end with Escape")


def run(scenario, sinks, executable, tone_pack, scratch):
    """0, 1 or 77 (skipped), as main(); `scratch` is made afresh, so no earlier capture is heard."""
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    pulse = Pulse(scratch)
    if not pulse.start(sinks):
        pulse.stop()
        print("SKIP: a private PulseAudio daemon cannot run here")
        return 77
    folder = os.path.join(scratch, "Tapdash")
    # The intro lengthened to a minute: a steady tone that plays across the change.
    tones = live.make_program_folder(folder, executable, tone_pack, intro_seconds=60)
    wine = live.Wine(scratch)
    wine.prefix = os.path.join(os.path.dirname(scratch), "wine-prefix-pulse")  # its own, set to pulse
    session = live.Session(folder, tones, scratch, command=live.Wine.command(os.path.join(folder, "Tapdash.exe")),
                           wine=wine, extra_env={k: pulse.env[k] for k in ("XDG_RUNTIME_DIR", "PULSE_SERVER")})
    failures = []
    try:
        try:
            session.start_display()
        except live.Unavailable as why:
            print(f"SKIP: {why}")
            return 77
        wine.prepare(session.env(), driver="pulse")
        scenario(session, pulse, failures)
    finally:
        session.stop()
        pulse.stop()
    if failures:
        print(f"FAILED ({scenario.__name__}):\n  " + "\n  ".join(failures))
        stderr = os.path.join(scratch, "game.stderr")
        if os.path.exists(stderr):
            print(open(stderr, errors="replace").read()[-3000:])
        return 1
    print(f"{scenario.__name__}: heard on the new device and left with Escape")
    return 0


def main():
    executable, tone_pack, scratch = sys.argv[1:4]
    if not all(shutil.which(tool) for tool in ("pulseaudio", "pactl", "parec")):
        print("SKIP: PulseAudio (pulseaudio, pactl, parec) is not installed")
        return 77
    results = [run(lost_mid_game, ["a"], executable, tone_pack, os.path.join(scratch, "lost")),
               run(none_at_start, [], executable, tone_pack, os.path.join(scratch, "start"))]
    return 1 if 1 in results else (77 if 77 in results else 0)


if __name__ == "__main__":
    sys.exit(main())
