#!/bin/sh
# Measures every budget in one go and prints each figure beside its budget: a small archive, 1,000
# small archives, a million members (each against 7-Zip), the 100,000-member open in a headless
# control, and the widget with 1,000,000 members under an X server.
#
#   bench/compare.sh BUILD_DIR
#
# BUILD_DIR is an optimised build with -DQUENARCH_BUILD_BENCH=ON. Needs what the compare_*.sh
# scripts need, and xvfb-run for the widget.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export TZ=UTC

echo "== A small archive (examples/demo.zip)"
"$here/compare_small_archive.sh" "$build"
echo
echo "== 1,000 small archives in one call"
"$here/compare_many_archives.sh" "$build"
echo
echo "== A million members"
"$here/compare_big_listing.sh" "$build"
echo
echo "== In process: the 100,000-member open in a headless control"
"$build/bench/quenarch_zip_bench" --benchmark_filter=Control --benchmark_repetitions=9 --benchmark_format=json 2>/dev/null |
    python3 -c '
import json, statistics, sys
runs = [b for b in json.load(sys.stdin)["benchmarks"] if b.get("run_type") == "iteration"]
times = [b["real_time"] for b in runs]
median = statistics.median(times)
peak = max(b["peak_rss_MB"] for b in runs)
verdict = "within" if median < 50 else "over"
print(f"open: min {min(times):.1f} ms, median {median:.1f} ms, max {max(times):.1f} ms ({verdict} the budget of 50 ms)")
verdict = "within" if peak < 45 else "over"
print(f"peak {peak:.1f} MB ({verdict} the budget of 45 MB)")
'
echo
echo "== The widget with 1,000,000 members"
if command -v xvfb-run >/dev/null 2>&1 && [ -x "$build/bench/quenarch_widget_bench" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/quenarch_widget_bench" --benchmark_filter=/1000000 \
        --benchmark_format=json 2>/dev/null |
        python3 -c '
import json, sys
for b in json.load(sys.stdin)["benchmarks"]:
    what = "open to first paint" if "FirstPaint" in b["name"] else "one column sort"
    ms = b["real_time"] * {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
    verdict = "within" if ms <= 1000 else "over"
    iterations = b["iterations"]
    print(f"{what}: {ms:.0f} ms, mean of {iterations} ({verdict} the budget of 1 s)")
'
else
    echo "skipped: needs xvfb-run and the widget benchmark (a build with Qt)"
fi
