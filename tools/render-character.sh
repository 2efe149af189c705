#!/bin/sh
# Renders the default character: composes the frame SVGs from the shared parts, writes the skin
# file "setup.json" and turns every frame into a 200x300 PNG with alpha in the unit's body folder.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
unit=${1:-mebu}
svgdir="$here/character/frames"
bodydir="$root/app/units/$unit/body"

command -v rsvg-convert >/dev/null || { echo "rsvg-convert (librsvg2-bin) is needed" >&2; exit 1; }
mkdir -p "$svgdir" "$bodydir"
rm -f "$svgdir"/*.svg "$bodydir"/*.png
frames=$(python3 "$here/character/compose.py" "$svgdir" "$bodydir/setup.json")
for name in $frames; do
  rsvg-convert --format=png --width=200 --height=300 \
    --output="$bodydir/$name.png" "$svgdir/$name.svg"
done
echo "rendered $(echo "$frames" | wc -l) frames into $bodydir"
