#!/usr/bin/env python3
"""Writes a ZIP archive with COUNT members through Python's zipfile, for the tests of archives
with more members than a signed 16-bit count holds (more than 65,535 makes zipfile write the
Zip64 end record as well).

    make_many_members.py OUTPUT COUNT

Member i (from 0) is "set{i // 1000:03}/item{i:05}.{ext}" with ext taken in turn from EXTENSIONS,
holds i % 10 bytes, is stored, and is dated 1980 + i % 40, month 1 + i % 12, day 1 + i % 28,
hour i % 24, minute i % 60, second 2 * (i % 30). The tests rely on this pattern.
"""
import os
import sys
import zipfile

EXTENSIONS = ("txt", "dat", "bin")


def main() -> None:
    output, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_STORED) as archive:
        for i in range(count):
            name = f"set{i // 1000:03}/item{i:05}.{EXTENSIONS[i % len(EXTENSIONS)]}"
            when = (1980 + i % 40, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 2 * (i % 30))
            info = zipfile.ZipInfo(name, when)
            info.external_attr = 0o100644 << 16
            archive.writestr(info, bytes(range(i % 10)))
    os.replace(partial, output)


if __name__ == "__main__":
    main()
