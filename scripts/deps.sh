#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the program and its
# package need, only those that are missing, then checks that CMake finds
# everything the build asks for (scripts/check-deps.sh), also when nothing
# needed installing. Uses sudo when not run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

# The package list. Packages are installed without their recommendations, so
# everything the build needs is named here, also what another package only
# recommends.
packages=(
    # tools (clang-format: the CI's layout check, scripts/format-check.sh)
    cmake ninja-build g++ pkg-config git clang-format
    # Qt; Qt6Charts' CMake package needs Qt6OpenGL, which qt6-base-dev only recommends
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev
    # Qt's Japanese catalogue (standard buttons, the printer dialog)
    qt6-translations-l10n
    # the clip player of the loading dialog
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
    # tests, benchmarks, the command-line tool's JSON
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    # the ticket ledger (the program then needs libsqlite3-0 at run time)
    libsqlite3-dev
    # headless runs, the Japanese font, PDF checks of the printing tests
    xvfb xauth fonts-ipaexfont-gothic poppler-utils
    # cpack -G DEB: dpkg-shlibdeps finds the package's runtime dependencies,
    # and CPack picks the programs to pass it with file
    dpkg-dev file
    # scripts/ci-extra.sh: the asan suite uses g++'s sanitizer runtimes (with g++);
    # the fuzz targets need clang and its libFuzzer runtime
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    [ ${#missing[@]} -gt 10 ] &&
        echo "(on a fresh Debian 12 that is about 330 packages with their dependencies, 270 MB to download)"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

scripts/check-deps.sh
