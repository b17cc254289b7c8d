#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config git
    qt6-base-dev qt6-charts-dev
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    xvfb xauth fonts-ipaexfont-gothic poppler-utils
    # scripts/ci-extra.sh: the asan suite uses g++'s sanitizer runtimes (with g++);
    # the fuzz targets need clang and its libFuzzer runtime
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
