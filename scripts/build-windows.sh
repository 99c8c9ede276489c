#!/usr/bin/env bash
# Cross-builds the converter for 64-bit Windows and writes dist/TransVelkorSeneca-win64.zip:
# both programs, every DLL they load, Qt's Spanish texts, the subject catalogue, the guide and
# LEEME.txt. Builds the Windows SDK first when this machine has none (scripts/windows-sdk.sh).
#
#   bash scripts/build-windows.sh
#
# Leaves the cross build in build/windows and the unpacked contents in dist/TransVelkorSeneca.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

sdk=$(bash scripts/windows-sdk.sh | tail -n 1)

# The catalogue, the guide and the sample SOLUC come from tools of this machine.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$jobs" --target catalogue tvs_help_file sample-soluc sample-soluc-faulty transvelkor-cli make-soluc

cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DTVS_WINDOWS_SDK="$sdk" \
    -DQt6_DIR="$sdk/lib/cmake/Qt6" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DTVS_HOST_BUILD="$root/build/release" -DTVS_WERROR=ON >/dev/null
cmake --build build/windows -j"$jobs"

stage=dist/TransVelkorSeneca
rm -rf "$stage" dist/TransVelkorSeneca-win64.zip
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp build/windows/TransVelkorSeneca.exe build/windows/transvelkor-cli.exe "$stage/"
cp "$sdk"/plugins/platforms/qwindows.dll "$stage/platforms/"
cp "$sdk"/plugins/styles/qwindowsvistastyle.dll "$stage/styles/"
cp /usr/share/qt6/translations/qtbase_es.qm "$stage/translations/"
cp build/windows/SENEMATERIAS.DBF build/windows/SENECA.chm "$stage/"
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' > "$stage/qt.conf"
# LEEME.txt in Windows' own code page and line ends, for Notepad.
sed 's/$/\r/' scripts/windows/LEEME.txt | iconv -f UTF-8 -t WINDOWS-1252 > "$stage/LEEME.txt"

# Every DLL that a shipped file loads, found among Qt, libxml2 and the mingw runtime; the
# system's own DLLs are left to Windows.
search=("$sdk/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
        "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")
needs() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $(needs "$file"); do
        [ -e "$stage/$dll" ] && continue
        for dir in "${search[@]}"; do
            if [ -f "$dir/$dll" ]; then
                cp "$dir/$dll" "$stage/$dll"
                pending+=("$stage/$dll")
                break
            fi
        done
    done
done
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

(cd dist && zip -qr9 TransVelkorSeneca-win64.zip TransVelkorSeneca)
echo "dist/TransVelkorSeneca-win64.zip: $(du -k dist/TransVelkorSeneca-win64.zip | cut -f1) KB"
