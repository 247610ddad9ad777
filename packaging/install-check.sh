#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian package on a fresh Debian 12 and uses it there, as a
# new user would:
#
#   sudo packaging/install-check.sh [build/q7manager_1.02_amd64.deb]
#
# 1. debootstrap makes a minimal bookworm root under /tmp (about 200 MB from
#    the Debian mirror; set Q7_BOOKWORM_TARBALL to a file name to keep it
#    there and reuse it on the next run, and Q7_DEBIAN_MIRROR for another
#    mirror);
# 2. `apt-get install ./q7manager_*.deb` inside it (chroot) must pull every
#    package the programs need: no library is left unresolved;
# 3. `q7ctl --help` and `man q7ctl` (and the other two manual pages) work;
# 4. the desktop entry's Exec line starts the window, on a virtual display of
#    this machine, with the root's own libraries: as on a first start (the
#    disclaimer), and against the package's own q7sim, where it finds the
#    handset and reads it (Alt+E); a screenshot of each;
# 5. `apt-get purge` takes it all away again.
#
# Q7_APT_OPTIONS adds options to that apt-get install, for instance
# --no-install-recommends to try the package on a system that leaves out
# what is only recommended.
#
# It needs root (chroot, mounts), the network and a few minutes, so it is not
# part of ./test.sh. What it did goes to build/install-check/ (apt's output,
# the manual pages as shown, the screenshots); the last line says whether
# every step passed.
set -euo pipefail
cd "$(dirname "$0")/.."

[ "$(id -u)" -eq 0 ] || { echo "install-check: run as root (chroot and mounts)" >&2; exit 2; }
deb=${1:-$(compgen -G 'build/q7manager_*.deb' | head -n1)}
[ -f "$deb" ] || {
  echo "install-check: no package; build one with: (cd build && cpack -G DEB)" >&2
  exit 2
}
deb=$(realpath "$deb")
mirror=${Q7_DEBIAN_MIRROR:-http://deb.debian.org/debian}
out=$PWD/build/install-check
rm -rf "$out"
mkdir -p "$out"

tools=()
for tool in debootstrap:debootstrap xvfb-run:xvfb xauth:xauth import:imagemagick xdotool:xdotool; do
  command -v "${tool%%:*}" >/dev/null || tools+=("${tool#*:}")
done
if [ ${#tools[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tools[@]}" >&2
fi

root=$(mktemp -d /tmp/q7-install-check.XXXXXX)
mounts=()
cleanup() {
  [ -n "${sim:-}" ] && kill "$sim" 2>/dev/null
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
bind() {
  mkdir -p "$root$1"
  mount --bind "$1" "$root$1"
  mounts+=("$root$1")
}
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

passed=0 failed=0
step() {
  local name=$1
  shift
  if "$@"; then
    echo "ok    $name" >&2
    passed=$((passed + 1))
  else
    echo "FAIL  $name" >&2
    failed=$((failed + 1))
  fi
}

echo "== a fresh bookworm in $root" >&2
tarball=${Q7_BOOKWORM_TARBALL:-}
if [ -n "$tarball" ] && [ -f "$tarball" ]; then
  tar -C "$root" -xzf "$tarball"
else
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$out/debootstrap.log" 2>&1 ||
    { tail -n 20 "$out/debootstrap.log" >&2; exit 1; }
  [ -z "$tarball" ] || tar -C "$root" -czf "$tarball" .
fi
# The sources of an installed system: the release, its updates and security.
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Nothing the packages bring may start a service on this machine.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
mkdir -p "$root/proc" && mount -t proc proc "$root/proc" && mounts+=("$root/proc")
bind /dev
bind /dev/pts
bind /sys
# The window inside reaches the virtual display of this machine.
[ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
bind /tmp/.X11-unix
cp "$deb" "$root/tmp/"
package=/tmp/$(basename "$deb")

echo "== apt-get install ./$(basename "$deb")" >&2
apt_install() {
  # shellcheck disable=SC2086 # the options are words of their own
  in_root apt-get update >"$out/apt-update.log" 2>&1 &&
    in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y ${Q7_APT_OPTIONS:-} "$package" >"$out/apt-install.log" 2>&1
}
step "apt-get install pulls what the package needs" apt_install
grep -E '^[0-9]+ upgraded, [0-9]+ newly installed' "$out/apt-install.log" >&2 || tail -n 20 "$out/apt-install.log" >&2

libraries_resolved() {
  local binary missing=0
  for binary in /usr/bin/q7manager /usr/bin/q7ctl /usr/bin/q7sim \
    /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so; do
    if in_root ldd "$binary" | grep 'not found' >&2; then
      echo "  in $binary" >&2
      missing=1
    fi
  done
  return $missing
}
step "every library of the programs is installed" libraries_resolved

help_works() {
  in_root q7ctl --help >"$out/q7ctl-help.txt" 2>&1 && grep -q 'convert IN OUT' "$out/q7ctl-help.txt"
}
step "q7ctl --help" help_works

# man-db is on every installed Debian but not in a minimal root.
manual_pages() {
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y man-db >"$out/apt-man-db.log" 2>&1 || return 1
  local page
  for page in q7ctl q7manager q7sim; do
    in_root env MANWIDTH=80 man "$page" >"$out/man-$page.txt" 2>&1 || return 1
    grep -q "^NAME" "$out/man-$page.txt" || return 1
  done
}
step "man q7ctl, man q7manager, man q7sim" manual_pages

# The desktop entry's command, without its field codes, started as a desktop
# would start it. First as on the user's very first start: no settings, no
# handset; the window and the disclaimer come up.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/q7manager.desktop" | sed 's/ *%[fFuUdDnNickvm]//g')
echo "== the desktop entry: Exec=$exec_line" >&2
# Runs the command given, on a virtual display, with the command that starts
# the window inside the root appended as its last arguments.
in_display() {
  # shellcheck disable=SC2016
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    root=$1 exec_line=$2
    shift 2
    cp "$XAUTHORITY" "$root/tmp/Xauthority"
    "$@" chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 \
      DISPLAY="$DISPLAY" XAUTHORITY=/tmp/Xauthority sh -c "exec $exec_line"
  ' _ "$root" "$exec_line" "$@"
}
first_start() {
  # shellcheck disable=SC2016
  in_display bash -c '
    out=$1
    shift
    "$@" & pid=$!
    timeout 20 xdotool search --sync --name "^Vexa Q7 Manager  " >/dev/null &&
      sleep 5 && import -window root "$out"
    status=$?
    kill $pid; wait $pid
    exit $status
  ' _ "$out/first-start.png" 2>"$out/first-start.log" && [ -s "$out/first-start.png" ]
}
step "the desktop entry starts the window on a first start" first_start

# Then by the package's q7sim as the handset on COM1, with the settings of a
# user who accepted the disclaimer before.
rm -rf "$root/root/.config/Norvik"
mkdir -p "$root/root/.config/Norvik"
printf '[General]\nStartZaehler=1\n\n[Ports]\nCOM1=/tmp/handset\n' >"$root/root/.config/Norvik/Q7 Manager.conf"
cp sim/demo/phonebook.csv "$root/tmp/phonebook.csv"
# Started without the function, so that $! is q7sim itself and not a subshell.
chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 \
  q7sim --phonebook /tmp/phonebook.csv --link /tmp/handset --log /tmp/q7sim.log \
  >"$out/q7sim.out" 2>&1 &
sim=$!
for _ in $(seq 50); do [ -e "$root/tmp/handset" ] && break; sleep 0.1; done

q7ctl_lists() {
  in_root q7ctl --device /tmp/handset list >"$out/q7ctl-list.txt" 2>&1 && [ -s "$out/q7ctl-list.txt" ]
}

window_starts() {
  in_display ./scripts/demo-screenshot.sh "$root/tmp/q7sim.log" "$out/window.png" 2>"$out/window.log" &&
    grep -q 'TLM-Q7' "$root/tmp/q7sim.log" && grep -q 'at-scer' "$root/tmp/q7sim.log" &&
    [ -s "$out/window.png" ]
}
step "q7ctl lists the package's q7sim" q7ctl_lists
step "the desktop entry starts the window, which finds and reads the handset" window_starts
cp "$root/tmp/q7sim.log" "$out/q7sim.log" 2>/dev/null || true
kill "$sim" 2>/dev/null || true
wait "$sim" 2>/dev/null || true
sim=

purged() {
  in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y q7manager >"$out/apt-purge.log" 2>&1 &&
    [ ! -e "$root/usr/bin/q7manager" ] && [ ! -e "$root/usr/share/applications/q7manager.desktop" ]
}
step "apt-get purge q7manager removes it" purged

echo "install-check: ${passed} passed, ${failed} failed (logs and window.png in $out)"
[ "$failed" -eq 0 ]
