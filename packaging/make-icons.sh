#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the icon's PNG sizes from icons/q7manager.svg. The PNGs are kept in
# the repository, so the build does not need the renderer; run this after
# changing the drawing (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" q7manager.svg -o "q7manager-$size.png"
done
