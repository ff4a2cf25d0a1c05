#!/usr/bin/env python3
"""Puts the benchmark results side by side: the detection by the catalogue
against the statements as written, deciphering against the OpenSSL pipeline,
and the Wine runs against the baseline program.

    summary.py [--detection D.json] [--decipher C.json] [--wine W.json]
"""
import argparse
import json


def benchmarks(path):
    with open(path, encoding="utf-8") as f:
        return {b["name"]: b for b in json.load(f)["benchmarks"] if b.get("run_type", "iteration") == "iteration"}


def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
    return b["real_time"] * scale


def detection(path):
    runs = benchmarks(path)
    print("detection, 400 entries x 20,000 products (release build, native):")
    for index in (0, 1):
        literal = runs.get("Detection/catalogue:0/keyIndex:%d/iterations:2" % index)
        fast = runs.get("Detection/catalogue:1/keyIndex:%d/iterations:20" % index)
        if not literal or not fast:
            continue
        same = "identical reports" if not fast.get("error_occurred") and not literal.get("error_occurred") else \
            "REPORTS DIFFER"
        print("  %-22s catalogue %8.1f ms   statements %8.1f ms   ratio %6.1fx   %d rows, %s"
              % ("index on Key:" if index else "no index:", ms(fast), ms(literal), ms(literal) / ms(fast),
                 fast.get("rows", 0), same))


def decipher(path):
    runs = benchmarks(path)
    ours = next((b for n, b in runs.items() if n.startswith("DecipherToTemporaryCopy")), None)
    pipe = next((b for n, b in runs.items() if n.startswith("OpensslPipeline")), None)
    if not ours:
        return
    print("deciphering the update database, file to temporary copy (native):")
    print("  ours %.1f ms for %.1f MB SQLite (%.1f MB stored); peak resident %.1f MB = %.2fx the SQLite file"
          % (ms(ours), ours["sqlite_MB"], ours["dbd_MB"], ours["peak_RSS_MB"],
             ours["peak_RSS_MB"] / ours["sqlite_MB"]))
    if pipe and not pipe.get("error_occurred"):
        print("  base64 -d -i | openssl enc -d -aes-128-ecb -nopad: %.1f ms; ours takes %.2fx its time"
              % (ms(pipe), ms(ours) / ms(pipe)))


def wine(path):
    with open(path, encoding="utf-8") as f:
        runs = json.load(f)
    base = runs.get("baseline")
    if not base:
        return
    print("under Wine, start to decision (median of %d runs) and peak working set:" % base["runs"])
    print("  %-34s %8.1f ms   %6.1f MB" % ("baseline window program", base["median_ms"], base["peak_working_set_mb"]))
    for name, run in runs.items():
        if name == "baseline":
            continue
        print("  %-34s %8.1f ms   %6.1f MB   (+%.1f ms, +%.1f MB)"
              % (name, run["median_ms"], run["peak_working_set_mb"], run["median_ms"] - base["median_ms"],
                 run["peak_working_set_mb"] - base["peak_working_set_mb"]))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--detection")
    ap.add_argument("--decipher")
    ap.add_argument("--wine")
    args = ap.parse_args()
    print("=== summary ===")
    if args.detection:
        detection(args.detection)
    if args.decipher:
        decipher(args.decipher)
    if args.wine:
        wine(args.wine)


if __name__ == "__main__":
    main()
