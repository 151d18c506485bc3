#!/usr/bin/env python3
"""Writes the benchmark archive: 100,000 stored members of a few bytes each, in folders of a
made-up project, with about twenty extensions and dates spread over thirty-five years.

    make_big_zip.py OUTPUT [COUNT]

The same arguments always give the same bytes (fixed seed, fixed dates, no file-system times).
"""
import os
import random
import sys
import zipfile

FOLDERS = (
    "src/core", "src/ui/widgets", "src/net", "include/project", "docs/manual", "docs/api",
    "assets/images/icons", "assets/sounds", "assets/fonts", "tests/unit", "tests/data",
    "build/output", "config", "scripts", "data/2021", "data/2022", "vendor/lib", "tools",
)
EXTENSIONS = (
    "txt", "doc", "pdf", "jpg", "png", "gif", "html", "css", "js", "cpp",
    "h", "py", "json", "xml", "csv", "exe", "dll", "mp3", "wav", "ini",
)
WORDS = (
    "main", "readme", "index", "config", "report", "summary", "image", "icon", "sound", "table",
    "parser", "writer", "reader", "window", "dialog", "button", "network", "socket", "cache", "model",
)


def main() -> None:
    output = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
    rng = random.Random(20240229)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_STORED) as archive:
        written = 0
        folders_seen = set()
        while written < count:
            folder = f"{rng.choice(FOLDERS)}/part{rng.randrange(60):02}"
            when = (rng.randrange(1990, 2025), rng.randrange(1, 13), rng.randrange(1, 29),
                    rng.randrange(24), rng.randrange(60), 2 * rng.randrange(30))
            if folder not in folders_seen:
                # Folders get their own entries, as zip -r writes them.
                folders_seen.add(folder)
                info = zipfile.ZipInfo(folder + "/", when)
                info.external_attr = 0o40755 << 16 | 0x10
                archive.writestr(info, b"")
                written += 1
                continue
            name = f"{folder}/{rng.choice(WORDS)}_{written:06}.{rng.choice(EXTENSIONS)}"
            info = zipfile.ZipInfo(name, when)
            info.external_attr = 0o100644 << 16
            archive.writestr(info, b"x" * rng.randrange(0, 12))
            written += 1
    os.replace(partial, output)


if __name__ == "__main__":
    main()
