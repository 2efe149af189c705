#!/bin/sh
# Takes the toolkit's pictures docs/toolkit-plain.png (no compositor: layered windows cut to
# their visible pixels) and docs/toolkit-composited.png (alpha blended by xcompmgr); given the
# Windows build too, docs/toolkit-wine.png (the Win32 backend under Wine, which blends layered
# windows itself, over black where no compositor runs).
# Usage: tools/toolkit-screenshots.sh <build folder> [<Windows build folder>]
set -eu
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
demo="$build/tools/demo/tavi_toolkit_demo"
data="$root/tests/data/ui"
mkdir -p "$root/docs"
shoot() {  # $1: output, $2: 1 to run a compositor
  xvfb-run -a -s "-screen 0 800x600x24" sh -c '
    if [ "$2" = 1 ]; then xcompmgr >/dev/null 2>&1 & sleep 1; fi
    "$3" "$4" 4 &
    sleep 2
    import -window root -crop 440x180+70+92 +repage "$1"
    wait $!' shoot "$1" "$2" "$demo" "$data"
}
shoot "$root/docs/toolkit-plain.png" 0
shoot "$root/docs/toolkit-composited.png" 1
if [ $# -ge 2 ]; then
  # Wine needs a few seconds for its first window.
  WINEPREFIX="$(cd "$2" && pwd)/wineprefix-ui" xvfb-run -a -s "-screen 0 800x600x24" sh -c '
    "$1" "$2" "$3" 14 &
    sleep 11
    import -window root -crop 440x180+70+92 +repage "$4"
    wait $!' shoot "$root/tools/wine-run.sh" "$2/tools/demo/tavi_toolkit_demo.exe" "$data" "$root/docs/toolkit-wine.png"
fi
