#!/usr/bin/python3
"""What the browser test has captured from the page's sound graph, read by the same analyser as the
Linux end-to-end test (tests/e2e/capture.py).

usage: heard.py CAPTURE TONE-PACK. Each line in is a JSON [since, folder]: seconds of capture and
a folder such as "level1\\\\" (or null for every sound); each line out is the timeline of the
capture from there to its current end, as a JSON list of plays.
"""

import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import capture  # noqa: E402

path, pack = sys.argv[1:3]
tones = capture.load_tones(pack)
for line in sys.stdin:
    since, folder = json.loads(line)
    first = max(0, int(since * capture.RATE) - capture.FRAME)
    chosen = {name: tone for name, tone in tones.items() if not folder or name.startswith(folder)}
    events = capture.timeline(capture.read_capture(path, first), chosen, first / capture.RATE)
    plays = [dict(file=e.file, start=e.start, end=e.end, side=e.side(15.0), steady=e.steady) for e in events]
    print(json.dumps(plays), flush=True)
