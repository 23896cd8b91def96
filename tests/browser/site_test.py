#!/usr/bin/python3
"""The service worker that make_site.py writes, as an operator who rebuilds the site sees it:
every file the folder serves is in its list (one missing would be missing offline), the same
files make the same build (players fetch nothing again), and one sound changed makes another
build in which only that sound's digest differs (players get it, whole, at their next start)."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

MAKE_SITE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "platform", "web",
                         "make_site.py")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


class ServiceWorkerList(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        for name in ("index.html", "tapdash-page.js", "tapdash-worklet.js", "tapdash.js", "tapdash.wasm"):
            write(f"{self.dir}/build/{name}", name.encode() * 50)
        write(f"{self.dir}/pack/menu/arrows.vgz", b"arrows" * 100)
        write(f"{self.dir}/pack/score/1.vgz", bytes(range(256)) * 4)
        write(f"{self.dir}/icons/tapdash-192.png", b"icon")

    def make(self):
        subprocess.run([sys.executable, MAKE_SITE, "--build", f"{self.dir}/build", "--pack", f"{self.dir}/pack",
                        "--icons", f"{self.dir}/icons", "--out", f"{self.dir}/play"],
                       check=True, stdout=subprocess.DEVNULL)
        with open(f"{self.dir}/play/tapdash-sw.js", encoding="utf-8") as worker:
            return json.loads(re.search(r"^const build = (\{.*\});$", worker.read(), re.M).group(1))

    def test_every_file_served_is_kept(self):
        files = self.make()["files"]
        served = set()
        for root, _, names in os.walk(f"{self.dir}/play"):
            for name in names:
                path = os.path.relpath(os.path.join(root, name), f"{self.dir}/play")
                if not name.endswith(".gz") and name != "tapdash-sw.js":
                    served.add("./" if path == "index.html" else path)
        self.assertEqual(set(files), served)
        with open(f"{self.dir}/play/tapdash.webmanifest", encoding="utf-8") as manifest:
            for icon in json.load(manifest)["icons"]:
                self.assertIn(icon["src"], files)

    def test_a_changed_sound_is_a_new_build_and_nothing_changed_is_the_same(self):
        first = self.make()
        self.assertEqual(self.make(), first)
        write(f"{self.dir}/pack/menu/arrows.vgz", b"spoken again" * 100)
        second = self.make()
        self.assertNotEqual(second["id"], first["id"])
        changed = {name for name in first["files"] if first["files"][name] != second["files"][name]}
        self.assertEqual(changed, {"menu/arrows.vgz"})


if __name__ == "__main__":
    unittest.main()
