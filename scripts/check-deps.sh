#!/usr/bin/env bash
# Checks that CMake finds every package the build asks for: configures a
# throw-away build of the project with every part switched on (so each
# find_package and pkg_check_modules runs) and, when that fails, names what is
# missing. Also checks the few files and tools the tests and the package use
# that no configure step looks for. Exits non-zero on anything missing.
set -euo pipefail
cd "$(dirname "$0")/.."

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tallowind-depcheck.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# The Debian package that brings a CMake or pkg-config name, for the hint.
debian_package() {
    case "$1" in
        Qt6OpenGL | Qt6OpenGLWidgets) echo libqt6opengl6-dev ;;
        Qt6Charts) echo qt6-charts-dev ;;
        Qt6 | Qt6Core | Qt6Gui | Qt6Widgets | Qt6PrintSupport | Qt6Test) echo qt6-base-dev ;;
        GTest) echo "libgtest-dev libgmock-dev" ;;
        benchmark) echo libbenchmark-dev ;;
        nlohmann_json) echo nlohmann-json3-dev ;;
        PkgConfig) echo pkg-config ;;
        SQLite3) echo libsqlite3-dev ;;
        libavformat | libavcodec | libswscale | libavutil) echo "$1-dev" ;;
        *) echo "" ;;
    esac
}

if ! cmake -S . -B "$scratch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTALLOWIND_BUILD_GUI=ON -DTALLOWIND_BUILD_TESTS=ON -DTALLOWIND_BUILD_BENCH=ON \
    >"$scratch/configure.log" 2>&1; then
    # What is missing, in CMake's words. A package found but unusable because a
    # package it needs is missing names that one ("Qt6Charts could not be found
    # because dependency Qt6OpenGL could not be found", possibly wrapped over two
    # lines); otherwise the errors of find_package, Qt's components and
    # pkg-config name it. "-- Could NOT find" status lines are optional probes.
    names="$(tr '\n' ' ' <"$scratch/configure.log" | tr -s ' ' |
        grep -o 'because dependency [A-Za-z0-9_]* could not be found' | awk '!seen[$3]++ { print $3 }' || true)"
    if [ -z "$names" ]; then
        names="$(sed -n \
            -e 's/^ *Could NOT find \([A-Za-z0-9_]*\).*/\1/p' \
            -e 's/.*provided by "\([A-Za-z0-9_]*\)".*/\1/p' \
            -e "s/.*No package '\([A-Za-z0-9_.+-]*\)' found.*/\1/p" \
            -e "s/.*Package '\([A-Za-z0-9_.+-]*\)', required by .*, not found.*/\1/p" \
            -e 's/.*Failed to find required Qt component "\([A-Za-z0-9_]*\)".*/Qt6\1/p' \
            "$scratch/configure.log" | awk '!seen[$0]++')"
    fi
    echo "check-deps: CMake cannot configure the project." >&2
    if [ -n "$names" ]; then
        while read -r name; do
            pkg="$(debian_package "$name")"
            echo "check-deps: missing: $name${pkg:+ (Debian package: $pkg)}" >&2
        done <<<"$names"
    fi
    echo "check-deps: the end of CMake's output:" >&2
    tail -n 25 "$scratch/configure.log" >&2
    exit 1
fi

status=0
missing() {
    echo "check-deps: missing: $1${2:+ (Debian package: $2)}" >&2
    status=1
}

# Where Qt looks for its catalogues, as the program's QLibraryInfo sees it.
qtpaths="$(command -v qtpaths6 || echo /usr/lib/qt6/bin/qtpaths6)"
qt_translations="$("$qtpaths" --query QT_INSTALL_TRANSLATIONS 2>/dev/null || echo /usr/share/qt6/translations)"
[ -f "$qt_translations/qtbase_ja.qm" ] || missing "Qt's Japanese catalogue qtbase_ja.qm" qt6-translations-l10n
command -v xvfb-run >/dev/null || missing "xvfb-run" "xvfb xauth"
command -v pdftoppm >/dev/null || missing "pdftoppm" poppler-utils
command -v dpkg-shlibdeps >/dev/null || missing "dpkg-shlibdeps (cpack -G DEB)" dpkg-dev
command -v file >/dev/null || missing "file (cpack -G DEB)" file
[ "$status" -eq 0 ] && echo "check-deps: CMake finds every package the build asks for."
exit "$status"
