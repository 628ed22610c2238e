#!/usr/bin/env bash
# Renders the scalable icon into the icon theme's fixed sizes (resources/icons/<size>/),
# which are kept in the repository so that a build needs no image tools. Run it again
# after changing resources/pagekiln.svg.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "resources/icons/$size"
  convert -background none -density $((96 * size / 64 * 4)) resources/pagekiln.svg \
    -resize "${size}x${size}" -strip "PNG32:resources/icons/$size/pagekiln.png"
done
