#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The headless half of ./run.sh: on the virtual display that xvfb-run gives
# it, starts the manager, reads the simulated handset's phonebook the way a
# user does (Alt+E presses "Daten einlesen" in the window), opens one entry
# and saves a picture of the window.
#
#   scripts/demo-screenshot.sh SIM_LOG OUT.png MANAGER [ARGUMENT...]
#
# The keys and the click go to the window through the X server, so the demo
# runs the program's own code and nothing else; the program has no demo mode.
# q7sim's log says when the handset has answered the search and when the read
# is over, so the script waits for the line, not for a guessed number of
# seconds.
set -euo pipefail
sim_log=$1 out=$2
shift 2
title='^Vexa Q7 Manager'

"$@" &
pid=$!
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true' EXIT

say() { echo "demo: $*" >&2; }

# Waits up to $1 seconds for a line of q7sim's log that matches $2.
wait_for_log() {
  local deadline=$((SECONDS + $1))
  until grep -qE "$2" "$sim_log" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Waits up to $1 seconds until q7sim's log has not grown for a second.
wait_for_quiet_line() {
  local deadline=$((SECONDS + $1)) size last=-1 still=0
  while [ $still -lt 10 ]; do
    [ $SECONDS -lt $deadline ] || return 1
    size=$(stat -c %s "$sim_log")
    if [ "$size" = "$last" ]; then still=$((still + 1)); else still=0; fi
    last=$size
    sleep 0.1
  done
}

window=$(timeout 20 xdotool search --sync --name "$title" | head -n1) ||
  { say "the window did not appear"; exit 1; }

# The search ends with the handset's identity; the buttons are enabled then.
if wait_for_log 20 '> .*TLM-Q7' && wait_for_quiet_line 10; then
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers alt+e
  if wait_for_log 10 '< at\+cpbr' && wait_for_quiet_line 60; then
    # Any click in the phonebook tree gives it the keyboard; its first row is
    # the root. Typing a name's first letters selects that entry, and Right
    # opens it. The pointer then leaves, so no row is lit as under a mouse.
    xdotool mousemove --window "$window" 560 52 click 1
    sleep 0.3
    xdotool type --delay 50 "Dr"
    xdotool key Right
    xdotool mousemove 1000 760
  else
    say "the read did not start or end; the picture shows what the window shows"
  fi
else
  say "the handset did not answer the search; the picture shows what the window shows"
fi
sleep 1
import -window "$window" "$out"
