#!/usr/bin/env python3
"""Writes a skin-sized package source: folders of pictures (incompressible bytes,
as PNGs are) and ini files (text), plus the .qrc that lists them.
Usage: make_bench_skin.py OUTPUT_FOLDER"""
import os
import random
import sys

out = sys.argv[1]
rng = random.Random(20240601)
entries = []


def write(path, data):
    full = os.path.join(out, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)
    entries.append(path)


for folder in ("images", "images/buttons", "images/list", "images/frame", "images/icons"):
    for i in range(40):
        write(f"bench/{folder}/pic_{i:02d}.png", rng.randbytes(rng.randint(512, 8192)))
for i in range(60):
    lines = [f"[section_{i}_{k}]\nclass=label\nparent=label\nfont_name=Tahoma\nfont_size={8 + k % 4}\n"
             f"normal=imgname=images/buttons/pic_{k % 40:02d}.png;imgrect=0,0,{k},{k}\n" for k in range(40)]
    write(f"bench/ini/skin_{i:02d}.ini", "".join(lines).encode())

with open(os.path.join(out, "bench.qrc"), "w") as f:
    f.write('<RCC version="1.0">\n  <qresource prefix="/">\n')
    for path in entries:
        f.write(f"    <file>{path}</file>\n")
    f.write("  </qresource>\n</RCC>\n")
