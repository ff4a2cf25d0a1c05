#!/usr/bin/env python3
"""The reminder end to end under Wine: a demo machine in a prefix of its own,
Nudgelet.exe started the way Patchwell Hub starts it, and what a person sees
and what the run leaves behind.

    check_tip.py --bin BUILD/bin --work DIR [--only NAME]

Each case starts from the machine as it was installed (files and settings put
back; the registry is never changed by a run). Prints one line a case and exits
non-zero when any failed.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
SESSION = os.path.join(ROOT, "scripts", "wine-session")
INSTALL = "Program Files (x86)/Corvane/Patchwell Hub"
SCREEN = (1024, 768)
ORANGE = (0xE8, 0x77, 0x2E)  # the skin's text_color.cl_orange_c


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class Machine:
    def __init__(self, bin_dir, work):
        self.bin = bin_dir
        self.work = work
        self.prefix = os.path.join(work, "prefix")
        self.machine = os.path.join(work, "machine")
        self.pristine = os.path.join(work, "pristine")
        self.env = dict(os.environ, HOME=os.path.join(work, "home"), WINEDEBUG="-all")
        os.makedirs(self.env["HOME"], exist_ok=True)
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.install = os.path.join(self.drive_c, INSTALL)
        self.user = None

    # --- set-up ---
    def start(self):
        subprocess.run([SESSION, "stop", self.prefix], env=self.env, capture_output=True)
        shutil.rmtree(self.prefix, ignore_errors=True)
        subprocess.run([SESSION, "start", self.prefix, "%dx%d" % SCREEN], env=self.env, check=True,
                       capture_output=True)
        display = open(self.prefix + ".session/display").read().strip()
        self.env.update(WINEPREFIX=self.prefix, WINEARCH="win64", DISPLAY=":" + display,
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        user = subprocess.run(["id", "-un"], capture_output=True, text=True).stdout.strip()
        self.user = os.path.join(self.drive_c, "users", user, "AppData", "Roaming", "Corvane", "Patchwell Hub")

        shutil.rmtree(self.machine, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "machines", "demo_machine.py"),
                        self.machine], check=True, capture_output=True)
        for reg in (os.path.join(ROOT, "tools", "machines", "PatchwellHub.reg"),
                    os.path.join(self.machine, "machine.reg")):
            self.wine("reg.exe", "import", self.host(reg))
        shutil.copytree(os.path.join(self.machine, "drives", "C"), self.drive_c, dirs_exist_ok=True)

        # The product's folder as its installer leaves it, kept aside to put back.
        p = self.pristine
        shutil.rmtree(p, ignore_errors=True)
        os.makedirs(os.path.join(p, "Database"))
        for name in ("Nudgelet.exe", "sqlite3.dll", "UsageCounter.dll", "uipack.dll"):
            shutil.copy(os.path.join(self.bin, name), p)
        shutil.copy(os.path.join(self.bin, "nudgelet_stand_in.exe"), os.path.join(p, "PatchwellHub.exe"))
        for folder in ("Language", "skin", "Icons"):
            shutil.copytree(os.path.join(self.bin, folder), os.path.join(p, folder))
        self.wine(os.path.join(self.bin, "nudgelet-db.exe"), "build", self.host(os.path.join(self.machine, "updates.sql")),
                  self.host(os.path.join(p, "Database", "VessaUpdate.dbd")))

    def stop(self):
        subprocess.run([SESSION, "stop", self.prefix], env=self.env, capture_output=True)

    def host(self, path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def wine(self, *args, timeout=120, check_code=True):
        # Output goes through files, not pipes: a Wine process may start the
        # desktop process, which inherits the output and outlives it.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            r = subprocess.run(["wine", *args], env=self.env, stdout=out, stderr=err, timeout=timeout,
                               stdin=subprocess.DEVNULL)
            out.seek(0)
            err.seek(0)
            r.stdout, r.stderr = out.read(), err.read()
        if check_code and r.returncode != 0:
            raise Failure("%s ended with %d: %s" % (args[0], r.returncode, r.stderr.decode(errors="replace")[-300:]))
        return r

    def desktop(self, *args, timeout=60):
        r = self.wine(os.path.join(self.bin, "nudgelet-desktop.exe"), *map(str, args), timeout=timeout,
                      check_code=False)
        return r.returncode, r.stdout.decode(errors="replace").strip()

    # --- each case ---
    def reset(self):
        self.wine("taskkill.exe", "/f", "/im", "Nudgelet.exe", check_code=False)
        for folder in (self.install, self.user):
            if os.path.exists(folder):
                subprocess.run(["chmod", "-R", "u+w", folder])
                shutil.rmtree(folder)
        shutil.copytree(self.pristine, self.install)
        shutil.copytree(os.path.join(self.machine, "user"), self.user)

    def start_tip(self, *args):
        args = args or ("/Tip",)
        return subprocess.Popen(["wine", os.path.join(self.install, "Nudgelet.exe"), *args], env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def window(self, seconds=20, cls="NudgeletWindow"):
        code, out = self.desktop("wait", cls, seconds)
        if code != 0:
            return None
        size, rest = out.split(" ", 1)
        wh, x, y = size.split("+")
        w, h = wh.split("x")
        fields = dict(f.split("=", 1) for f in rest.split(" ") if "=" in f)
        fields["title"] = out.split("title=", 1)[1] if "title=" in out else ""
        return dict(w=int(w), h=int(h), x=int(x), y=int(y), **{k: v for k, v in fields.items()})

    def silent_end(self, *args, seconds=40):
        """Runs the reminder; it must end by itself with 0 and no window."""
        tip = self.start_tip(*args)
        try:
            code = tip.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            tip.kill()
            raise Failure("the reminder did not end: a window was shown")
        check(code == 0, "exit code %d" % code)

    def outcome(self, tip, seconds=30):
        """The window, once it shows; None when the run ends without one."""
        end = time.time() + seconds
        while time.time() < end:
            win = self.window(1)
            if win:
                return win
            if tip.poll() is not None:
                check(tip.returncode == 0, "exit code %d" % tip.returncode)
                return None
        raise Failure("neither a window nor an end")

    def shown(self, *args):
        tip = self.start_tip(*args)
        win = self.window()
        if not win:
            code = tip.wait(timeout=30)
            raise Failure("no window appeared (exit code %d)" % code)
        return tip, win

    def close(self, tip, win):
        self.desktop("click", win["x"] + win["w"] - 17, win["y"] + 16)
        code = tip.wait(timeout=20)
        check(code == 0, "closing ended with %d" % code)

    def shot(self, name):
        path = os.path.join(self.work, name + ".png")
        self.desktop("shot", self.host(path))
        return path

    def file(self, *parts):
        return os.path.join(*parts)

    def text(self, path):
        data = open(path, "rb").read()
        if data.startswith(b"\xff\xfe"):
            return data[2:].decode("utf-16-le", errors="replace")
        return data.decode("utf-8", errors="replace")

    def main_ini(self):
        return os.path.join(self.user, "Main.ini")

    def set_main(self, section, key, value):
        # The machine's Main.ini has no such section yet: one more at its end.
        text = self.text(self.main_ini()).rstrip("\r\n") + "\r\n[%s]\r\n%s=%s\r\n" % (section, key, value)
        open(self.main_ini(), "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))


def read_png(path):
    import struct
    import zlib
    data = open(path, "rb").read()
    i, idat = 8, b""
    while i < len(data):
        n = struct.unpack(">I", data[i:i + 4])[0]
        kind, chunk = data[i + 4:i + 8], data[i + 8:i + 8 + n]
        i += 12 + n
        if kind == b"IHDR":
            w, h, _, ct = struct.unpack(">IIBB", chunk[:10])
        elif kind == b"IDAT":
            idat += chunk
    raw = zlib.decompress(idat)
    bpp = 4 if ct == 6 else 3
    stride, rows, prev, p = w * bpp, [], bytearray(w * bpp), 0
    for _ in range(h):
        f, line = raw[p], bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if f == 1:
                line[x] = (line[x] + a) & 255
            elif f == 2:
                line[x] = (line[x] + b) & 255
            elif f == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return lambda x, y: tuple(rows[y][x * bpp:x * bpp + 3])


def near(a, b, tolerance=40):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


# --- the cases ---

def window_in_the_corner(m):
    tip, win = m.shown()
    check((win["w"], win["h"]) == (350, 454), "size %dx%d" % (win["w"], win["h"]))
    check((win["x"] + win["w"], win["y"] + win["h"]) == SCREEN, "not flush with the corner: %s" % win)
    check(win["topmost"] == "1", "not top-most")
    check(win["owner"] == "1" and win["ownerexstyle"] == "0x80",
          "the owner must be the application window with exactly WS_EX_TOOLWINDOW: %s" % win)
    check(int(win["exstyle"], 16) & 0x02000000, "not composited: %s" % win["exstyle"])
    time.sleep(0.5)
    pixel = read_png(m.shot("window"))
    # The count's link colour shows in the message line, and nowhere left of it.
    found = [(x, y) for y in range(win["y"] + 205, win["y"] + 260) for x in range(win["x"] + 40, win["x"] + 140)
             if near(pixel(x, y), ORANGE, 30)]
    check(found, "no number in the link colour")
    # The close button's hint.
    m.desktop("move", win["x"] + win["w"] - 17, win["y"] + 16)
    hint = m.window(5, "NudgeletHint")
    check(hint and hint["title"] == "Close", "the close button's hint: %s" % hint)
    # Exactly the listed products are remembered as shown today.
    tips = m.text(os.path.join(m.user, "SoftTip.ini"))
    check(tips.count("[") == 8, "SoftTip.ini should hold the 8 listed products:\n" + tips)
    m.close(tip, win)


def update_now(m):
    tip, win = m.shown()
    m.desktop("click", win["x"] + win["w"] // 2, win["y"] + win["h"] - 57)
    code = tip.wait(timeout=20)
    check(code == 0, "exit code %d" % code)
    record = os.path.join(m.install, "PatchwellHub.exe.cmdline")
    for _ in range(50):
        if os.path.exists(record) and os.path.getsize(record):
            break
        time.sleep(0.1)
    check(os.path.exists(record), "Patchwell Hub was not started")
    started = open(record, "rb").read().decode("utf-16-le").strip()  # the stand-in writes UTF-16
    check(started == "/SUpdateTip", "started with %r" % started)
    cache = os.path.join(m.user, "Stat", "cache.jsonl")
    check(os.path.exists(cache), "no statistics recorded")
    text = open(cache, encoding="utf-8", errors="replace").read()
    order = [e for e in ("b501", "a501", "b502", "a502") if e in text]
    positions = [text.find(e) for e in order]
    check(order == ["b501", "a501", "b502", "a502"] and positions == sorted(positions),
          "statistics out of order: %s" % text[-400:])


def auto_update_on(m):
    m.set_main("Software", "AutoUpdate", "1")
    m.silent_end()


def full_screen_in_front(m):
    cover = subprocess.Popen(["wine", os.path.join(m.bin, "nudgelet-desktop.exe"), "cover", "25"], env=m.env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        check(cover.stdout.readline().strip() == b"covering", "the cover did not come up")
        time.sleep(0.5)
        m.silent_end()
    finally:
        cover.kill()
        m.wine("taskkill.exe", "/f", "/im", "nudgelet-desktop.exe", check_code=False)


def shown_times(m):
    # Every listed product shown today, then all six days ago: no tip; a week ago: the tip.
    tip, win = m.shown()
    m.close(tip, win)
    m.silent_end()
    path = os.path.join(m.user, "SoftTip.ini")
    today = m.text(path)
    import re
    day = int(re.search(r"ShowTime(?:32|64)=(\d+)", today).group(1))
    for days, shows in ((6, False), (7, True)):
        text = re.sub(r"(ShowTime(?:32|64))=\d+", lambda g: "%s=%d" % (g.group(1), day - days), today)
        open(path, "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
        if shows:
            tip, win = m.shown()
            m.close(tip, win)
        else:
            m.silent_end()


def nothing_to_update(m):
    sql = os.path.join(m.work, "empty.sql")
    with open(os.path.join(m.machine, "updates.sql")) as f:
        schema = [line for line in f if line.startswith("CREATE")]
    open(sql, "w").write("".join(schema))
    m.wine(os.path.join(m.bin, "nudgelet-db.exe"), "build", m.host(sql),
           m.host(os.path.join(m.install, "Database", "VessaUpdate.dbd")))
    m.silent_end()


def database_missing(m):
    os.remove(os.path.join(m.install, "Database", "VessaUpdate.dbd"))
    m.silent_end()
    logs = os.path.join(m.user, "Log")
    lines = "".join(m.text(os.path.join(logs, f)) for f in os.listdir(logs) if "dbg" in f.lower()) \
        if os.path.isdir(logs) else ""
    check("BC91" in lines and "Database is miss,Error" in lines, "no BC91 line in the dbg log: %r" % lines[-300:])


def database_damaged(m):
    path = os.path.join(m.install, "Database", "VessaUpdate.dbd")
    data = open(path, "rb").read()
    open(path, "wb").write(data[:len(data) // 2])
    m.silent_end()
    open(path, "wb").write(b"this is not a database at all\r\n" * 50)
    m.silent_end()


def second_instance(m):
    tip, win = m.shown()
    m.silent_end()
    check(m.window(1), "the first reminder went away")
    m.close(tip, win)


def competing_process(m):
    quill = os.path.join(m.work, "Quillnote.exe")
    shutil.copy(os.path.join(m.bin, "nudgelet_stand_in.exe"), quill)
    runner = subprocess.Popen(["wine", quill, "30"], env=m.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(2)
        m.silent_end()
    finally:
        runner.kill()
        m.wine("taskkill.exe", "/f", "/im", "Quillnote.exe", check_code=False)


def unchanged(paths):
    return {p: open(p, "rb").read() if os.path.exists(p) else None for p in paths}


def bad_main_ini(m):
    ini = m.main_ini()
    others = [os.path.join(m.install, "Database", "VessaUpdate.dbd"), os.path.join(m.user, "SoftwareCache.ini")]
    for what, content in (("binary", bytes(range(256)) * 64), ("20 MB", b"[Main]\r\n" + b"x" * (20 << 20))):
        m.reset()
        open(ini, "wb").write(content)
        before = unchanged(others)
        tip = m.start_tip()
        win = m.outcome(tip)
        if win:
            m.close(tip, win)
        check(unchanged(others) == before, what + ": other files changed")
    # Locked, and read-only: whatever the run decides, the file stays as it was.
    m.reset()
    before = unchanged([ini])
    locker = subprocess.Popen(["wine", os.path.join(m.bin, "nudgelet-desktop.exe"), "lock", m.host(ini), "25"],
                              env=m.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        check(locker.stdout.readline().strip() == b"locked", "could not lock Main.ini")
        m.silent_end()
    finally:
        locker.kill()
        m.wine("taskkill.exe", "/f", "/im", "nudgelet-desktop.exe", check_code=False)
    check(unchanged([ini]) == before, "the locked Main.ini changed")
    m.reset()
    m.wine("attrib.exe", "+r", m.host(ini))
    before = unchanged([ini])
    tip = m.start_tip()
    win = m.outcome(tip)
    if win:
        m.close(tip, win)
    check(unchanged([ini]) == before, "the read-only Main.ini changed")


def unwritable_log(m):
    log = os.path.join(m.user, "Log")
    shutil.rmtree(log, ignore_errors=True)
    open(log, "wb").write(b"a file where the log folder would be")
    tip = m.start_tip()
    win = m.window(20)
    check(win, "the reminder needs no log to show")
    m.close(tip, win)


def bad_skin(m):
    classic = os.path.join(m.install, "skin", "classic.rcc")
    original = open(classic, "rb").read()
    for what, content in (("missing", None), ("cut short", original[:len(original) // 3]),
                          ("damaged", original[:64] + bytes(b ^ 0x5A for b in original[64:4096]) + original[4096:])):
        m.reset()
        if content is None:
            os.remove(classic)
        else:
            open(classic, "wb").write(content)
        tip = m.start_tip()
        win = m.outcome(tip)
        if win:
            m.close(tip, win)


def broken_language(m):
    lng = os.path.join(m.install, "Language", "English.lng")
    open(lng, "wb").write(b"\xff\xfe" + "[SoftCombox]\r\nNeedUpdates\r\n=\r\n\x00\x01[[[\r\nBtn_Update=\r\n"
                          .encode("utf-16-le") + b"\x00\xd8")
    tip, win = m.shown()
    m.close(tip, win)


def hostile_uninstall_entries(m):
    reg = os.path.join(m.work, "hostile.reg")
    key = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
    long_name = "Lumen Photo Studio " + "W" * 10000
    lines = ["Windows Registry Editor Version 5.00", "",
             "[%s\\Hostile1]" % key, '"DisplayName"="%s"' % long_name, '"DisplayVersion"=dword:00000007',
             '"Publisher"=hex:00,01,02', '"DisplayIcon"="%s"' % ("C:\\" + "x" * 5000), "",
             "[%s\\Hostile2]" % key, '"DisplayName"=hex(7):41,00,00,00,42,00,00,00,00,00',
             '"InstallLocation"=dword:ffffffff', ""]
    open(reg, "wb").write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
    m.wine("reg.exe", "import", m.host(reg))
    try:
        tip, win = m.shown()
        m.close(tip, win)
    finally:
        for k in ("Hostile1", "Hostile2"):
            m.wine("reg.exe", "delete", key + "\\" + k, "/f", check_code=False)


def dragging(m):
    tip, win = m.shown()
    # From the title text: the window follows.
    m.desktop("drag", win["x"] + 60, win["y"] + 16, win["x"] - 140, win["y"] - 84)
    moved = m.window(5)
    check((moved["x"], moved["y"]) == (win["x"] - 200, win["y"] - 100), "dragging the title: %s" % moved)
    # From the list: the window stays.
    m.desktop("drag", moved["x"] + 100, moved["y"] + 290, moved["x"], moved["y"] + 190)
    still = m.window(5)
    check((still["x"], still["y"]) == (moved["x"], moved["y"]), "dragging the list moved the window: %s" % still)
    m.close(tip, still)


# --- the update list ---

LIST_BAR_X = 329  # window-relative: the column where the list's vertical bar draws its track and thumb
LIST_ROWS = (269, 335)  # window-relative top and bottom of the list's rows
ICON_BAND = (276, 299)  # the icons of the line the list shows, above the captions (and any hint)
BAR_TRACK, BAR_THUMB, LIST_BACK = (240, 243, 247), (197, 204, 214), (255, 255, 255)


def listed_keys(m):
    """The names the [Ignore] section knows the listed products by, from the show times a shown tip leaves."""
    import re
    text = m.text(os.path.join(m.user, "SoftTip.ini"))
    return ["%s_%s_1" % (key, "1" if bits == "64" else "0")
            for key, bits in re.findall(r"\[([^\]]+)\][^\[]*?ShowTime(32|64)=", text)]


def ignore(m, names):
    text = m.text(m.main_ini())
    check("[Ignore]\r\n" in text, "the demo Main.ini has no [Ignore] section")
    text = text.replace("[Ignore]\r\n", "[Ignore]\r\n" + "".join("%s=1\r\n" % n for n in names), 1)
    open(m.main_ini(), "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))


def bar_column(m, win, name):
    """The colours down the bar's column over the list's rows."""
    pixel = read_png(m.shot(name))
    return [pixel(win["x"] + LIST_BAR_X, win["y"] + y) for y in range(*LIST_ROWS)]


def thumb_top(column):
    rows = [i for i, c in enumerate(column) if near(c, BAR_THUMB, 12)]
    return rows[0] if len(rows) >= 10 else None


def list_rows_and_bar(m):
    # All eight listed once, to learn their keys; then all but 2, 3 and 4 of them hidden.
    tip, win = m.shown()
    m.close(tip, win)
    keys = listed_keys(m)
    check(len(keys) == 8, "expected 8 listed products: %s" % keys)
    for rows, shows in ((2, False), (3, False), (4, True)):
        m.reset()
        ignore(m, keys[rows:])
        tip, win = m.shown()
        time.sleep(0.5)
        column = bar_column(m, win, "list-%d" % rows)
        m.close(tip, win)
        check(len(m.text(os.path.join(m.user, "SoftTip.ini")).split("ShowTime")) - 1 == rows,
              "%d rows expected in SoftTip.ini" % rows)
        if shows:
            check(thumb_top(column) is not None and any(near(c, BAR_TRACK, 6) for c in column),
                  "%d rows: no bar drawn: %s" % (rows, column))
        else:
            check(all(near(c, LIST_BACK, 6) for c in column), "%d rows: a bar is drawn: %s" % (rows, column))


def list_wheel(m):
    tip, win = m.shown()
    time.sleep(0.5)
    before = read_png(m.shot("wheel-before"))
    column = [before(win["x"] + LIST_BAR_X, win["y"] + y) for y in range(*LIST_ROWS)]
    top = thumb_top(column)
    check(top is not None and top <= 3, "the thumb should start at the top: %s" % column)
    # Over the captions, so a hint opens below the list, not over its icons.
    m.desktop("wheel", win["x"] + 300, win["y"] + LIST_ROWS[1] - 4, -1)
    time.sleep(0.5)
    after = read_png(m.shot("wheel-after"))
    moved = thumb_top([after(win["x"] + LIST_BAR_X, win["y"] + y) for y in range(*LIST_ROWS)])
    check(moved is not None and moved > top + 5, "the thumb did not move down: %s -> %s" % (top, moved))
    changed = sum(before(x, y) != after(x, y) for y in range(win["y"] + ICON_BAND[0], win["y"] + ICON_BAND[1])
                  for x in range(win["x"] + 18, win["x"] + 315))
    check(changed > 300, "the icons did not change (%d pixels)" % changed)
    # The pointer has not moved, but the row under it is now the sixth in name
    # order, not the third it was on: the hint names that one.
    hint = m.window(5, "NudgeletHint")
    check(hint and hint["title"].startswith("Name: Quaywise PDF Reader|"), "the row under the pointer: %s" % hint)
    m.close(tip, win)


def list_hot_row(m):
    tip, win = m.shown()
    m.desktop("move", win["x"] + 170, win["y"] + 150)
    time.sleep(0.5)
    before = read_png(m.shot("hot-before"))
    for x, title in ((60, "Name: Cobaltline Browser|Available: 119.0.2"),
                     (160, "Name: Fieldstone Home Budget Planner|Available: 2024.1")):
        m.desktop("move", win["x"] + x, win["y"] + 290)
        hint = m.window(5, "NudgeletHint")
        check(hint and hint["title"] == title, "over the row at %d: %s" % (x, hint))
    # Right of the last cell the pointer is still over the list, but on no row.
    m.desktop("move", win["x"] + 318, win["y"] + 290)
    check(not m.window(1, "NudgeletHint"), "the hint stays off the rows")
    time.sleep(0.5)
    after = read_png(m.shot("hot-after"))
    changed = [(x, y) for y in range(win["y"] + LIST_ROWS[0], win["y"] + LIST_ROWS[1])
               for x in range(win["x"] + 18, win["x"] + 315) if before(x, y) != after(x, y)]
    check(not changed, "the rows look different once left: %s" % changed[:5])
    m.close(tip, win)


CASES = [window_in_the_corner, update_now, auto_update_on, full_screen_in_front, shown_times, nothing_to_update,
         database_missing, database_damaged, second_instance, competing_process, bad_main_ini, unwritable_log,
         bad_skin, broken_language, hostile_uninstall_entries, dragging,
         list_rows_and_bar, list_wheel, list_hot_row]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--only")
    args = ap.parse_args()
    os.makedirs(args.work, exist_ok=True)
    m = Machine(os.path.abspath(args.bin), os.path.abspath(args.work))
    failed = 0
    m.start()
    try:
        for case in CASES:
            if args.only and args.only not in case.__name__:
                continue
            started = time.time()
            try:
                m.reset()
                case(m)
                print("ok    %-28s %5.1f s" % (case.__name__, time.time() - started), flush=True)
            except (Failure, subprocess.TimeoutExpired, OSError) as e:
                failed += 1
                print("FAIL  %-28s %s" % (case.__name__, e), flush=True)
    finally:
        m.reset()
        m.stop()
    print("%d of %d cases failed" % (failed, len(CASES)) if failed else "all cases passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
