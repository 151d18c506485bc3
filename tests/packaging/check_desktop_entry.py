#!/usr/bin/env python3
"""Checks the viewer's desktop entry: desktop-file-validate passes; MimeType= names exactly the
archive types of the formats the control reads, as this machine's shared-mime-info database
names them (a type, not an alias; the type its glob for the extension gives, where it has one);
the icon it names is the icon installed; and it starts the viewer."""

import argparse
import configparser
import os
import subprocess
import sys
import xml.dom.minidom
from pathlib import Path

from check_report import finish

# The formats the control reads, by extension, with their shared-mime-info types.
FORMAT_TYPES = {
    "zip": "application/zip",
    "arj": "application/x-arj",
    "lzh": "application/x-lha",
    "arc": "application/x-arc",
    "rar": "application/vnd.rar",
    "cab": "application/vnd.ms-cab-compressed",
}


def mime_folders():
    data_dirs = os.environ.get("XDG_DATA_DIRS") or "/usr/local/share:/usr/share"
    return [Path(d) / "mime" for d in data_dirs.split(":") if (Path(d) / "mime").is_dir()]


def glob_types(folders):
    """The type of each "*.ext" glob, the heaviest first."""
    found = {}
    for folder in reversed(folders):
        globs = folder / "globs2"
        if not globs.exists():
            continue
        for line in globs.read_text().splitlines():
            if line.startswith("#"):
                continue
            weight, mime_type, pattern = line.split(":")[:3]
            if pattern.startswith("*.") and "*" not in pattern[2:]:
                extension = pattern[2:].lower()
                if extension not in found or int(weight) > found[extension][0]:
                    found[extension] = (int(weight), mime_type)
    return {extension: mime_type for extension, (_, mime_type) in found.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--entry", required=True)
    parser.add_argument("--icon", required=True, help="the icon file installed under the entry's Icon name")
    parser.add_argument("--program", required=True, help="the viewer's program name")
    parser.add_argument("--validator", required=True)
    options = parser.parse_args()
    problems = []

    validation = subprocess.run([options.validator, options.entry], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if validation.returncode != 0 or "error" in validation.stdout or "warning" in validation.stdout:
        problems.append("desktop-file-validate: " + validation.stdout.strip())

    entry = configparser.ConfigParser(interpolation=None, strict=True)
    entry.optionxform = str
    entry.read(options.entry, encoding="utf-8")
    desktop = entry["Desktop Entry"]

    listed = [t for t in desktop.get("MimeType", "").split(";") if t]
    if sorted(listed) != sorted(FORMAT_TYPES.values()):
        problems.append(f"MimeType= lists {listed}; the formats read are {sorted(FORMAT_TYPES.values())}")

    folders = mime_folders()
    if not folders:
        problems.append("no shared-mime-info database in XDG_DATA_DIRS")
    globs = glob_types(folders)
    for extension, mime_type in FORMAT_TYPES.items():
        if not any((folder / (mime_type + ".xml")).exists() for folder in folders):
            problems.append(f"{mime_type} (for .{extension}) is not a type of the shared-mime-info database")
        if extension in globs and globs[extension] != mime_type:
            problems.append(f"the database gives .{extension} the type {globs[extension]}, not {mime_type}")

    icon = Path(options.icon)
    if desktop.get("Icon") != icon.stem:
        problems.append(f"Icon={desktop.get('Icon')}, but the icon installed is {icon.stem}")
    try:
        svg = xml.dom.minidom.parse(str(icon)).documentElement
        if svg.tagName != "svg":
            problems.append(f"{icon.name} is not an SVG picture")
    except Exception as error:
        problems.append(f"{icon.name}: {error}")

    for key in ("Exec", "TryExec"):
        if desktop.get(key, "").split(" ")[0] != options.program:
            problems.append(f"{key}={desktop.get(key)} does not start {options.program}")

    return finish(problems, f"{Path(options.entry).name} is valid and names the types {', '.join(listed)}")


if __name__ == "__main__":
    sys.exit(main())
