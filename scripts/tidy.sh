#!/bin/sh
# Runs clang-tidy (checks in .clang-tidy) over the project's C++ sources that
# the build in BUILD_DIR compiles, with that build's compile_commands.json.
# Usage: scripts/tidy.sh BUILD_DIR [PATTERN]; PATTERN (a grep -E expression on
# the path below the repository) narrows the files, e.g. 'src/engine/'.
# Exit status 0 when no check finds anything; non-zero otherwise. Window sources
# need the build's generated moc files, so build first.
set -eu
build_dir=${1:?usage: scripts/tidy.sh BUILD_DIR [PATTERN]}
pattern=${2:-.}
root=$(cd "$(dirname "$0")/.." && pwd)
clang_tidy=${CLANG_TIDY:-clang-tidy}
jobs=${TIDY_JOBS:-2}
if [ ! -f "$build_dir/compile_commands.json" ]; then
    echo "tidy: $build_dir/compile_commands.json not found (configure with CMAKE_EXPORT_COMPILE_COMMANDS)" >&2
    exit 2
fi
cd "$root"
# The sources the build compiles, as paths below the repository, without the
# generated moc files and the fuzz targets (which only the clang fuzz build has).
files=$(git ls-files -- 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' | grep -v '^tests/fuzz/' | grep -E "$pattern" |
    while read -r f; do grep -qF "\"$root/$f\"" "$build_dir/compile_commands.json" && echo "$f"; done)
if [ -z "$files" ]; then
    echo "tidy: no sources match '$pattern'" >&2
    exit 2
fi
echo "$files" | xargs -P "$jobs" -n 4 "$clang_tidy" -p "$build_dir" --quiet
