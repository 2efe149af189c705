#!/bin/bash
# Mutation check: breaks the code in one place at a time, rebuilds one target and runs a test
# command; a mutation is caught when the command fails (or the code no longer builds).
#
#   tools/mutate.sh BUILD LIST...
#
# Each line of a LIST (tab-separated; "#" starts a comment line):
#   source file <TAB> perl -0 substitution <TAB> build target <TAB> test command <TAB> what it breaks
# The test command runs from the top folder through sh, with TAVI_TEST_DATA, TAVI_APP_DIR,
# TAVI_EXE and TAVI_PRELOAD set as ctest sets them, and $B naming the build folder; a GUI test
# runs under `xvfb-run -a -s "-screen 0 1280x800x24"`. Prints one table row per mutation.
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: tools/mutate.sh BUILD LIST...}"
shift
export B="$build" TAVI_TEST_DATA="$PWD/tests/data" TAVI_APP_DIR="$PWD/$build/app"
export TAVI_EXE="$PWD/$build/tavi" TAVI_PRELOAD="$PWD/$build/tests/libtavi_preload.so"

log="$(mktemp /tmp/mutate-XXXXXX.log)"
saved=""
restore() {
  if [ -n "$saved" ]; then
    mv -f "$saved.mutate-orig" "$saved"
    touch "$saved"  # newer than the mutated build, so the next build compiles it again
    saved=""
  fi
}
trap 'restore; exit 130' INT TERM
trap 'restore; rm -f "$log"' EXIT

missed=0
printf '| what | file | result |\n|---|---|---|\n'
for list in "$@"; do
  while IFS=$'\t' read -r file expr target command what; do
    [[ -z "$file" || "$file" == \#* ]] && continue
    cp -p "$file" "$file.mutate-orig"
    saved="$file"
    perl -0pi -e "$expr" "$file"
    if cmp -s "$file" "$file.mutate-orig"; then
      result="NOT APPLIED"
      missed=1
    elif ! cmake --build "$build" --target "$target" >/dev/null 2>&1; then
      result="caught (does not build)"
    elif timeout 900 sh -c "$command" >"$log" 2>&1; then
      result="MISSED"
      missed=1
    else
      result="caught ($(grep -m1 -oE '\[  FAILED  \] [A-Za-z0-9_./]+' "$log" | cut -c14- || true))"
    fi
    restore
    printf '| %s | %s | %s |\n' "$what" "$file" "$result"
  done <"$list"
done
# Leave the build as the code is.
for list in "$@"; do cut -f3 "$list" | grep -v '^#' | sort -u; done | sort -u |
  while read -r target; do [ -n "$target" ] && cmake --build "$build" --target "$target" >/dev/null 2>&1; done
exit $missed
