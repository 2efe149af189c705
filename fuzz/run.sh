#!/bin/bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for SECONDS on its committed
# seed corpus (fuzz/corpus/<name>/) plus the inputs found in earlier runs (build-fuzz/corpus/),
# then prints one line per target: executions, coverage, findings. A finding (crash,
# leak, time-out) is kept under build-fuzz/findings/ and makes the script exit non-zero.
#
#   fuzz/run.sh SECONDS [NAME...]     names without "_fuzz"; all targets by default
#   FUZZ_JOBS=2 runs two targets at a time (each under nice); FUZZ_BUILD names the build folder.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: fuzz/run.sh SECONDS [NAME...]}"
shift
build="${FUZZ_BUILD:-build-fuzz}"
jobs="${FUZZ_JOBS:-1}"

CC=clang CXX=clang++ cmake -G Ninja -B "$build" -DTAVI_FUZZ=ON -DTAVI_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build "$build" -j"$(nproc)" --target fuzzers >/dev/null || exit 1

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for t in "$build"/fuzz/*_fuzz; do [ -x "$t" ] && names+=("$(basename "${t%_fuzz}")"); done
fi

# The longest input a target makes while fuzzing. The committed seeds (up to 1 MB) all run once
# as they are first; mutating megabyte inputs would leave few runs for everything else. The
# markup reader's hostile shapes (deep nesting, runs of '<', long names) need more room.
max_len() { case "$1" in xml) echo 262144 ;; *) echo 65536 ;; esac; }

# run_one NAME: every seed once, then the target for the given time; the log goes to
# $build/logs/NAME.log. A whole megabyte seed under the sanitizers takes seconds (a 1 MB
# settings file some 16 s on a busy machine), hence the longer time-out of the seed pass; a
# failing seed is reported and the fuzzing still runs.
run_one() {
  local name="$1" target="$build/fuzz/${1}_fuzz" dict=() seeds=()
  mkdir -p "$build/corpus/$name" "$build/findings" "$build/logs" "fuzz/corpus/$name"
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  mapfile -t seeds < <(find "fuzz/corpus/$name" -type f)
  {
    [ ${#seeds[@]} -eq 0 ] || nice "$target" -timeout=120 -rss_limit_mb=2560 \
      -artifact_prefix="$build/findings/$name-" "${seeds[@]}"
    nice "$target" -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=20 \
        -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$build/findings/$name-" "${dict[@]}" \
        "$build/corpus/$name" "fuzz/corpus/$name"
  } >"$build/logs/$name.log" 2>&1
}

for name in "${names[@]}"; do
  [ "$(jobs -rp | wc -l)" -lt "$jobs" ] || wait -n
  run_one "$name" &
done
wait

# One line per target; a finding (or a run that gave no result) is shown from its log.
failed=0
for name in "${names[@]}"; do
  log="$build/logs/$name.log"
  execs="$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+$')"
  cov="$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | grep -oE '[0-9]+')"
  if [ -z "$execs" ] || grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer)|runtime error' "$log"; then
    failed=1
    echo "$name: FINDING (or no result) in $seconds s"
    grep -E -A30 'ERROR|SUMMARY|runtime error|deadly|Test unit written' "$log" | head -60
  else
    echo "$name: $execs executions in $seconds s, coverage $cov, no findings"
  fi
done
exit $failed
