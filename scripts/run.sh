#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tallowind in the working folder
# ./workdir, prepared from the bundled sample history. Files already in the
# working folder are kept, so draws entered there survive the next start; the
# bundled data/ folder is never written.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target tallowind

workdir="${TALLOWIND_WORKDIR:-$PWD/workdir}"
mkdir -p "$workdir"
workdir="$(cd "$workdir" && pwd)"
for f in Num3Data.tbl Num4Data.tbl FileCopy.avi; do
    # Through a temporary name, so an interrupted copy never leaves a shortened table.
    [ -e "$workdir/$f" ] || { cp "data/$f" "$workdir/$f.tmp" && mv "$workdir/$f.tmp" "$workdir/$f"; }
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY is not set): Tallowind is a desktop program and needs one." >&2
    echo "On a machine without a screen, try: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

program="$PWD/build/release/src/app/tallowind"
cd "$workdir"
exec "$program" --workdir "$workdir"
