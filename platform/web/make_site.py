#!/usr/bin/python3
"""Puts the browser build and a sound pack together in one folder for the score server's --web:
the page, tapdash.js and tapdash.wasm from the emscripten build's program folder, every sound
folder of the pack, and files.txt listing the pack's files for the page to fetch. Beside each
file that gzip makes at least 5% smaller lies its compressed twin, NAME.gz, which tapdash-scores
sends to browsers that accept it (the music loops lose about half, the program two thirds, speech
about a tenth).

usage: make_site.py --build <emscripten program folder> --pack <sound pack folder> --out <folder>
"""

import argparse
import gzip
import os
import shutil

PAGE_FILES = ("index.html", "tapdash-page.js", "tapdash-worklet.js", "tapdash.js", "tapdash.wasm")


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
    saved = write_gzip_twins(args.out)
    print(f"{args.out}: the page and {len(listed)} sound files, {saved} bytes fewer compressed")


if __name__ == "__main__":
    main()
