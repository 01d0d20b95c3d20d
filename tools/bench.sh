#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/) and prints their medians and ratios as a
# Markdown table, with the machine they ran on. The clipper is timed beside a straightforward
# implementation of the same algorithm, and the whole frame beside an empty frame, in the same
# process and interleaved, so that the ratios hold even on a machine whose speed drifts.
# Usage: tools/bench.sh [REPETITIONS]   (15 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-15}

tools/install-packages.sh run headless bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORLAVANE_BENCH=ON >/dev/null
cmake --build build-bench -j "$(nproc)" --target clip_bench frame_bench >/dev/null

common=(--benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true
        --benchmark_report_aggregates_only=true --benchmark_format=csv)
clip=$(build-bench/bench/clip_bench "${common[@]}" 2>/dev/null | grep '_median"')
frame=$(tools/with-xvfb.sh build-bench/bench/frame_bench --benchmark_filter=BM_frameRatio "${common[@]}" \
        2>/dev/null | grep '_median"')

# median NAME: the median time in ns of the benchmark row NAME.
median() { awk -F, -v name="\"$1_median\"" '$1 == name {print $3}' <<<"$clip"; }

echo "| Benchmark | Program | Straightforward | Speed-up |"
echo "|---|---|---|---|"
for pose in 0:inside 1:cut 2:outside 3:polygon64; do
    mine=$(median "BM_clipPolygon/${pose%%:*}")
    plain=$(median "BM_straightforwardClip/${pose%%:*}")
    awk -v p="${pose#*:}" -v a="$mine" -v b="$plain" \
        'BEGIN {printf "| clipPolygon, %s | %.0f ns | %.0f ns | %.2fx |\n", p, a, b, b / a}'
done
awk -v a="$(median BM_twoArrays)" 'BEGIN {printf "| the two working arrays alone | %.0f ns | | |\n", a}'
awk -v a="$(median BM_animateScene)" 'BEGIN {printf "| animateScene | %.0f ns | | |\n", a}'

echo
echo "| Frame | Program frame | Empty frame | Ratio |"
echo "|---|---|---|---|"
# The counters follow the label in each row: empty_us, frame_us, ratio.
awk -F, '{printf "| %s | %.0f us | %.0f us | %.2fx |\n", $8, $(NF-1), $(NF-2), $NF}' <<<"$frame" |
    tr -d '"'

echo
echo "Medians of $reps runs, $(date +%Y-%m-%d), on $(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo |
    cut -d: -f2 | sed 's/^ //'), Mesa $(dpkg-query -W -f='${Version}' libgl1-mesa-dri) llvmpipe on Xvfb."
