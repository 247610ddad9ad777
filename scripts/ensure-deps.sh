#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs from Debian's packages whatever the build, the tests and the demo
# need and the machine lacks. A second run installs nothing and is quick.
set -euo pipefail

packages=(
  cmake g++ ninja-build clang-format
  ccache                            # the second build of the core reuses the first's objects
  qt6-base-dev qt6-serialport-dev
  clang libclang-rt-14-dev          # the fuzz target
  xvfb xauth imagemagick xdotool    # a virtual display, screenshots, the demo's keys
  gammu                             # a phone client written elsewhere, against q7sim
  dpkg-dev file lintian             # the Debian package and its check
  qt6-translations-l10n             # Qt's own buttons and dialogs in the program's language
  libqt6sql6-sqlite                 # the sync state
  qtkeychain-qt6-dev                # server passwords in the desktop's keyring
  libsecret-1-0                     # ... which QtKeychain reaches through libsecret, loaded at run time
  gnome-keyring                     # a keyring the password test starts on a session bus of its own
  radicale xandikos                 # CardDAV servers the sync tests start on loopback
  khard                             # another program that reads the vCard folder a sync writes
  dbus at-spi2-core python3-pyatspi # the accessibility bus and a client of it, as a screen reader
  poppler-utils                     # the printed list's PDF read back as text and pictures
)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
