#!/bin/bash
# Runs the whole-program fault tests (tests/e2e/faults_test.cpp) on a virtual display beside the
# local test servers: kills during the save, a hostile feed server, a long run. The short forms
# also run with every other test; --long runs 50 kills and a 30-minute run, and draws the memory
# curve of that run into docs/memory-long-run.png. Figures and samples go to <build>/faults/.
#
#   bash tools/fault-tests.sh [--long]      TAVI_BUILD names the build folder (build)
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
b="${TAVI_BUILD:-build}"
[ "${1:-}" = "--long" ] && long=1

cmake -G Ninja -B "$b" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVI_TESTS=ON >/dev/null
cmake --build "$b" -j"$(nproc)" --target tavi_ui_tests tavi_preload appfolder >/dev/null
mkdir -p "$b/faults"
TAVI_FAULTS_LONG=$long TAVI_FAULTS_OUT="$PWD/$b/faults" TAVI_TEST_DATA="$PWD/tests/data" \
  TAVI_APP_DIR="$PWD/$b/app" TAVI_EXE="$PWD/$b/tavi" TAVI_PRELOAD="$PWD/$b/tests/libtavi_preload.so" \
  python3 tests/support/feedserver.py --data tests/data -- \
  xvfb-run -a -s "-screen 0 1280x800x24" "$b/tests/tavi_ui_tests" --gtest_filter='FaultsTest.*' |
  tee "$b/faults/output.txt"
if [ "$long" = 1 ]; then
  python3 tools/plot-memory.py "$b/faults/memory.csv" docs/memory-long-run.png \
    --title "Resident memory (anonymous pages) over a 30-minute run, clocks 20 times as fast"
  echo "== memory curve: docs/memory-long-run.png"
fi
