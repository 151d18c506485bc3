#!/bin/sh
# Writes COUNT small ZIP archives with Info-ZIP's zip, as people make them: a few text files, a
# folder of sources and a picture-sized blob each, every archive a little different.
#
#   bench/make_small_archives.sh OUTPUT_DIR [COUNT]
#
# COUNT defaults to 1000. The files get fixed dates and zip stores no extra fields (-X), so the
# same arguments give the same bytes.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUTPUT_DIR [COUNT]" >&2
    exit 2
fi
output=$1
count=${2:-1000}
command -v zip >/dev/null 2>&1 || { echo "zip is needed" >&2; exit 2; }

mkdir -p "$output"
output=$(cd "$output" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

number=1
while [ "$number" -le "$count" ]; do
    tree=$work/tree
    rm -rf "$tree"
    mkdir -p "$tree/docs" "$tree/src"
    printf 'Project %d\n' "$number" >"$tree/README.md"
    printf 'Notes of archive %d\n' "$number" >"$tree/docs/notes.txt"
    printf '<html><body>%d</body></html>\n' "$number" >"$tree/docs/index.html"
    printf 'int main(void) { return %d; }\n' "$((number % 100))" >"$tree/src/main.c"
    printf '#define VERSION %d\n' "$number" >"$tree/src/util.h"
    head -c $((1000 + number % 997)) /dev/zero >"$tree/data.bin"
    find "$tree" -exec touch -d "2024-01-$((1 + number % 28)) 10:$((number % 60)):00" {} +
    name=$(printf 'small-%04d.zip' "$number")
    rm -f "$output/$name"
    (cd "$tree" && zip -q -X -r "$output/$name" README.md docs src data.bin)
    number=$((number + 1))
done
