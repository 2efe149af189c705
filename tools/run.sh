#!/bin/bash
# Installs what is missing, builds the program, assembles build/app and starts the companion
# (on the current display, or on a virtual one when there is none). Ctrl-C ends it normally.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
tavi_install_packages

jobs="$(nproc)"
cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs" --target appfolder

echo "== the companion runs from build/app; Ctrl-C (or closing it) ends it"
cd build/app
if [ -n "${DISPLAY:-}" ]; then
  exec ./tavi
fi
echo "== no DISPLAY: starting on a virtual display (xvfb-run)"
exec xvfb-run -a -s "-screen 0 1280x800x24" ./tavi
