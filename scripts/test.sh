#!/usr/bin/env bash
# Builds everything and runs every test: the native suites on the simulated
# desktop, then the cross-compiled suites under Wine. Ends with the time
# each stage took and the total.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/stages.sh
trap stages_finish EXIT

scripts/test-native.sh
scripts/test-wine.sh
trap - EXIT
stages_finish
echo "== all tests passed"
