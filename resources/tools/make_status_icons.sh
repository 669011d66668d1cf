#!/usr/bin/env bash
# Draws the server list's status icons (the information flags of an item: link, search,
# protected, limited, versioning, hidden, password, DRM, incomplete upload) with ImageMagick,
# 16 x 16 with alpha, into resources/interface/icons/.
#
#     resources/tools/make_status_icons.sh
set -euo pipefail
cd "$(dirname "$0")/../interface/icons"
C=/usr/bin/convert
icon() { local name=$1; shift; "$C" -size 16x16 xc:none "$@" "status_$name.ico"; }
icon link -fill none -stroke '#2a6fb0' -strokewidth 2 -draw "roundrectangle 1,5 8,11 3,3" \
  -draw "roundrectangle 7,5 14,11 3,3"
icon search -fill none -stroke '#3b5f8a' -strokewidth 2 -draw "circle 6,6 6,2" -draw "line 9,9 14,14"
icon protected -fill '#3d8f4a' -stroke '#24602e' -strokewidth 1 -draw "polygon 8,1 14,3 13,10 8,15 3,10 2,3"
icon limited -fill none -stroke '#8a6d1f' -strokewidth 2 -draw "roundrectangle 4,1 11,9 3,3" \
  -fill '#d9a520' -stroke '#8a6d1f' -strokewidth 1 -draw "rectangle 2,7 13,14"
icon versioning -fill '#ffffff' -stroke '#6a5acd' -strokewidth 1 -draw "rectangle 5,1 14,10" \
  -draw "rectangle 3,3 12,12" -draw "rectangle 1,5 10,14"
icon hidden -fill none -stroke '#707070' -strokewidth 1.5 -draw "ellipse 8,8 7,4 0,360" -fill '#707070' \
  -draw "circle 8,8 8,6" -stroke '#c03030' -strokewidth 2 -draw "line 2,14 14,2"
icon password -fill none -stroke '#b8860b' -strokewidth 2 -draw "circle 5,6 5,2" -draw "line 8,8 14,14" \
  -draw "line 11,11 13,9"
icon drm -fill '#b03060' -stroke '#701030' -strokewidth 1 -draw "roundrectangle 1,1 14,14 3,3" -fill white \
  -stroke white -strokewidth 1.5 -draw "line 5,4 5,11" -draw "bezier 5,4 12,4 12,11 5,11"
icon incomplete -fill '#e0e0e0' -stroke '#808080' -strokewidth 1 -draw "rectangle 1,5 14,10" -fill '#e07b00' \
  -stroke none -draw "rectangle 2,6 7,9"
