#!/bin/sh
# Reads the text driver's 100 MB benchmark file through the driver and, in the
# same run, with `wc -l` and `cat`, so the figures stand side by side, then
# gives each driver read as a multiple of `wc -l`'s time.
# Usage: bench/text_driver_vs_tools.sh [build-dir]   (default: build)
# $VAULTRIX_TEXT_BENCH_FILTER narrows the benchmarks run (default: every
# text driver and engine benchmark).
#
# The benchmark reports wall-clock and CPU time; for the tools the best of
# five runs is given as wall-clock time and, when perf is there, as CPU time
# (its task clock), which a busy machine disturbs less.
set -eu
build=${1:-build}
file=${VAULTRIX_TEXT_BENCH_FILE:-${TMPDIR:-/tmp}/vaultrix_text_bench.txt}
export VAULTRIX_TEXT_BENCH_FILE="$file"
results=$(mktemp)
trap 'rm -f "$results"' EXIT

"$build/bench/vaultrix_bench" --benchmark_filter="${VAULTRIX_TEXT_BENCH_FILTER:-Text(Driver|Engine)}" \
  --benchmark_counters_tabular=true --benchmark_out="$results" --benchmark_out_format=csv

# Best of five runs of a command over the file: "name wall-ms cpu-ms", the
# CPU time empty without perf.
best_of_five() {
  best=""
  best_cpu=""
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    took=$((end - start))
    cpu=""
    if command -v perf >/dev/null 2>&1; then
      cpu=$(perf stat -x, -e task-clock "$@" 2>&1 >/dev/null |
        awk -F, '/task-clock/ { printf "%d", $1 * 1e6 }')
    fi
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
    if [ -n "$cpu" ] && { [ -z "$best_cpu" ] || [ "$cpu" -lt "$best_cpu" ]; }; then
      best_cpu=$cpu
    fi
  done
  awk -v ns="$best" -v cpu="${best_cpu:-}" 'BEGIN {
    printf "%.3f %s\n", ns / 1e6, cpu == "" ? "" : sprintf("%.3f", cpu / 1e6) }'
}

size=$(stat -c %s "$file")
wc_times=$(best_of_five wc -l "$file")
cat_times=$(best_of_five cat "$file")

echo
echo "Same file, same run ($size bytes):"
for tool in "wc -l:$wc_times" "cat:$cat_times"; do
  echo "${tool%%:*} ${tool#*:}" | awk -v size="$size" '{
    name = $1 ($2 ~ /^-/ ? " " $2 : ""); wall = ($2 ~ /^-/ ? $3 : $2); cpu = ($2 ~ /^-/ ? $4 : $3)
    printf "%-28s %8.1f ms %10.1f MB/s", name, wall, size / 1048576 / (wall / 1e3)
    if (cpu != "") printf "   CPU %6.1f ms", cpu
    printf "\n" }'
done

echo
echo "Driver reads as a multiple of wc -l (goal: 3 or less):"
echo "$wc_times" | {
  read -r wc_wall wc_cpu
  awk -F, -v wc_wall="$wc_wall" -v wc_cpu="${wc_cpu:-}" -v size="$size" '
    $1 ~ /^"BM_TextDriverRead\// {
      name = $1; gsub(/"/, "", name); sub(/\/iterations.*/, "", name)
      wall = $3; cpu = $4  # real_time and cpu_time, in the unit of column 5 (ms)
      printf "%-28s %8.1f ms %10.1f MB/s  x%.1f", name, wall, size / 1048576 / (wall / 1e3), wall / wc_wall
      if (wc_cpu != "") printf "   CPU %6.1f ms  x%.1f", cpu, cpu / wc_cpu
      printf "\n"
    }' "$results"
}
rm -f "$file"
