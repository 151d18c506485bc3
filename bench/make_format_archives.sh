#!/bin/sh
# Writes a 10,000-member archive of each of ARJ, LZH, ARC and CAB with the real tools, for the
# per-format listing comparison. The same names, sizes and times on every run.
#
#   bench/make_format_archives.sh OUT_DIR
#
# arc is slow with this many members (about a minute and a half); the others take seconds.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 OUT_DIR" >&2
    exit 2
fi
mkdir -p "$1"
out=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 8.3 names, as ARC stores no more; ten extensions; sizes 0 to 49 bytes.
cd "$work"
python3 - <<'PY'
extensions = ["txt", "doc", "c", "h", "exe", "dat", "htm", "bmp", "ini", "log"]
for i in range(10000):
    with open(f"f{i:05d}.{extensions[i % 10]}", "w") as member:
        member.write("x" * (i % 50))
PY
TZ=UTC touch -d '2020-05-17 10:20:30' ./*

rm -f "$out"/many.arj "$out"/many.lzh "$out"/many.arc "$out"/many.cab
arj a -y "$out/many.arj" '*' >/dev/null
lha aq "$out/many.lzh" ./* >/dev/null
arc a "$out/many.arc" ./* >/dev/null
gcab -c "$out/many.cab" ./* >/dev/null
ls -l "$out"/many.*
