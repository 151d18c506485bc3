#!/bin/sh
# Times one quenarch list call over many small archives against a shell loop of 7zz l, one call
# an archive, in alternating rounds, with the output read through a pipe.
#
#   bench/compare_many_archives.sh BUILD_DIR [ARCHIVE_DIR [ROUNDS]]
#
# ARCHIVE_DIR defaults to BUILD_DIR/bench/data/small, the 1,000 archives of the
# quenarch_bench_data target (written here with make_small_archives.sh when missing); ROUNDS to
# 3. Prints the median of each, the time an archive and the ratio. Budget: quenarch list under
# 2 ms an archive.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ARCHIVE_DIR [ROUNDS]]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
archives=${2:-$build/bench/data/small}
rounds=${3:-3}
lister=$build/bin/quenarch

for tool in hyperfine 7zz python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is needed" >&2
        exit 2
    fi
done
if [ ! -x "$lister" ]; then
    echo "no lister at $lister" >&2
    exit 2
fi
if [ ! -d "$archives" ]; then
    echo "writing $archives"
    "$here/make_small_archives.sh" "$archives" 1000
fi
count=$(find -L "$archives" -maxdepth 1 -name '*.zip' | wc -l)
if [ "$count" -eq 0 ]; then
    echo "no archives in $archives" >&2
    exit 2
fi

# DOS times are local times: with TZ set no lister reads the zone database.
export TZ=UTC
export LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quenarch="'$lister' list '$archives'/*.zip | cat >/dev/null"
loop="for archive in '$archives'/*.zip; do 7zz l \"\$archive\"; done | cat >/dev/null"

round=1
while [ "$round" -le "$rounds" ]; do
    if [ $((round % 2)) -eq 1 ]; then
        hyperfine --runs 2 --warmup 1 --style none --export-json "$work/$round.json" -n quenarch "$quenarch" -n 7zz "$loop" >/dev/null
    else
        hyperfine --runs 2 --warmup 1 --style none --export-json "$work/$round.json" -n 7zz "$loop" -n quenarch "$quenarch" >/dev/null
    fi
    round=$((round + 1))
done

python3 - "$work" "$count" <<'PYTHON'
import glob, json, statistics, sys
work, count = sys.argv[1], int(sys.argv[2])
times = {"quenarch": [], "7zz": []}
ratios = []
for path in glob.glob(f"{work}/*.json"):
    medians = {}
    for result in json.load(open(path))["results"]:
        times[result["command"]].extend(result["times"])
        medians[result["command"]] = statistics.median(result["times"])
    ratios.append(medians["quenarch"] / medians["7zz"])
for name, label in (("quenarch", "quenarch list, one call"), ("7zz", "7zz l, a shell loop")):
    median = statistics.median(times[name])
    print(f"{label:24} median {median * 1000:8.1f} ms, {median * 1000 / count:6.3f} ms an archive ({count} archives)")
per_archive = statistics.median(times["quenarch"]) * 1000 / count
print(f"quenarch / 7zz loop = {statistics.median(ratios):.3f} (median of {len(ratios)} rounds)")
print(f"quenarch {per_archive:.3f} ms an archive ({'within' if per_archive < 2 else 'over'} the budget of 2 ms)")
PYTHON
