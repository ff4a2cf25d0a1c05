#!/usr/bin/env python3
"""Writes the fixture machine for nudgelet-inspect: a used Windows 7 64-bit PC
(the version Wine reports to the x86_64 program) on which every inventory and
matching rule is met at least once, and what the detection must make of each
of its uninstall entries.

    make_machine.py OUT

OUT receives what tools/machines/machine.py writes, and expectation.json.
Everything is deterministic: every run gives the same bytes.
"""
import argparse
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools", "machines"))
from machine import (HKCU, HKLM, PF, PF86, UNINSTALL, Machine, cache_md5, dword, expand_sz, guid,  # noqa: E402,F401
                     ico_file, pe_image, sz, write_machine)


def row(bit, version, name=None):
    return {"row": [bit, version], "name": name}


def fixture():
    m = Machine()

    def E(decision, why, state=None, **more):
        d = {"state": state or {"patch": "patch", "toolbar": "toolbar", "hidden": "hidden",
                                "no-record": "absent"}.get(decision, "visible"), "decision": decision, "why": why, "row": None}
        d.update(more)
        if d.get("name") is None:
            d.pop("name", None)
        return d

    # --- plain matches: one view each, the database's edition rows --------------------------------
    k = guid("fernhill photo editor")
    m.db(k, "Fernhill Photo Editor", "Fernhill Software Ltd.", {0: "3.3.0", 1: "3.3.0"}, "PhotoEditor.exe",
         icon=ico_file("fernhill").hex().upper())
    m.app("Fernhill Photo Editor", "Fernhill Software", "3.2.1", PF + r"\Fernhill\Photo Editor", "PhotoEditor.exe",
          True, bits=64, extra=[dword("EstimatedSize", 84512), sz("InstallDate", "20230412"),
                                sz("DisplayIcon", PF + r"\Fernhill\Photo Editor\PhotoEditor.exe,0")],
          expect=E("update", "64-bit view: the 64-bit edition is newer", **row(1, "3.3.0"),
                   fields={"InstallDateText": "2023-04-12", "Size": 84512 * 1024, "SizeText": "82.53 MB"}))
    m.app("Security Update for Fernhill Photo Editor (KB4023057)", "Fernhill Software", "1.0", None,
          bits=64, key="{%s}.KB4023057" % k.strip("{}"),
          uninstall=PF + r"\Fernhill\Photo Editor\patches\KB4023057\remove.exe",
          extra=[sz("ParentKeyName", "Fernhill Photo Editor_is1"), sz("ReleaseType", "Security Update")],
          expect=E("patch", "\"(KB\" in the name: a patch, never matched although its name holds a product's",
                   fields={"IsUpdate": True}))

    k = guid("quillpad")
    m.db(k, "Quillpad Notes", "Quillpad", {0: "2.1"}, "Quillpad.exe")
    m.app("Quillpad Notes", "Quillpad", "2.0.4", PF86 + r"\Quillpad", "Quillpad.exe",
          expect=E("update", "32-bit view, 32-bit edition newer", **row(0, "2.1")))

    k = guid("orbitfox")
    m.db(k, "Orbitfox Browser", "Orbitfox Foundation", {0: "111.0.1"}, "orbitfox.exe")
    m.app("Orbitfox Browser 110.0.2 (x64 en-US)", "Orbitfox Foundation", "110.0.2", PF + r"\Orbitfox", "orbitfox.exe",
          True, bits=64, key="Orbitfox Browser 110.0.2 (x64 en-US)",
          expect=E("update", "64-bit install but only a 32-bit database row: falls back to bit 0",
                   **row(0, "111.0.1")))

    k = guid("tallyho")
    m.db(k, "Tallyho Accounting", "Tallyho Inc.", {0: "8.2", 1: "8.2"}, "tallyho.exe")
    m.app("Tallyho Accounting", "Tallyho Inc.", "8.1", PF86 + r"\Tallyho", "tallyho.exe",
          expect=E("update", "first of the same name and version in both views", **row(0, "8.2")))
    m.app("Tallyho Accounting", "Tallyho Inc.", "8.1", PF + r"\Tallyho", "tallyho.exe", True, bits=64,
          expect=E("hidden", "same name and version as the 32-bit entry: folded", state="hidden"))

    k = guid("harbor sync")
    m.db(k, "Harbor Sync", "Harbor Data", {0: "3.2.0", 1: "3.3.0"}, "HarborSync.exe")
    m.app("Harbor Sync", "Harbor Data", "3.1.0", PF86 + r"\Harbor Sync", "HarborSync.exe",
          expect=E("update", "same name, other version than the 64-bit one: both stay", **row(0, "3.2.0")))
    m.app("Harbor Sync", "Harbor Data", "3.2.0", PF + r"\Harbor Sync", "HarborSync.exe", True, bits=64,
          expect=E("update", "the 64-bit installation, another bit: not superseded", **row(1, "3.3.0")))

    k = guid("clearview")
    m.db(k, "Clearview Media Player", "Clearview", {0: "12.0.5"}, "cvplayer.exe")
    m.app("Clearview Media Player", "Clearview", "11.0.1", PF86 + r"\Clearview", "cvplayer.exe",
          key="ClearviewMP11",
          expect=E("superseded", "same product and bit as the newer installation ClearviewMP12: dropped"))
    m.app("Clearview Media Player", "Clearview", "12.0.5", PF86 + r"\Clearview", None, key="ClearviewMP12",
          expect=E("candidate", "current version: a candidate without update, it supersedes 11.0.1"))

    k = guid("brightline")
    m.db(k, "Brightline PDF Reader", "Brightline", {0: "9.4.2"}, "brightpdf.exe")
    m.app("Brightline PDF Reader", "Brightline", "9.4.2", PF86 + r"\Brightline PDF", "brightpdf.exe",
          expect=E("candidate", "equal version: no update"))
    k = guid("cobalt terminal")
    m.db(k, "Cobalt Terminal", "Cobalt Systems", {1: "5.0.9"}, "cobalt.exe")
    m.app("Cobalt Terminal", "Cobalt Systems", "5.1", PF + r"\Cobalt Terminal", "cobalt.exe", True, bits=64,
          expect=E("candidate", "database version older than the installed one"))

    # --- VerCompareNum ----------------------------------------------------------------------------
    k = guid("meridian mail")
    m.db(k, "Meridian Mail", "Meridian", {0: "5.2.3"}, "mmail.exe", compare="2")
    m.app("Meridian Mail", "Meridian", "5.2.1", PF86 + r"\Meridian Mail", "mmail.exe",
          expect=E("candidate", "VerCompareNum 2: 5.2.3 compares as 5.2, not newer than 5.2.1"))
    k = guid("nimbus draw")
    m.db(k, "Nimbus Draw", "Nimbus Labs", {0: "5.3.1"}, "ndraw.exe", compare="2")
    m.app("Nimbus Draw", "Nimbus Labs", "5.2.9", PF86 + r"\Nimbus Draw", "ndraw.exe",
          expect=E("update", "VerCompareNum 2: the new version shown is 5.3", **row(0, "5.3")))
    k = guid("sparrow ftp")
    m.db(k, "Sparrow FTP", "Sparrow", {0: "7"}, "sparrow.exe", compare="1")
    m.app("Sparrow FTP", "Sparrow", "6.5", PF86 + r"\Sparrow FTP", "sparrow.exe",
          expect=E("candidate", "VerCompareNum 1 of a version without a dot: empty, no update"))
    k = guid("glint capture")
    m.db(k, "Glint Capture", "Glint", {0: "4.1.2.900"}, "glint.exe", compare="3")
    m.app("Glint Capture", "Glint", "4.1.2.100", PF86 + r"\Glint", "glint.exe",
          expect=E("candidate", "VerCompareNum 3: the build number does not count"))
    k = guid("kestrel zip")
    m.db(k, "Kestrel Zip", "Kestrel", {0: "2.0.1"}, "kzip.exe", compare="x")
    m.app("Kestrel Zip", "Kestrel", "2.0", PF86 + r"\Kestrel Zip", "kzip.exe",
          expect=E("update", "VerCompareNum not a number: every part counts", **row(0, "2.0.1")))

    # --- the installed version from the main executable ---------------------------------------------
    k = guid("pylon monitor")
    m.db(k, "Pylon Monitor", "Pylon", {1: "2.3.5"}, "pylon.exe")
    m.app("Pylon Monitor", "Pylon", None, PF + r"\Pylon", "pylon.exe", True, (2, 3, 4, 5), bits=64,
          extra=[sz("DisplayIcon", PF + r"\Pylon\pylon.exe,3")],
          expect=E("update", "no DisplayVersion: the x64 executable's version 2.3.4.5 is compared",
                   **row(1, "2.3.5"), candidate={"InstalledVersion": "2.3.4.5"}))
    k = guid("lantern backup")
    m.db(k, "Lantern Backup", "Lantern", {0: "6.0"}, "lantern.exe")
    m.app("Lantern Backup", "Lantern", "", PF86 + r"\Lantern Backup", "lantern.exe", False, (6, 0, 0, 0),
          expect=E("candidate", "empty DisplayVersion: the i386 executable's 6.0.0.0 equals 6.0",
                   candidate={"InstalledVersion": "6.0.0.0"}))
    k = guid("ripple player")
    m.db(k, "Ripple Player", "Ripple", {0: "1.5"}, "ripple.exe")
    m.folder(PF86 + r"\Ripple")
    m.file(PF86 + r"\Ripple\ripple.exe", b"MZ not really a program")
    m.app("Ripple Player", "Ripple", None, PF86 + r"\Ripple",
          expect=E("update", "no version information in the executable: Unknown, which 1.5 beats",
                   **row(0, "1.5"), candidate={"InstalledVersion": "Unknown"}))
    k = guid("moss editor")
    m.db(k, "Moss Editor", "Moss", {0: "1.0"})
    m.app("Moss Editor", "Moss", "latest", PF86 + r"\Moss Editor",
          expect=E("update", "no version and no main executable: \"-\", which 1.0 beats", **row(0, "1.0"),
                   candidate={"InstalledVersion": "-", "MainExePath": ""}))
    k = guid("osprey tuner")
    m.db(k, "Osprey Tuner", "Osprey", {0: "2.0.0.0"}, "osprey.exe")
    m.app("Osprey Tuner", "Osprey", None, PF86 + r"\Osprey", "osprey.exe", True, (2, 0, 0, 0),
          expect=E("candidate", "executable version 2.0.0.0 equals the database's",
                   candidate={"InstalledVersion": "2.0.0.0"}))

    # --- the main executable check -----------------------------------------------------------------
    k = guid("gale weather")
    m.db(k, "Gale Weather", "Gale", {0: "3.0"}, "gale.exe")
    m.app("Gale Weather", "Gale", "2.0", PF86 + r"\Gale Weather", None,
          expect=E("exe-missing", "the main executable is not in the install folder"))
    k = guid("thistle studio")
    m.db(k, "Thistle Studio", "Thistle", {0: "4.0"}, r"bin\thistle64.exe|thistle.exe")
    m.app("Thistle Studio", "Thistle", "3.9", PF86 + r"\Thistle Studio", "thistle.exe",
          expect=E("update", "the second of two main executables exists", **row(0, "4.0"),
                   candidate={"MainExePath": PF86 + r"\Thistle Studio\thistle.exe"}))
    k = guid("vireo chat")
    m.db(k, "Vireo Chat", "Vireo", {0: "2.0"}, "vireo.exe|vireo-app.exe")
    m.app("Vireo Chat", "Vireo", "1.0", PF86 + r"\Vireo Chat", "vireo-old.exe",
          expect=E("exe-missing", "neither main executable exists"))

    # --- keys whose bit comes from the executable's machine -------------------------------------------
    k = "{535F86FD-519A-4686-82D2-D4E9F6CC87E4}"
    m.db(k, "Aster Office", "Aster", {0: "7.1", 1: "7.2"}, "aster.exe")
    m.app("Aster Office", "Aster", "7.0", PF + r"\Aster Office", "aster.exe", False, (7, 0, 0, 0), bits=64,
          expect=E("update", "64-bit view, but an i386 executable: bit 0", **row(0, "7.1")))
    k = "{2C09963D-7637-4EDD-873C-409A8502BFF7}"
    m.db(k, "Borealis IDE", "Borealis", {0: "2021.3", 1: "2022.1"}, "borealis.exe")
    m.app("Borealis IDE", "Borealis", "2021.1", PF86 + r"\Borealis IDE", "borealis.exe", True, (2021, 1, 0, 0),
          expect=E("update", "32-bit view, but an x64 executable: bit 1", **row(1, "2022.1")))
    k = "{B934C0C3-29CE-4CEC-A7D0-6467AD181FFC}"
    m.db(k, "Cirrus Tools", "Cirrus", {0: "1.4"}, "cirrus.exe")
    m.app("Cirrus Tools", "Cirrus", "1.3", PF + r"\Cirrus Tools", "cirrus.exe", True, (1, 3, 0, 0), bits=64,
          expect=E("update", "x64 executable gives bit 1, which has no row: back to bit 0", **row(0, "1.4")))

    # --- editions -----------------------------------------------------------------------------------
    k = "{9D995D02-0224-4AF6-AEDE-EA404F6A2560}"
    m.db(k, "Dovetail Office", "Dovetail", {0: "16.0.2"}, "dovetail.exe")
    m.app("Dovetail Office 16 (en-US)", "Dovetail", "16.0.1", PF86 + r"\Dovetail Office", "dovetail.exe",
          expect=E("update", "EN-US in the name: English edition", **row(0, "16.0.2")))
    k = "{46EE99C3-AD06-4899-8CD8-C3BA77D2A24E}"
    m.db(k, "Dovetail Viewer", "Dovetail", {0: "3.0"}, "dview.exe")
    m.app("Dovetail Viewer 2 (de-DE)", "Dovetail", "2.0", PF86 + r"\Dovetail Viewer", "dview.exe",
          expect=E("edition", "no EN-US in the name: not the English edition"))
    k = "{24B0AC54-19B3-45F8-9FC7-99D4E8B2B9F2}"
    m.db(k, "WinRAR", "win.rar GmbH", {0: "6.24.0", 1: "6.24.0"}, "WinRAR.exe")
    m.app("WinRAR 6.02 (64-bit)", "win.rar GmbH", "6.02.0", PF + "\\WinRAR\\", "WinRAR.exe", True, bits=64,
          key="WinRAR archiver",
          expect=E("update", "Rar.txt's first line mentions the manual: English", **row(1, "6.24.0")))
    m.file(PF + r"\WinRAR\Rar.txt", b"                       User's Manual\r\n                       ~~~~~~~~~~~~~\r\n")
    m.app("WinRAR 5.91 (32-bit)", "win.rar GmbH", "5.91.0", PF86 + "\\WinRAR\\", "WinRAR.exe", key="WinRAR archiver",
          expect=E("edition", "no Rar.txt, ReadMe.txt in German: not English"))
    m.file(PF86 + r"\WinRAR\ReadMe.txt", b"Dieses Archiv enthaelt den WinRAR Archivmanager.\r\n")
    k = "{6685FA15-5434-4F90-856B-45624A42B923}"
    m.db(k, "OpenOffice", "Apache Software Foundation", {0: "4.1.15"}, r"program\soffice.exe",
         main_reg_key=r"SOFTWARE\OpenOffice")
    m.app("OpenOffice 4.1.13", "Apache Software Foundation", "4.1.13", PF86 + r"\OpenOffice 4",
          r"program\soffice.exe", key=guid("openoffice 4.1.13"),
          uninstall="MsiExec.exe /I" + guid("openoffice 4.1.13"),
          extra=[sz("Comments", "OpenOffice 4.1.13 (en-US)"), dword("WindowsInstaller", 1)],
          expect=E("update", "an OpenOffice entry with an en-US comment: English", **row(0, "4.1.15"),
                   fields={"UninstallString": "MsiExec.exe /X" + guid("openoffice 4.1.13")}))

    # --- operating system mask (Windows 7: 4) -------------------------------------------------------------
    for name, os_type, decision in (("Quokka Defrag", "2", "os"), ("Rook Cleaner", "4", "update"),
                                    ("Sable Burner", "abc", "update"), ("Tern Recorder", "0", "os"),
                                    ("Umber Paint", "48", "os"), ("Velvet Dock", "", "update")):
        k = guid(name)
        m.db(k, name, name.split()[0] + " Soft", {0: "9.0"}, name.split()[0].lower() + ".exe", os_type=os_type)
        m.app(name, name.split()[0] + " Soft", "8.0", PF86 + "\\" + name, name.split()[0].lower() + ".exe",
              expect=E(decision, "OsType %r on Windows 7" % os_type,
                       **(row(0, "9.0") if decision == "update" else {})))

    # --- language rows ---------------------------------------------------------------------------------
    k = guid("vesper translate")
    m.db(k, "Vesper Translate", "Vesper", {0: "3.0"}, "vesper.exe", lan=2)
    m.app("Vesper Translate", "Vesper", "2.0", PF86 + r"\Vesper", "vesper.exe",
          expect=E("candidate", "only a LanID 2 row: no version, no update"))
    k = guid("wren dictionary")
    m.db(k, "Wren Dictionary", "Wren", {0: "1.0"}, "wren.exe")
    m.download(k, 0, "2.0", lan=2)
    m.app("Wren Dictionary", "Wren", "1.0", PF86 + r"\Wren", "wren.exe",
          expect=E("candidate", "the newer version is in the LanID 2 row only"))

    # --- ignore list ------------------------------------------------------------------------------------
    k = guid("yarrow tasks")
    m.db(k, "Yarrow Tasks", "Yarrow", {1: "5.0"}, "yarrow.exe")
    m.ignore.append(k + "_1_1")
    m.app("Yarrow Tasks", "Yarrow", "4.0", PF + r"\Yarrow", "yarrow.exe", True, bits=64,
          expect=E("ignored", "Main.ini ignores key_1_1"))
    k = guid("zinnia clock")
    m.db(k, "Zinnia Clock", "Zinnia", {0: "2.5"}, "zinnia.exe")
    m.ignore.append(k + "_0_1_since_2023")
    m.app("Zinnia Clock", "Zinnia", "2.4", PF86 + r"\Zinnia", "zinnia.exe",
          expect=E("ignored", "an ignore key that merely contains key_0_1"))
    k = guid("alder scanner")
    m.db(k, "Alder Scanner", "Alder", {0: "1.2"}, "alder.exe")
    m.ignore.append(k + "_1_1")
    m.app("Alder Scanner", "Alder", "1.1", PF86 + r"\Alder", "alder.exe",
          expect=E("update", "only the other edition (bit 1) is ignored", **row(0, "1.2")))

    # --- download addresses ----------------------------------------------------------------------------
    k = guid("basil recipes")
    m.db(k, "Basil Recipes", "Basil", {0: "2.0"}, "basil.exe", out_url="")
    m.app("Basil Recipes", "Basil", "1.0", PF86 + r"\Basil", "basil.exe",
          expect=E("no-download", "an update with neither OutURL nor InURL"))
    k = guid("cedar fonts")
    m.db(k, "Cedar Fonts", "Cedar", {0: "2.0"}, "cedar.exe", out_url="", in_url="https://cdn.example.com/cedar.msi")
    m.app("Cedar Fonts", "Cedar", "1.0", PF86 + r"\Cedar", "cedar.exe",
          expect=E("update", "InURL alone is enough", **row(0, "2.0"),
                   candidate={"InURL": "https://cdn.example.com/cedar.msi", "OutURL": "", "InFileSize": 2097152}))

    # --- PreciseMainKey ---------------------------------------------------------------------------------
    k = guid("dahlia music")
    m.db(k, "Dahlia Music", "Dahlia", {0: "6.1"}, "dahlia.exe", precise="1", main_reg_key="DahliaMusic_is1")
    m.app("Dahlia Music", "Dahlia", "6.0", PF86 + r"\Dahlia", "dahlia.exe",
          expect=E("update", "PreciseMainKey and MainRegKey in the key path", **row(0, "6.1"),
                   candidate={"MainRegKey": "DahliaMusic_is1"}))
    k = guid("elm weather")
    m.db(k, "Elm Weather Pro", "Elm", {0: "3.1"}, "elm.exe", precise="1", main_reg_key="ElmWeather64")
    m.app("Elm Weather Pro", "Elm", "3.0", PF86 + r"\Elm", "elm.exe",
          expect=E("precise", "PreciseMainKey, MainRegKey not in the key path"))
    k = guid("fennel clip")
    m.db(k, "Fennel Clip", "Fennel", {0: "2.1"}, "fennel.exe", precise="1")
    m.app("Fennel Clip", "Fennel", "2.0", PF86 + r"\Fennel", "fennel.exe",
          expect=E("precise", "PreciseMainKey with an empty MainRegKey never passes"))

    # --- the keys with a rule of their own --------------------------------------------------------------
    k = "{2B2B1503-FFDD-4119-80F2-72BCD448BF54}"
    m.db(k, "Gorse Sync", "Gorse", {0: "3.5", 1: "3.5"}, "gorse.exe")
    m.app("Gorse Sync", "Gorse", "3.3.0", PF86 + r"\Gorse Sync", "gorse.exe",
          expect=E("windows7", "Windows 7 and at most 3.3 installed: not offered"))
    m.app("Gorse Sync", "Gorse", "3.4", PF + r"\Gorse Sync", "gorse.exe", True, bits=64,
          expect=E("update", "Windows 7 but 3.4 installed: offered", **row(1, "3.5")))
    k = "{460292C9-86C6-47EE-BC16-E4A67C4A6086}"
    m.db(k, "Game Launcher", "Hollow Games", {0: "9.1"}, "launcher.exe")
    m.app("Steam Game Launcher", "Hollow Games", "9.0", PF86 + r"\Hollow Launcher", "launcher.exe",
          expect=E("steam", "STEAM in the name under this key: not offered"))
    m.app("Game Launcher", "Hollow Games", "9.0", r"C:\Games\Hollow Launcher", "launcher.exe", root=HKCU,
          key="HollowGameLauncher",
          expect=E("update", "per-user install of the same key without Steam", **row(0, "9.1")))

    # --- Google Chrome: told apart by SoftName --------------------------------------------------------
    m.db("{8A69D345-D564-463C-AFF1-A69D9E530F96}", "Google Chrome", "Google LLC", {0: "120.0.6099.71"},
         "chrome.exe", soft_name="Google Chrome (ALL User)")
    m.db("{8A69D345-D564-463C-AFF1-A69D9E530F97}", "Google Chrome", "Google LLC", {0: "120.0.6099.71"},
         "chrome.exe", soft_name="Google Chrome (Current User)")
    m.app("Google Chrome", "Google LLC", "119.0.6045.160", PF + r"\Google\Chrome\Application", "chrome.exe", True,
          key="Google Chrome",
          expect=E("update", "machine-wide Chrome: (All User), key by SoftName",
                   **row(0, "120.0.6099.71", "Google Chrome (All User)")))
    m.app("Google Chrome", "Google LLC", "118.0.5993.118", r"C:\Chrome Portable\Application", "chrome.exe", True,
          root=HKCU, key="Google Chrome",
          expect=E("update", "per-user Chrome: (Current User), key by SoftName",
                   **row(0, "120.0.6099.71", "Google Chrome (Current User)")))

    m.db("{DE80BEA1-3505-4D9B-A012-F1089D379521}", "HDVCF Suite", "Foxwell Studio", {0: "27.0"})
    m.app("HD Video Converter Factory Pro 26.5", "Foxwell Studio", "26.5", PF86 + r"\HD Video Converter Factory Pro",
          "converter.exe",
          expect=E("update", "no database name fits: the fixed key of HD Video Converter Factory Pro",
                   **row(0, "27.0")))

    # --- the key search ----------------------------------------------------------------------------------
    k = guid("ibis invoice")
    m.db(k, "Ibis Invoice", "Ibis Software GmbH", {0: "4.2"}, "ibis.exe")
    m.app("Ibis Invoice 4", "Ibis", "4.1", PF86 + r"\Ibis Invoice", "ibis.exe",
          expect=E("update", "the installed publisher is part of the database's", **row(0, "4.2")))
    k = guid("jacana player")
    m.db(k, "Jacana Player", "Jacana Media", {0: "3.0"}, "jacana.exe")
    m.app("Jacana Player", "Jacana Media Group", "2.0", PF86 + r"\Jacana", "jacana.exe",
          expect=E("not-in-db", "the installed publisher is longer than the database's: no match"))
    k = guid("kiwi notes")
    m.db(k, "Kiwi Notes", "Kiwi", {0: "3.0"}, "kiwi.exe")
    m.app("Kiwi Notes", None, "2.0", PF86 + r"\Kiwi Notes", "kiwi.exe",
          expect=E("no-publisher", "no publisher: never matched"))
    m.app("Kiwi Notes Portable", "   ", "2.0", r"C:\Kiwi Portable", "kiwi.exe", root=HKCU,
          expect=E("no-publisher", "a blank publisher trims to nothing"))
    m.db(guid("nimbus notes"), "Nimbus Notes", "Nimbus Labs", {0: "4.2"}, "nnotes.exe")
    m.db(guid("notes"), "Notes", "Nimbus Labs", {0: "1.0"})
    m.app("Nimbus Notes", "Nimbus Labs", "4.0", PF86 + r"\Nimbus Notes", "nnotes.exe",
          expect=E("update", "two names fit; the prefix statement picks Nimbus Notes",
                   **row(0, "4.2")))
    m.db(guid("photo studio"), "Photo Studio", "Pixelworks", {0: "10.0"})
    m.db(guid("studio"), "Studio", "Pixelworks", {0: "10.0"})
    m.app("Photo Studio 9", "Pixelworks", "9.0", PF86 + r"\Photo Studio 9", "pstudio.exe",
          expect=E("not-in-db", "two names fit and the prefix statement finds none: no key"))
    m.db(guid("fernhill clipper"), "fernhill Clipper", "Fernhill Software", {0: "2.0"})
    m.app("Fernhill Clipper", "Fernhill Software", "1.0", PF86 + r"\Fernhill\Clipper", "clipper.exe",
          expect=E("not-in-db", "the name test is case-sensitive"))
    m.db(guid("omalley"), "O'Malley's Planner", "O'Malley Apps", {0: "3.1"}, "planner.exe")
    m.app("O'Malley's Planner", "O'Malley Apps", "3.0", PF86 + r"\O'Malley\Planner", "planner.exe",
          key="OMalleyPlanner",
          expect=E("update", "apostrophes in name and publisher are quoted", **row(0, "3.1")))
    m.db(guid("buerokalender"), "Bürokalender", "Müller & Söhne GmbH", {0: "2.2"}, "kalender.exe")
    m.app("Bürokalender Übersicht 2.1", "Müller & Söhne GmbH", "2.1", PF86 + r"\Müller\Bürokalender",
          "kalender.exe", key="Buerokalender",
          expect=E("update", "German name, publisher and folder", **row(0, "2.2")))
    m.db(guid("xingchen"), "图像查看器", "星辰软件", {1: "5.0.2"}, "viewer.exe")
    m.app("星辰图像查看器", "星辰软件", "5.0.1", PF + r"\星辰软件\图像查看器", "viewer.exe", True, bits=64,
          key="XingchenViewer",
          expect=E("update", "Chinese name, publisher and folder", **row(1, "5.0.2")))

    # --- toolbars --------------------------------------------------------------------------------------
    m.db(guid("helper bar"), "Tool-Bar", "Fernhill Software", {0: "9.0"})
    m.app("Fernhill Tool-Bar Helper", "Fernhill Software", "1.0", PF86 + r"\Fernhill\Toolbar", None,
          expect=E("toolbar", "TOOLBAR once dashes and blanks are gone", state="toolbar", fields={"IsToolbar": True}))
    m.app("Search Protect", "Client Connect", "3.1", None, uninstall=PF86 + r"\SearchProtect\bin\v9crv.exe /u",
          expect=E("toolbar", "V9CRV.EXE in the uninstall command", state="toolbar", fields={"IsToolbar": True}))

    # --- system components and merging -------------------------------------------------------------------
    m.app("Kestrel Runtime", "Kestrel", "2.0", None, key=guid("kestrel runtime"),
          uninstall="MsiExec.exe /X" + guid("kestrel runtime"), extra=[dword("SystemComponent", 1),
                                                                         dword("WindowsInstaller", 1)],
          expect=E("hidden", "a system component removed by MsiExec: hidden", state="hidden"))
    k = guid("lumen studio")
    m.db(k, "Lumen Studio", "Lumen", {0: "5.5"}, "lumen.exe")
    m.app("Lumen Studio", "Lumen", "5.4", PF86 + r"\Lumen Studio", "lumen.exe", key="LumenStudioCore",
          uninstall=PF86 + r"\Lumen Studio\core_uninst.exe", extra=[dword("SystemComponent", 1)],
          expect=E("hidden", "system component with the name of a later entry: hidden, merged into it",
                   state="hidden"))
    # Key names order alike in Windows (upper-case) and Wine (lower-case), which
    # differ for "_" and the like against letters.
    m.app("Lumen Studio", "Lumen", "5.4", None, key="LumenStudioSuite", uninstall=r"C:\Windows\lumen_remove.exe",
          expect=E("update", "completed with the system component's InstallLocation", **row(0, "5.5"),
                   fields={"InstallLocation": PF86 + r"\Lumen Studio"}))
    k = guid("marten vpn")
    m.db(k, "Marten VPN", "Marten", {0: "2.8"}, "marten.exe")
    m.app("Marten VPN", "Marten", "2.7", None, key="MartenVPN", uninstall=r"C:\Windows\marten_remove.exe",
          expect=E("update", "completed with the later system component's data", **row(0, "2.8"),
                   fields={"InstallLocation": PF86 + r"\Marten VPN", "URLInfoAbout": "https://marten.example.com"}))
    m.app("Marten VPN", "Marten", "2.7", PF86 + r"\Marten VPN", "marten.exe", key="MartenVPNService",
          extra=[dword("SystemComponent", 1), sz("URLInfoAbout", "https://marten.example.com")],
          expect=E("hidden", "a later system component of the same name: hidden", state="hidden"))

    # --- entries that make no record ----------------------------------------------------------------------
    for name in ("AddressBook", "Connection Manager", "DirectDrawEx", "DXM_Runtime", "Fontcore", "IE40", "IE4Data",
                 "IE5BAKEX", "IEData", "MobileOptionPack", "MPlayer2", "SchedulingAgent", "WIC"):
        m.entry(HKLM, name, [], 32 if name < "I" else 64, E("no-record", "no DisplayName", state="absent"))
    m.entry(HKLM, "Branding", [sz("DisplayName", "OEM Branding"), sz("Publisher", "OEM")], 64,
            E("no-record", "no UninstallString and no product code", state="absent"))
    code = guid("system component without uninstall")
    m.entry(HKLM, code, [sz("DisplayName", "Visual Studio Tools Core"), dword("SystemComponent", 1),
                         dword("WindowsInstaller", 1)], 64,
            E("no-record", "a system component: no MsiExec command is made for it", state="absent"))
    code = guid("product code only")
    m.entry(HKLM, code, [sz("DisplayName", "Granite Print Driver"), sz("Publisher", "Granite"),
                         sz("DisplayVersion", "1.0.0")], 32,
            E("not-in-db", "product code without UninstallString: MsiExec /X made up",
              fields={"UninstallString": "MsiExec.exe /X " + code}))
    m.entry(HKLM, "ComReg", [sz("DisplayName", "Windows Shell Extension"), sz("Publisher", "Microsoft Corporation"),
                             sz("UninstallString", r"regsvr32 /u /s C:\Windows\System32\shext.dll")], 64,
            E("no-record", "regsvr32 command of a Microsoft entry", state="absent"))
    m.entry(HKLM, "ComReg2", [sz("DisplayName", "Windows Shell Preview"), sz("Publisher", "Microsoft Corporation"),
                              sz("UninstallString", r"Regsvr32 /u /s C:\Windows\System32\shprev.dll")], 64,
            E("not-in-db", "Regsvr32 with a capital R is not the regsvr32 rule"))
    m.entry(HKLM, "TidewellSurf", [sz("DisplayName", "  Tidewell Care Surfing Protection "),
                                   sz("Publisher", "Tidewell"), sz("UninstallString", r"C:\Tidewell\un.exe")], 32,
            E("no-record", "the one name that is always skipped", state="absent"))
    m.entry(HKLM, "InstallShield_{BC796E78-3F5B-467B-816F-4DB16DE8750A}",
            [sz("DisplayName", "Setup Helper"), sz("UninstallString", r"C:\Setup\un.exe")], 32,
            E("no-record", "the InstallShield key that is always skipped", state="absent"))

    # --- Windows Installer entries ------------------------------------------------------------------------
    code = guid("pine reader")
    m.db(guid("pine reader db"), "Pine Reader", "Pinewood", {0: "11.0"}, "pine.exe")
    m.folder(PF86 + r"\Pine Reader")
    m.exe(PF86 + r"\Pine Reader", "pine.exe", False, (10, 0, 0, 0))
    m.file(PF86 + r"\Pine Reader\readme.txt", b"Pine Reader\r\n")
    m.entry(HKLM, code, [sz("DisplayName", "Pine Reader"), sz("Publisher", "Pinewood"), sz("DisplayVersion", "10.0"),
                         sz("UninstallString", "msiexec.exe /i" + code), dword("WindowsInstaller", 1),
                         sz("Readme", PF86 + r"\Pine Reader\readme.txt"), sz("InstallDate", "20120131")], 32,
            E("update", "MsiExec: the folder comes from Readme", **row(0, "11.0"),
              fields={"UninstallString": "MsiExec.exe /X" + code, "InstallDateText": "2012-01-31",
                      "InstallLocation": PF86 + "\\Pine Reader\\"}))
    code = guid("remove all")
    m.entry(HKLM, code, [sz("DisplayName", "Granite Scan Service"), sz("Publisher", "Granite"),
                         sz("UninstallString", "MsiExec.exe /I%s REMOVE=ALL" % code), dword("WindowsInstaller", 1),
                         sz("InstallDate", "20121345")], 32,
            E("not-in-db", "REMOVE=ALL keeps /I; a date that does not parse",
              fields={"UninstallString": "MsiExec.exe /I%s REMOVE=ALL" % code, "InstallDateText": "",
                      "InstallDate": 0}))

    # --- InstallLocation cleaning ---------------------------------------------------------------------------
    def located(name, location, expected_location, kind=sz, bits=32, exe_folder=None):
        folder = exe_folder or PF86 + "\\" + name
        k = guid(name)
        m.db(k, name, "Tidy Tools", {0: "2.0"}, "tidy.exe")
        m.folder(folder)
        m.exe(folder, "tidy.exe", False, (1, 0, 0, 0))
        m.entry(HKLM, name.replace(" ", ""), [sz("DisplayName", name), sz("Publisher", "Tidy Tools"),
                                              sz("DisplayVersion", "1.0"), kind("InstallLocation", location),
                                              sz("UninstallString", '"%s\\uninst.exe"' % folder)], bits,
                E("update", "InstallLocation %r" % location, **row(0, "2.0"),
                  fields={"InstallLocation": expected_location}))

    located("Quasar Clock", '"%s\\Quasar Clock\\"' % PF86, PF86 + "\\Quasar Clock\\")
    # Windows' file functions pass a leading "\??\" through: the folder exists as written.
    located("Raven Mail", "\\??\\" + PF86 + "\\Raven Mail", "\\??\\" + PF86 + "\\Raven Mail")
    located("Rowan Maps", PF86 + "\\Rowan Maps\\\\??\\", PF86 + "\\Rowan Maps\\")
    located("Saffron Draw", r"%ProgramFiles%\Saffron Draw", PF86 + "\\Saffron Draw", expand_sz)
    # Windows reads doubled backslashes as one: the folder exists as written and is kept so.
    located("Tamarind Tools", r"C:\\Program Files (x86)\\Tamarind Tools", r"C:\\Program Files (x86)\\Tamarind Tools")
    located("Umbra Tiles", r"D:\Games\Umbra Tiles", PF86.upper() + "\\UMBRA TILES\\")

    # --- the folder from the uninstall command -----------------------------------------------------------------
    def derived(name, uninstall, expected_location, extra=(), exe_folder=None, version="1.0", new="1.1",
                why="", main_exe_path=None, bits=32):
        folder = exe_folder or PF86 + "\\" + name
        k = guid(name)
        m.db(k, name, "Derive Ltd", {0: new}, "main.exe")
        m.folder(folder)
        m.exe(folder, "main.exe", False, (1, 0, 0, 0))
        cand = {"InstallLocation": expected_location}
        if main_exe_path is not None:
            cand["MainExePath"] = main_exe_path
        m.entry(HKLM, name.replace(" ", ""), [sz("DisplayName", name), sz("Publisher", "Derive Ltd"),
                                              sz("DisplayVersion", version), sz("UninstallString", uninstall)]
                + list(extra), bits,
                E("update", why, **row(0, new), candidate=cand))

    derived("Vole Backup", '"%s\\Vole Backup\\unins000.exe" /SILENT' % PF86, PF86.upper() + "\\VOLE BACKUP\\",
            why="quoted command with arguments: cut after .exe, upper-cased folder",
            main_exe_path=PF86.upper() + "\\VOLE BACKUP\\main.exe")
    derived("Walrus Launcher", "_SPECIAL_CORVANETOOLBAR_", PF86.upper() + "\\WALRUS LAUNCHER\\",
            extra=[sz("DisplayIcon", '"%s\\Walrus Launcher\\main.exe",0' % PF86)],
            why="the toolbar placeholder command: the folder comes from DisplayIcon")
    derived("Xenon Codec", r"RunDll32 C:\Program Files (x86)\Xenon Codec\xenon.dll,Uninstall",
            PF86.upper() + "\\XENON CODEC\\", why="RUNDLL32 removed, cut after .dll")
    derived("Yew Scanner Driver", r'C:\Windows\System32\rundll32.exe "C:\Program Files (x86)\Yew Scanner Driver\yew.dll",Uninstall',
            "", why="RUNDLL32.EXE removed leaves two paths in one: no folder, so no executable check",
            main_exe_path="")
    derived("Zephyr Forms", r'C:\WINDOWS\ST6UNST.EXE -n "C:\Program Files (x86)\Zephyr Forms\ST6UNST.LOG"',
            PF86.upper() + "\\ZEPHYR FORMS\\", why="ST6UNST.EXE -N: the log file's folder")
    derived("Krypton Pad Driver", r"C:\Program Files\DIFX\2C1A\dpinst64.exe /u C:\Program Files (x86)\Krypton Pad Driver\kpad.inf /q",
            PF86.upper() + "\\KRYPTON PAD DRIVER\\", why="DPINST64.EXE /U: the driver file's folder")
    derived("Acorn Utility", r"C:\acorn_uninst.exe", "", version="1.1", new="1.1",
            why="the drive root is no usable folder", main_exe_path="")
    m.expect[-1].update(decision="candidate", row=None)
    derived("Birch Fonts", r"C:\Windows\birch_uninst.exe", "", why="the Windows folder is no usable folder",
            main_exe_path="")
    derived("Cypress Sync", r"C:\Cypress\%SYNCDIR%\uninst.exe", "", why="a folder with % is no usable folder",
            main_exe_path="")
    m.folder("C:\\Cypress\\%SYNCDIR%")
    m.folder("C:\\Windows")

    # --- odd versions --------------------------------------------------------------------------------------
    for name, shown, new, decision, installed in (("Heron Sketch", "v2.5 beta", "2.6", "update", "2.5"),
                                                  ("Ibex Recorder", "R2 3.4.5", "3.4.5", "candidate", "3.4.5"),
                                                  ("Jackal Mixer", 5, "5.1", "update", "5"),
                                                  ("Koala Diary", "1.2.3 (x64)", "1.2.10", "update", "1.2.3"),
                                                  ("Lemur Paint", "2019-05-01", "2020.1", "update", "2019-05-01")):
        k = guid(name)
        m.db(k, name, "Oddver", {0: new}, "odd.exe")
        m.app(name, "Oddver", shown, PF86 + "\\" + name, "odd.exe",
              expect=E(decision, "DisplayVersion %r compares as %s" % (shown, installed),
                       **(row(0, new) if decision == "update" else {}), candidate={"InstalledVersion": installed}))

    # --- completed from SoftwareCache.ini ----------------------------------------------------------------------
    code = guid("lynx player")
    k = guid("lynx player db")
    m.db(k, "Lynx Player", "Lynx Media", {0: "4.0"}, "lynx.exe")
    m.folder(PF86 + r"\Lynx Player")
    m.exe(PF86 + r"\Lynx Player", "lynx.exe", False, (3, 0, 0, 0))
    uninstall = "MsiExec.exe /X" + code
    m.entry(HKLM, code, [sz("DisplayName", "Lynx Player"), sz("Publisher", "Lynx Media"), sz("DisplayVersion", "3.0"),
                         sz("UninstallString", uninstall), dword("WindowsInstaller", 1)], 32,
            E("update", "the cache gives the folder the registry lacks", **row(0, "4.0"),
              fields={"InstallLocation": PF86 + "\\Lynx Player\\", "QuickUninstall": uninstall + " /qn",
                      "InstallDateText": "03/15/2023 09:30:00", "Size": 73400320, "SizeText": "70.00 MB",
                      "DisplayIcon": PF86 + r"\Lynx Player\lynx.exe", "IconIndex": 2}))
    m.cache.append(("Lynx Player", [("InstallDate", "03/15/2023 09:30:00"),
                                    ("MD5", cache_md5("03/15/2023 09:30:00", uninstall).upper()),
                                    ("QuickUninstall", uninstall + " /qn"), ("size", "73400320"),
                                    ("DisplayIcon", PF86 + r"\Lynx Player\lynx.exe"), ("IconIndex", "2"),
                                    ("Location", PF86 + "\\Lynx Player\\")]))
    code = guid("magpie reader")
    k = guid("magpie reader db")
    m.db(k, "Magpie Reader", "Magpie", {0: "1.1"}, "magpie.exe")
    m.entry(HKLM, code, [sz("DisplayName", "Magpie Reader"), sz("Publisher", "Magpie"), sz("DisplayVersion", "1.0"),
                         sz("UninstallString", "MsiExec.exe /X" + code), sz("InstallDate", "20220705"),
                         dword("EstimatedSize", 2048)], 32,
            E("update", "the cache's MD5 no longer fits: ignored, so no folder and no executable check",
              **row(0, "1.1"), fields={"InstallLocation": "", "QuickUninstall": "", "Size": 2097152,
                                       "InstallDateText": "2022-07-05"}))
    m.cache.append(("Magpie Reader", [("InstallDate", "07/05/2022 10:00:00"),
                                      ("MD5", cache_md5("07/05/2022 10:00:00", "MsiExec.exe /I" + code)),
                                      ("QuickUninstall", "x"), ("size", "1"), ("Location", PF86 + r"\Magpie")]))
    m.app("Newt Editor", "Newt", "1.0", PF86 + r"\Newt", "newt.exe", key="NewtEditor",
          expect=E("not-in-db", "cache with a registry date: the registry's date text stays, size from the cache",
                   fields={"InstallDateText": "2021-02-03", "Size": 1000, "SizeText": "1000 Byte",
                           "QuickUninstall": "", "DisplayIcon": PF86 + r"\Newt\newt.exe"}),
          extra=[sz("InstallDate", "20210203")])
    newt_uninstall = '"%s\\Newt\\unins000.exe"' % PF86
    m.cache.append(("Newt Editor", [("InstallDate", "02/03/2021 08:00:00"),
                                    ("MD5", cache_md5("02/03/2021 08:00:00", newt_uninstall)),
                                    ("size", "1000"), ("DisplayIcon", PF86 + r"\Newt\newt.exe")]))

    # --- per-user entries and a nested key ------------------------------------------------------------------
    k = guid("orca chat")
    m.db(k, "Orca Chat", "Orca", {0: "0.9.12"}, "orca.exe")
    m.app("Orca Chat", "Orca", "0.9.8", r"C:\Apps\Orca Chat", "orca.exe", root=HKCU, key="OrcaChat",
          extra=[sz("DisplayIcon", r"C:\Apps\Orca Chat\orca.exe")],
          expect=E("update", "per-user: read in both passes, the second copy is folded", **row(0, "0.9.12")))
    m.folder(PF86 + r"\Keystone Suite")
    m.entry(HKLM, "Keystone Suite", [sz("DisplayName", "Keystone Suite"), sz("Publisher", "Keystone"),
                                     sz("UninstallString", PF86 + r"\Keystone Suite\remove.exe")], 32,
            E("not-in-db", "a suite with a nested key"))
    m.entry(HKLM, r"Keystone Suite\Addons\Reports", [sz("DisplayName", "Keystone Suite Reports"),
                                                      sz("Publisher", "Keystone"),
                                                      sz("UninstallString", PF86 + r"\Keystone Suite\remove.exe /reports")],
            32, E("not-in-db", "nested two levels down: listed after every direct entry"))

    # --- long and odd texts ----------------------------------------------------------------------------------------
    long_args = " ".join("/OPTION%03d=VALUE%03d" % (i, i) for i in range(90))
    k = guid("quince long")
    m.db(k, "Quince Analyzer", "Quince", {0: "8.0"}, "quince.exe")
    m.app("Quince Analyzer", "Quince", "7.5", PF86 + r"\Quince", "quince.exe",
          uninstall='"%s\\Quince\\setup.exe" %s' % (PF86, long_args),
          extra=[sz("Comments", "Analysis " * 200), sz("HelpLink", "https://quince.example.com/help?" + "a=1&" * 100)],
          expect=E("update", "a command of %d characters" % (len(long_args) + 40), **row(0, "8.0")))
    m.app("Rowan Suite™ Professional® — Edition «2024» & Co " + "X" * 200, "Rowan", "1.0", None,
          key="RowanLongName", uninstall=r"C:\Rowan\un.exe",
          expect=E("not-in-db", "a very long name with typographic characters"))
    m.app("Quince Analyzer", "Quince", "6.0", None, key="QuinceOld", uninstall=r"C:\Quince6\un.exe",
          expect=E("superseded", "an older Quince without a folder: no executable check, superseded by 7.5"))

    # --- Microsoft patches and service packs --------------------------------------------------------------------
    m.app("Update for Microsoft Office 2016 (KB5002251) 32-Bit Edition", "Microsoft Corporation", None, None,
          key="{90160000-0011-0000-0000-0000000FF1CE}_Office16.PROPLUS_{6E1A1E3C-7A4B-4C5C-9E47-1F3A3E6B4C01}",
          uninstall=r'"C:\Program Files (x86)\Common Files\Microsoft Shared\OFFICE16\Oarpmany.exe" /removereleaseinpatch',
          extra=[sz("ParentKeyName", "Office16.PROPLUS"), sz("ParentDisplayName", "Microsoft Office Professional Plus 2016"),
                 sz("ReleaseType", "Update")],
          expect=E("patch", "(KB in the name", state="patch", fields={"IsUpdate": True}))
    m.app("Microsoft Office 2010 Service Pack 2 (SP2)", "Microsoft Corporation", None, None, key="SP2Office2010",
          uninstall=r"C:\Windows\msp2\remove.exe",
          expect=E("patch", "SERVICE PACK of a Microsoft publisher", state="patch", fields={"IsUpdate": True}))
    m.app("Fernhill Service Pack 1", "Fernhill Software", None, None, key="FernhillSP1",
          uninstall=r"C:\Fernhill\sp1\remove.exe",
          expect=E("not-in-db", "SERVICE PACK of another publisher is no patch"))
    m.app("Cumulative Hotfix 3 for Granite Print", "Granite", "3", None, key="GraniteHotfix3",
          uninstall=r"C:\Granite\hotfix3.exe", extra=[sz("ReleaseType", "Hotfix"), sz("ParentKeyName", "GranitePrint")],
          expect=E("not-in-db", "ReleaseType alone does not make a patch"))

    filler(m)
    return m


def filler(m):
    """The rest of a real machine: runtimes, drivers, games and components that
    the database does not know, several of them in both views."""
    runtimes = [
        ("Microsoft Visual C++ 2008 Redistributable - x86 9.0.30729.6161", "9.0.30729.6161"),
        ("Microsoft Visual C++ 2010  x86 Redistributable - 10.0.40219", "10.0.40219"),
        ("Microsoft Visual C++ 2012 Redistributable (x86) - 11.0.61030", "11.0.61030.0"),
        ("Microsoft Visual C++ 2013 Redistributable (x86) - 12.0.40664", "12.0.40664.0"),
        ("Microsoft Visual C++ 2015-2022 Redistributable (x86) - 14.38.33130", "14.38.33130.0"),
        ("Microsoft Visual C++ 2015-2022 Redistributable (x64) - 14.38.33130", "14.38.33130.0"),
    ]
    for name, version in runtimes:
        bundle = guid("bundle " + name)
        m.entry(HKLM, bundle, [sz("DisplayName", name), sz("DisplayVersion", version),
                               sz("Publisher", "Microsoft Corporation"),
                               sz("UninstallString", '"C:\\ProgramData\\Package Cache\\%s\\VC_redist.exe"  /uninstall'
                                  % bundle), sz("BundleVersion", version), dword("NoModify", 1)], 32,
                {"state": "visible", "decision": "not-in-db", "why": "runtime bundle", "row": None})
        for part in ("Minimum Runtime", "Additional Runtime"):
            code = guid(part + name)
            bits = 64 if "(x64)" in name else 32
            m.entry(HKLM, code, [sz("DisplayName", name.split(" Redistributable")[0] + " " + part + " - " + version),
                                 sz("DisplayVersion", version), sz("Publisher", "Microsoft Corporation"),
                                 sz("UninstallString", "MsiExec.exe /I" + code), dword("SystemComponent", 1),
                                 dword("WindowsInstaller", 1), dword("EstimatedSize", 2200)], bits,
                    {"state": "hidden", "decision": "hidden", "why": "MSI system component", "row": None})
    games = ["Hollow Knightfall", "Sky Lanterns", "Tidebreaker", "Emberfall Chronicles", "Copper Circuit",
             "Quiet Orchard", "Starling Derby", "Glass Harbor"]
    for i, name in enumerate(games):
        folder = r"C:\Games\%s" % name
        m.folder(folder)
        m.entry(HKCU if i % 3 == 0 else HKLM, "Game %d" % (1000 + i),
                [sz("DisplayName", name), sz("Publisher", "Indie Games Collective"),
                 sz("DisplayVersion", "1.%d" % i), sz("InstallLocation", folder),
                 sz("UninstallString", '"%s\\uninstall.exe"' % folder), sz("DisplayIcon", folder + "\\game.exe"),
                 dword("EstimatedSize", 1_000_000 * (i + 1)), dword("NoRepair", 1)], 32,
                {"state": "visible", "decision": "not-in-db", "why": "a game", "row": None})
    drivers = [("Realm Audio Driver", "6.0.9088.1"), ("Vertex Graphics Driver 31.0.15", "31.0.15.3734"),
               ("Beacon Bluetooth Stack", "22.180.0.2"), ("Trident Chipset Device Software", "10.1.18793.8276"),
               ("Halcyon Card Reader", "10.0.22000.21352"), ("Pulsar Network Connections", "27.0.0.2"),
               ("Sentinel Touchpad Driver", "19.5.3.8")]
    for i, (name, version) in enumerate(drivers):
        both = i % 2 == 0
        for bits in ((32, 64) if both else (64,)):
            m.entry(HKLM, "{%s}" % guid("driver " + name).strip("{}"),
                    [sz("DisplayName", name), sz("DisplayVersion", version), sz("Publisher", "Hardware Partner"),
                     sz("UninstallString", r"C:\Program Files\Hardware Partner\%s\setup.exe -remove" % name),
                     sz("InstallDate", "2023%02d%02d" % (i + 1, i + 10))], bits,
                    {"state": "hidden" if bits == 64 and both else "visible",
                     "decision": "hidden" if bits == 64 and both else "not-in-db",
                     "why": "driver in both views" if both else "64-bit driver", "row": None})
    tools = ["Atlas Disk Info", "Beryl Hex Editor", "Cinder Log Viewer", "Delta Diff", "Echo Screen Ruler",
             "Flint Password Safe", "Garnet Color Picker", "Hazel Clipboard", "Indigo Font Viewer",
             "Juniper Hosts Editor", "Krill Network Scanner", "Lapis Markdown", "Mica Timer", "Nacre Tail",
             "Onyx Ping", "Pearl Tasklist", "Quartz Zip Tool", "Ruby Ruler", "Slate Notes", "Topaz Tray"]
    for i, name in enumerate(tools):
        folder = (PF if i % 2 else PF86) + "\\" + name
        m.folder(folder)
        version = ["1.0", "2.3.1", "0.9 beta", "", "4.12", "3"][i % 6]
        values = [sz("DisplayName", name), sz("Publisher", "Small Tools Co")]
        if version:
            values.append(sz("DisplayVersion", version))
        values += [sz("InstallLocation", folder), sz("UninstallString", '"%s\\uninst.exe"' % folder),
                   sz("URLInfoAbout", "https://tools.example.com/%d" % i)]
        m.entry(HKLM, name, values, 64 if i % 2 else 32,
                {"state": "visible", "decision": "not-in-db", "why": "a small tool", "row": None})
    # Products of the database that this machine does not have.
    for i in range(40):
        k = guid("catalogue %d" % i)
        name = "Catalogue Product %02d" % i
        m.db(k, name, ["Small Tools Co", "Hardware Partner", "Indie Games Collective", "Microsoft Corporation"][i % 4],
             {0: "%d.0" % (i + 1), 1: "%d.0" % (i + 1)}, "product%02d.exe" % i)


# ---------------------------------------------------------------------------
# The order in which the inventory meets the entries, and the expected rows

def fold_upper_char(u):
    """The product's upper-case table for names (Windows' own for the scripts the
    product meets): ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and
    full-width Latin; everything else (ß, CJK) stays as it is."""
    if u < 0x80:
        return u - 0x20 if 0x61 <= u <= 0x7A else u
    if 0xE0 <= u <= 0xFE and u != 0xF7:
        return u - 0x20
    if u == 0xFF:
        return 0x178
    if 0x100 <= u <= 0x17F and u not in (0x130, 0x131, 0x138, 0x149, 0x17F):
        shifted = 0x139 <= u <= 0x148 or 0x179 <= u <= 0x17E
        return u - 1 if (u % 2 == 0 if shifted else u % 2 == 1) else u
    if 0x3B1 <= u <= 0x3C9 and u != 0x3C2:
        return u - 0x20
    if 0x430 <= u <= 0x44F:
        return u - 0x20
    if 0x450 <= u <= 0x45F:
        return u - 0x50
    if 0xFF41 <= u <= 0xFF5A:
        return u - 0x20
    return u


def fold_upper(text):
    return "".join(chr(fold_upper_char(ord(c))) for c in text)


def sql_like_fold(text):
    # SQLite's LIKE folds ASCII letters only.
    return "".join(chr(ord(c) + 0x20) if "A" <= c <= "Z" else c for c in text)


def utf16_key(text):
    return fold_upper(text).encode("utf-16-be")


def inventory_order(machine):
    """(root, physical path) -> position in the scan: per pass (32-bit view,
    then 64-bit view) HKEY_LOCAL_MACHINE before HKEY_CURRENT_USER, each
    uninstall tree breadth first with subkeys in the registry's order."""
    def bfs(root, base):
        children = {}
        for r, path, _ in machine.keys:
            if r != root or not path.upper().startswith(base.upper() + "\\"):
                continue
            parts = path[len(base) + 1:].split("\\")
            for depth in range(len(parts)):
                children.setdefault("\\".join(parts[:depth]), set()).add("\\".join(parts[:depth + 1]))
        order, queue = [], [""]
        while queue:
            node = queue.pop(0)
            if node:
                order.append((root, base + "\\" + node))
            kids = sorted(children.get(node, ()), key=lambda n: utf16_key(n.rsplit("\\", 1)[-1]))
            queue.extend(kids)
        return order

    wow = UNINSTALL.replace("SOFTWARE\\", "SOFTWARE\\WOW6432Node\\")
    sequence = bfs(HKLM, wow) + bfs(HKCU, UNINSTALL) + bfs(HKLM, UNINSTALL) + bfs(HKCU, UNINSTALL)
    position = {}
    for i, item in enumerate(sequence):
        position.setdefault(item, i)
    return position


def find_product_key(machine, display_name, publisher):
    """The database key that the key search gives an installed program: the
    database's name inside the installed one (case-sensitive), the installed
    publisher inside the database's (ignoring case); of several, the one whose
    name begins with the installed name. Both "ignoring case" are SQLite's LIKE:
    ASCII letters only (the machine's names hold no "%" or "_"). The keys found otherwise (by soft name,
    the fixed key) are set by the caller."""
    pub = sql_like_fold((publisher or "").strip())
    hits = [row for row in machine.base if row[1] and row[1] in display_name and pub and pub in sql_like_fold(row[2])]
    if len(hits) > 1:
        hits = [row for row in hits if sql_like_fold(row[1]).startswith(sql_like_fold(display_name))]
    return hits[0][0] if len(hits) == 1 else ""


def fixture_expectation(machine):
    names = {}
    for root, path, values in machine.keys:
        names[(root, path)] = {n: v for n, _, v in values}
    for e in machine.expect:
        base = UNINSTALL if e["root"] == HKCU or e["view64"] else UNINSTALL.replace("SOFTWARE\\", "SOFTWARE\\WOW6432Node\\")
        values = names[(e["root"], base + "\\" + e["key"])]
        display = str(values.get("DisplayName", "")).strip()
        e.setdefault("name", display)
        if e.get("row"):
            product = find_product_key(machine, e["name"], values.get("Publisher"))
            if not product and "HD Video Converter Factory Pro" in e["name"]:
                product = "{DE80BEA1-3505-4D9B-A012-F1089D379521}"
            if "Google Chrome (" in e["name"]:
                product = "{8A69D345-D564-463C-AFF1-A69D9E530F9%s}" % ("6" if "All" in e["name"] else "7")
            if not product:
                raise SystemExit("no database key for the expected row of %s" % e["name"])
            e["productKey"] = product
    position = inventory_order(machine)
    entries = []
    for e in machine.expect:
        base = UNINSTALL if e["root"] == HKCU or e["view64"] else UNINSTALL.replace("SOFTWARE\\", "SOFTWARE\\WOW6432Node\\")
        entries.append(dict(e, order=position[(e["root"], base + "\\" + e["key"])],
                            keyPath="\\" + UNINSTALL + "\\" + e["key"]))
    entries.sort(key=lambda e: e["order"])
    rows = [{"DisplayName": e["name"], "Key": e["productKey"], "BitText": str(e["row"][0]), "NewVersion": e["row"][1]}
            for e in entries if e.get("row")]
    rows.sort(key=lambda r: utf16_key(r["DisplayName"]))  # stable: equal names keep the candidates' order
    return {"os": "6.1", "entries": entries, "rows": rows}


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("out")
    out = ap.parse_args().out
    machine = fixture()
    write_machine(out, machine)
    with open(os.path.join(out, "expectation.json"), "w", encoding="utf-8") as f:
        json.dump(fixture_expectation(machine), f, ensure_ascii=False, indent=1, sort_keys=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
