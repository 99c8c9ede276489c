#!/usr/bin/env bash
# Builds, once per machine, what the Windows build links against: Qt (Core, Gui, Widgets, Test,
# the windows platform plugin and a style) and libxml2, cross-compiled with mingw-w64 from
# Debian's own source packages. The result goes to a cache folder outside the clone, named by
# the Qt version and a hash of this script and the toolchain file, and is reused afterwards.
# Prints the folder on its last line.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$here/cmake/mingw-w64.cmake"

qt_version=6.4.2
stamp_hash=$(cat "$0" "$toolchain" | sha256sum | cut -c1-12)
cache="${TVS_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/transvelkor-windows}"
sdk="$cache/sdk-qt$qt_version-$stamp_hash"
if [ -f "$sdk/.complete" ]; then
    echo "$sdk"
    exit 0
fi

jobs=$(nproc 2>/dev/null || echo 2)
src="$cache/sources"
work="$cache/work-$stamp_hash"
mkdir -p "$src" "$work"

# Source packages through a private deb-src list; the machine's apt configuration is untouched.
fetch_sources() {
    ls "$src"/qt6-base_*.orig.tar.xz "$src"/libxml2_*.orig.tar.xz >/dev/null 2>&1 && return
    local apt="$cache/apt"
    mkdir -p "$apt/lists/partial"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$apt/src.sources"
    local opts=(-o Dir::Etc::sourcelist="$apt/src.sources" -o Dir::Etc::sourceparts=-
                -o Dir::State::Lists="$apt/lists")
    apt-get "${opts[@]}" update -qq
    (cd "$src" && apt-get "${opts[@]}" source --download-only qt6-base libxml2)
}

# Unpacks a package's upstream tarball and applies the Debian patches whose names match the
# pattern: every patch of libxml2 (its security fixes), only the security fixes of Qt (the
# rest is about Debian's own Linux build).
unpack() { # package destination patch-pattern
    [ -d "$2" ] && return
    local tmp="$2.part"
    rm -rf "$tmp" && mkdir -p "$tmp"
    tar -xf "$(ls "$src/$1"_*.orig.tar.xz)" -C "$tmp" --strip-components=1
    tar -xf "$(ls "$src/$1"_*.debian.tar.xz)" -C "$tmp"
    local patch
    grep -v '^#' "$tmp/debian/patches/series" | sed 's/ .*//' | grep -E "$3" | while read -r patch; do
        patch -d "$tmp" -p1 -s < "$tmp/debian/patches/$patch"
    done
    mv "$tmp" "$2"
}

build_libxml2() {
    unpack libxml2 "$work/libxml2-src" .
    cmake -S "$work/libxml2-src" -B "$work/libxml2-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_SHARED_LIBS=ON \
        -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
        -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
        -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF >/dev/null
    cmake --build "$work/libxml2-build" -j"$jobs"
    cmake --install "$work/libxml2-build" >/dev/null
}

# Only what the converter ships: no networking, SQL, D-Bus, printing, OpenGL, Vulkan, ICU,
# tablets (the Debian tarball has no wintab), Direct2D or the image formats we do not show.
# DirectWrite 3 goes with Direct2D: Qt 6.4 builds its font database only with both, while the
# windows plugin asks for it with DirectWrite 3 alone. Fonts come through GDI, Qt's default.
build_qt() {
    unpack qt6-base "$work/qtbase-src" '^cve-'
    local off=(sql network dbus printsupport concurrent xml vulkan icu opengl tabletevent
               direct2d directwrite3 jpeg gif sessionmanager)
    local flags=()
    for f in "${off[@]}"; do flags+=("-DFEATURE_$f=OFF"); done
    cmake -S "$work/qtbase-src" -B "$work/qtbase-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_SHARED_LIBS=ON \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF \
        -DINPUT_opengl=no "${flags[@]}" >"$work/qtbase-configure.log"
    cmake --build "$work/qtbase-build" -j"$jobs"
    cmake --install "$work/qtbase-build" >/dev/null
}

start=$(date +%s)
fetch_sources
rm -rf "$sdk"
build_libxml2
build_qt
echo "$(( $(date +%s) - start )) s" > "$sdk/.complete"
rm -rf "$work"
echo "Entorno de compilación para Windows listo en $(( $(date +%s) - start )) s:" >&2
echo "$sdk"
