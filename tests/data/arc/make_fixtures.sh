#!/bin/sh
# Rebuilds the ARC test archives of this folder and the peers' listings of them.
# Needs arc (5.21q of Debian's arc package), 7zz and lsar. Run from anywhere:
#   sh tests/data/arc/make_fixtures.sh
set -eu

out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ARC stores DOS dates and times, which are local times: make and list everything in UTC.
export TZ=UTC
# stdin is /dev/null: arc asks before truncating a name longer than 12 characters, and on end of
# input asks again for ever. Every name here fits.

mkdir -p "$work/src/sub"
cd "$work/src"
printf 'Read me first.\n' >README.TXT
i=1
while [ $i -le 40 ]; do
    echo "Line $i of the guide, with words repeated to compress well." >>GUIDE.DOC
    i=$((i + 1))
done
# Few distinct bytes in uneven shares: arc squeezes (Huffman codes) rather than crunches these.
python3 -c 'import random; r = random.Random(1); open("SKEW.BIN", "wb").write(bytes(r.choice(b"aaaaaaaabbbbccd") for _ in range(400)))'
: >EMPTY.TXT
printf 'lower case\n' >lower.txt
printf 'int main(void) { return 0; }\n' >sub/main.c
printf 'twelve\n' >ABCDEFGH.TXT
printf 'no extension\n' >NOTES
touch -d '2021-03-04 15:41:56' README.TXT
touch -d '2022-11-05 07:08:10' GUIDE.DOC
touch -d '1999-12-31 23:59:58' SKEW.BIN
touch -d '2000-01-01 00:00:00' EMPTY.TXT
touch -d '2019-07-14 08:30:00' lower.txt
touch -d '1980-01-01 00:00:00' sub/main.c
touch -d '2107-12-31 23:59:58' ABCDEFGH.TXT
touch -d '2024-02-29 18:45:30' NOTES

# mixed.arc: stored (method 2), squeezed (4) and crunched (8) members, a 0-byte member (CRC 0), a
# lower-case name, a member given with a folder (arc keeps the file name only), a name of the full
# 12 characters and one without an extension. arc sorts the members by name.
rm -f "$out/mixed.arc"
arc a "$out/mixed.arc" README.TXT GUIDE.DOC SKEW.BIN EMPTY.TXT lower.txt sub/main.c ABCDEFGH.TXT NOTES </dev/null >/dev/null

# three.arc: three stored members, ending in the end marker 0x1A 0x00.
rm -f "$out/three.arc"
arc as "$out/three.arc" README.TXT lower.txt NOTES </dev/null >/dev/null

# old-stored.arc: written byte by byte, since arc 5.21 no longer stores with method 1, whose
# header lacks the unpacked size (25 bytes instead of 29): sixteen such members, then a 0-byte
# stored one and the end marker. `arc t old-stored.arc` finds every member and CRC in order.
python3 - "$out/old-stored.arc" <<'PYTHON'
import struct, sys

def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = crc >> 1 ^ 0xA001 if crc & 1 else crc >> 1
    return crc

def header(method, name, data, dos_date, dos_time):
    fields = struct.pack("<13sIHHH", name.encode(), len(data), dos_date, dos_time, crc16(data))
    unpacked = b"" if method == 1 else struct.pack("<I", len(data))
    return bytes([0x1A, method]) + fields + unpacked + data

members = b"".join(header(1, "OLD%02d.TXT" % i, b"old member %d\n" % i, 0x1E21 + i, 0x4000 + i)
                   for i in range(1, 17))
with open(sys.argv[1], "wb") as archive:
    archive.write(members + header(2, "EMPTY.TXT", b"", 0x2821, 0) + b"\x1A\x00")
PYTHON
arc t "$out/old-stored.arc" </dev/null >/dev/null
# ibm437.arc: MS-DOS names in IBM437 bytes, "CAF\202.TXT" CAFé.TXT and "\216RGER.DOC" ÄRGER.DOC.
mkdir -p "$work/ibm437"
cd "$work/ibm437"
cafe=$(printf 'CAF\202.TXT')
aerger=$(printf '\216RGER.DOC')
printf 'x\n' >"$cafe"
printf 'y\n' >"$aerger"
touch -d '2023-05-06 07:08:10' "$cafe" "$aerger"
rm -f "$out/ibm437.arc"
arc a "$out/ibm437.arc" "$cafe" "$aerger" </dev/null >/dev/null
# arc makes its archives readable by their owner only.
chmod 644 "$out"/*.arc

# What the peers list for each archive, each listed alone. The installed 7-Zip has no ARC
# handler: its files record that it cannot open the archive.
for archive in mixed three old-stored ibm437; do
    rm -rf "$work/list" && mkdir "$work/list" && cp "$out/$archive.arc" "$work/list/"
    (cd "$work/list" && 7zz l -slt "$archive.arc" >"$out/$archive.7z.txt" 2>&1) || true
    (cd "$work/list" && lsar -j "$archive.arc" >"$out/$archive.lsar.json" 2>/dev/null) || true
done
