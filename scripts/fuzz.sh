#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one in turn, starting from its
# seed corpus in fuzz/corpus/<target>/. Prints one line per target with the
# inputs it ran and inputs per second, from libFuzzer's final statistics.
#
#   scripts/fuzz.sh [seconds]        each target for that long (default 60)
#   scripts/fuzz.sh --runs N [secs]  each target for N inputs (or secs, if sooner)
#   scripts/fuzz.sh --brief          the test command's short run: a fixed
#                                    number of inputs from a fixed seed
#   CALORIX_FUZZ_TARGETS="a b"       only these targets
#
# New inputs of long runs are kept in build/fuzz/corpus/<target>/ for the next
# run; an input that breaks a target lands in build/fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${CALORIX_JOBS:-$(nproc)}"

seconds=60
runs=-1
brief=0
while [[ $# -gt 0 ]]; do
  case "$1" in
    --brief) brief=1; runs=20000; seconds=20 ;;
    --runs) runs="$2"; shift ;;
    [0-9]*) seconds="$1" ;;
    *) echo "usage: scripts/fuzz.sh [--brief | --runs N] [seconds]" >&2; exit 2 ;;
  esac
  shift
done

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" >/dev/null

bin=build/fuzz/fuzz
findings=build/fuzz/findings
mkdir -p "$findings"
targets="${CALORIX_FUZZ_TARGETS:-$(cd fuzz/corpus && ls -d */ | tr -d /)}"

# Any sanitizer report ends the target's run as a failure.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

failed=()
for target in $targets; do
  if [[ $brief -eq 1 ]]; then
    # A fresh folder for new inputs and a fixed seed: the same run each time.
    corpus="$scratch/$target"
    options=(-seed=1)
  else
    corpus="build/fuzz/corpus/$target"
    options=()
  fi
  mkdir -p "$corpus"
  log="$scratch/$target.log"
  started=$(date +%s.%N)
  if "$bin/fuzz_$target" "${options[@]}" -runs="$runs" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    ended=$(date +%s.%N)
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
    awk -v t="$target" -v n="$inputs" -v a="$started" -v b="$ended" -v m="$peak" 'BEGIN {
      s = b - a; if (s <= 0) s = 0.001
      printf "fuzz %-17s %11d inputs in %7.1f s, %9.0f inputs/s, peak %s MB\n", t, n, s, n / s, m }'
  else
    echo "fuzz $target: FAILED (input kept in $findings/)"
    grep -v '^#\|^INFO:\|^	NEW_FUNC' "$log" | head -60
    failed+=("$target")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz targets failed: ${failed[*]}"
  exit 1
fi
