#!/bin/sh
# The password browser's steps at 1,000 and 200,000 entries
# (bench/password_browser_bench.cpp) as one table: each step's time at both
# sizes, their ratio, and whether the step meets its goals (first page under
# 20 ms, every other step but the inserts under 2 ms, 200,000 within 2x of
# 1,000). Ends with the machine's load, which the figures depend on.
#
#   bench/password_browser.sh [BUILD_DIR] [BENCHMARK OPTIONS...]
#
# On a loaded machine, medians are steadier than single runs:
#   bench/password_browser.sh build --benchmark_repetitions=3
#
# Needs the target vaultrix_bench built (and python3). The first run builds
# the vaults into their cache (about a minute).
set -eu

build=${1:-build}
[ $# -gt 0 ] && shift
bench=$build/bench/vaultrix_bench
[ -x "$bench" ] || { echo "password_browser.sh: $bench is missing" >&2; exit 2; }

out=$(mktemp "${TMPDIR:-/tmp}/vaultrix-browser-XXXXXX.json")
log=$out.log
trap 'rm -f "$out" "$log"' EXIT
"$bench" --benchmark_filter='^BM_PasswordBrowser' --benchmark_out="$out" \
  --benchmark_out_format=json "$@" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }

python3 - "$out" <<'PYTHON'
import json, sys

runs = json.load(open(sys.argv[1]))["benchmarks"]
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
times, errors = {}, {}
for run in runs:
    # With --benchmark_repetitions only the median of each step counts.
    if run.get("aggregate_name", "median") != "median":
        continue
    name, size = run["name"].split("/")[0:2]
    step = name.replace("BM_PasswordBrowser", "")
    if run.get("error_occurred"):
        errors[(step, size)] = run.get("error_message", "failed")
        continue
    times[(step, size)] = run["real_time"] * scale[run["time_unit"]]

steps = list(dict.fromkeys(step for step, _ in list(times) + list(errors)))
print(f"{'step':<20} {'1,000':>11} {'200,000':>11} {'ratio':>6}  goal")
for step in steps:
    small, large = times.get((step, "1000")), times.get((step, "200000"))
    if small is None or large is None:
        why = errors.get((step, "1000")) or errors.get((step, "200000"))
        print(f"{step:<20} failed: {why}")
        continue
    ratio = large / small
    if step.startswith("FirstPage"):
        limit = 20.0
    elif "Insert" in step:
        limit = None
    else:
        limit = 2.0
    met = ratio <= 2.0 and (limit is None or max(small, large) < limit)
    goal = ("" if limit is None else f"< {limit:g} ms, ") + "within 2x"
    print(f"{step:<20} {small:>8.3f} ms {large:>8.3f} ms {ratio:>6.2f}  "
          f"{'met' if met else 'NOT met'} ({goal})")
PYTHON
echo "load: $(uptime)"
