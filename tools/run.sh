#!/bin/bash
# Installs what is missing, builds the program, assembles build/app and starts the companion.
# On a desktop ($DISPLAY set) it runs there; Ctrl-C (or its exit menu item) ends it normally.
# Without a display it runs on a virtual one (Xvfb), waits a few seconds, saves a screenshot,
# says where, and ends the program. With --windows it builds the Windows package instead,
# unpacks it into build-win/try and runs tavi.exe from there under Wine.
#
#   bash tools/run.sh [--windows] [--wait SECONDS] [--shot FILE] [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

wait_s=6
shot="$root/build/screenshot.png"
build=1
windows=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wait) wait_s="$2"; shift 2 ;;
    --shot) shot="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    --windows) windows=1; shift ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ "$windows" = 1 ]; then
  if [ "$build" = 1 ]; then
    source tools/packages.sh
    tavi_install_packages
    cmake -G Ninja -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
    cmake --build build-win -j"$(nproc)" --target appfolder
  fi
  zip="$(ls "$root"/build-win/tavi-*-windows-x64.zip 2>/dev/null | tail -n 1)"
  [ -n "$zip" ] || { echo "no package in build-win" >&2; exit 1; }
  # Unpacked over the last try, so its tavi.state (not in the package) carries on.
  mkdir -p "$root/build-win/try"
  (cd "$root/build-win/try" && cmake -E tar xf "$zip")
  app="$root/build-win/try/tavi"
  export WINEPREFIX="$root/build-win/wineprefix"
  program_cmd=("$root/tools/wine-run.sh" "$app/tavi.exe")
  where="build-win/try/tavi under Wine"
else
  if [ "$build" = 1 ]; then
    source tools/packages.sh
    tavi_install_packages
    cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc)" --target appfolder
  fi
  app="$root/build/app"
  [ -x "$app/tavi" ] || { echo "no program in $app" >&2; exit 1; }
  program_cmd=("$app/tavi")
  where="build/app"
fi

if [ -n "${DISPLAY:-}" ]; then
  echo "== the companion runs from $where; Ctrl-C (or its menu's exit item) ends it"
  cd "$app"
  exec "${program_cmd[@]}"
fi

echo "== no DISPLAY: starting on a virtual display"
# A free display number, chosen by the server itself.
fifo="$(mktemp -u)"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
if ! read -r -t 10 number <"$fifo"; then
  echo "Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null || true
  rm -f "$fifo"
  exit 1
fi
rm -f "$fifo"
export DISPLAY=":$number"

runtime="$(mktemp -d)"
XDG_RUNTIME_DIR="$runtime" "${program_cmd[@]}" &
program=$!
cleanup() {
  # A Windows program ends the normal way at the end of its session.
  if [ "$windows" = 1 ]; then "$root/tools/wine-run.sh" wineboot --end-session >/dev/null 2>&1 || true; fi
  if kill -TERM "$program" 2>/dev/null; then wait "$program" 2>/dev/null || true; fi
  if kill "$xvfb" 2>/dev/null; then wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$runtime"
}
trap cleanup EXIT

sleep "$wait_s"
if ! kill -0 "$program" 2>/dev/null; then
  code=0
  wait "$program" || code=$?
  echo "the program ended early with exit code $code" >&2
  exit 1
fi
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "== screenshot of the virtual display after ${wait_s} s: $shot"
