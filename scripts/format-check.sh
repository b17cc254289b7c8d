#!/bin/sh
# Fails (exit 1) when clang-format would change any C++ source under src/,
# tests/ or bench/, and names the places; exit 0 when every source is formatted.
# Run from anywhere inside the repository. CLANG_FORMAT picks another binary.
set -eu
cd "$(git rev-parse --show-toplevel)"
clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null 2>&1; then
    echo "format-check: $clang_format not found" >&2
    exit 2
fi
git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' |
    xargs -0 "$clang_format" --style=file --dry-run -Werror
