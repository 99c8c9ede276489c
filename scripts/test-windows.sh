#!/usr/bin/env bash
# The Windows build's tests, under Wine (run after scripts/build-windows.sh):
#  1. the core's test programs, cross-built, through ctest in build/windows;
#  2. the Windows command-line tool on the sample school and on the benchmark's large school,
#     both directions, in a work folder with an accent in its path: every table and the
#     exported document byte for byte as the Linux tool writes them (but for a table header's
#     date of last update and the document's time of writing);
#  3. a table held with LockFileEx by another process: each direction stops with the lock
#     message and changes nothing;
#  4. a host window of our own (tests/windows/host_window.cpp) with the converter inside it;
#  5. context 1 of the zip's SENECA.chm opens the start page (our own reader: without Gecko,
#     Wine's HTML Help cannot show pages).
# Needs no display: starts its own Xvfb for the windows.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
win=build/windows
linux=build/release
stage=$root/dist/TransVelkorSeneca
run="$root/$win/wine-run.sh"
jobs=$(nproc 2>/dev/null || echo 2)
passed=0
failed=0

ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FALLO: $*"; failed=$((failed + 1)); }
expect() { # description command...
    local what=$1
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}

# --- a display for the windows ---
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
scratch=$(mktemp -d -t tvs-wine.XXXXXX)
cleanup() {
    kill "$xvfb" 2>/dev/null || true
    WINEPREFIX="$root/$win/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
export DISPLAY=$display
"$run" cmd /c exit >/dev/null 2>&1 || true # makes the Wine prefix once, before tests share it

# --- 1. the core's tests ---
echo "== Pruebas del núcleo bajo Wine"
if (cd "$win" && ctest --output-on-failure -j"$jobs"); then ok "pruebas del núcleo (ctest)"; else fail "pruebas del núcleo (ctest)"; fi

# A copy of the zip's contents per use: the programs write Zetarium.ini beside themselves.
unzip -q dist/TransVelkorSeneca-win64.zip -d "$scratch/app"
app=$scratch/app/TransVelkorSeneca
wpath() { local p=$1; echo "Z:${p//\//\\}"; }
wincli() { "$run" "$app/transvelkor-cli.exe" "$@"; }

# Tables equal byte for byte but for the date of last update (header bytes 1 to 3).
same_table() {
    cmp -s <(head -c 1 "$1"; tail -c +5 "$1") <(head -c 1 "$2"; tail -c +5 "$2")
}
# Exported documents equal byte for byte but for the moment each was written (fecha="...").
same_export() {
    cmp -s <(sed 's/ fecha="[^"]*"/ fecha=""/' "$1") <(sed 's/ fecha="[^"]*"/ fecha=""/' "$2")
}
same_folders() { # linux-folder windows-folder
    local f base good=0
    for f in "$1"/*.DBF; do
        base=$(basename "$f")
        if ! same_table "$f" "$2/$base"; then
            echo "  distinto: $base"
            good=1
        fi
    done
    return $good
}

# --- 2. both directions, Linux and Windows side by side ---
compare_school() { # name xml courses soluc-maker
    local name=$1 xml=$2 courses=$3
    local l=$scratch/$name/linux w="$scratch/$name/José/ZTEMP"
    mkdir -p "$l/seneca" "$w/seneca"
    cp "$xml" "$l/seneca/"
    cp "$xml" "$w/seneca/"
    local file
    file=$(basename "$xml")
    "$linux/transvelkor-cli" import "$l/seneca/$file" --work-dir "$l" --courses "$courses" >"$scratch/$name.linux.out"
    if ZTEMP=$(wpath "$w") wincli import "$(wpath "$w/seneca/$file")" --courses "$(wpath "$courses")" \
        >"$scratch/$name.win.out" 2>&1; then
        expect "$name: importación en Windows, carpeta con acento" same_folders "$l" "$w"
    else
        fail "$name: la importación en Windows falló"
        cat "$scratch/$name.win.out"
        return
    fi
    "$4" "$l"
    cp "$l/SOLUC.DBF" "$w/SOLUC.DBF"
    "$linux/transvelkor-cli" export "$l/seneca/$file" --work-dir "$l" >>"$scratch/$name.linux.out"
    if wincli export "$(wpath "$w/seneca/$file")" --work-dir "$(wpath "$w")" >>"$scratch/$name.win.out" 2>&1; then
        expect "$name: exportación en Windows igual byte a byte (salvo la fecha de escritura)" \
            same_export "$l/seneca/ResultadoVelkor$file" "$w/seneca/ResultadoVelkor$file"
    else
        fail "$name: la exportación en Windows falló"
        cat "$scratch/$name.win.out"
    fi
}
sample_soluc() { cp "$linux/examples/SOLUC.DBF" "$1/SOLUC.DBF"; }
bench_soluc() { "$linux/make-soluc" synth "$1" 25 >/dev/null; }

echo "== La herramienta de Windows frente a la de Linux"
compare_school muestra examples/seneca/ExportacionHorarios_IES_Ejemplo.xml examples/seneca/cursos.csv sample_soluc
python3 bench/make_school.py 1 "$scratch/bench" >/dev/null
compare_school x1 "$scratch/bench/Escuela_x1.xml" "$scratch/bench/cursos_x1.csv" bench_soluc

# --- 3. a table held by another program ---
echo "== Tabla bloqueada por otro proceso"
held_run() { # table direction
    local table=$1 direction=$2 w=$scratch/lock-$1
    rm -rf "$w"
    cp -r "$scratch/muestra/José/ZTEMP" "$w"
    rm -f "$w"/seneca/ResultadoVelkor*
    local before
    before=$(cd "$w" && find . -type f -exec md5sum {} + | sort)
    coproc holder { "$run" "$root/$win/tests/win-lock-holder.exe" "$(wpath "$w/$table.DBF")"; }
    local said=""
    read -r -t 60 said <&"${holder[0]}" || true
    if [ "${said%$'\r'}" != "bloqueado" ]; then
        fail "$table: el proceso que bloquea no arrancó"
        return
    fi
    local out status=0
    local xml
    xml=$(ls "$w"/seneca/*.xml)
    if [ "$direction" = import ]; then
        out=$(wincli import "$(wpath "$xml")" --work-dir "$(wpath "$w")" --courses "$(wpath "$root/examples/seneca/cursos.csv")" 2>&1) || status=$?
    else
        out=$(wincli export "$(wpath "$xml")" --work-dir "$(wpath "$w")" 2>&1) || status=$?
    fi
    echo >&"${holder[1]}"
    wait "$holder_PID" 2>/dev/null || true
    expect "$direction con $table bloqueada: termina con error" test "$status" -ne 0
    expect "$direction con $table bloqueada: dice que la tabla está en uso" \
        grep -q "La tabla $table está en uso por otro programa" <<<"$out"
    local after
    after=$(cd "$w" && find . -type f -exec md5sum {} + | sort)
    expect "$direction con $table bloqueada: no cambia nada" test "$before" = "$after"
}
held_run PERIODOS import
held_run SOLUC export

# --- 4. inside a host window ---
echo "== Dentro de una ventana anfitriona"
mkdir -p "$scratch/host-work"
if ZTEMP=$(wpath "$scratch/host-work") "$run" "$root/$win/tests/win-host-window.exe" "$(wpath "$app/TransVelkorSeneca.exe")"; then
    ok "ventana anfitriona"
else
    fail "ventana anfitriona"
fi

# --- 5. the guide's context 1 ---
echo "== Ayuda: contexto 1 del SENECA.chm del zip"
if TVS_GUIDE="$app/SENECA.chm" QT_QPA_PLATFORM=offscreen build/ci/tests/test_gui_help_chm guideTables >"$scratch/chm.out" 2>&1; then
    ok "el contexto 1 abre inicio.htm"
else
    fail "el contexto 1 abre inicio.htm"
    cat "$scratch/chm.out"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
