#!/bin/bash
# The whole-program tests against the Windows package: the zip of the Windows build is unpacked
# and the Linux test binary drives tavi.exe from it under Wine, on a virtual display of its own.
#
#   bash tests/e2e/wine.sh [LINUX_BUILD [WINDOWS_BUILD [GTEST_FILTER]]]
#
# TAVI_E2E_SHOTS names a folder for screenshots, as for the Linux run.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
build_win="$(cd "${2:-$root/build-win}" && pwd)"
filter="${3:-CompanionTest.*:PreferencesTest.Muting*:StartFailTest.Second*}"

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
# The prefix is made (or brought up to date) before the first test starts its clock.
"$TAVI_RUNNER" cmd /c exit >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/tavi_ui_tests" --gtest_filter="$filter"
