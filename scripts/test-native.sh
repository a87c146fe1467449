#!/usr/bin/env bash
# The native part of the test command: the logic's suites on the simulated
# desktop, then the same suites built with AddressSanitizer and
# UndefinedBehaviorSanitizer (any report fails the run), then a short run of
# every fuzz target.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${CALORIX_JOBS:-$(nproc)}"
source scripts/stages.sh
trap stages_finish EXIT

stage "native build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

stage "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# The test preset sets ASAN_OPTIONS and UBSAN_OPTIONS (halt on the first
# report, leaks included); the build stops at the first undefined behaviour
# anyway (-fno-sanitize-recover=all).
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j "$jobs"
ctest --preset linux-asan -j "$jobs"

stage "fuzz targets, briefly"
scripts/fuzz.sh --brief
