#!/usr/bin/env python3
"""Runs nudgelet-inspect on the fixture machine of make_machine.py and checks
   1. every uninstall entry against what the rules make of it (expectation.json),
   2. the whole report against the golden report expected/fixture.json, which
      the native and the Windows build must both give,
   3. update databases that cannot be used: they must fail with one line and
      exit code 2, or, for a database without some table or column, answer
      nothing; the database and user-data folders stay as they were.

Natively the registry is the .reg file and the drives a folder; with --wine the
keys are imported into the prefix's registry (and removed again) and the files
copied into its drive C:.
"""
import argparse
import base64
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

GOLDEN = os.path.join(HERE, "expected", "fixture.json")
sys.path.insert(0, HERE)
import make_machine  # noqa: E402
from check_inspect import same_detection  # noqa: E402


class Run:
    def __init__(self, args):
        self.args = args
        self.wine = list(args.wine) if args.wine else []
        self.work = os.path.abspath(args.work)

    def host(self, path):  # a path of this machine as the tool sees it
        return "Z:" + os.path.abspath(path).replace("/", "\\") if self.wine else path

    def call(self, command, check=True):
        result = subprocess.run(self.wine + command, capture_output=True)
        if check and result.returncode != 0:
            sys.stderr.write("%s failed (%d):\n%s\n" % (command, result.returncode,
                                                       result.stderr.decode(errors="replace")))
            sys.exit(1)
        return result

    def inspect(self, database, user, check=True, os_version="6.1", extra=()):
        command = [self.args.inspect, "--database", self.host(database), "--user-data", self.host(user), "--explain"]
        command += list(extra)
        if not self.wine:
            machine = os.path.join(self.work, "machine")
            command += ["--registry", os.path.join(machine, "machine.reg"), "--root", os.path.join(machine, "drives"),
                        "--os", os_version, "--64bit-windows", "yes"]
        return self.call(command, check)


# ---------------------------------------------------------------------------
# The machine in a Wine prefix

def resolve(parent, name):
    """The entry of parent named name without regard to case, as Windows finds it."""
    if os.path.isdir(parent):
        for entry in os.listdir(parent):
            if entry.lower() == name.lower():
                return os.path.join(parent, entry)
    return os.path.join(parent, name)


def place_files(source, target, made):
    for name in sorted(os.listdir(source)):
        src = os.path.join(source, name)
        dst = resolve(target, name)
        if os.path.isdir(src):
            if not os.path.isdir(dst):
                os.makedirs(dst)
                made.append(dst)
            place_files(src, dst, made)
        else:
            shutil.copyfile(src, dst)
            made.append(dst)


def remove_files(made):
    for path in reversed(made):
        if os.path.isdir(path):
            shutil.rmtree(path, ignore_errors=True)
        elif os.path.exists(path):
            os.remove(path)


# ---------------------------------------------------------------------------
# Comparison with the golden report

def normalised(report):
    """What may differ between the native and the Windows build, made equal:
    - ScanTime is the clock at the scan: the native machine's clock is fixed
      while Wine's runs, so it is set to 0.
    Nothing else differs: every path in the report is a path of the fixture's
    own drive C:, and the user-data folder is only read, never reported."""
    for record in report["inventory"]:
        record["ScanTime"] = 0
    return report


def compare_with_golden(report, update, problems):
    text = json.dumps(normalised(report), ensure_ascii=False, indent=1, sort_keys=True) + "\n"
    if update:
        os.makedirs(os.path.dirname(GOLDEN), exist_ok=True)
        with open(GOLDEN, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        return
    with open(GOLDEN, encoding="utf-8") as f:
        golden = json.load(f)
    mine = json.loads(text)
    for part in ("inventory", "candidates", "rows"):
        a, b = golden[part], mine[part]
        if len(a) != len(b):
            problems.append("%s: %d items, the golden report has %d" % (part, len(b), len(a)))
            continue
        for i, (x, y) in enumerate(zip(a, b)):
            for field in sorted(set(x) | set(y)):
                if x.get(field) != y.get(field):
                    problems.append("%s[%d] (%s) %s: %r, golden %r" % (part, i, y.get("DisplayName"), field,
                                                                     y.get(field), x.get(field)))


# ---------------------------------------------------------------------------
# Every entry against the rules

DECISIONS = {
    "hidden": "hidden", "patch": "patch", "toolbar": "toolbar", "no-publisher": "no publisher",
    "not-in-db": "not in the database", "exe-missing": "main executable missing", "ignored": "ignored as",
    "no-download": "no download address", "os": "not for this Windows", "edition": "not the English edition",
    "precise": "uninstall key does not hold MainRegKey", "windows7": "not offered on Windows 7",
    "steam": "not offered for Steam", "candidate": "candidate without update", "update": "candidate with update",
    "superseded": "candidate with",
}


def check_entries(report, expectation, problems):
    records = {}
    for r in report["inventory"]:
        records.setdefault((r["RootName"], r["KeyPath"], r["Is64BitView"]), []).append(r)
    seen = 0
    for e in expectation["entries"]:
        where = "%s %s%s" % (e["key"], "(64-bit view) " if e["view64"] else "", "- " + e["why"])
        first = records.get((e["root"], e["keyPath"], e["view64"]), [])
        if e["state"] == "absent":
            if first:
                problems.append("%s: no record expected" % where)
            continue
        if len(first) != 1:
            problems.append("%s: %d records" % (where, len(first)))
            continue
        r = first[0]
        seen += 1
        if e["root"] == "HKEY_CURRENT_USER":
            # The shared per-user tree is read again through the 64-bit view, and folded.
            again = records.get((e["root"], e["keyPath"], True), [])
            if len(again) != 1 or not again[0]["Hidden"]:
                problems.append("%s: the second reading must be one hidden record" % where)
            seen += len(again)
        if r["Hidden"] != (e["state"] == "hidden") or r["IsUpdate"] != (e["state"] == "patch") or \
                r["IsToolbar"] != (e["state"] == "toolbar"):
            problems.append("%s: Hidden %s IsUpdate %s IsToolbar %s, expected %s" % (
                where, r["Hidden"], r["IsUpdate"], r["IsToolbar"], e["state"]))
        decision = r["explain"]["decision"]
        if not decision.startswith(DECISIONS[e["decision"]]):
            problems.append("%s: decision %r, expected %s" % (where, decision, e["decision"]))
        if e.get("name") and r["DisplayName"] != e["name"] and e["state"] == "visible":
            problems.append("%s: DisplayName %r, expected %r" % (where, r["DisplayName"], e["name"]))
        for field, value in e.get("fields", {}).items():
            if r[field] != value:
                problems.append("%s: %s %r, expected %r" % (where, field, r[field], value))
        candidates = [c for c in report["candidates"] if c["DisplayName"] == r["DisplayName"]
                      and c["InstalledVersion"] == r["explain"]["installedVersion"]]
        if e["decision"] in ("update", "candidate"):
            if len(candidates) != 1:
                problems.append("%s: %d candidates" % (where, len(candidates)))
                continue
            for field, value in e.get("candidate", {}).items():
                if candidates[0][field] != value:
                    problems.append("%s: candidate %s %r, expected %r" % (where, field, candidates[0][field], value))
        elif candidates:
            problems.append("%s: no candidate expected" % where)
    if seen != len(report["inventory"]):
        problems.append("the inventory has %d records, the fixture accounts for %d" % (len(report["inventory"]), seen))
    rows = [{k: x[k] for k in ("DisplayName", "Key", "BitText", "NewVersion")} for x in report["rows"]]
    if rows != expectation["rows"]:
        problems.append("rows differ from the expectation:")
        for row in rows:
            if row not in expectation["rows"]:
                problems.append("  unexpected %s" % row)
        for row in expectation["rows"]:
            if row not in rows:
                problems.append("  missing %s" % row)
        if all(r in expectation["rows"] for r in rows) and len(rows) == len(expectation["rows"]):
            problems.append("  order: %s" % [r["DisplayName"] for r in rows])


# ---------------------------------------------------------------------------
# Databases that cannot be used

def snapshot(*folders):
    state = {}
    for folder in folders:
        for base, _, files in os.walk(folder):
            for name in files:
                path = os.path.join(base, name)
                with open(path, "rb") as f:
                    state[path] = hashlib.md5(f.read()).hexdigest()
    return state


def check_bad_databases(run, problems):
    work = os.path.join(run.work, "bad")
    os.makedirs(work)
    user = os.path.join(run.work, "machine", "user")

    def write(name, data):
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)
        return os.path.join(work, name)

    # Text that is no Base64 at all: what is left of it decodes to 18 bytes.
    write("text.dbd", b"This is not an update database!!\r\n")
    # Base64 of 100 bytes: no whole number of AES blocks.
    write("size.dbd", base64.encodebytes(bytes(range(100))))
    # Whole blocks that decipher to noise.
    rng = random.Random(1)
    write("noise.dbd", base64.encodebytes(bytes(rng.randrange(256) for _ in range(4096))))
    # A SQLite header followed by noise, properly enciphered.
    write("header.sqlite", b"SQLite format 3\0" + bytes(rng.randrange(256) for _ in range(4080)))
    run.call([run.args.db_tool, "encipher", run.host(os.path.join(work, "header.sqlite")),
              run.host(os.path.join(work, "header.dbd"))])
    # Readable databases that lack a table, or columns.
    for name, sql in (("tables", "CREATE TABLE Other(Key text);"),
                      ("columns", "CREATE TABLE SoftBase(Key text, DisplayName text, Publisher text);"
                                  "CREATE TABLE SoftDownInfo(Key text, LanID int, bit int);"
                                  "INSERT INTO SoftBase VALUES('{Q}','Quillpad Notes','Quillpad');"
                                  "INSERT INTO SoftDownInfo VALUES('{Q}',1,0);")):
        write(name + ".sql", sql.encode())
        run.call([run.args.db_tool, "build", run.host(os.path.join(work, name + ".sql")),
                  run.host(os.path.join(work, name + ".dbd"))])

    size_message = "密文流与加密时的流,大小不对"
    cases = [("text.dbd", 2, size_message), ("size.dbd", 2, size_message),
             ("noise.dbd", 2, 'Failed to open database "%s" : file is not a database'),
             ("header.dbd", 2, 'Failed to open database "%s" : file is not a database'),
             ("missing.dbd", 2, "no update database at %s"),
             ("tables.dbd", 0, None), ("columns.dbd", 0, None)]
    for name, code, message in cases:
        path = os.path.join(work, name)
        before = snapshot(work, user)
        result = run.inspect(path, user, check=False)
        after = snapshot(work, user)
        err = result.stderr.decode("utf-8", errors="replace").strip()
        what = "database %s" % name
        if result.returncode != code:
            problems.append("%s: exit code %d, expected %d (%s)" % (what, result.returncode, code, err))
            continue
        if before != after:
            problems.append("%s: the database or user-data folder changed: %s" % (
                what, sorted(set(before.items()) ^ set(after.items()))))
        if os.path.exists(path) != (name != "missing.dbd"):
            problems.append("%s: a file appeared at the database's path" % what)
        if message:
            expected = "nudgelet-inspect: " + (message % run.host(path) if "%s" in message else message)
            if err != expected or result.stdout:
                problems.append("%s: said %r, expected %r and no output" % (what, err, expected))
        else:
            report = json.loads(result.stdout.decode("utf-8"))
            updates = [c for c in report["candidates"] if c["HasUpdate"]]
            if report["rows"] or updates or err:
                problems.append("%s: expected no updates and no complaint, got %d rows: %s" % (
                    what, len(report["rows"]), err))
            if name == "columns.dbd":
                # The key is found; every column the table lacks answers "".
                quill = [c for c in report["candidates"] if c["DisplayName"] == "Quillpad Notes"]
                if len(quill) != 1 or quill[0]["Key"] != "{Q}" or quill[0]["NewVersion"] != "0":
                    problems.append("%s: Quillpad Notes should be a candidate without update: %s" % (what, quill))


def check_windows_10(run, database, problems):
    """The same machine on Windows 10: the operating-system filter follows the
    version that the reminder is told, which under Wine needs the reminder's
    manifest in the tool (a program without one is told 6.2 at most)."""
    user = os.path.join(run.work, "machine", "user")
    app_key = "HKCU\\Software\\Wine\\AppDefaults\\" + os.path.basename(run.args.inspect)
    if run.wine:
        run.call(["reg.exe", "add", app_key, "/v", "Version", "/d", "win10", "/f"])
    try:
        report = json.loads(run.inspect(database, user, os_version="10.0").stdout.decode("utf-8"))
    finally:
        if run.wine:
            run.call(["reg.exe", "delete", app_key, "/f"], check=False)
    decisions = {(r["DisplayName"], r["DisplayVersion"]): r["explain"]["decision"] for r in report["inventory"]
                 if not r["Hidden"]}
    for name, version, expected in (("Quokka Defrag", "8.0", "not for this Windows (OsType 2)"),
                                    ("Rook Cleaner", "8.0", "not for this Windows (OsType 4)"),
                                    ("Sable Burner", "8.0", "candidate with update"),
                                    ("Tern Recorder", "8.0", "not for this Windows (OsType 0)"),
                                    ("Umber Paint", "8.0", "candidate with update"),
                                    ("Velvet Dock", "8.0", "candidate with update"),
                                    ("Gorse Sync", "3.3.0", "candidate with update")):
        if decisions.get((name, version)) != expected:
            problems.append("Windows 10: %s %s: %r, expected %r" % (name, version, decisions.get((name, version)),
                                                                   expected))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--inspect", required=True)
    ap.add_argument("--db-tool", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--wine", nargs=2, metavar=("WINE_RUN", "PREFIX"),
                    help="run the Windows tools through this wine-run in this prefix")
    ap.add_argument("--update-golden", action="store_true", help="write the report as the new golden report")
    args = ap.parse_args()
    run = Run(args)

    shutil.rmtree(run.work, ignore_errors=True)
    machine_dir = os.path.join(run.work, "machine")
    machine = make_machine.fixture()
    make_machine.write_machine(machine_dir, machine)
    expectation = make_machine.fixture_expectation(machine)
    database = os.path.join(run.work, "VessaUpdate.dbd")
    run.call([args.db_tool, "build", run.host(os.path.join(machine_dir, "updates.sql")), run.host(database)])

    problems = []
    made = []
    removal = run.host(os.path.join(machine_dir, "remove.reg"))
    try:
        if run.wine:
            # Keys of an earlier run that stopped half-way go first.
            run.call(["reg.exe", "import", removal])
            run.call(["reg.exe", "import", run.host(os.path.join(machine_dir, "machine.reg"))])
            place_files(os.path.join(machine_dir, "drives", "C"), os.path.join(args.wine[1], "drive_c"), made)
        report = json.loads(run.inspect(database, os.path.join(machine_dir, "user")).stdout.decode("utf-8"))
        literal = run.inspect(database, os.path.join(machine_dir, "user"), extra=["--literal"]).stdout
        if not same_detection(json.loads(literal.decode("utf-8")), report):
            problems.append("the statements as written (--literal) give another report")
        check_entries(report, expectation, problems)
        compare_with_golden(report, args.update_golden, problems)
        check_windows_10(run, database, problems)
        check_bad_databases(run, problems)
    finally:
        if run.wine:
            run.call(["reg.exe", "import", removal], check=False)
            remove_files(made)

    for p in problems:
        print("FAIL:", p)
    print(json.dumps({"entries": len(expectation["entries"]), "products": len(machine.base),
                      "inventory": len(report["inventory"]), "candidates": len(report["candidates"]),
                      "rows": len(report["rows"]), "problems": len(problems)}))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
