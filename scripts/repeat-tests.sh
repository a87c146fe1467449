#!/usr/bin/env bash
# Runs the Wine part of the test command N times (default 3) and names every
# failure: the round, the suite and the failing tests. Exits non-zero when
# any round failed. Each round's output is kept in build/repeat-tests/.
# Usage: scripts/repeat-tests.sh [N]
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
rounds="${1:-3}"
if ! [[ "$rounds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [number of rounds]" >&2
  exit 2
fi
logs="$root/build/repeat-tests"
mkdir -p "$logs"

failed_rounds=0
summary=()
for ((round = 1; round <= rounds; round++)); do
  log="$logs/round-$round.log"
  started=$SECONDS
  scripts/test-wine.sh >"$log" 2>&1
  rc=$?
  took=$((SECONDS - started))
  if [[ $rc -eq 0 ]]; then
    echo "round $round/$rounds: passed (${took} s)"
    continue
  fi
  failed_rounds=$((failed_rounds + 1))
  echo "round $round/$rounds: FAILED (exit $rc, ${took} s; output in ${log#"$root"/})"
  # The suites the script names, then the tests gtest names, in order.
  found=0
  while IFS= read -r line; do
    echo "  $line"
    summary+=("round $round: $line")
    found=1
  done < <(grep -E '^FAILED: |^\[  FAILED  \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$log" | sed -E 's/ \([0-9]+ ms\)$//' | sort -u)
  if [[ $found -eq 0 ]]; then
    echo "  (no suite named; the last lines:)"
    tail -n 5 "$log" | sed 's/^/    /'
    summary+=("round $round: exit $rc without a named suite")
  fi
done

echo "== $((rounds - failed_rounds)) of $rounds rounds passed"
if [[ $failed_rounds -ne 0 ]]; then
  printf '%s\n' "${summary[@]}"
  exit 1
fi
