#!/bin/bash
# Runs the whole-program fault tests (tests/e2e/faults_test.cpp) on a virtual display beside the
# local test servers: kills during the save and a hostile feed server. The short forms also run
# with every other test; --long runs 50 kills. The output goes to build/faults/.
#
#   bash tools/fault-tests.sh [--long]
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
[ "${1:-}" = "--long" ] && long=1

cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVI_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target tavi_ui_tests tavi_preload appfolder >/dev/null
mkdir -p build/faults
TAVI_FAULTS_LONG=$long TAVI_TEST_DATA="$PWD/tests/data" \
  TAVI_APP_DIR="$PWD/build/app" TAVI_EXE="$PWD/build/tavi" TAVI_PRELOAD="$PWD/build/tests/libtavi_preload.so" \
  python3 tests/support/feedserver.py --data tests/data -- \
  xvfb-run -a -s "-screen 0 1280x800x24" build/tests/tavi_ui_tests --gtest_filter='FaultsTest.*' |
  tee build/faults/output.txt
