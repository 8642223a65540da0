#!/bin/sh
# Peak resident memory of the program with the password browser open on the
# benchmark vaults of 1,000 and 200,000 entries (bench/password_vault.h),
# each paged down once, measured by /usr/bin/time -v on a headless script
# run; and, beside them, the program on the 200,000-entry vault without the
# browser, and the browser after one insert through the form. The goal: the
# 200,000-entry figure of the open browser within 10 MB (10,240 KB) of the
# 1,000-entry one.
#
#   bench/browser_memory.sh [BUILD_DIR]      (default build)
#
# Needs the targets vaultrix and vaultrix_bench_vault built. The vaults are
# built into their cache first (outside the measured runs) when missing;
# each run works on a copy of one, with its own settings folder.
set -eu

build=${1:-build}
program=$build/vaultrix
maker=$build/bench/vaultrix-bench-vault
for tool in "$program" "$maker" /usr/bin/time; do
  [ -x "$tool" ] || { echo "browser_memory.sh: $tool is missing" >&2; exit 2; }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vaultrix-memory-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

small=$("$maker" 1000)
large=$("$maker" 200000)

# The splash goes after three seconds; "User #1" (control -23) opens the
# first user's list, who needs no password.
cat >"$scratch/browser.vscript" <<'SCRIPT'
advance 4000
press #-23
expect "Passwords - Kim"
key PageDown
expect-match "^ +row\\* "
SCRIPT
# The same, then one entry inserted through the form.
cat "$scratch/browser.vscript" - >"$scratch/insert.vscript" <<'SCRIPT'
press "&Insert"
type #3 "memory"
type #15 "pw"
type #20 "pw"
press "&OK"
expect-match "^ +row\\* [0-9]+ \"memory "
SCRIPT
cat >"$scratch/frame.vscript" <<'SCRIPT'
advance 4000
expect "window \"Vaultrix\" frame"
SCRIPT

# Peak resident set size in KB of one scripted run on a copy of a vault.
peak() {
  run=$scratch/run-$1
  mkdir -p "$run/data" "$run/config/vaultrix"
  chmod 700 "$run" "$run/data"
  cp "$2/Vtrix_P.HVN" "$2/Vtrix_U.HVN" "$run/data/"
  chmod 600 "$run/data/"*
  printf '[TipOfDay]\nShowTip=0\n' >"$run/config/vaultrix/VAULTRIX.INI"
  XDG_CONFIG_HOME=$run/config /usr/bin/time -v -o "$run/time.txt" \
    "$program" --headless --script "$scratch/$3" --data-dir "$run/data" >"$run/out.txt" 2>&1 || {
    echo "browser_memory.sh: the run on $2 failed:" >&2
    cat "$run/out.txt" >&2
    exit 1
  }
  sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$run/time.txt"
}

with_small=$(peak small "$small" browser.vscript)
with_large=$(peak large "$large" browser.vscript)
frame_large=$(peak frame "$large" frame.vscript)
insert_small=$(peak insert-small "$small" insert.vscript)
insert_large=$(peak insert-large "$large" insert.vscript)

echo "Maximum resident set size (KB), browser open and paged down once:"
echo "  1,000 entries:    $with_small"
echo "  200,000 entries:  $with_large"
echo "  difference:       $((with_large - with_small)) (goal: at most 10240)"
echo "The program on 200,000 entries without the browser: $frame_large"
echo "The browser, then one entry inserted: 1,000 entries $insert_small," \
  "200,000 entries $insert_large"
