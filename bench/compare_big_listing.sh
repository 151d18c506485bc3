#!/bin/sh
# Times quenarch list against 7zz l on the 1,000,000-member benchmark archive, in alternating
# rounds, and measures the peak resident memory of each; prints the medians, the ratio and the
# peaks against the budgets.
#
#   bench/compare_big_listing.sh BUILD_DIR [ARCHIVE [ROUNDS]]
#
# ARCHIVE defaults to BUILD_DIR/bench/data/big-1000000.zip (written by the quenarch_bench_data
# target, or here with make_big_zip.py when it is missing); ROUNDS to 5. Each round runs both
# listers once under hyperfine, the order swapped from one round to the next, with the output
# read through a pipe, then once more each under /usr/bin/time for the peak. Budgets: quenarch
# list at most 0.35 of the time of 7zz l, and at most 250 MB.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ARCHIVE [ROUNDS]]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
archive=${2:-$build/bench/data/big-1000000.zip}
rounds=${3:-5}
lister=$build/bin/quenarch

for tool in hyperfine 7zz /usr/bin/time python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is needed" >&2
        exit 2
    fi
done
if [ ! -x "$lister" ]; then
    echo "no lister at $lister: build with Qt first" >&2
    exit 1
fi
if [ ! -f "$archive" ]; then
    echo "writing $archive"
    python3 "$here/make_big_zip.py" "$archive" 1000000
fi

# DOS times are local times: with TZ set no lister reads the zone database.
export TZ=UTC
export LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quenarch="'$lister' list '$archive' | cat >/dev/null"
sevenzip="7zz l '$archive' | cat >/dev/null"

# One run of each first, so that the archive is in the page cache for both.
hyperfine --runs 1 --style none "$quenarch" "$sevenzip" >/dev/null
round=1
while [ "$round" -le "$rounds" ]; do
    if [ $((round % 2)) -eq 1 ]; then
        hyperfine --runs 1 --style none --export-json "$work/times-$round.json" -n quenarch "$quenarch" -n 7zz "$sevenzip" >/dev/null
    else
        hyperfine --runs 1 --style none --export-json "$work/times-$round.json" -n 7zz "$sevenzip" -n quenarch "$quenarch" >/dev/null
    fi
    /usr/bin/time -f %M -a -o "$work/peak-quenarch" "$lister" list "$archive" >/dev/null
    /usr/bin/time -f %M -a -o "$work/peak-7zz" 7zz l "$archive" >/dev/null
    round=$((round + 1))
done

python3 - "$work" <<'EOF'
import glob, json, statistics, sys
work = sys.argv[1]
times = {"quenarch": [], "7zz": []}
for path in glob.glob(f"{work}/times-*.json"):
    for result in json.load(open(path))["results"]:
        times[result["command"]].extend(result["times"])
peaks = {name: max(int(line) for line in open(f"{work}/peak-{name}")) / 1024 for name in times}
for name, runs in times.items():
    print(f"{name:9} median {statistics.median(runs) * 1000:8.1f} ms over {len(runs)} runs, peak {peaks[name]:6.1f} MB")
ratio = statistics.median(times["quenarch"]) / statistics.median(times["7zz"])
print(f"quenarch / 7zz = {ratio:.2f} ({'within' if ratio <= 0.35 else 'over'} the budget of 0.35)")
print(f"quenarch peak {peaks['quenarch']:.1f} MB ({'within' if peaks['quenarch'] <= 250 else 'over'} the budget of 250 MB)")
EOF
