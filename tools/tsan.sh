#!/bin/sh
# Builds the portable library and its tests with ThreadSanitizer in build-tsan/ and runs the
# tests of the threaded parts (by default the brain, its engine, the HTTP download and the feed
# reader's cycle, the last two against the local servers of tests/support/feedserver.py). Any
# data race fails.
# Usage: tools/tsan.sh [gtest filter]     e.g. tools/tsan.sh 'Brain*:Engine*'
set -eu
cd "$(dirname "$0")/.."
filter="${1:-Brain*:Engine*:EngineLoading*:Download*:Feed*}"
build="${TAVI_TSAN_BUILD:-build-tsan}"

generator=""
command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
# shellcheck disable=SC2086
cmake -S . -B "$build" $generator -DTAVI_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tavi_core_tests -j2

# halt_on_error makes the first race end the run with a failure; second_deadlock_stack
# gives both stacks of a lock-order report.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    TAVI_TEST_DATA="$PWD/tests/data" \
    python3 tests/support/feedserver.py --data tests/data -- \
    "$build/tests/tavi_core_tests" --gtest_filter="$filter"
