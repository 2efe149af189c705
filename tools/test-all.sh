#!/bin/bash
# Builds and runs every test: the Linux build with its unit and GUI tests, the Windows cross
# build with its tests under Wine, and each libFuzzer target for a short run. Prints a
# summary and exits non-zero when anything failed. TAVI_FUZZ_SECONDS sets the fuzz time (30).
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
tavi_install_packages || exit 1

jobs="$(nproc)"
fuzz_seconds="${TAVI_FUZZ_SECONDS:-30}"
results=()
failed=0

# step <name> <command...>: runs one step, records PASS or FAIL with its time.
step() {
  local name="$1" start rc
  shift
  echo
  echo "==== $name"
  start=$(date +%s)
  "$@"
  rc=$?
  local took=$(( $(date +%s) - start ))
  if [ $rc -eq 0 ]; then
    results+=("PASS  ${took}s  $name")
  else
    results+=("FAIL  ${took}s  $name (exit $rc)")
    failed=1
  fi
  return $rc
}

linux_build() {
  cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build build -j"$jobs"
}
# GUI tests drive real windows with synthetic input on a busy machine; a test binary that
# fails is run once more so that one lost X event does not fail the whole run (both runs print).
linux_tests() { ctest --test-dir build --output-on-failure --repeat until-pass:2; }

windows_build() {
  cmake -G Ninja -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build-win -j"$jobs"
}
# The toolkit's tests under Wine drive real windows too: the same second chance.
windows_tests() { ctest --test-dir build-win --output-on-failure --repeat until-pass:2; }

fuzz_build() {
  CC=clang CXX=clang++ cmake -G Ninja -B build-fuzz -DTAVI_FUZZ=ON -DTAVI_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build build-fuzz -j"$jobs" --target fuzzers
}

fuzz_one() {
  local target="$1" name
  name="$(basename "$target")"
  mkdir -p "build-fuzz/corpus/$name"
  # Seed inputs kept in the project: fuzz/corpus/<name> or fuzz/corpus/<name without _fuzz>.
  local seeds=() dir
  for dir in "fuzz/corpus/$name" "fuzz/corpus/${name%_fuzz}"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  "$target" -max_total_time="$fuzz_seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=0 \
    "build-fuzz/corpus/$name" "${seeds[@]}" >"build-fuzz/$name.log" 2>&1
  local rc=$?
  tail -n 3 "build-fuzz/$name.log"
  if [ $rc -ne 0 ]; then
    echo "---- $name failed; its log:"
    grep -E -A30 "ERROR|SUMMARY|deadly|crash-" "build-fuzz/$name.log" | head -60
  fi
  return $rc
}

step "Linux build" linux_build && step "Linux tests (unit + GUI under Xvfb)" linux_tests
step "Windows cross build" windows_build && windows_built=1 && step "Windows tests under Wine" windows_tests
# The Windows package's tavi.exe, driven under Wine by the Linux build's whole-program tests.
if [ -x build/tests/tavi_ui_tests ] && [ "${windows_built:-0}" = 1 ]; then
  step "Windows package end to end under Wine" bash tests/e2e/wine.sh build build-win
fi
if step "Fuzz build (clang, ASan + UBSan)" fuzz_build; then
  for target in build-fuzz/fuzz/*_fuzz; do
    [ -x "$target" ] || continue
    step "Fuzz $(basename "$target") for ${fuzz_seconds}s" fuzz_one "$target"
  done
fi

echo
echo "==================== summary ===================="
printf '%s\n' "${results[@]}"
if [ $failed -eq 0 ]; then
  echo "ALL PASSED"
else
  echo "SOMETHING FAILED"
fi
exit $failed
