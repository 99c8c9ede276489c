#!/usr/bin/env bash
# Measures the whole import and the whole export of synthetic schools against a floor measured
# in the same run: libxml2 parsing the same input (xmllint --noout) plus writing the same output
# bytes (the run's outputs concatenated into a new file: the nine tables for the import, the
# document for the export). Each direction and its floor run in turn, RUNS times (default 5);
# the figures are medians of CPU time (user + system), so a busy machine slows both alike.
#
#   bench/run.sh                 scales 1, 10 and 50
#   SCALES="1 10" bench/run.sh   chosen scales
#
# For every scale and direction it prints our CPU time, the floor, their ratio, our peak
# resident memory, and a SHA-256 of the outputs (tables without their header date, the
# document without its time of writing), so a speed change that changes output shows at once.
# BUILD_DIR (default build-bench, a Release build made here) and BENCH_DIR (default a new
# temporary folder, kept for a look afterwards) can be set.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
out=${BENCH_DIR:-$(mktemp -d -t tvs-bench.XXXXXX)}
scales=${SCALES:-"1 10 50"}
runs=${RUNS:-5}
tables="PERIODOS CURSOST ASIGNOMT ASIGNOMT2 PROFT AULAT GRUPOST ASIGT DIASHORAST"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target transvelkor-cli make-soluc catalogue >/dev/null
cli=$build/transvelkor-cli

# measure LOG COMMAND...: runs it, keeps its output in LOG.out, prints "cpu-seconds megabytes"
# (cpu = user + system of the command and its children, to the microsecond).
measure() {
    local log=$1
    shift
    if ! python3 -c '
import resource, subprocess, sys
with open(sys.argv[1] + ".out", "wb") as out:
    code = subprocess.call(sys.argv[2:], stdout=out, stderr=subprocess.STDOUT)
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.3f %.0f" % (r.ru_utime + r.ru_stime, r.ru_maxrss / 1024))
sys.exit(code)' "$log" "$@" >"$log"; then
        echo "falló: $* (ver $log.out)" >&2
        exit 1
    fi
    cat "$log"
}

# The floor of one run, as a command: parse the input, then write the outputs' bytes anew.
floor=(bash -c 'xmllint --noout "$1" && cat "${@:3}" >"$2"' floor)

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# SHA-256 of the tables, each without header bytes 1-3 (the date of the last change).
tables_digest() {
    local work=$1 t
    for t in $tables; do
        python3 - "$work/$t.DBF" <<'EOF'
import sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[1:4] = b'\0\0\0'
sys.stdout.buffer.write(b)
EOF
    done | sha256sum | cut -c1-16
}

document_digest() { sed -E 's/fecha="[^"]*"/fecha=""/' "$1" | sha256sum | cut -c1-16; }

# row SCALE DIRECTION OURS-FILE FLOOR-FILE MB DIGEST
row() {
    local ours floor_s
    ours=$(median <"$3")
    floor_s=$(median <"$4")
    printf '%-6s %-8s %8s %8s %7s %8s  %s\n' "$1" "$2" "$ours" "$floor_s" \
        "$(awk -v a="$ours" -v b="$floor_s" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')" "$5" "$6"
}

printf '%-6s %-8s %8s %8s %7s %8s  %s\n' escala sentido "s CPU" "suelo" ratio "MB pico" "SHA-256 salidas"
for scale in $scales; do
    dir=$out/x$scale
    rm -rf "$dir"
    mkdir -p "$dir/work"
    python3 "$here/make_school.py" "$scale" "$dir"
    xml=$dir/Escuela_x$scale.xml
    work=$dir/work

    : >"$dir/import.cpu"
    : >"$dir/import.floor"
    peak=0
    for ((i = 1; i <= runs; i++)); do
        read -r cpu mb < <(measure "$dir/import.time" "$cli" import "$xml" --work-dir "$work" \
            --courses "$dir/cursos_x$scale.csv" --catalog "$build/SENEMATERIAS.DBF")
        echo "$cpu" >>"$dir/import.cpu"
        if ((mb > peak)); then peak=$mb; fi
        files=()
        for t in $tables; do files+=("$work/$t.DBF"); done
        read -r cpu _ < <(measure "$dir/floor.time" "${floor[@]}" "$xml" "$dir/floor.copy" "${files[@]}")
        echo "$cpu" >>"$dir/import.floor"
    done
    row "x$scale" import "$dir/import.cpu" "$dir/import.floor" "$peak" "$(tables_digest "$work")"

    "$build/make-soluc" synth "$work" 25
    result=$dir/ResultadoVelkorEscuela_x$scale.xml
    : >"$dir/export.cpu"
    : >"$dir/export.floor"
    peak=0
    for ((i = 1; i <= runs; i++)); do
        read -r cpu mb < <(measure "$dir/export.time" "$cli" export "$xml" --work-dir "$work")
        echo "$cpu" >>"$dir/export.cpu"
        if ((mb > peak)); then peak=$mb; fi
        read -r cpu _ < <(measure "$dir/floor.time" "${floor[@]}" "$xml" "$dir/floor.copy" "$result")
        echo "$cpu" >>"$dir/export.floor"
    done
    row "x$scale" export "$dir/export.cpu" "$dir/export.floor" "$peak" "$(document_digest "$result")"
done
echo "Archivos en $out"
