#!/bin/sh
# Times listing a 10,000-member ARJ, LZH, ARC and CAB archive and the largest RAR test archive,
# as whole processes with output read through a pipe: quenarch list against 7zz l (lsar for ARC,
# which 7-Zip does not read, and for RAR, which Debian's 7-Zip does not read either).
#
#   bench/compare_formats.sh BUILD_DIR
#
# The archives are written once into BUILD_DIR/bench/data/formats by make_format_archives.sh.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data=$build/bench/data/formats
lister=$build/bin/quenarch
if [ ! -x "$lister" ]; then
    echo "no lister at $lister: build with Qt first" >&2
    exit 1
fi
[ -f "$data/many.cab" ] || "$here/make_format_archives.sh" "$data"
largest_rar=$(ls -S "$here"/../tests/data/rar/*.rar | head -n 1)

export TZ=UTC LC_ALL=C.UTF-8
for archive in "$data/many.arj" "$data/many.lzh" "$data/many.arc" "$data/many.cab" "$largest_rar"; do
    case $archive in
    *.arc | *.rar) peer="lsar '$archive'" ;;
    *) peer="7zz l '$archive'" ;;
    esac
    echo "== $(basename "$archive")"
    hyperfine --warmup 3 --min-runs 10 --style basic \
        "'$lister' list '$archive' | cat >/dev/null" "$peer | cat >/dev/null" 2>&1 | grep -E 'Time|±|^ *[0-9.]+ ±'
done
