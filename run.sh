#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the manager against the simulated handset. The simulator starts with
# the sample phonebook in sim/demo/, COM1 is mapped to it, and the manager's
# settings live in demo/, never in the user's own folder. Without a display
# the manager runs under a virtual one, reads the simulated phonebook, opens
# an entry and leaves a screenshot in demo/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/ensure-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target q7manager q7sim q7ctl

demo=$PWD/demo
mkdir -p "$demo/config/Norvik"
export XDG_CONFIG_HOME=$demo/config
settings="$demo/config/Norvik/Q7 Manager.conf"
# The disclaimer comes on the first of every four starts and would hold the
# search back; the demo starts as if it had been accepted before.
if [ ! -f "$settings" ]; then
  printf '[General]\nStartZaehler=1\n' > "$settings"
fi
# COM1 is the simulated handset, whatever serial ports this machine has.
sed -i '/^\[Ports\]/,/^\[/{/^COM1=/d}' "$settings"
grep -q '^\[Ports\]' "$settings" || printf '\n[Ports]\n' >> "$settings"
sed -i "/^\[Ports\]/a COM1=$demo/handset" "$settings"
sed -i 's/^StartZaehler=.*/StartZaehler=1/' "$settings"

rm -f "$demo/q7sim.log"
./build/sim/q7sim --phonebook sim/demo/phonebook.csv --link "$demo/handset" \
  --log "$demo/q7sim.log" > "$demo/q7sim.out" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$demo/handset" ] && break; sleep 0.1; done
echo "Simulated handset on $(head -n1 "$demo/q7sim.out"), mapped to COM1" >&2

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  ./build/src/q7manager
else
  echo "No display: running under a virtual one, screenshot in demo/screenshot.png" >&2
  xvfb-run -a -s "-screen 0 1024x768x24" \
    ./scripts/demo-screenshot.sh "$demo/q7sim.log" "$demo/screenshot.png" ./build/src/q7manager
fi
