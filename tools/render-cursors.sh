#!/bin/sh
# Draws the drag cursors: the open hand "grab.cur" and the closed hand "grabbing.cur", 32x32,
# from their SVG sources, with the hotspot in the middle of the hand.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out="$root/app/resource/icons"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

command -v rsvg-convert >/dev/null || { echo "rsvg-convert (librsvg2-bin) is needed" >&2; exit 1; }
mkdir -p "$out"
# name hotspot-x hotspot-y
for entry in "grab 16 18" "grabbing 16 19"; do
  set -- $entry
  rsvg-convert --format=png --width=32 --height=32 --output="$tmp/$1.png" "$here/cursors/$1.svg"
  python3 "$here/png2cur.py" "$tmp/$1.png" "$out/$1.cur" "$2" "$3"
done
echo "wrote $out/grab.cur and $out/grabbing.cur"
