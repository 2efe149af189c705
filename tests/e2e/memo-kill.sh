#!/bin/sh
# Kills the companion at random moments right after a note was edited and moved, and checks
# after each restart that every note is back whole (tests/e2e/faults_test.cpp).
# Usage: memo-kill.sh <tavi_ui_tests> [--long]   (3 rounds; 20 with --long)
# Needs TAVI_APP_DIR and TAVI_EXE, as ctest sets them.
set -eu
rounds=3
[ "${2:-}" = "--long" ] && rounds=20
TAVI_KILL_ROUNDS=$rounds exec xvfb-run -a -s "-screen 0 1280x800x24" "$1" --gtest_filter='MemoKill*'
