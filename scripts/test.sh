#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test headless. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset ci
cmake --build --preset ci -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset ci -j "$(nproc)"
