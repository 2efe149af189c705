#!/bin/sh
# Builds the tests with ThreadSanitizer in build-tsan/ and runs those of the threaded parts: the
# brain and its engine, the HTTP download and the feed reader's cycle (against the local
# servers of tests/support/feedserver.py) from the portable tests, and the tools (registry,
# away-from-keyboard worker, clock, feed reader, their wake-ups), the quiet rule, worker error
# reports and the UI thread's task queue from the toolkit tests on a virtual display. Any data
# race fails.
# Usage: tools/tsan.sh [core filter [ui filter]]     e.g. tools/tsan.sh 'Brain*:Engine*' '-'
set -eu
cd "$(dirname "$0")/.."
filter="${1:-Brain*:Engine*:EngineLoading*:Download*:Feed*:Pages*}"
ui_filter="${2:-Registry*:Afk*:Clock*:Feed*:Loop*:ToolDue*:Quiet*:ErrorReport*:MessageBoxFromWorker*}"
build="${TAVI_TSAN_BUILD:-build-tsan}"

generator=""
command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
# shellcheck disable=SC2086
cmake -S . -B "$build" $generator -DTAVI_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets="tavi_core_tests"
[ "$ui_filter" != "-" ] && targets="$targets tavi_ui_tests"
# shellcheck disable=SC2086
cmake --build "$build" --target $targets -j2

# halt_on_error makes the first race end the run with a failure; second_deadlock_stack
# gives both stacks of a lock-order report; tools/tsan.supp names the system libraries' own races.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp ${TSAN_OPTIONS:-}" \
    TAVI_TEST_DATA="$PWD/tests/data" \
    python3 tests/support/feedserver.py --data tests/data -- \
    "$build/tests/tavi_core_tests" --gtest_filter="$filter"
[ "$ui_filter" = "-" ] && exit 0
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp ${TSAN_OPTIONS:-}" \
    TAVI_TEST_DATA="$PWD/tests/data" \
    python3 tests/support/feedserver.py --data tests/data -- \
    xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/tavi_ui_tests" --gtest_filter="$ui_filter"
