#!/usr/bin/env python3
"""Packs the release: dist/Zorvel-<version>.zip and dist/version.dat.

Usage: package.py VERSION EPOCH STAGE DIST
STAGE/bin holds the stripped binaries, STAGE/text the texts (UTF-8, any
line ends). Everything that could vary between two builds of one commit is
fixed here: each PE file's time stamp becomes EPOCH (the commit's time),
the texts get a byte-order mark and CR LF line ends (Notepad on Japanese
Windows reads them right), and the ZIP holds one folder Zorvel-<version>/
with its files in name order, each with EPOCH's time and plain attributes.
"""
import hashlib
import os
import struct
import sys
import time
import zipfile


def fix_pe_time_stamp(data, epoch):
    """The COFF header's TimeDateStamp, 8 bytes into the PE header."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("package: not a PE file")
    struct.pack_into("<I", data, pe + 8, epoch & 0xFFFFFFFF)
    # The optional header's CheckSum (64 bytes in), when set, must match the
    # changed bytes: the 16-bit one's-complement sum of the file without it,
    # plus the file's length.
    at = pe + 24 + 64
    if struct.unpack_from("<I", data, at)[0] != 0:
        struct.pack_into("<I", data, at, 0)
        padded = bytes(data) + b"\0" * (len(data) % 2)
        total = sum(struct.unpack("<%dH" % (len(padded) // 2), padded))
        while total > 0xFFFF:
            total = (total & 0xFFFF) + (total >> 16)
        struct.pack_into("<I", data, at, total + len(data))
    return data


def windows_text(data):
    text = data.decode("utf-8").lstrip("\ufeff").replace("\r\n", "\n")
    return b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")


def main():
    version, epoch, stage, dist = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    folder = "Zorvel-%s/" % version
    files = {}
    for name in os.listdir(os.path.join(stage, "bin")):
        with open(os.path.join(stage, "bin", name), "rb") as f:
            files[name] = fix_pe_time_stamp(bytearray(f.read()), epoch)
    for name in os.listdir(os.path.join(stage, "text")):
        with open(os.path.join(stage, "text", name), "rb") as f:
            files[name] = windows_text(f.read())

    # ZIP holds local times from 1980 on, two seconds apart.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    package = "Zorvel-%s.zip" % version
    path = os.path.join(dist, package)
    with zipfile.ZipFile(path + ".new", "w") as zf:
        entries = [(folder, None)] + [(folder + name, files[name]) for name in sorted(files)]
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 0  # attributes in MS-DOS form, as Windows writes them
            if data is None:
                info.external_attr = 0x10  # directory
                zf.writestr(info, b"")
            else:
                info.external_attr = 0x20  # archive
                info.compress_type = zipfile.ZIP_DEFLATED
                zf.writestr(info, bytes(data), compresslevel=9)
    os.replace(path + ".new", path)

    with open(path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    line = "%s,%s,/update/%s,%s\r\n" % (version, package, package, digest)
    with open(os.path.join(dist, "version.dat"), "w", newline="") as f:
        f.write(line)
    print("%s %d bytes sha256 %s" % (path, os.path.getsize(path), digest))


main()
