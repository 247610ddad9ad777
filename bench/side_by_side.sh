#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manager (q7ctl) and a general phone client (Gammu) on the same work:
# the simulated handset paced at a real line rate with 700 records, every
# value at its full 30 characters, read whole by each in turn, then written
# by each with a phonebook that differs from what the handset holds in every
# entry, so that every restore writes all 700. Prints wall time, the bytes on
# the line in both directions, the values per entry each one carries and the
# values per second that makes. Takes minutes; not part of ./test.sh.
#
#   bench/side_by_side.sh [BUILD_DIR] [BAUD]
#
# Q7_BENCH_KEEP=1 keeps the work folder (phonebook, backups, q7sim's log).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
baud=${2:-115200}
q7sim=$build/sim/q7sim
q7ctl=$build/src/q7ctl
for tool in "$q7sim" "$q7ctl"; do
  [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
command -v gammu >/dev/null || { echo "gammu is missing: scripts/ensure-deps.sh" >&2; exit 1; }

work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  if [ -n "${Q7_BENCH_KEEP:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config HOME=$work LC_ALL=C.UTF-8

# The benchmark's phonebook: value k of location n is "n " padded with one
# letter to 30 characters, the three numbers 30 digits each. The second
# edition differs in every value: lower-case letters, other digits.
book() {
  awk -v edition="$1" 'BEGIN {
    letters = edition ? "abcdefghijklmnopqrs" : "ABCDEFGHIJKLMNOPQRS"
    digits = edition ? "123" : "789"
    for (n = 1; n <= 700; n++) {
      line = n
      for (k = 2; k <= 18; k++) {
        v = n " "
        c = substr(letters, k + 1, 1)
        if (k == 6) c = substr(digits, 1, 1); else if (k == 9) c = substr(digits, 2, 1)
        else if (k == 12) c = substr(digits, 3, 1)
        if (k == 6 || k == 9 || k == 12) v = ""
        while (length(v) < 30) v = v c
        line = line ",\"" v "\""
      }
      printf "%s\r\n", line
    }
  }'
}
book 0 >"$work/book.csv"
book 1 >"$work/other.csv"

"$q7sim" --phonebook "$work/book.csv" --baud "$baud" --link "$work/phone" \
  --log "$work/sim.log" >"$work/device" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$work/phone" ] && break; sleep 0.1; done
printf '[gammu]\ndevice = %s\nconnection = at\n' "$work/phone" >"$work/gammurc"

# run COMMAND...: times one client run; q7sim logs the line counts of the
# session when the client hangs up.
run() {
  local marker start end
  marker=$(grep -c 'hung up' "$work/sim.log" || true)
  status=0
  start=$(date +%s.%N)
  "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  end=$(date +%s.%N)
  wall=$(echo "$end - $start" | bc)
  for _ in $(seq 100); do
    [ "$(grep -c 'hung up' "$work/sim.log" || true)" -gt "$marker" ] && break
    sleep 0.05
  done
  read -r bytes_in bytes_out < <(grep 'hung up' "$work/sim.log" | tail -n 1 |
    sed -n 's/.* \([0-9]*\) bytes in, \([0-9]*\) bytes out.*/\1 \2/p')
  [ "$status" -eq 0 ] || { echo "exit $status:" >&2; tail -n 3 "$work/err" >&2; }
}

rows=()
# row LABEL VALUES: the last run as a line of the table; values per second
# count what the run carried for all 700 entries.
row() {
  local per_second
  per_second=$(echo "700 * $2 / $wall" | bc)
  rows+=("$(printf '%-28s %8.1f s %10s %10s %7s %9s  %s' "$1" "$wall" "${bytes_in:-?}" \
    "${bytes_out:-?}" "$2" "$per_second" "$([ "$status" -eq 0 ] || echo "exit $status")")")
  echo "${rows[-1]}" >&2
}

# Values per entry as each client holds them afterwards.
csv_values() { awk -F, '{ n += NF } END { printf "%.1f", n / NR }' "$1"; }
vcf_values() {
  awk '/^BEGIN:VCARD/ { cards++ } /^(TEL|N)[;:]/ { v++ } END { printf "%.1f", v / cards }' "$1"
}

echo "q7sim at $baud baud, 700 records, every value at 30 characters" >&2
run "$q7ctl" --device "$work/phone" backup "$work/q7.csv"
row "q7ctl backup" "$(csv_values "$work/q7.csv")"
run gammu -c "$work/gammurc" backup "$work/gammu.vcf" -yes
row "gammu backup" "$(vcf_values "$work/gammu.vcf")"
run gammu -c "$work/gammurc" getallmemory ME
row "gammu getallmemory ME" 2
run gammu -c "$work/gammurc" getallmemory SM
row "gammu getallmemory SM" 2
# Each restore puts a phonebook over the handset that differs from what it
# holds in every entry: the other edition, then the first one back, once
# with the check after writing and once without. Gammu's restore gets the
# vCard file of its backup with every name and number changed as well.
run "$q7ctl" --device "$work/phone" restore "$work/other.csv"
row "q7ctl restore" 18
run "$q7ctl" --device "$work/phone" restore --no-verify "$work/q7.csv"
row "q7ctl restore --no-verify" 18
awk '/^(N|FN)[;:]/ { $0 = tolower($0); sub(/^n/, "N"); sub(/^fn/, "FN") }
  /^TEL[;:]/ { gsub(/7/, "1"); gsub(/8/, "2"); gsub(/9/, "3") } { print }' \
  "$work/gammu.vcf" >"$work/gammu-other.vcf"
run gammu -c "$work/gammurc" restore "$work/gammu-other.vcf" -yes
row "gammu restore" 2

echo
echo "q7sim at $baud baud, 700 records (500 ME + 200 SM), every value at 30 characters"
printf '%-28s %10s %10s %10s %7s %9s\n' "run" "wall" "bytes in" "bytes out" "values" "values/s"
printf '%s\n' "${rows[@]}"
echo "bytes in: to the handset; bytes out: from it, echo included; values: per entry;"
echo "values/s: the values of all 700 entries over the wall time"
