#!/bin/sh
# Times whole listing processes on the 100,000-member benchmark archive in one hyperfine run:
# quenarch list, 7zz l and unzip -l, each with its output read through a pipe.
#
#   bench/compare_listers.sh BUILD_DIR [ARCHIVE]
#
# ARCHIVE defaults to BUILD_DIR/bench/data/big-100000.zip (written by the quenarch_bench_data
# target, or here with make_big_zip.py when it is missing). The lister is skipped when the build
# has none. Budget: quenarch list takes at most half the time of 7zz l.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ARCHIVE]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
archive=${2:-$build/bench/data/big-100000.zip}

if ! command -v hyperfine >/dev/null 2>&1; then
    echo "hyperfine is needed" >&2
    exit 2
fi
if [ ! -f "$archive" ]; then
    echo "writing $archive"
    python3 "$here/make_big_zip.py" "$archive" 100000
fi

# DOS times are local times: no lister has to look up a time zone per row, and with TZ set
# none of them reads the zone database at all.
export TZ=UTC
export LC_ALL=C.UTF-8

lister=
for candidate in "$build/tools/quenarch" "$build/tools/quenarch/quenarch" "$build/bin/quenarch"; do
    if [ -f "$candidate" ] && [ -x "$candidate" ]; then
        lister=$candidate
        break
    fi
done

set --
names=
if [ -n "$lister" ]; then
    if "$lister" list "$archive" >/dev/null 2>&1; then
        set -- "$@" "'$lister' list '$archive' | cat >/dev/null"
        names="$names quenarch"
    else
        echo "skipping $lister: it fails on $archive" >&2
    fi
else
    echo "skipping quenarch list: no lister in $build (tools/quenarch or bin/quenarch)" >&2
fi
for peer in 7zz unzip; do
    if command -v "$peer" >/dev/null 2>&1; then
        case $peer in
        7zz) set -- "$@" "7zz l '$archive' | cat >/dev/null" ;;
        unzip) set -- "$@" "unzip -l '$archive' | cat >/dev/null" ;;
        esac
        names="$names $peer"
    else
        echo "skipping $peer: not installed" >&2
    fi
done
if [ $# -eq 0 ]; then
    echo "nothing to time" >&2
    exit 1
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT
hyperfine --warmup 3 --min-runs 10 --export-json "$results" "$@"

python3 - "$results" $names <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
means = dict(zip(sys.argv[2:], (r["mean"] for r in results)))
print()
for name, mean in means.items():
    print(f"{name:10} mean {mean * 1000:8.1f} ms")
if "quenarch" in means and "7zz" in means:
    ratio = means["quenarch"] / means["7zz"]
    verdict = "within" if ratio <= 0.5 else "over"
    print(f"quenarch / 7zz = {ratio:.2f} ({verdict} the budget of 0.50)")
EOF
