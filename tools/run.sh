#!/usr/bin/env bash
# Starts the companion from the built application folder. On a desktop ($DISPLAY set) it runs
# there until it is ended from its menu; without a display it runs on a virtual one (Xvfb),
# waits, saves a screenshot and says where, then ends the program.
#
#   tools/run.sh [--app DIR] [--wait SECONDS] [--shot FILE]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
app="$here/build/app"
wait_s=6
shot="$here/build/screenshot.png"
while [ $# -gt 0 ]; do
  case "$1" in
    --app) app="$2"; shift 2 ;;
    --wait) wait_s="$2"; shift 2 ;;
    --shot) shot="$2"; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ ! -x "$app/tavi" ]; then
  echo "no program in $app: build it first (cmake --build build --target appfolder)" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$app/tavi"
fi

for tool in Xvfb import; do
  command -v "$tool" >/dev/null || { echo "$tool is needed without a display" >&2; exit 1; }
done

# A free display number, chosen by the server itself.
fifo="$(mktemp -u)"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 10 number <"$fifo" || { echo "Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; rm -f "$fifo"; exit 1; }
rm -f "$fifo"
export DISPLAY=":$number"

runtime="$(mktemp -d)"
XDG_RUNTIME_DIR="$runtime" "$app/tavi" &
program=$!
cleanup() {
  kill -TERM "$program" 2>/dev/null && wait "$program" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

sleep "$wait_s"
if ! kill -0 "$program" 2>/dev/null; then
  wait "$program" && code=0 || code=$?
  echo "the program ended early with exit code $code" >&2
  exit 1
fi
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "screenshot of the virtual display: $shot"
