#!/bin/sh
# Takes the memo pictures: docs/memo-card.png (a note's card), docs/memo-editor.png (its editor
# with Japanese text) and docs/memo-hover.png (a copy-on-click card under the pointer), from the
# built program run on a virtual display with notes of its own.
# Usage: tools/memo-screenshots.sh <build folder>
set -eu
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$build/app" "$work/app"
cp "$build/tavi" "$work/app/tavi"
rm -f "$work/app/tavi.state"
memo="$work/app/data/memo"
mkdir -p "$memo"
printf '買い物メモ\n・牛乳\n・たまご 6個\n・食パン' >"$memo/20250525143005.dat"
printf 'x=40\ny=40\n' >"$memo/20250525143005.dat.ini"
printf 'クリックでコピー\nhttps://example.com/tavi/notes' >"$memo/20250525143010.dat"
printf 'x=40\ny=200\nclickable=true\n' >"$memo/20250525143010.dat.ini"

cat >"$work/shoot.sh" <<'INNER'
set -eu
cd "$1/app"
# A lock folder of its own: another copy running elsewhere must not count as this one.
mkdir -p "$1/run"
XDG_RUNTIME_DIR="$1/run" ./tavi 2>/dev/null &
pid=$!
sleep 5
import -window root -crop 260x120+20+20 +repage "$2/docs/memo-card.png"
xdotool mousemove 120 230; sleep 0.3; xdotool mousemove 130 235; sleep 0.5
import -window root -crop 300x100+20+180 +repage "$2/docs/memo-hover.png"
xdotool mousemove 150 60 click --repeat 2 --delay 80 1; sleep 1
xdotool key ctrl+End Return; xdotool type --delay 120 'バター'; sleep 1
import -window root -crop 360x160+20+20 +repage "$2/docs/memo-editor.png"
kill -TERM $pid
wait $pid
INNER
xvfb-run -a -s "-screen 0 1024x700x24" sh "$work/shoot.sh" "$work" "$root"
