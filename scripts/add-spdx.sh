#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence's SPDX line at the head of every source file the project
# writes itself: C++ sources and headers, CMake files and shell scripts. A
# file that already names its licence in its first lines is left alone, so
# running it again changes nothing.
#   scripts/add-spdx.sh          add the line where it is missing
#   scripts/add-spdx.sh --check  only list the files without it; exit 1 if any
set -eu
cd "$(dirname "$0")/.."

id='SPDX-License-Identifier: GPL-3.0-or-later'
check=false
[ "${1:-}" = "--check" ] && check=true

without=$(mktemp)
trap 'rm -f "$without"' EXIT
git ls-files -- '*.cpp' '*.h' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt' '*.sh' \
  .ci/run | sort -u |
  while IFS= read -r file; do
    [ -f "$file" ] || continue
    head -n 3 "$file" | grep -q 'SPDX-License-Identifier:' || echo "$file"
  done >"$without"

if $check; then
  cat "$without"
  [ ! -s "$without" ]
  exit
fi

while IFS= read -r file; do
  case "$file" in
  *.cpp | *.h) line="// $id" ;;
  *) line="# $id" ;;
  esac
  tmp=$(mktemp)
  # A script's first line must stay its interpreter line.
  if head -n 1 "$file" | grep -q '^#!'; then
    { head -n 1 "$file"; echo "$line"; tail -n +2 "$file"; } >"$tmp"
  else
    { echo "$line"; cat "$file"; } >"$tmp"
  fi
  # Written over, not moved, so that a script keeps its mode.
  cat "$tmp" >"$file"
  rm -f "$tmp"
done <"$without"
