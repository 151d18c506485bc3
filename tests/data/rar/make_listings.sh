#!/bin/sh
# Writes the peers' listings of the RAR archives of this folder: NAME.7z.txt (`7zz l -slt`) and
# NAME.lsar.json (`lsar -j`). Run from anywhere: sh tests/data/rar/make_listings.sh
# Each archive is listed alone in a scratch folder: lsar takes files whose names look alike
# (rar3-subdirs.rar beside rar5-subdirs.rar) for volumes of one archive.
set -eu

out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# DOS times are shown as stored and RAR5 times converted to local time: list in UTC.
export TZ=UTC
for archive in "$out"/*.rar; do
    file=$(basename "$archive")
    name=${file%.rar}
    rm -f "$work"/*
    cp "$archive" "$work/"
    # Both tools fail on some archives (7zz builds without the RAR handler, lsar on encrypted
    # headers); what they print then is the listing kept.
    (cd "$work" && 7zz l -slt "$file" >"$out/$name.7z.txt" 2>&1) || true
    (cd "$work" && lsar -j "$file" >"$out/$name.lsar.json" 2>/dev/null) || true
done
