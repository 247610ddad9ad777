#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manager as a screen reader drives it: on a virtual display with a D-Bus
# session and an accessibility bus of its own, the manager runs against
# q7sim with settings in a folder of this run, and bus_client.py works it
# through the accessibility bus only (names, actions, texts, events).
#
#   tests/accessibility/bus_test.sh MANAGER Q7SIM SOURCE_DIR
#
# Exits 77 (skipped) only when a tool it needs is not installed.
set -euo pipefail
manager=$1 q7sim=$2 source_dir=$3

skip() { echo "skipped: $*" >&2; exit 77; }
# Debian's own Python: the one that has python3-pyatspi, whatever else is
# first on the PATH.
python=/usr/bin/python3
command -v xvfb-run >/dev/null || skip "xvfb-run (xvfb) is not installed"
command -v xauth >/dev/null || skip "xauth is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session (dbus) is not installed"
launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && launcher=$candidate && break
done
[ -n "$launcher" ] || skip "at-spi-bus-launcher (at-spi2-core) is not installed"
[ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null ||
  skip "pyatspi (python3-pyatspi) is not installed"

run=$(mktemp -d)
sim=""
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -rf "$run"
}
trap cleanup EXIT

# The settings of this run, never the user's: past the disclaimer, COM1 on
# the simulated handset; the lock and the snapshots in the run's folder too.
mkdir -p "$run/config/Norvik" "$run/data" "$run/runtime"
chmod 700 "$run/runtime"
printf '[General]\nStartZaehler=1\n\n[Ports]\nCOM1=%s\n' "$run/handset" \
  >"$run/config/Norvik/Q7 Manager.conf"
# A language file beside the program would make it speak another language
# than the names the client looks for: the program then runs from a copy.
if [ -e "$(dirname "$manager")/q7manager.ini" ]; then
  cp "$manager" "$run/q7manager"
  manager=$run/q7manager
fi

"$q7sim" --phonebook "$source_dir/sim/demo/phonebook.csv" --link "$run/handset" \
  --log "$run/q7sim.log" >"$run/q7sim.out" &
sim=$!
for _ in $(seq 50); do [ -e "$run/handset" ] && break; sleep 0.1; done
[ -e "$run/handset" ] || { echo "q7sim did not start" >&2; exit 1; }

# A desktop session's own accessibility bus stays out of it.
unset AT_SPI_BUS_ADDRESS
export XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data XDG_RUNTIME_DIR=$run/runtime
export Q7_MANAGER=$manager Q7_BUS_LAUNCHER=$launcher Q7_PYTHON=$python
export Q7_CLIENT=$source_dir/tests/accessibility/bus_client.py
# xvfb-run -a picks a free display by looking, and another program starting
# its own at the same moment may take it first: a virtual display that did
# not start is tried again.
for attempt in 1 2 3; do
  status=0
  rm -f "$run/runtime/started"
  timeout 100 xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash -c '
    set -u
    touch "$XDG_RUNTIME_DIR/started"
    # The accessibility bus, started now rather than on the first question.
    "$Q7_BUS_LAUNCHER" --launch-immediately >/dev/null 2>&1 &
    bus=$!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
    "$Q7_MANAGER" >"$XDG_RUNTIME_DIR/manager.log" 2>&1 &
    manager=$!
    "$Q7_PYTHON" "$Q7_CLIENT"
    status=$?
    kill $manager 2>/dev/null
    wait $manager 2>/dev/null
    kill $bus 2>/dev/null
    wait $bus 2>/dev/null
    exit $status
  ' || status=$?
  [ -e "$run/runtime/started" ] && break
  echo "the virtual display did not start (attempt $attempt)" >&2
  sleep 1
done
if [ $status -ne 0 ]; then
  echo "--- the manager's output" >&2
  cat "$run/runtime/manager.log" >&2 || true
  echo "--- q7sim's log, last lines" >&2
  tail -n 20 "$run/q7sim.log" >&2 || true
fi
exit $status
