#!/bin/bash
# Builds and runs every test: the Linux build with its unit and GUI tests, the same again with
# AddressSanitizer + UndefinedBehaviorSanitizer, the threaded tests with ThreadSanitizer, the
# Windows cross build with its tests under Wine, and each libFuzzer target for a short run.
# Prints a summary and exits non-zero when anything failed. TAVI_FUZZ_SECONDS sets the fuzz
# time per target (30).
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
tavi_install_packages || exit 1

jobs="$(nproc)"
fuzz_seconds="${TAVI_FUZZ_SECONDS:-30}"
results=()
failed=0

# step <name> <command...>: runs one step, records PASS or FAIL with its time and the processor
# time its processes took (on a busy machine the first grows, the second hardly).
cpu_ticks() { awk '{print $16 + $17}' /proc/$$/stat; }
step() {
  local name="$1" start rc cpu
  shift
  echo
  echo "==== $name"
  start=$(date +%s)
  cpu=$(cpu_ticks)
  "$@"
  rc=$?
  local took=$(( $(date +%s) - start ))
  cpu=$(( ($(cpu_ticks) - cpu) / $(getconf CLK_TCK) ))
  if [ $rc -eq 0 ]; then
    results+=("PASS  ${took}s (cpu ${cpu}s)  $name")
  else
    results+=("FAIL  ${took}s (cpu ${cpu}s)  $name (exit $rc)")
    failed=1
  fi
  return $rc
}

linux_build() {
  cmake -G Ninja -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVI_TESTS=ON >/dev/null && cmake --build build -j"$jobs"
}
# GUI tests drive real windows with synthetic input on a busy machine; a test binary that
# fails is run once more so that one lost X event does not fail the whole run (both runs print).
linux_tests() { ctest --test-dir build --output-on-failure --repeat until-pass:2; }

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer (the program the
# whole-program tests start is built the same way). Leaks inside the system's libraries (GTK,
# fontconfig, ...) are theirs and suppressed; any in our code fails. The two fault tests that
# judge the program's memory and timing run in the plain build only: the sanitizers' allocator
# keeps freed memory in quarantine and slows everything down, so their figures mean nothing here.
asan_build() {
  cmake -G Ninja -B build-asan -DTAVI_ASAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build build-asan -j"$jobs"
}
asan_tests() {
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1" \
    LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    GTEST_FILTER="-FaultsTest.Hostile*:FaultsTest.LongRun*" \
    ctest --test-dir build-asan --output-on-failure --repeat until-pass:2
}

windows_build() {
  cmake -G Ninja -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DTAVI_TESTS=ON \
    >/dev/null &&
    cmake --build build-win -j"$jobs"
}
# The toolkit's tests under Wine drive real windows too: the same second chance.
windows_tests() { ctest --test-dir build-win --output-on-failure --repeat until-pass:2; }

step "Linux build" linux_build && step "Linux tests (unit + GUI under Xvfb)" linux_tests
step "Sanitizer build (ASan + UBSan)" asan_build && step "Sanitizer tests (ASan + UBSan)" asan_tests
step "ThreadSanitizer: threaded tests" bash tools/tsan.sh
step "Windows cross build" windows_build && windows_built=1 && step "Windows tests under Wine" windows_tests
# The Windows package's tavi.exe, driven under Wine by the Linux build's whole-program tests.
if [ -x build/tests/tavi_ui_tests ] && [ "${windows_built:-0}" = 1 ]; then
  step "Windows package end to end under Wine" bash tests/e2e/wine.sh build build-win
fi
step "Fuzz every target for ${fuzz_seconds}s" env FUZZ_JOBS="$jobs" bash fuzz/run.sh "$fuzz_seconds"

echo
echo "==================== summary ===================="
printf '%s\n' "${results[@]}"
if [ $failed -eq 0 ]; then
  echo "ALL PASSED"
else
  echo "SOMETHING FAILED"
fi
exit $failed
