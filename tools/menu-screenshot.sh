#!/bin/sh
# Takes the pictures of the user guide: the character's menu (docs/user-guide-menu.png), the
# built program on a virtual display with a background, right-clicked, with the submenu
# "その他の機能(&T)" open; and the error box of a failed start (docs/user-guide-error.png), a
# character named in units/bootstrap.json without its folder, under a window manager that
# draws the box's caption.
# Usage: tools/menu-screenshot.sh <build folder>
set -eu
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build/app" "$work/app"
rm -f "$work/app/tavi.state" "$work/app/tavi.config"
mkdir -p "$work/run"
xvfb-run -a -s "-screen 0 1024x700x24" sh -c '
  convert -size 1024x700 gradient:"#6d8fb3-#2f4a66" "$1/bg.png"
  display -window root "$1/bg.png" &
  sleep 1
  XDG_RUNTIME_DIR="$1/run" "$1/app/tavi" &
  program=$!
  sleep 8
  # The middle of the character: of the program'"'"'s windows the one that stands lowest (the
  # balloon stands beside it, higher up).
  best=-1
  for w in $(xdotool search --onlyvisible --pid $program "" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell $w)"
    if [ "$WIDTH" -gt 1 ] && [ "$WIDTH" -lt 1024 ] && [ "$Y" -gt "$best" ]; then
      best=$Y; cx=$((X + WIDTH / 2)); cy=$((Y + HEIGHT / 2))
    fi
  done
  xdotool mousemove $cx $cy click 3
  sleep 1
  xdotool key t
  sleep 1
  import -window root -crop 760x420+264+280 +repage "$2"
  kill $program' shoot "$work" "$root/docs/user-guide-menu.png"

rm -f "$work/app/tavi.state" "$work/app/error.log"
echo '{ "units": ["mebu", "missing"] }' >"$work/app/units/bootstrap.json"
xvfb-run -a -s "-screen 0 1024x700x24" sh -c '
  display -window root "$1/bg.png" &
  openbox --sm-disable >/dev/null 2>&1 &
  sleep 2
  XDG_RUNTIME_DIR="$1/run" "$1/app/tavi" &
  program=$!
  sleep 6
  import -window root -crop 330x160+347+282 +repage "$2"
  xdotool key Return
  wait $program || true' shoot "$work" "$root/docs/user-guide-error.png"
