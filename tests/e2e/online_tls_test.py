#!/usr/bin/python3
"""A player sends a score from the real game through the nginx front on loopback, over TLS: the
place is spoken when the front's certificate comes from the authority the game was given; a
certificate for another name, or one that signed itself, means nothing spoken and nothing sent.

usage: online_tls_test.py --game <tapdash> --tones <tone pack> --scores <tapdash-scores> --work <folder>

Exit status 0 when every check holds, 1 when one fails, 77 when no virtual display, key sender,
nginx or openssl is available.
"""

import glob
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import live  # noqa: E402
from session_test import (ANSWER_KEYS, ANSWER_WITHIN, ERROR, INTRO_SECONDS, KEY_CLICK, LEVEL, SUCCESS,  # noqa: E402
                          character_to_answer, letter_of, played_side)

FRONT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server", "nginx_site.sh")
DETAILS = "Ann\nLee\n1 Secret Rd\nUK\n"
CASES = (  # the front's certificate, and whether the player hears a place
    ("good", True),
    ("other_name", False),
    ("self", False),
)


def make_certificates(folder):
    """A throw-away authority and three certificates: one it gave localhost, one it gave another
    name, and one for localhost that signed itself."""
    authority = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "tls_authority.sh")
    certificates = ("good=DNS:localhost", "other_name=DNS:scores.example.org", "--self-signed", "self=DNS:localhost")
    subprocess.run([authority, folder, *certificates], check=True)


def score_a_point(session, checks):
    """From the menu's Start game: one character answered right, then Esc; back at the menu."""
    since = session.press("enter")
    for _ in range(6):
        current = character_to_answer(session, since)
        if not checks.that(current is not None, "no character to answer"):
            return False
        typed = session.press(letter_of(current))
        if not checks.that(session.wait_for(KEY_CLICK, typed, 5, lead=0.1, folder=LEVEL), "no key click"):
            return False
        if session.now() - current.start > ANSWER_WITHIN:  # the side answers a later play
            current = character_to_answer(session, current.start + 0.1) or current
        at = session.press(ANSWER_KEYS[played_side(current)])
        outcome = session.wait_for(lambda e: e.file in (SUCCESS, ERROR), at, 5, folder=LEVEL)
        if not checks.that(outcome is not None, "an answer brought no outcome cue"):
            return False
        if outcome.file == SUCCESS:
            break
        since = outcome.start + session.tones[outcome.file.lower()].length_ms / 1000.0 + 0.05
    else:
        return checks.that(False, "six answers and none of them right")
    over = session.wait_for("game\\say_game_over.wav", session.press("esc"), 10)
    return checks.that(over and session.wait_for("menu\\start_game.vgz", over.end, 15, 0.1), "no menu after Esc")


def send_score(session, checks):
    """Up twice to Send score, Enter, Y; what was heard from Y to the menu's item again."""
    for item in ("quit", "send_score"):
        if not checks.that(session.wait_for(f"menu\\{item}.vgz", session.press("up"), 5, 0.1), f"Up: no {item}"):
            return []
    prompt = "game\\check_connected.vgz"
    asked = session.wait_for(prompt, session.press("enter"), 5, 0.1)
    if not checks.that(asked, "no prompt"):
        return []
    yes = session.press("y")
    back = session.wait_for("menu\\send_score.vgz", yes, 40, 0.1)
    checks.that(back is not None, "Send score not announced after the exchange")
    end = back.start if back else session.now()
    # Plays only: the prompt cut short by Y sprays over its neighbours' tones for a moment.
    return [e.file for e in session.heard(asked.start) if e.steady and yes - 0.02 <= e.start < end
            and e.file != prompt and not e.file.startswith("menu\\")]


def play_case(args, certificates, certificate, placed, checks):
    work = os.path.join(args.work, certificate)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    front = subprocess.Popen([FRONT, args.scores, f"{certificates}/{certificate}.pem", f"{certificates}/{certificate}.key",
                              work], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    session = None
    try:
        ready = front.stdout.readline().split()
        if not checks.that(ready[:1] == ["ready"], f"the nginx front did not start: {ready}"):
            return
        folder = os.path.join(work, "program")
        tones = live.make_program_folder(folder, args.game, args.tones, INTRO_SECONDS)
        with open(os.path.join(folder, "config.dat"), "w") as details:
            details.write(DETAILS)
        server = {"TAPDASH_SCORE_SERVER": f"localhost:{ready[2]}", "TAPDASH_CA_FILE": f"{certificates}/ca.pem"}
        session = live.Session(folder, tones, work, extra_env=server)
        session.start_display()
        session.start_game()
        skipped = session.skip_intro(checks)
        if not skipped:
            return
        checks.that(session.wait_for("menu\\start_game.vgz", skipped[1], 10, 0.1), "no Start game")
        if checks.failures or not score_a_point(session, checks):
            return
        heard = send_score(session, checks)
        expected = ["game\\sending_score.vgz"] + (["game\\made_it.vgz", "score\\1.vgz"] if placed else [])
        checks.that(heard == expected, f"{certificate}: heard {heard}, expected {expected}")
        session.press("esc")
        checks.that(session.wait_exit(20) == 0, f"{certificate}: the game did not end with Esc")
    finally:
        if session:
            session.stop()
        front.stdin.close()
        front.wait(timeout=60)
    server_log = open(os.path.join(work, "server.log"), errors="replace").read()
    front_log = "".join(open(f, errors="replace").read() for f in glob.glob(os.path.join(work, "*access.log")))
    said = open(os.path.join(work, "game.stderr"), errors="replace").read()
    if placed:
        checks.that(server_log.count("GET /tapdash/top") == 2, f"good: the server saw {server_log!r}")
    else:
        # Neither the https port nor the plain http one got a request, nor did the server.
        checks.that("/tapdash/" not in server_log + front_log, f"{certificate}: a request got through: {front_log!r}")
        checks.that("certificate" in said.lower() or "SSL" in said, f"{certificate}: no reason given: {said!r}")
        checks.that("Secret" not in said, f"{certificate}: the reason shows the address: {said!r}")


def test(args, checks):
    certificates = os.path.join(args.work, "certificates")
    shutil.rmtree(certificates, ignore_errors=True)
    os.makedirs(certificates)
    make_certificates(certificates)
    for certificate, placed in CASES:
        case = live.Checks()
        play_case(args, certificates, certificate, placed, case)
        print(f"{'FAIL' if case.failures else 'ok  '} {certificate}: {'place' if placed else 'nothing'} spoken")
        checks.failures += case.failures


if __name__ == "__main__":
    sys.exit(live.main(test, ("--game", "--tones", "--scores", "--work"),
                       tools=("Xvfb", "xdotool", "openssl", "curl", "/usr/sbin/nginx")))
