#!/usr/bin/python3
"""Puts the browser build and a sound pack together in one folder for the score server's --web:
the page, tapdash.js and tapdash.wasm from the emscripten build's program folder, every sound
folder of the pack, files.txt listing the pack's files for the page to fetch, the app's manifest
with its icons, and the service worker that keeps this one build for playing offline: it names
every file with a digest of its bytes and the build by a digest of them all. Beside each
file that gzip makes at least 5% smaller lies its compressed twin, NAME.gz, which tapdash-scores
sends to browsers that accept it (the music loops lose about half, the program two thirds, speech
about a tenth).

usage: make_site.py --build <emscripten program folder> --pack <sound pack folder>
                    --icons <folder with tapdash-192.png> --out <folder>
"""

import argparse
import gzip
import hashlib
import json
import os
import shutil

PAGE_FILES = ("index.html", "tapdash-page.js", "tapdash-worklet.js", "tapdash.js", "tapdash.wasm")
ICON_SIZES = (192,)
WORKER = "tapdash-sw.js"
WORKER_TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "page", WORKER)
MANIFEST = {
    "name": "Tapdash",
    "short_name": "Tapdash",
    "description": "A keyboard game played by ear.",
    "id": "./",
    "start_url": "./",
    "scope": "./",
    "display": "standalone",
    "background_color": "#ffffff",
    "theme_color": "#1a5fb4",
    "icons": [{"src": f"tapdash-{size}.png", "sizes": f"{size}x{size}", "type": "image/png"}
              for size in ICON_SIZES],
}


def digest(path):
    with open(path, "rb") as source:
        return hashlib.sha256(source.read()).hexdigest()[:16]


def write_worker(folder):
    """The service worker with this build's files (the page as "./") and their digests."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in sorted(names):
            path = os.path.join(root, name)
            url = os.path.relpath(path, folder).replace(os.sep, "/")
            files["./" if url == "index.html" else url] = digest(path)
    files = dict(sorted(files.items()))
    build = hashlib.sha256(json.dumps(files).encode()).hexdigest()[:16]
    with open(WORKER_TEMPLATE, encoding="utf-8") as source:
        template = source.read()
    marker = "const build = { id: '', files: {} };"
    if marker not in template:
        raise SystemExit(f"{WORKER_TEMPLATE} lacks the line {marker}")
    filled = f"const build = {json.dumps({'id': build, 'files': files}, separators=(',', ':'))};"
    with open(os.path.join(folder, WORKER), "w", encoding="utf-8") as out:
        out.write(template.replace(marker, filled))
    return build


def write_gzip_twins(folder):
    """NAME.gz beside each file it makes at least 5% smaller; the same bytes on every run."""
    saved = 0
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            with open(path, "rb") as source:
                plain = source.read()
            packed = gzip.compress(plain, compresslevel=9, mtime=0)
            if len(packed) <= len(plain) * 0.95:
                with open(path + ".gz", "wb") as out:
                    out.write(packed)
                saved += len(plain) - len(packed)
    return saved


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--pack", required=True)
    parser.add_argument("--icons", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    if os.path.exists(args.out):
        shutil.rmtree(args.out)
    os.makedirs(args.out)
    for name in PAGE_FILES:
        shutil.copy2(os.path.join(args.build, name), os.path.join(args.out, name))
    listed = []
    # The sound folders only: a program folder's executables, best.dat and config.dat stay home.
    for folder in sorted(os.listdir(args.pack)):
        source = os.path.join(args.pack, folder)
        if not os.path.isdir(source):
            continue
        shutil.copytree(source, os.path.join(args.out, folder))
        for root, _, files in os.walk(source):
            for name in sorted(files):
                listed.append(os.path.relpath(os.path.join(root, name), args.pack).replace(os.sep, "/"))
    with open(os.path.join(args.out, "files.txt"), "w", encoding="utf-8") as out:
        out.write("".join(f"{name}\n" for name in listed))
    for size in ICON_SIZES:
        shutil.copy2(os.path.join(args.icons, f"tapdash-{size}.png"), args.out)
    with open(os.path.join(args.out, "tapdash.webmanifest"), "w", encoding="utf-8") as out:
        json.dump(MANIFEST, out, indent=1)
    build = write_worker(args.out)
    saved = write_gzip_twins(args.out)
    print(f"{args.out}: build {build}, the page and {len(listed)} sound files, "
          f"{saved} bytes fewer compressed")


if __name__ == "__main__":
    main()
