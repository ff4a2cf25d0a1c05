#!/usr/bin/env python3
"""Writes Windows machines for the tools, the demo and the end-to-end tests: an
uninstall registry, the install folders with executables that carry real
version resources, the user-data files (SoftwareCache.ini and Main.ini) and the
source of an update database.

    machine.py --entries N [--products M] OUT   a generated machine of that size

OUT receives:
    machine.reg       Registry Editor 5.00 file (UTF-16LE with byte-order mark)
    remove.reg        the same keys as deletions, to clean a live registry
    drives/C/...      the files of drive C:
    user/             the per-user data folder
    updates.sql       the update database, for `nudgelet-db build`

Everything is deterministic: the same arguments give the same bytes.
"""
import argparse
import hashlib
import json
import os
import shutil
import struct
import sys

PF = r"C:\Program Files"
PF86 = r"C:\Program Files (x86)"
UNINSTALL = r"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
HKLM, HKCU = "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"


def guid(seed):
    h = hashlib.md5(seed.encode("utf-8")).hexdigest().upper()
    return "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:32])


# ---------------------------------------------------------------------------
# Portable executables with a version resource

def _pad4(b):
    while len(b) % 4:
        b += b"\0"


def _version_block(key, value=b"", value_length=0, kind=0, children=()):
    b = bytearray(struct.pack("<HHH", 0, value_length, kind))
    b += (key + "\0").encode("utf-16-le")
    _pad4(b)
    b += value
    for child in children:
        _pad4(b)
        b += child
    struct.pack_into("<H", b, 0, len(b))
    return bytes(b)


def version_info(file_version, product_version, strings):
    def split(v):
        return ((v[0] << 16) | v[1], (v[2] << 16) | v[3])

    fms, fls = split(file_version)
    pms, pls = split(product_version)
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x00010000, fms, fls, pms, pls, 0x3F, 0, 0x00040004, 1, 0, 0, 0)
    table = [_version_block(k, (v + "\0").encode("utf-16-le"), len(v) + 1, 1) for k, v in strings]
    string_info = _version_block("StringFileInfo", kind=1,
                                 children=[_version_block("040904b0", kind=1, children=table)])
    var_info = _version_block("VarFileInfo", kind=1, children=[
        _version_block("Translation", struct.pack("<HH", 0x0409, 1200), 4, 0)])
    return _version_block("VS_VERSION_INFO", fixed, len(fixed), 0, [string_info, var_info])


def resource_section(rva, resources):
    """The .rsrc section at rva of {(type, id): data}, every resource in US English:
    the three directory levels first, then the data entries, then the data."""
    types = sorted({t for t, _ in resources})
    ids = {t: sorted(i for u, i in resources if u == t) for t in types}
    leaves = [(t, i) for t in types for i in ids[t]]

    def directory(count):
        return 16 + 8 * count

    name_at, at = {}, directory(len(types))
    for t in types:
        name_at[t], at = at, at + directory(len(ids[t]))
    lang_at = {}
    for leaf in leaves:
        lang_at[leaf], at = at, at + directory(1)
    entry_at = {}
    for leaf in leaves:
        entry_at[leaf], at = at, at + 16
    data_at = {}
    for leaf in leaves:
        at = (at + 7) // 8 * 8
        data_at[leaf], at = at, at + len(resources[leaf])

    out = bytearray(struct.pack("<IIHHHH", 0, 0, 0, 0, 0, len(types)))
    for t in types:
        out += struct.pack("<II", t, 0x80000000 | name_at[t])
    for t in types:
        out += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, len(ids[t]))
        for i in ids[t]:
            out += struct.pack("<II", i, 0x80000000 | lang_at[(t, i)])
    for leaf in leaves:
        out += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 0x0409, entry_at[leaf])
    for leaf in leaves:
        out += struct.pack("<IIII", rva + data_at[leaf], len(resources[leaf]), 0, 0)
    for leaf in leaves:
        out += b"\0" * (data_at[leaf] - len(out))
        out += resources[leaf]
    return out


def icon_resources(ico):
    """The RT_ICON images (ids 1, 2, ...) and RT_GROUP_ICON 1 of an .ico file."""
    _, _, count = struct.unpack_from("<HHH", ico, 0)
    group = bytearray(struct.pack("<HHH", 0, 1, count))
    out = {}
    for n in range(count):
        w, h, colors, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * n)
        out[(3, n + 1)] = ico[offset:offset + size]
        group += struct.pack("<BBBBHHIH", w, h, colors, 0, planes, bits, size, n + 1)
    out[(14, 1)] = bytes(group)
    return out


def pe_image(x64, version=None, name="Program", company="Fixture Software", icon=None):
    """A minimal valid PE32 (i386) or PE32+ (x64) image. With a version (four
    numbers) its only section, .rsrc, holds RT_VERSION 1 in US English; with an
    icon (the bytes of an .ico file) also that icon as group 1."""
    section_rva, file_align, section_align = 0x1000, 0x200, 0x1000
    resources = {}
    if version is not None:
        text = ".".join(str(n) for n in version)
        resources[(16, 1)] = version_info(version, version, [("CompanyName", company), ("FileDescription", name),
                                                             ("FileVersion", text), ("ProductName", name),
                                                             ("ProductVersion", text)])
    if icon is not None:
        resources.update(icon_resources(icon))
    rsrc = resource_section(section_rva, resources) if resources else bytearray(16)
    virtual_size = len(rsrc)
    raw_size = (len(rsrc) + file_align - 1) // file_align * file_align
    rsrc += b"\0" * (raw_size - len(rsrc))
    image_size = section_rva + (virtual_size + section_align - 1) // section_align * section_align

    dos = bytearray(b"MZ" + b"\0" * 62)
    struct.pack_into("<I", dos, 60, 64)
    optional_size = 240 if x64 else 224
    header = bytearray(b"PE\0\0")
    header += struct.pack("<HHIIIHH", 0x8664 if x64 else 0x014C, 1, 0, 0, 0, optional_size,
                          0x0022 if x64 else 0x0102)
    opt = bytearray(struct.pack("<HBBIIIII", 0x20B if x64 else 0x10B, 14, 0, 0, raw_size, 0, 0, 0))
    if x64:
        opt += struct.pack("<Q", 0x140000000)
    else:
        opt += struct.pack("<II", 0, 0x400000)
    opt += struct.pack("<IIHHHHHHIIIIHH", section_align, file_align, 6, 0, 0, 0, 6, 0, 0, image_size, 0x200, 0, 2,
                       0x8140)
    opt += struct.pack("<QQQQ" if x64 else "<IIII", 0x100000, 0x1000, 0x100000, 0x1000)
    opt += struct.pack("<II", 0, 16)
    directories = [(0, 0)] * 16
    if resources:
        directories[2] = (section_rva, virtual_size)
    for rva, size in directories:
        opt += struct.pack("<II", rva, size)
    assert len(opt) == optional_size
    section = struct.pack("<8sIIIIIIHHI", b".rsrc", virtual_size, section_rva, raw_size, 0x200, 0, 0, 0, 0,
                          0x40000040)
    head = bytes(dos + header + opt + section)
    head += b"\0" * (0x200 - len(head))
    return head + bytes(rsrc)


def ico_file(seed):
    """A 16 x 16, 32-bit icon file in one colour."""
    h = hashlib.md5(seed.encode()).digest()
    pixel = bytes([h[0], h[1], h[2], 0xFF])
    xor = pixel * 256
    mask = b"\0" * (16 * 4)
    bmp = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(bmp), 22) + bmp


# ---------------------------------------------------------------------------
# The machine being written

class Machine:
    def __init__(self):
        self.keys = []      # (root, physical path, [(name, kind, value)])
        self.files = {}     # Windows path -> bytes
        self.folders = set()
        self.base = []      # SoftBase rows
        self.down = []      # SoftDownInfo rows
        self.expect = []    # one per uninstall entry
        self.cache = []     # SoftwareCache.ini sections
        self.ignore = []    # Main.ini [Ignore] keys

    def entry(self, root, name, values, bits=32, expect=None):
        """An uninstall entry. bits: 32 for the WOW6432Node key of HKLM (the
        product's own view), 64 for the 64-bit key; HKCU is shared by both."""
        base = UNINSTALL if root == HKCU or bits == 64 else UNINSTALL.replace("SOFTWARE\\", "SOFTWARE\\WOW6432Node\\")
        path = base + "\\" + name
        self.keys.append((root, path, values))
        if expect is not None:
            expect = dict(expect)
            expect.update(root=root, key=name, view64=(root == HKLM and bits == 64))
            self.expect.append(expect)

    def file(self, path, data):
        self.files[path] = data

    def folder(self, path):
        self.folders.add(path)

    def product(self, key, name, publisher, main_exe="", compare="", precise="", main_reg_key="", soft_name="",
                icon=""):
        self.base.append((key, name, publisher, soft_name, main_exe, compare, precise, main_reg_key, icon))

    def download(self, key, bit, version, lan=1, out_url="auto", in_url="", os_type="", installer="exe",
                 param="/S"):
        if out_url == "auto":
            out_url = "https://downloads.example.com/%s/%s/setup.exe" % (key.strip("{}")[:8].lower(), version)
        self.down.append((key, lan, bit, version, out_url, "1048576" if out_url else "",
                          hashlib.md5((key + version).encode()).hexdigest() if out_url else "", in_url,
                          "2097152" if in_url else "", "", installer, param,
                          "https://www.example.com/download/%s" % key.strip("{}")[:8].lower(), os_type))

    def exe(self, folder, name, x64, version=None):
        path = folder.rstrip("\\") + "\\" + name
        self.file(path, pe_image(x64, version, name.rsplit(".", 1)[0]))
        return path

    def app(self, name, publisher, version, folder, exe=None, x64=False, exe_version=None, bits=32, root=HKLM,
            key=None, location=True, uninstall=None, extra=(), expect=None):
        """One program: its folder (and main executable) and its uninstall entry."""
        if folder:
            self.folder(folder)
            if exe:
                self.exe(folder, exe, x64, exe_version)
        values = [sz("DisplayName", name)]
        if version is not None:
            values.append(sz("DisplayVersion", version) if isinstance(version, str) else dword("DisplayVersion", version))
        if publisher is not None:
            values.append(sz("Publisher", publisher))
        if location and folder:
            values.append(sz("InstallLocation", folder if location is True else location))
        if uninstall is None and folder:
            uninstall = '"%s\\unins000.exe"' % folder.rstrip("\\")
        if uninstall:
            values.append(sz("UninstallString", uninstall))
        values += list(extra)
        self.entry(root, key or name.replace(" ", "") + "_is1", values, bits, expect)

    def db(self, key, name, publisher, versions, main_exe="", **kw):
        """A product; versions maps bit -> version (LanID 1)."""
        down = {k: kw.pop(k) for k in list(kw) if k in ("out_url", "in_url", "os_type", "lan")}
        self.product(key, name, publisher, main_exe, **kw)
        for bit, version in versions.items():
            self.download(key, bit, version, **down)


def sz(name, value):
    return (name, "sz", value)


def dword(name, value):
    return (name, "dword", value)


def expand_sz(name, value):
    return (name, "expand", value)


def reg_quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def reg_hex(data):
    return ",".join("%02x" % b for b in data)


def write_reg(path, machine):
    lines = ["Windows Registry Editor Version 5.00", ""]
    for root, key, values in machine.keys:
        lines.append("[%s\\%s]" % (root, key))
        for name, kind, value in values:
            shown = "@" if name == "" else reg_quote(name)
            if kind == "sz":
                lines.append("%s=%s" % (shown, reg_quote(value)))
            elif kind == "dword":
                lines.append("%s=dword:%08x" % (shown, value))
            elif kind == "expand":
                lines.append("%s=hex(2):%s" % (shown, reg_hex((value + "\0").encode("utf-16-le"))))
        lines.append("")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))


def write_removal(path, machine):
    # Deleting each entry's key removes its subkeys too; parents go before children.
    tops = []
    for root, key, _ in machine.keys:
        if not any(root == r and key.upper().startswith(k.upper() + "\\") for r, k in tops):
            tops.append((root, key))
    lines = ["Windows Registry Editor Version 5.00", ""]
    lines += ["[-%s\\%s]" % (root, key) for root, key in tops]
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines + [""]).encode("utf-16-le"))


def write_utf16_ini(path, sections):
    lines = []
    for section, pairs in sections:
        lines.append("[%s]" % section)
        lines += ["%s=%s" % kv for kv in pairs]
        lines.append("")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))


def sql_text(value):
    return "'" + str(value).replace("'", "''") + "'"


def write_sql(path, machine):
    out = ["CREATE TABLE SoftBase(Key text, DisplayName text, Publisher text, SoftName text, MainExeName text, "
           "VerCompareNum text, PreciseMainKey text, MainRegKey text, ICON text);",
           "CREATE TABLE SoftDownInfo(Key text, LanID int, bit int, Version text, OutURL text, OutFileSize text, "
           "OutMD5 text, InURL text, InFileSize text, InMD5 text, InstallerType text, Param text, DownURL text, "
           "OsType text);",
           "BEGIN;"]
    for row in machine.base:
        out.append("INSERT INTO SoftBase VALUES(%s);" % ",".join(sql_text(v) for v in row))
    for row in machine.down:
        values = [sql_text(v) if not isinstance(v, int) else str(v) for v in row]
        out.append("INSERT INTO SoftDownInfo VALUES(%s);" % ",".join(values))
    out.append("COMMIT;")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


def host_path(out, windows_path):
    assert windows_path[1:3] == ":\\", windows_path
    return os.path.join(out, "drives", windows_path[0].upper(), *windows_path[3:].split("\\"))


def write_machine(out, machine):
    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(os.path.join(out, "user"))
    for folder in sorted(machine.folders):
        os.makedirs(host_path(out, folder), exist_ok=True)
    for path, data in sorted(machine.files.items()):
        target = host_path(out, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
    write_reg(os.path.join(out, "machine.reg"), machine)
    write_removal(os.path.join(out, "remove.reg"), machine)
    write_sql(os.path.join(out, "updates.sql"), machine)
    if machine.cache:
        write_utf16_ini(os.path.join(out, "user", "SoftwareCache.ini"), machine.cache)
    if machine.ignore:
        write_utf16_ini(os.path.join(out, "user", "Main.ini"),
                        [("Main", [("Language", "English")]), ("Ignore", [(k, "1") for k in machine.ignore])])


def cache_md5(install_date_text, uninstall_string):
    # The product writes the check over the system-code-page bytes; the fixture keeps them ASCII.
    return hashlib.md5((install_date_text + uninstall_string).encode("ascii")).hexdigest()

# ---------------------------------------------------------------------------
# A machine of any size, for timing the tools

def scaled(entries, products):
    m = Machine()
    for i in range(products):
        k = guid("scale product %d" % i)
        m.product(k, "Scale Product %05d" % i, "Scale Vendor %d" % (i % 97), "app%05d.exe" % i)
        for bit in (0, 1):
            m.download(k, bit, "%d.%d" % (2 + i % 3, i % 10))
    for i in range(entries):
        bits = 64 if i % 3 == 0 else 32
        root = HKCU if i % 11 == 0 else HKLM
        p = i % max(products, 1)
        folder = "%s\\Scale\\App %05d" % (PF if bits == 64 else PF86, i)
        m.folder(folder)
        m.file(folder + "\\app%05d.exe" % p, pe_image(bits == 64, (1, i % 7, 0, i)))
        name = ("Scale Product %05d" % p) if products and i % 2 == 0 else "Unlisted Program %05d" % i
        values = [sz("DisplayName", name), sz("Publisher", "Scale Vendor %d" % (p % 97)),
                  sz("DisplayVersion", "1.%d" % (i % 7)), sz("InstallLocation", folder),
                  sz("UninstallString", '"%s\\unins000.exe"' % folder)]
        if i % 5 == 0:
            values.append(dword("SystemComponent", 1))
        m.entry(root, "ScaleEntry%06d" % i, values, bits)
    return m


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("out")
    ap.add_argument("--entries", type=int, required=True, help="uninstall entries")
    ap.add_argument("--products", type=int, default=100, help="database products")
    args = ap.parse_args()
    write_machine(args.out, scaled(args.entries, args.products))
    return 0


if __name__ == "__main__":
    sys.exit(main())
