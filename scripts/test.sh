#!/usr/bin/env bash
# Builds everything and runs every test: the native suites on the simulated
# desktop, then the cross-compiled suites under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/test-native.sh
scripts/test-wine.sh
echo "== all tests passed"
