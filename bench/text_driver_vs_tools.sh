#!/bin/sh
# Reads the text driver's 100 MB benchmark file through the driver and, in the
# same run, with `wc -l` and `cat`, so the figures stand side by side.
# Usage: bench/text_driver_vs_tools.sh [build-dir]   (default: build)
set -eu
build=${1:-build}
file=${VAULTRIX_TEXT_BENCH_FILE:-${TMPDIR:-/tmp}/vaultrix_text_bench.txt}
export VAULTRIX_TEXT_BENCH_FILE="$file"

"$build/bench/vaultrix_bench" --benchmark_filter='Text(Driver|Engine)' \
  --benchmark_counters_tabular=true

# Best of five runs of a command over the file, in MB/s.
best_of_five() {
  best=""
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    took=$((end - start))
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
  done
  size=$(stat -c %s "$file")
  awk -v size="$size" -v ns="$best" -v name="$*" \
    'BEGIN { printf "%-40s %8.1f ms %10.1f MB/s\n", name, ns / 1e6, size / 1048576 / (ns / 1e9) }'
}

echo
echo "Same file, same run ($(stat -c %s "$file") bytes):"
best_of_five wc -l "$file"
best_of_five cat "$file"
rm -f "$file"
