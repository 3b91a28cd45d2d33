#!/usr/bin/env python3
"""Packs the game folder for players, the same bytes from the same commit on any machine:
members sorted under one folder, fixed times and permissions, no extra fields, and the
text files in CR LF, as Windows' own editors want them.

Usage: make-zip.py OUT.zip FOLDER FILE... (a FILE ending in .txt is text)
The time of every member: SOURCE_DATE_EPOCH, else the last commit's.
"""
import os
import subprocess
import sys
import time
import zipfile


def epoch():
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    return int(out.stdout.strip() or 315532800)  # 1980, the first time a zip can tell


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main():
    out, folder, *files = sys.argv[1:]
    stamp = time.gmtime(max(epoch(), 315532800))[:6]
    with zipfile.ZipFile(out + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for path in sorted(files, key=os.path.basename):
            with open(path, "rb") as f:
                data = f.read()
            name = os.path.basename(path)
            info = zipfile.ZipInfo(f"{folder}/{name}", date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below is the one unpacked
            info.external_attr = 0o100644 << 16  # a plain file, rw-r--r--
            z.writestr(info, crlf(data) if name.endswith(".txt") else data)
    os.replace(out + ".part", out)
    print(f"{out}: {len(files)} files in {folder}/")


if __name__ == "__main__":
    main()
