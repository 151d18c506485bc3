#!/bin/sh
# Times whole listing processes on a small archive, where starting up is most of the work:
# quenarch list, quenarch list --json, 7zz l and unzip -l, each with its output read through a
# pipe and without a shell in between, in rounds that take turns so that a change in the
# machine's speed meets every command alike.
#
#   bench/compare_small_archive.sh BUILD_DIR [ARCHIVE]
#
# ARCHIVE defaults to examples/demo.zip. ROUNDS (default 10) rounds of RUNS (default 10) runs of
# each command. Prints each command's median and the ratios of the median times of each round,
# taken across the rounds. Budget: both listings at most 1.0 times 7zz l; the aim: unzip -l.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [ARCHIVE]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
archive=${2:-$here/../examples/demo.zip}
rounds=${ROUNDS:-10}
runs=${RUNS:-10}

for tool in hyperfine 7zz unzip python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is needed" >&2
        exit 2
    fi
done
lister=$build/bin/quenarch
if [ ! -x "$lister" ]; then
    echo "no lister at $lister" >&2
    exit 2
fi

# DOS times are local times: with TZ set no lister reads the zone database.
export TZ=UTC

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
round=1
while [ "$round" -le "$rounds" ]; do
    hyperfine -N --output=pipe --warmup 2 --runs "$runs" --style none --export-json "$results/$round.json" \
        "$lister list $archive" "$lister list --json $archive" "7zz l $archive" "unzip -l $archive" >/dev/null 2>&1
    round=$((round + 1))
done

python3 - "$results" <<'PYTHON'
import json, os, statistics, sys
names = ["quenarch list", "quenarch list --json", "7zz l", "unzip -l"]
rounds = [json.load(open(os.path.join(sys.argv[1], f)))["results"] for f in sorted(os.listdir(sys.argv[1]))]
times = {name: [t for r in rounds for t in r[i]["times"]] for i, name in enumerate(names)}
for name in names:
    print(f"{name:22} median {statistics.median(times[name]) * 1000:6.2f} ms")
def ratio(a, b):
    return statistics.median(statistics.median(r[a]["times"]) / statistics.median(r[b]["times"]) for r in rounds)
for a in (0, 1):
    for b, budget in ((2, 1.0), (3, None)):
        value = ratio(a, b)
        verdict = "" if budget is None else f" ({'within' if value <= budget else 'over'} the budget of {budget:.1f})"
        print(f"{names[a]} / {names[b]} = {value:.2f}{verdict}")
PYTHON
