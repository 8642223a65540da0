#!/usr/bin/env bash
# The program killed in the middle of durable work. A headless script saves
# entries through the password form, saves the options, imports 5,000 lines
# through File > Import and then saves more entries and options; it is run
# whole once (to learn how long it takes and that it does what it should),
# then ROUNDS times from a fresh data directory, each time killed with
# SIGKILL at a random moment of that span. After every kill:
#   - `vaultrix-hvn check` passes on every data file;
#   - every entry present is whole: each field carries the entry's own
#     number, so a field from another entry shows;
#   - imported entries are the first K lines of the import file, for some K;
#   - the settings files parse (sections, key=value lines, comments);
#   - the next start opens the password browser and exits 0.
#
# usage: killed_in_the_middle.sh VAULTRIX VAULTRIX_HVN WORK_DIR
# The seed is VAULTRIX_KILL_SEED, else taken from the clock; it is printed so
# that a failing run can be repeated. VAULTRIX_KILL_ROUNDS (default 20) sets
# the number of kills.
set -uo pipefail

program=$1
hvn=$2
work=$3
seed=${VAULTRIX_KILL_SEED:-$(date +%s)}
rounds=${VAULTRIX_KILL_ROUNDS:-20}
lines=5000
form_entries=6  # per burst; two bursts before the import, one after

passwords_owner=OrbitPlumeCasketNimbleFox
users_owner=MarrowKettleBlueOxenTrail
words_owner=lanternquarryhobbitfernsmoked

echo "seed $seed (repeat with VAULTRIX_KILL_SEED=$seed), $rounds kills"
RANDOM=$seed

fail() {
  echo "FAIL (seed $seed): $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
import_file=$work/import.csv
script=$work/work.vscript
reopen=$work/reopen.vscript

# Line N of the import carries N in every field.
{
  printf '"P_:Service","P_:URL","P_:Name","P_:Password","P_:Notes","P_:MoreNotes"\r\n'
  for ((n = 1; n <= lines; n++)); do
    printf -v k '%05d' "$n"
    printf '"S%s","u%s.example","n%s","p%s","t%s","m%s"\r\n' "$k" "$k" "$k" "$k" "$k" "$k"
  done
} > "$import_file"

# Entry F<N> typed into the password form, N from $1 on.
form_burst() {
  local first=$1 n k
  echo 'choose "&File" "&Passwords"'
  for ((n = first; n < first + form_entries; n++)); do
    printf -v k '%05d' "$n"
    echo 'press "&Insert"'
    echo "type \"&Service:\" \"F$k\""
    echo "type \"&URL:\" \"uF$k.example\""
    echo "type \"&Name:\" \"nF$k\""
    echo "type \"&Password:\" \"pF$k\""
    echo "type \"&Confirm Password:\" \"pF$k\""
    echo 'click "&Notes"'
    echo "type \"&Notes:\" \"tF$k\""
    echo 'click "&More Notes"'
    echo "type \"&More Notes:\" \"mF$k\""
    echo 'press "&OK"'
    echo "expect-not \"Add Password Information\""
  done
  echo 'press "Cl&ose"'
}

options_save() {
  echo 'choose "&Edit" "O&ptions"'
  echo 'click "Hide Clipboard Contents"'
  echo "type \"Clear clipboard contents after how many seconds:\" \"$1\""
  echo 'click "&Ok"'
  echo 'expect-not "Vaultrix Options"'
}

{
  echo 'advance 4000'
  form_burst 1
  options_save 11
  form_burst $((form_entries + 1))
  options_save 12
  echo 'choose "&File" "&Import"'
  echo "file \"$import_file\""
  echo 'press "A&uto"'
  echo 'press "&OK"'
  # One slice of the import a timer tick (every 10 ms), with room to spare.
  for ((n = 0; n < lines / 25 + 60; n++)); do echo 'advance 10'; done
  echo 'expect-not "Importing Records"'
  form_burst $((2 * form_entries + 1))
  options_save 13
} > "$script"

{
  echo 'advance 4000'
  echo 'choose "&File" "&Passwords"'
  echo 'expect "Passwords - Default User"'
  echo 'press "Cl&ose"'
  echo 'choose "&File" "E&xit"'
} > "$reopen"

run_program() {  # DATA SETTINGS SCRIPT; the program takes the caller's process
  exec env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$2" \
    "$program" --headless --script "$3" --data-dir "$1"
}

# Every data file passes the check; every entry is whole; the imported
# entries are a prefix of the import. Prints "IMPORTED FORM".
check_data() {  # DATA [skip-words]
  local data=$1 skip=${2:-} file owner
  for file in "$data"/*.HVN "$data"/*.hvn; do
    [[ -e $file ]] || continue
    [[ $skip == skip-words && $(basename "$file") == vtrix_w.hvn ]] && continue
    case $(basename "$file") in
      Vtrix_P.HVN) owner=(--owner "$passwords_owner") ;;
      Vtrix_U.HVN) owner=(--owner "$users_owner") ;;
      vtrix_w.hvn) owner=(--owner "$words_owner") ;;
      *) owner=() ;;  # the tips
    esac
    "$hvn" check "$file" "${owner[@]}" > "$work/check.out" 2>&1 ||
      fail "vaultrix-hvn check $file: $(cat "$work/check.out")"
  done
  [[ -e $data/Vtrix_P.HVN ]] || { echo "0 0"; return; }
  "$hvn" dump "$data/Vtrix_P.HVN" --owner "$passwords_owner" --table UNNAMED --format csv \
    > "$work/entries.csv" 2> "$work/dump.err" || fail "dump: $(cat "$work/dump.err")"
  awk -F, -v failed="$work/whole.err" '
    NR == 1 { next }
    {
      # RECORD,USER,SERVICE,URL,NAME,PASSWORD,CONFIRMPASSWORD,NOTES,MORENOTES
      kind = substr($3, 1, 1); k = substr($3, 2)
      if (kind == "S") {
        ok = $4 == "u" k ".example" && $5 == "n" k && $6 == "p" k && $7 == "p" k &&
             $8 == "t" k && $9 == "m" k
        seen[k + 0] = 1; imported++
        if (k + 0 > highest) highest = k + 0
      } else if (kind == "F") {
        ok = $4 == "uF" k ".example" && $5 == "nF" k && $6 == "pF" k && $7 == "pF" k &&
             $8 == "tF" k && $9 == "mF" k
        if (form_seen[k]++) ok = 0
        form++
      } else {
        ok = 0
      }
      if ($2 != "Default User" || NF != 9) ok = 0
      if (!ok) { print "not whole: " $0 > failed; exit 1 }
    }
    END {
      for (n = 1; n <= highest; n++) {
        if (!seen[n]) { print "import line " n " missing below " highest > failed; exit 1 }
      }
      if (imported != highest) { print "imported entries repeated" > failed; exit 1 }
      print imported + 0, form + 0
    }' "$work/entries.csv" || fail "$(cat "$work/whole.err")"
}

# Sections, key=value lines, comments and blank lines only.
check_settings() {
  local file
  for file in "$1"/vaultrix/*.INI; do
    [[ -e $file ]] || continue
    if grep -Evq '^(\[[^]]*\]|[^=[;]+=.*|;.*|)$' "$file"; then
      fail "$file does not parse: $(grep -Ev '^(\[[^]]*\]|[^=[;]+=.*|;.*|)$' "$file" | head -3)"
    fi
  done
}

# The whole run: the script must pass and leave everything in place.
data=$work/data
settings=$work/settings
start=$(date +%s%N)
(run_program "$data" "$settings" "$script") > "$work/whole.out" 2>&1 ||
  fail "the uninterrupted run: $(tail -5 "$work/whole.out")"
span_ms=$((($(date +%s%N) - start) / 1000000))
read -r imported form < <(check_data "$data") || exit 1
[[ $imported == "$lines" && $form == $((3 * form_entries)) ]] ||
  fail "the uninterrupted run left $imported imported and $form typed entries"
check_settings "$settings"
grep -q '^VX_CI=13$' "$settings/vaultrix/WIN.INI" || fail "WIN.INI lacks the last options"
echo "uninterrupted run: ${span_ms} ms, $imported imported, $form typed"

for ((round = 1; round <= rounds; round++)); do
  data=$work/data$round
  settings=$work/settings$round
  # A moment within the span (1 ms resolution; RANDOM gives 15 bits).
  at_ms=$(((RANDOM * 32768 + RANDOM) % (span_ms + 1)))
  (run_program "$data" "$settings" "$script") > "$work/run$round.out" 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((at_ms / 1000)) $((at_ms % 1000)))"
  kill -KILL "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
  read -r imported form < <(check_data "$data") || exit 1
  check_settings "$settings"
  (run_program "$data" "$settings" "$reopen") > "$work/reopen$round.out" 2>&1 ||
    fail "round $round: the next start: $(tail -5 "$work/reopen$round.out")"
  check_data "$data" skip-words > /dev/null || exit 1  # the words file is only read
  echo "kill $round at ${at_ms} ms: $imported imported, $form typed; reopened"
  rm -rf "$data" "$settings"
done
echo "all $rounds kills survived"
