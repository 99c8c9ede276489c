#!/usr/bin/env bash
# Installs, from Debian 12's packages, whatever the build, the tests and the sample run need
# and the machine lacks. Run as root (or with sudo available).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libxml2-dev libx11-dev libxcb1-dev libchm-dev
    python3 python3-dbfread locales
    fp-compiler fp-units-db fp-units-misc fp-utils
    fonts-dejavu-core fonts-dejavu-extra
    # the fuzz targets: clang with libFuzzer and the sanitizer runtimes, llvm-symbolizer
    clang libclang-rt-dev llvm
    xvfb xdotool x11-utils xauth
    # the Windows build: cross compiler, the tools that unpack Debian's sources, Wine
    g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev patch xz-utils zip unzip wine wine64
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Instalando: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
