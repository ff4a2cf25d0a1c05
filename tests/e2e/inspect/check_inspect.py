#!/usr/bin/env python3
"""Runs nudgelet-inspect on a small machine of ours and checks what it finds.

The machine: tests/e2e/inspect/machine.reg, an install folder with its main
executable, and an update database made from updates.sql with nudgelet-db.
Natively the drives are a folder; with --wine the registry is imported into
the Wine prefix and the files go to its drive C:.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def same_detection(a, b):
    """Two reports of one machine agree: the same inventory (but for the time
    each scanned it), candidates and rows."""
    def timeless(report):
        return dict(report, inventory=[{k: v for k, v in r.items() if k != "ScanTime"} for r in report["inventory"]])
    return timeless(a) == timeless(b)


def run(command, **kw):
    result = subprocess.run(command, capture_output=True, **kw)
    if result.returncode != 0:
        sys.stderr.write(f"{command} failed ({result.returncode}):\n{result.stderr.decode(errors='replace')}\n")
        sys.exit(1)
    return result.stdout


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--inspect", required=True)
    ap.add_argument("--db-tool", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--wine", help="run the Windows tools through this wine-run with this prefix", nargs=2)
    args = ap.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    wine = []
    if args.wine:
        wine = [args.wine[0], args.wine[1]]
        drive_c = os.path.join(args.wine[1], "drive_c")
    else:
        drive_c = os.path.join(args.work, "drives", "C")
    app = os.path.join(drive_c, "Program Files (x86)", "Vendor", "App")
    os.makedirs(app, exist_ok=True)
    with open(os.path.join(app, "App.exe"), "wb") as f:
        f.write(b"MZ")
    user = os.path.join(args.work, "user")
    os.makedirs(user)
    database = os.path.join(args.work, "VessaUpdate.dbd")

    def host(path):  # a path of this machine as the tool sees it
        return "Z:" + path.replace("/", "\\") if args.wine else path

    run(wine + [args.db_tool, "build", host(os.path.join(HERE, "updates.sql")), host(database)])
    command = wine + [args.inspect, "--database", host(database), "--user-data", host(user), "--explain"]
    if args.wine:
        # The prefix's registry is shared with the other tests: our keys go again afterwards.
        with open(os.path.join(HERE, "machine.reg"), encoding="utf-8") as f:
            keys = [line.strip()[1:-1] for line in f if line.startswith("[")]
        removal = os.path.join(args.work, "remove.reg")
        with open(removal, "w", encoding="utf-8", newline="\r\n") as f:
            f.write("Windows Registry Editor Version 5.00\n\n" + "".join("[-%s]\n" % k for k in keys))
        run(wine + ["reg.exe", "import", host(removal)])
        run(wine + ["reg.exe", "import", host(os.path.join(HERE, "machine.reg"))])
        try:
            report = json.loads(run(command).decode("utf-8"))
            literal = json.loads(run(command + ["--literal"]).decode("utf-8"))
        finally:
            subprocess.run(wine + ["reg.exe", "import", host(removal)], capture_output=True)
    else:
        command += ["--registry", os.path.join(HERE, "machine.reg"), "--root", os.path.join(args.work, "drives")]
        report = json.loads(run(command).decode("utf-8"))
        literal = json.loads(run(command + ["--literal"]).decode("utf-8"))

    names = {r["DisplayName"]: r for r in report["inventory"] if not r["Hidden"]}
    problems = []
    if "Vendor App 5" not in names:
        problems.append("the 32-bit program is not in the inventory")
    patch = [r for r in report["inventory"] if "(KB1234)" in r["DisplayName"]]
    if not patch or not patch[0]["IsUpdate"] or patch[0]["explain"]["decision"] != "patch":
        problems.append("the patch is not recognised as one")
    candidates = {c["DisplayName"]: c for c in report["candidates"]}
    app_candidate = candidates.get("Vendor App 5")
    if not app_candidate or not app_candidate["HasUpdate"] or app_candidate["NewVersion"] != "5.2.3":
        problems.append(f"Vendor App 5 should be offered 5.2.3: {app_candidate}")
    elif not app_candidate["MainExePath"].lower().endswith("\\vendor\\app\\app.exe"):
        problems.append(f"the main executable was not checked: {app_candidate['MainExePath']}")
    elif not app_candidate["DisplayIcon"].endswith("Nudgelet.exe"):
        # Without a DisplayIcon of its own the row shows the database's icon, drawn
        # for the reminder's own executable, as the program does.
        problems.append(f"the database's icon was not taken: DisplayIcon {app_candidate['DisplayIcon']!r}")
    if candidates.get("Old Tool", {}).get("HasUpdate", True):
        problems.append("Old Tool is current and must stay without an update")
    rows = [(r["DisplayName"], r["Key"], r["BitText"], r["NewVersion"]) for r in report["rows"]]
    if rows != [("Vendor App 5", "{APP}", "0", "5.2.3")]:
        problems.append(f"rows: {rows}")
    if not same_detection(literal, report):
        problems.append("the statements as written (--literal) give another report")
    for p in problems:
        print("FAIL:", p)
    print(json.dumps({"candidates": len(report["candidates"]), "rows": len(report["rows"])}))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
