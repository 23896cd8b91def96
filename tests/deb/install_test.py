#!/usr/bin/python3
"""The Debian packages installed, used, upgraded and purged in a throw-away Debian 12 root, as
root: the game started from /usr/games by a player of the root, played by ear (the tone pack
mounted over the installed one) until a game's best.dat is in the player's home; the score
server and its backup run as their units run them; the purge leaves nothing but the player's
files.

usage: install_test.py --debs <folder of the .deb files> --tones <tone pack> --work <scratch>

The root is debootstrap's minimal bookworm with the packages' dependencies, kept as a tarball in
--work keyed by its package list and unpacked afresh for each run. The root has no systemd
running: what only a real systemd checks (the sandbox, the timer) is left to docs/server.md.
"""

import argparse
import glob
import hashlib
import os
import re
import shlex
import subprocess
import sys
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import live  # noqa: E402
import session_test as by_ear  # noqa: E402

PACKAGES = ("tapdash", "tapdash-data", "tapdash-scores")
PREVIOUS = "~previous"  # the packages again, numbered before the ones built
# Where the packaging system and the player may leave files after a purge.
MAY_REMAIN = ("home/", "tmp/", "var/cache/", "var/lib/apt/", "var/lib/dpkg/", "var/log/",
              "var/lib/systemd/deb-systemd-helper-")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(*command, **options):
    done = subprocess.run(command, text=True, capture_output=True, **options)
    if done.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed ({done.returncode}):\n{done.stdout}{done.stderr}")
    return done.stdout


def in_root(root, *command):
    return run("chroot", root, *command, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def dependencies(debs):
    """The first choice of each dependency of the packages, other than each other."""
    names = set()
    for deb in debs:
        for field in ("Pre-Depends", "Depends"):
            for choice in run("dpkg-deb", "-f", deb, field).split(","):
                name = choice.split("|")[0].split("(")[0].split(":")[0].strip()
                if name and name not in PACKAGES:
                    names.add(name)
    return sorted(names)


def mirror():
    """This machine's Debian mirror."""
    text = "".join(open(f).read() for f in glob.glob("/etc/apt/sources.list*") + glob.glob("/etc/apt/sources.list.d/*") if os.path.isfile(f))
    found = re.search(r"(?:URIs:|deb)\s+(http\S+/debian)\s", text)
    return found.group(1) if found else "http://deb.debian.org/debian"


def make_root(work, debs):
    include = dependencies(debs)
    key = hashlib.sha256(" ".join(include).encode()).hexdigest()[:12]
    cached = os.path.join(work, f"bookworm-{key}.tar")
    if not os.path.exists(cached):
        fresh = remove(os.path.join(work, "debootstrap"))
        run("debootstrap", "--variant=minbase", "--include=" + ",".join(include), "bookworm", fresh, mirror())
        run("tar", "-C", fresh, "-cf", cached + ".part", ".")
        os.replace(cached + ".part", cached)
        remove(fresh)
    root = remove(os.path.join(work, "root"))
    os.makedirs(root)
    run("tar", "-C", root, "-xf", cached)
    return root


def unmount_all(root):
    """Every mount in the root, the latest first, a run cut short's too."""
    for line in reversed(open("/proc/mounts").read().splitlines()):
        if line.split()[1].startswith(root + "/"):
            subprocess.run(["umount", "--lazy", line.split()[1]])


def remove(folder):
    unmount_all(folder)
    subprocess.run(["rm", "-rf", "--one-file-system", folder], check=True)
    return folder


def numbered_before(deb, folder):
    """The package with its version (and the versions it asks of the others) made earlier."""
    unpacked = os.path.join(folder, "unpacked")
    subprocess.run(["rm", "-rf", unpacked], check=True)
    run("dpkg-deb", "-R", deb, unpacked)
    control = os.path.join(unpacked, "DEBIAN", "control")
    version = run("dpkg-deb", "-f", deb, "Version").strip()
    text = open(control).read().replace(version, version + PREVIOUS)
    open(control, "w").write(text)
    earlier = os.path.join(folder, os.path.basename(deb).replace(version, version + PREVIOUS))
    run("dpkg-deb", "-b", unpacked, earlier)
    return earlier


def files_of(root):
    found = set()
    for folder, dirs, names in os.walk(root):
        dirs[:] = [d for d in dirs if os.path.join(folder, d) not in (f"{root}/proc", f"{root}/dev")]
        found.update(os.path.relpath(os.path.join(folder, n), root) for n in dirs + names)
    return found


def unit(root, name):
    """The unit's [Service] settings with its drop-ins: the last value of each, and every
    Environment= assignment."""
    settings, environment = {}, {}
    paths = [f"{root}/lib/systemd/system/{name}"] + sorted(glob.glob(f"{root}/lib/systemd/system/{name}.d/*.conf"))
    for path in paths:
        for line in open(path).read().replace("\\\n", " ").splitlines():
            key, _, value = line.partition("=")
            if key == "Environment" and value:
                assignment = shlex.split(value)[0]
                environment.update([assignment.split("=", 1)])
            elif key and not key.startswith(("#", "[")):
                settings[key] = value
    return settings, environment


def start_as_unit(root, name, options=None, **popen):
    """The unit's ExecStart as systemd would start it: its user, its state folder (made as
    StateDirectory= makes it), working folder and umask, its $VARIABLES from Environment=;
    `options` replace the values of those options."""
    settings, environment = unit(root, name)
    uid, gid = (int(in_root(root, "id", flag, settings["User"])) for flag in ("-u", "-g"))
    state = f"{root}/var/lib/{settings['StateDirectory']}"
    os.makedirs(state, exist_ok=True)
    os.chown(state, uid, gid)
    os.chmod(state, int(settings.get("StateDirectoryMode", "0755"), 8))
    words = []
    for word in shlex.split(settings["ExecStart"].replace("%%", "%")):
        words += environment.get(word[1:], "").split() if word.startswith("$") else [word]
    for option, value in (options or {}).items():
        words[words.index(option) + 1] = value
    command = " ".join(shlex.quote(w) for w in words)
    shell = f"umask {settings.get('UMask', '0022')} && cd {settings['WorkingDirectory']} && exec {command}"
    return subprocess.Popen(["chroot", root, "setpriv", f"--reuid={uid}", f"--regid={gid}", "--clear-groups",
                             "sh", "-c", shell], text=True, **popen), state, uid


def play_a_game(root, tones_dir):
    """A player starts /usr/games/tapdash, hears its intro, starts a game and ends it."""
    home = f"{root}/home/player"
    tones = live.capture.load_tones(tones_dir)
    # Every sound of the game's catalogue is installed where the game looks, before the tone pack
    # is put over it.
    pack = f"{root}/usr/lib/games/tapdash"
    installed = {os.path.relpath(os.path.join(d, n), pack).lower().replace("/", "\\")
                 for d, _, names in os.walk(pack, followlinks=True) for n in names}
    check(set(tones) <= installed, f"sounds not installed: {sorted(set(tones) - installed)[:5]}")
    run("mount", "--bind", "-o", "ro", tones_dir, f"{root}/usr/share/games/tapdash")
    session = live.Session(home, tones, home, command=["chroot", "--userspec=player:player", root, "/usr/games/tapdash"],
                           extra_env=dict(HOME="/home/player", SDL_DISKAUDIOFILE="/home/player/capture.raw"))
    try:
        session.start_display()
        session.start_game()
        if not check(session.find_window() is not None, "the installed game showed no window"):
            return
        intro = session.wait_for("game\\game_intro.vgz", 0.0, 15, min_duration=0.3)
        if not check(intro is not None, "the installed game's intro was not heard"):
            return
        at = session.press("ctrl")
        check(session.wait_for("menu\\start_game.vgz", at, 15, min_duration=0.1), "no menu after the intro")
        at = session.press("enter")
        first = session.wait_for(by_ear.is_character, at, 10, min_duration=0.1, folder=by_ear.LEVEL)
        if check(first, "no level after Start game"):
            answer_until_right(session, first.start)
        at = session.press("esc")
        over = session.wait_for("game\\say_game_over.wav", at, 10)
        if check(over, "no game over after Escape"):
            check(session.wait_for("menu\\start_game.vgz", over.end, 15, min_duration=0.1), "no menu after the game")
        session.press("esc")
        check(session.wait_exit(15) == 0, "the game did not end on Escape from the menu")
    finally:
        session.stop()
        run("umount", f"{root}/usr/share/games/tapdash")
    best = f"{home}/.local/share/tapdash/best.dat"
    records = live.best_records(open(best, "rb").read()) if os.path.exists(best) else []
    check(records and records[0] >= 100, f"no game's score in {best}: {records}")


def answer_until_right(session, since):
    """Answers the characters heard, each typed and then its side, until one is right; two tries
    of the game's three lives."""
    for _ in range(2):
        current = by_ear.character_to_answer(session, since)
        if current is None:
            return
        typed = session.press(by_ear.letter_of(current))
        session.wait_for(by_ear.KEY_CLICK, typed, 5, lead=0.1, folder=by_ear.LEVEL)
        if session.now() - current.start > by_ear.ANSWER_WITHIN:
            current = by_ear.character_to_answer(session, current.start + 0.1) or current
        at = session.press(by_ear.ANSWER_KEYS[by_ear.played_side(current)])
        outcome = session.wait_for(lambda e: e.file in (by_ear.SUCCESS, by_ear.ERROR), at, 5, folder=by_ear.LEVEL)
        if outcome is None or outcome.file == by_ear.SUCCESS:
            return
        since = outcome.start + session.tones[outcome.file.lower()].length_ms / 1000.0 + 0.05


def serve_a_score(root):
    """The server as its unit starts it records a score and shows it on its top ten page; the
    backup as its unit runs it copies the database meanwhile."""
    # Another server may hold the unit's port on this machine: any free one.
    server, state, uid = start_as_unit(root, "tapdash-scores.service", {"--port": "0"},
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        line = server.stdout.readline()
        port = re.search(r":(\d+)/tapdash/", line)
        if not check(port, f"the server did not start as its unit starts it: {line!r}"):
            return
        site = f"http://127.0.0.1:{port.group(1)}/tapdash/"
        query = "first_name=Ada&last_name=Lovelace&addr=12%20Analytical%20Row&country=UK&score=4200"
        check(urllib.request.urlopen(f"{site}top1.php?{query}").status == 200, "the score was refused")
        page = urllib.request.urlopen(site).read().decode()
        check("Ada" in page and "4200" in page.replace(",", ""), "the score is not on the top ten page")
        database = os.stat(f"{state}/scores.db")
        check(database.st_uid == uid and database.st_mode & 0o077 == 0, "scores.db is not the service user's alone")
        backup, state, _ = start_as_unit(root, "tapdash-scores-backup.service")
        check(backup.wait(60) == 0 and glob.glob(f"{state}/backups/scores-*.db"), "the backup unit made no copy")
    finally:
        server.terminate()
        server.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--debs", required=True)
    parser.add_argument("--tones", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    if os.geteuid() != 0:
        print("install_test: needs root (debootstrap, chroot, mount)")
        return 77
    os.environ.pop("XDG_DATA_HOME", None)
    args.work = os.path.abspath(args.work)
    os.makedirs(args.work, exist_ok=True)
    debs = [max(glob.glob(f"{args.debs}/{name}_*.deb")) for name in PACKAGES]
    root = make_root(args.work, debs)
    run("mount", "-t", "proc", "proc", f"{root}/proc")
    run("mount", "--bind", "/dev", f"{root}/dev")
    try:
        in_root(root, "useradd", "--create-home", "player")
        before = files_of(root)
        os.makedirs(f"{root}/debs", exist_ok=True)
        earlier = [numbered_before(deb, args.work) for deb in debs]
        for step in (earlier, debs):
            for deb in step:
                run("cp", deb, f"{root}/debs/")
            in_root(root, "dpkg", "--install", *[f"/debs/{os.path.basename(d)}" for d in step])
        versions = in_root(root, "dpkg-query", "-W", "-f=${Version} ", *PACKAGES).split()
        check(len(set(versions)) == 1 and PREVIOUS not in versions[0], f"not upgraded: {versions}")
        play_a_game(root, args.tones)
        serve_a_score(root)
        in_root(root, "apt-get", "purge", "-y", *PACKAGES)
        left = sorted(f for f in files_of(root) - before if not f.startswith(MAY_REMAIN) and f != "debs"
                      and not f.startswith("debs/"))
        check(not left, f"left after the purge: {left[:20]}")
        check(os.path.exists(f"{root}/home/player/.local/share/tapdash/best.dat"), "the purge took the player's best.dat")
    finally:
        unmount_all(root)
    if not failures:
        remove(root)
    for failure in failures:
        print("FAIL:", failure)
    print("install_test:", "failed" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
