#!/usr/bin/env bash
# The CI runs beyond scripts/test.sh: the layout check (scripts/format-check.sh),
# the whole test suite built with AddressSanitizer and UBSan (preset asan), then,
# when clang with libFuzzer is installed, the fuzz targets built (preset fuzz)
# and run for a few seconds each from their seed corpora. Prints how long each
# part took. Non-zero on any failure. Expects scripts/deps.sh to have run
# (scripts/test.sh does that).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs="$(nproc)"
timed() {
    local name="$1"
    shift
    local start=$SECONDS
    "$@"
    echo "ci-extra: ${name} took $((SECONDS - start)) s"
}

# Leak detection stays on for every test, the window tests included: the whole
# suite runs without a leak report, so no suppressions are needed. Should a
# system library (fontconfig, the Qt platform plugin) ever report one, suppress
# that library in LSAN_OPTIONS of the asan test preset rather than switching
# detection off. UBSan stops a test at its first finding (UBSAN_OPTIONS there).
# The layout first: a source clang-format would change fails the run at once.
timed "format check" scripts/format-check.sh

timed "asan configure" cmake --preset asan
timed "asan build" cmake --build --preset asan -j "$jobs"
timed "asan tests" ctest --preset asan -j "$jobs"

if command -v clang++ >/dev/null 2>&1; then
    timed "fuzz configure" cmake --preset fuzz
    if grep -q '^TALLOWIND_HAVE_LIBFUZZER:INTERNAL=1' build/fuzz/CMakeCache.txt; then
        timed "fuzz build" cmake --build --preset fuzz -j "$jobs"
        timed "fuzz smoke runs" ctest --preset fuzz
    else
        echo "ci-extra: clang does not link libFuzzer here; fuzz smoke runs skipped"
    fi
else
    echo "ci-extra: no clang++; fuzz smoke runs skipped"
fi
