#!/bin/bash
# Installs what is missing for building and running (nothing for tests), builds the program,
# assembles build/app and starts the companion. On a desktop ($DISPLAY set) it runs there;
# Ctrl-C (or its exit menu item) ends it normally. Without a display it runs on a virtual one
# (Xvfb), waits a few seconds, saves a screenshot, says where, and ends the program.
#
#   bash tools/run.sh [--wait SECONDS] [--shot FILE] [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

wait_s=6
shot="$root/build/screenshot.png"
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --wait) wait_s="$2"; shift 2 ;;
    --shot) shot="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ "$build" = 1 ]; then
  # Only what building and running need: no test, cross-build or fuzzing packages.
  source tools/packages.sh
  tavi_install_packages run
  cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVI_TESTS=OFF
  cmake --build build -j"$(nproc)" --target appfolder
fi
app="$root/build/app"
[ -x "$app/tavi" ] || { echo "no program in $app" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
  echo "== the companion runs from build/app; Ctrl-C (or its menu's exit item) ends it"
  cd "$app"
  exec ./tavi
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
XDG_RUNTIME_DIR="$runtime" "$app/tavi" &
program=$!
cleanup() {
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
