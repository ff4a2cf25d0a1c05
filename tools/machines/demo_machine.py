#!/usr/bin/env python3
"""Writes the demo machine: an ordinary home-office PC with about thirty
programs, eight of which have newer versions in the update database, so that
the reminder shows a typical list. It is meant to be looked at (screenshots,
trying the window out), so every program has a believable name and its own
icon; the rules themselves are tested on the fixture machine of the
end-to-end tests.

    demo_machine.py [--icons DIR] OUT

OUT receives what machine.py writes (machine.reg, remove.reg, drives/C,
user/ with Main.ini and SoftwareCache.ini, updates.sql). With --icons, DIR also
receives every program's icon as NAME.ico, to look at them together.

The listed programs take their icons from all three places the reminder reads:
the database's ICON column (a program without DisplayIcon), an .ico file named
by DisplayIcon, and the icon resource of the executable named by DisplayIcon.
Everything is deterministic: every run gives the same bytes.
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "skin-art"))
from machine import (HKCU, HKLM, PF, PF86, Machine, cache_md5, dword, guid, pe_image,  # noqa: E402
                     sz, write_machine)
from make_product_icons import arc, ico_bytes, intersect, linear, polygon, soft_shadow, subtract  # noqa: E402
from make_skin_art import Canvas, circle, inset, ring, rounded_rect, segment, solid, union  # noqa: E402

USER_PROGRAMS = r"C:\Users\Demo\AppData\Local\Programs"


# ---------------------------------------------------------------------------
# App icons: a tile (rounded square or circle) in a soft diagonal gradient
# with a white glyph. Glyphs are laid out on a unit square; strokes and cuts
# keep at least about a pixel at 16 pixels, or they vanish there.

def _glyph_camera(u, w):
    body = union(rounded_rect(u(.20), u(.35), u(.80), u(.74), u(.08)),
                 rounded_rect(u(.37), u(.26), u(.60), u(.40), u(.04)))
    return union(subtract(body, circle(u(.50), u(.545), u(.155))), circle(u(.50), u(.545), u(.085)))


def _glyph_document(u, w):
    page = inset(polygon([(u(.30), u(.19)), (u(.57), u(.19)), (u(.72), u(.34)), (u(.72), u(.81)),
                          (u(.30), u(.81))]), -u(.015))
    fold = polygon([(u(.55), u(.17)), (u(.55), u(.36)), (u(.74), u(.36))])
    lines = union(*[segment(u(.39), u(y), u(.63), u(y), w(.024, .5)) for y in (.50, .60, .70)])
    return subtract(subtract(page, fold), lines)


def _glyph_envelope(u, w):
    body = rounded_rect(u(.19), u(.29), u(.81), u(.71), u(.06))
    flap = union(segment(u(.22), u(.33), u(.50), u(.54), w(.035, .6)),
                 segment(u(.78), u(.33), u(.50), u(.54), w(.035, .6)))
    return subtract(body, flap)


def _glyph_bars(u, w):
    return union(rounded_rect(u(.22), u(.52), u(.36), u(.78), u(.03)),
                 rounded_rect(u(.43), u(.38), u(.57), u(.78), u(.03)),
                 rounded_rect(u(.64), u(.22), u(.78), u(.78), u(.03)))


def _glyph_play(u, w):
    return inset(polygon([(u(.40), u(.30)), (u(.40), u(.70)), (u(.72), u(.50))]), -u(.04))


def _glyph_archive(u, w):
    lid = rounded_rect(u(.20), u(.24), u(.80), u(.39), u(.04))
    body = rounded_rect(u(.25), u(.42), u(.75), u(.78), u(.05))
    return union(lid, subtract(body, rounded_rect(u(.40), u(.50), u(.60), u(.57), u(.035))))


def _glyph_chat(u, w):
    bubble = union(rounded_rect(u(.19), u(.24), u(.81), u(.66), u(.15)),
                   polygon([(u(.30), u(.60)), (u(.27), u(.81)), (u(.48), u(.64))]))
    dots = union(*[circle(u(x), u(.45), w(.05, .9)) for x in (.35, .50, .65)])
    return subtract(bubble, dots)


def _glyph_globe(u, w):
    cx, cy, r, hw = u(.5), u(.5), u(.27), w(.04, .7)
    k = 0.5

    def meridian(x, y):
        return abs((((x - cx) / k) ** 2 + (y - cy) ** 2) ** 0.5 - r) * k - hw
    return union(ring(cx, cy, r, hw), meridian, segment(cx - r, cy, cx + r, cy, hw))


def _glyph_record(u, w):
    return union(ring(u(.5), u(.5), u(.25), w(.045, .75)), circle(u(.5), u(.5), u(.14)))


def _glyph_pencil(u, w):
    shaft = segment(u(.40), u(.60), u(.68), u(.32), u(.085))
    tip = polygon([(u(.245), u(.755)), (u(.295), u(.585)), (u(.415), u(.705))])
    return union(shaft, tip)


def _glyph_shield(u, w):
    shield = inset(polygon([(u(.50), u(.20)), (u(.75), u(.29)), (u(.72), u(.56)), (u(.50), u(.80)),
                            (u(.28), u(.56)), (u(.25), u(.29))]), -u(.02))
    tick = union(segment(u(.39), u(.50), u(.47), u(.58), w(.04, .65)),
                 segment(u(.47), u(.58), u(.62), u(.41), w(.04, .65)))
    return subtract(shield, tick)


def _glyph_note(u, w):
    return union(circle(u(.40), u(.67), u(.11)), segment(u(.49), u(.66), u(.49), u(.25), w(.045, .75)),
                 segment(u(.49), u(.27), u(.68), u(.36), w(.045, .75)))


def _glyph_calculator(u, w):
    body = rounded_rect(u(.27), u(.19), u(.73), u(.81), u(.07))
    cuts = [rounded_rect(u(.34), u(.27), u(.66), u(.40), u(.02))]
    for y in (.48, .62):
        for x in (.34, .53):
            cuts.append(rounded_rect(u(x), u(y), u(x + .13), u(y + .10), u(.02)))
    return subtract(body, union(*cuts))


def _glyph_gamepad(u, w):
    pad = union(rounded_rect(u(.17), u(.34), u(.83), u(.68), u(.14)),
                circle(u(.30), u(.66), u(.10)), circle(u(.70), u(.66), u(.10)))
    cross = union(segment(u(.26), u(.50), u(.40), u(.50), w(.03, .6)),
                  segment(u(.33), u(.43), u(.33), u(.57), w(.03, .6)))
    buttons = union(circle(u(.63), u(.46), w(.045, .8)), circle(u(.71), u(.55), w(.045, .8)))
    return subtract(pad, union(cross, buttons))


def _glyph_lock(u, w):
    body = rounded_rect(u(.28), u(.45), u(.72), u(.79), u(.07))
    shackle = union(arc(u(.50), u(.42), u(.14), 180, 360, w(.05, .8)),
                    segment(u(.36), u(.42), u(.36), u(.48), w(.05, .8)),
                    segment(u(.64), u(.42), u(.64), u(.48), w(.05, .8)))
    hole = union(circle(u(.50), u(.58), w(.045, .8)), segment(u(.50), u(.58), u(.50), u(.68), w(.025, .5)))
    return union(subtract(body, hole), shackle)


def _glyph_letter_a(u, w):
    hw = w(.065, 1.0)
    return union(segment(u(.31), u(.77), u(.50), u(.25), hw), segment(u(.69), u(.77), u(.50), u(.25), hw),
                 segment(u(.39), u(.60), u(.61), u(.60), w(.05, .8)))


def _glyph_cloud(u, w):
    return union(circle(u(.39), u(.55), u(.14)), circle(u(.56), u(.47), u(.18)),
                 rounded_rect(u(.25), u(.52), u(.77), u(.69), u(.085)))


def _glyph_printer(u, w):
    body = rounded_rect(u(.20), u(.40), u(.80), u(.66), u(.06))
    paper_in = rounded_rect(u(.32), u(.22), u(.68), u(.37), u(.02))
    paper_out = rounded_rect(u(.32), u(.58), u(.68), u(.80), u(.02))
    slot = rounded_rect(u(.28), u(.54), u(.72), u(.59), u(.01))
    return union(paper_in, subtract(body, slot), paper_out)


def _glyph_pen(u, w):
    nib = polygon([(u(.50), u(.20)), (u(.66), u(.44)), (u(.58), u(.72)), (u(.42), u(.72)), (u(.34), u(.44))])
    return union(subtract(nib, union(segment(u(.50), u(.32), u(.50), u(.50), w(.02, .5)),
                                     circle(u(.50), u(.52), w(.035, .6)))),
                 rounded_rect(u(.40), u(.75), u(.60), u(.81), u(.02)))


def app_icon_canvas(s, shape, top, bottom, glyph):
    c = Canvas(s, s)
    m = s / 16.0

    def u(v):
        return v * s

    def w(v, least):
        return max(v * s, least)
    if shape == "circle":
        tile = circle(s / 2.0, s / 2.0, s / 2.0 - m)
    else:
        tile = rounded_rect(m, m, s - m, s - m, (s - 2 * m) * 0.23)
    if s >= 32:
        soft_shadow(c, tile, "#101828", 0.28, s / 20.0, s / 48.0)
    c.fill(tile, linear(top, bottom, s * 0.25, m, s * 0.75, s - m))
    if s >= 32:
        rim = max(1.0, s / 40.0)
        c.fill(intersect(tile, lambda x, y: -inset(tile, rim)(x, y), lambda x, y: y - s * 0.45),
               solid("#FFFFFF"), opacity=0.25)
    shape_sdf = glyph(u, w)
    if s >= 32:
        # A faint shade under the glyph lifts it off the tile.
        c.fill(lambda x, y: shape_sdf(x, y - s / 40.0), solid(bottom), opacity=0.45)
    c.fill(shape_sdf, solid("#FFFFFF"))
    return c


def app_icon(shape, top, bottom, glyph):
    return ico_bytes([app_icon_canvas(s, shape, top, bottom, glyph) for s in (16, 32, 48)])


# ---------------------------------------------------------------------------
# The programs

# name, publisher, database publisher, bits (32, 64 or "user"), DisplayVersion
# (None: none, the executable's version counts), executable version, database
# version (None: not in the database), icon source ("db", "ico", "exe"),
# folder below Program Files, main executable, icon (shape, colours, glyph).
PROGRAMS = [
    # Eight with a newer version: the reminder's rows.
    ("Lumen Photo Studio", "Lumen Imaging", "Lumen Imaging Ltd.", 64, "4.2.1", (4, 2, 1, 310), "4.3.0", "db",
     r"Lumen\Photo Studio", "LumenStudio.exe", ("square", "#FFB347", "#F0621F", _glyph_camera)),
    ("Quaywise PDF Reader", "Quaywise Software", "Quaywise Software GmbH", 32, "11.2.0", (11, 2, 0, 1742),
     "11.4.2", "ico", r"Quaywise\PDF Reader", "QuaywisePDF.exe", ("square", "#FF6B6B", "#D7263D", _glyph_document)),
    ("Tern Mail", "Ternlight Labs", "Ternlight Labs", 64, "3.8.2", (3, 8, 2, 0), "3.9.0", "exe",
     "Tern Mail", "ternmail.exe", ("square", "#4FC3F7", "#1E7FD9", _glyph_envelope)),
    ("Fieldstone Home Budget Planner", "Fieldstone Software", "Fieldstone Software", 32, "2023.4",
     (2023, 4, 0, 0), "2024.1", "db", r"Fieldstone\Home Budget Planner", "budget.exe",
     ("square", "#5EDB8A", "#1E9E5A", _glyph_bars)),
    ("Orchid Media Player", "Orchid Media", "Orchid Media Foundation", 64, "1.6.3", (1, 6, 3, 0), "1.7.0", "db",
     "Orchid Media Player", "orchid.exe", ("circle", "#C77DFF", "#7B2CBF", _glyph_play)),
    ("Kettle Zip", "Kettlebrook", "Kettlebrook", 32, None, (22, 1, 0, 0), "23.01", "ico", "Kettle Zip",
     "kettlezip.exe", ("square", "#E2B27A", "#B06F32", _glyph_archive)),
    ("Wisp Chat", "Wisp Communications", "Wisp Communications Inc.", "user", "0.42.1", (0, 42, 1, 0), "0.44.0",
     "exe", "Wisp Chat", "Wisp.exe", ("circle", "#38E0C8", "#0FA3A3", _glyph_chat)),
    ("Cobaltline Browser", "Cobaltline", "Cobaltline", 64, "118.0.5", (118, 0, 5, 0), "119.0.2", "exe",
     r"Cobaltline\Browser", "cobaltline.exe", ("circle", "#5C7CFA", "#2B3FBF", _glyph_globe)),
    # A newer version the user chose to ignore (Main.ini).
    ("Marlow Screen Recorder", "Marlow", "Marlow", 32, "5.0", (5, 0, 0, 0), "5.2", "db",
     "Marlow Screen Recorder", "marlow.exe", ("circle", "#FF7A90", "#E03A5C", _glyph_record)),
    # Current versions, and a database that lags behind.
    ("Vellum Notes", "Vellum Works", "Vellum Works", 32, "7.3.0", (7, 3, 0, 0), "7.3.0", "db",
     "Vellum Notes", "vellum.exe", ("square", "#FFC23D", "#E8850C", _glyph_pencil)),
    ("Gullwing FTP Client", "Gullwing", "Gullwing", 32, "3.5.1", (3, 5, 1, 0), "3.4.0", "exe",
     "Gullwing FTP", "gullwing.exe", ("square", "#8BD3FF", "#3F8EFC", _glyph_cloud)),
    # Unknown to the database.
    ("Ashgrove Security Suite", "Ashgrove Labs", None, 64, "12.0.3", (12, 0, 3, 0), None, "exe",
     r"Ashgrove\Security Suite", "ashgrove.exe", ("square", "#6EE7B7", "#059669", _glyph_shield)),
    ("Driftwood Music Tagger", "Driftwood Audio", None, 32, "2.9", (2, 9, 0, 0), None, "exe",
     "Driftwood Music Tagger", "tagger.exe", ("circle", "#FF9E7A", "#E4572E", _glyph_note)),
    ("Pebble Calculator Plus", "Pebble Apps", None, 32, "1.4.0", (1, 4, 0, 0), None, "exe",
     "Pebble Calculator", "pebblecalc.exe", ("square", "#B0BEC5", "#607D8B", _glyph_calculator)),
    ("Starboard Game Launcher", "Starboard Interactive", None, 32, "2.31.0", (2, 31, 0, 0), None, "exe",
     r"Starboard\Launcher", "starboard.exe", ("square", "#7C83FD", "#3A36DB", _glyph_gamepad)),
    ("Nightjar VPN", "Nightjar Networks", None, 64, "6.2.0", (6, 2, 0, 0), None, "exe",
     "Nightjar VPN", "nightjar.exe", ("square", "#4A5568", "#1A202C", _glyph_lock)),
    ("Bramble Font Manager", "Bramble Type", None, 32, "4.0.2", (4, 0, 2, 0), None, "exe",
     "Bramble Font Manager", "bramble.exe", ("square", "#F687B3", "#C53077", _glyph_letter_a)),
    ("Hollis Printer Setup", "Hollis Imaging", None, 64, "3.10.2", (3, 10, 2, 0), None, "exe",
     r"Hollis\Printer Setup", "hollissetup.exe", ("square", "#90A4AE", "#455A64", _glyph_printer)),
    ("Ridgeway Pen Tablet Settings", "Ridgeway", None, 64, "6.4.1", (6, 4, 1, 0), None, "exe",
     r"Ridgeway\Tablet", "penprops.exe", ("circle", "#4DD0E1", "#00838F", _glyph_pen)),
]


def demo():
    m = Machine()
    icons = {}
    for (name, publisher, db_publisher, bits, version, exe_version, new, source, folder, exe, art) in PROGRAMS:
        icon = app_icon(*art)
        icons[name] = icon
        x64 = bits in (64, "user")
        if bits == "user":
            folder = USER_PROGRAMS + "\\" + folder
        else:
            folder = (PF if bits == 64 else PF86) + "\\" + folder
        m.folder(folder)
        exe_path = folder + "\\" + exe
        m.file(exe_path, pe_image(x64, exe_version, name, publisher, icon if source == "exe" else None))
        extra = [dword("EstimatedSize", 2000 + 997 * len(name) * len(exe) % 250000),
                 sz("InstallDate", "2023%02d%02d" % (1 + len(name) % 12, 1 + len(exe) * 2 % 28)),
                 sz("URLInfoAbout", "https://www.%s.example.com/" % publisher.split()[0].lower())]
        if source == "exe":
            extra.append(sz("DisplayIcon", '"%s",0' % exe_path if " " in exe_path else exe_path + ",0"))
        elif source == "ico":
            ico_path = folder + "\\" + exe.rsplit(".", 1)[0] + ".ico"
            m.file(ico_path, icon)
            extra.append(sz("DisplayIcon", ico_path))
        if new is not None:
            key = guid("demo " + name)
            m.db(key, name, db_publisher, {0: new, 1: new} if x64 else {0: new}, exe,
                 icon=icon.hex().upper() if source == "db" else "")
            if name == "Marlow Screen Recorder":
                m.ignore.append(key + "_0_1")
        m.app(name, publisher, version, folder, None, bits=64 if bits == 64 else 32,
              root=HKCU if bits == "user" else HKLM, extra=extra)
    system_entries(m)
    office(m, icons)
    catalogue(m)
    return m, icons


def office(m, icons):
    """An office suite installed by Windows Installer without InstallLocation:
    the folder and icon come from SoftwareCache.ini. The database has it, current."""
    name, folder = "Pinecrest Office Suite", PF86 + r"\Pinecrest Office 7"
    icon = app_icon("square", "#FF8A65", "#D84315", _glyph_document_stack)
    icons[name] = icon
    m.folder(folder)
    m.file(folder + r"\program\pinecrest.exe", pe_image(False, (7, 6, 2, 0), name, "Pinecrest Foundation", icon))
    m.db(guid("demo pinecrest"), name, "The Pinecrest Foundation", {0: "7.6.2"}, r"program\pinecrest.exe")
    code = guid("demo pinecrest product")
    uninstall = "MsiExec.exe /X" + code
    m.entry(HKLM, code, [sz("DisplayName", name), sz("Publisher", "Pinecrest Foundation"),
                         sz("DisplayVersion", "7.6.2"), sz("UninstallString", uninstall),
                         dword("WindowsInstaller", 1), dword("EstimatedSize", 412000)], 32)
    m.cache.append((name, [("InstallDate", "09/14/2023 18:22:05"),
                           ("MD5", cache_md5("09/14/2023 18:22:05", uninstall).upper()),
                           ("QuickUninstall", uninstall + " /qn"), ("size", "421888000"),
                           ("DisplayIcon", folder + r"\program\pinecrest.exe"), ("IconIndex", "0"),
                           ("Location", folder + "\\")]))


def _glyph_document_stack(u, w):
    back = rounded_rect(u(.36), u(.19), u(.76), u(.70), u(.05))
    front = rounded_rect(u(.24), u(.30), u(.64), u(.81), u(.05))
    gap = inset(front, -w(.035, .7))
    lines = union(*[segment(u(.32), u(y), u(.56), u(y), w(.024, .5)) for y in (.47, .57, .67)])
    return union(subtract(back, gap), subtract(front, lines))


def system_entries(m):
    """What every Windows PC carries and the reminder never shows: runtime
    components, a patch, keys without a name and a driver in both views."""
    for arch, bits in (("x86", 32), ("x64", 64)):
        version = "14.36.32532"
        bundle = guid("demo runtime bundle " + arch)
        m.entry(HKLM, bundle, [sz("DisplayName", "Ironbark C++ Runtime 2022 (%s) - %s" % (arch, version)),
                               sz("DisplayVersion", version), sz("Publisher", "Ironbark Tools"),
                               sz("UninstallString", '"C:\\ProgramData\\Package Cache\\%s\\ib_runtime.exe"  /uninstall'
                                  % bundle), sz("BundleVersion", version), dword("NoModify", 1)], 32)
        code = guid("demo runtime minimum " + arch)
        m.entry(HKLM, code, [sz("DisplayName", "Ironbark C++ Runtime 2022 %s Minimum Runtime - %s" % (arch, version)),
                             sz("DisplayVersion", version), sz("Publisher", "Ironbark Tools"),
                             sz("UninstallString", "MsiExec.exe /I" + code), dword("SystemComponent", 1),
                             dword("WindowsInstaller", 1), dword("EstimatedSize", 2200)], bits)
    quaywise = PF86 + r"\Quaywise\PDF Reader"
    m.entry(HKLM, "{%s}.KB5011234" % guid("demo quaywise patch").strip("{}"),
            [sz("DisplayName", "Security Update for Quaywise PDF Reader (KB5011234)"),
             sz("Publisher", "Quaywise Software"), sz("DisplayVersion", "11.2.0.1"),
             sz("UninstallString", quaywise + r"\patches\KB5011234\remove.exe"),
             sz("ParentKeyName", "QuaywisePDFReader_is1"), sz("ReleaseType", "Security Update")], 32)
    for key in ("MediaPlaybackComponents", "SpeechVoices"):
        m.entry(HKLM, key, [], 64)
    for bits in (32, 64):
        m.entry(HKLM, guid("demo tablet driver"),
                [sz("DisplayName", "Ridgeway Pen Tablet Driver"), sz("DisplayVersion", "6.4.1-3"),
                 sz("Publisher", "Ridgeway"),
                 sz("UninstallString", PF + r"\Ridgeway\Tablet\Remove.exe /u"),
                 sz("InstallDate", "20230611")], bits)


def catalogue(m):
    """Products of the database that this PC does not have."""
    names = ["Alderpoint Disk Cleaner", "Bluefen Video Editor", "Cairnstone Tax Helper", "Dunmore Photo Frame",
             "Elderwick Mind Map", "Foxglove Download Manager", "Greyhaven Password Keeper", "Hartwell Sticky Notes",
             "Inkberry E-Book Reader", "Juniper Lane Radio"]
    for i, name in enumerate(names):
        m.db(guid("demo catalogue " + name), name, name.split()[0] + " Software",
             {0: "%d.%d" % (2 + i % 5, i), 1: "%d.%d" % (2 + i % 5, i)}, "app%02d.exe" % i)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("out")
    ap.add_argument("--icons", help="also write every program's icon here")
    args = ap.parse_args()
    machine, icons = demo()
    write_machine(args.out, machine)
    if args.icons:
        os.makedirs(args.icons, exist_ok=True)
        for name, data in sorted(icons.items()):
            with open(os.path.join(args.icons, name + ".ico"), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
