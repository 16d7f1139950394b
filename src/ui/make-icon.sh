#!/usr/bin/env bash
# Draws the program icon (a database cylinder on a blue tile) and writes it as
# one .ico with 48, 32 and 16 pixel images. Run again only to change the icon;
# the result is kept in the tree so a build needs no image tools.
set -euo pipefail
out=${1:-$(dirname "$0")/Dunmoor.ico}
convert -size 48x48 xc:none \
  -fill '#1f5f8b' -draw 'roundrectangle 1,1,46,46,9,9' \
  -fill '#e8eef2' -draw 'rectangle 12,14 36,34' \
  -fill '#e8eef2' -draw 'ellipse 24,34 12,5 0,180' \
  -fill '#ffffff' -stroke '#9fb4c2' -strokewidth 1 -draw 'ellipse 24,14 12,5 0,360' \
  -stroke '#9fb4c2' -fill none -draw 'arc 12,19 36,29 0,180' -draw 'arc 12,25 36,35 0,180' \
  -define icon:auto-resize=48,32,16 "$out"
