#!/bin/bash
# The whole-program tests against the Windows package: the zip of the Windows build is unpacked
# and the Linux test binary drives tavi.exe from it under Wine, on a virtual display of its own.
#
#   bash tests/e2e/wine.sh [LINUX_BUILD [WINDOWS_BUILD [GTEST_FILTER]]]
#
# TAVI_E2E_SHOTS names a folder for screenshots, as for the Linux run; the desktop then gets
# the background of the character pictures in docs/, and the wake-up picture is also cut to
# the corner the character stands in (character-speaking-windows.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
build_win="$(cd "${2:-$root/build-win}" && pwd)"
# Beside a reparenting window manager, Wine draws neither the notes' cards nor reliably the
# character's menu after a click: those tests run without one (the work area announced below
# stands), the others with the tests' own.
filters=("${3:-CompanionTest.*:StartFailTest.*}" "${3:+-}PreferencesTest.*:SessionEndTest.*")

zip="$(ls "$build_win"/tavi-*-windows-x64.zip | tail -n 1)"
work="$(mktemp -d /tmp/tavi-wine-e2e-XXXXXX)"
export WINEPREFIX="$build_win/wineprefix-e2e"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
(cd "$work" && cmake -E tar xf "$zip")
[ -f "$work/tavi/tavi.exe" ] || { echo "no tavi/tavi.exe in $zip" >&2; exit 1; }

export TAVI_EXE="$work/tavi/tavi.exe" TAVI_APP_DIR="$work/tavi" TAVI_RUNNER="$root/tools/wine-run.sh"
for filter in "${filters[@]}"; do
  [ "${filter:0:1}" = "-" ] && continue  # a filter was given
  export TAVI_E2E_WM=openbox
  [ "$filter" = "${filters[1]}" ] && TAVI_E2E_WM=none
  # Wine's desktop takes the size of the display it starts on: none may be left from another.
  wineserver -k >/dev/null 2>&1 || true
  # Wine reads the work area once, when its desktop starts: the one the tests' desktop
  # announces (a 30-pixel panel at the bottom) is announced before that, on a display that
  # keeps it. The prefix is made (or brought up to date) before the first test starts its clock.
  xvfb-run -a -s "-screen 0 1280x800x24 -noreset" sh -c '
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA 0,0,1280,770
    if [ -n "${TAVI_E2E_SHOTS:-}" ]; then
      convert -size 1280x800 gradient:"#6d8fb3-#2f4a66" "$3/bg.png" && display -window root "$3/bg.png" &
    fi
    "$TAVI_RUNNER" cmd /c exit >/dev/null 2>&1
    exec "$1" --gtest_filter="$2"' run "$build/tests/tavi_ui_tests" "$filter" "$work"
done
if [ -n "${TAVI_E2E_SHOTS:-}" ] && [ -f "$TAVI_E2E_SHOTS/wakeup.png" ]; then
  convert "$TAVI_E2E_SHOTS/wakeup.png" -crop 600x360+680+410 +repage "$TAVI_E2E_SHOTS/character-speaking-windows.png"
fi
