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
# Every direction is measured twice: the conversion alone (--sin-informe) and, in the rows
# marked "+informe", with the check of what it wrote and the check's HTML report. For each row
# it prints our CPU time, the floor, their ratio, our peak
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
    printf '%-6s %-15s %8s %8s %7s %8s  %s\n' "$1" "$2" "$ours" "$floor_s" \
        "$(awk -v a="$ours" -v b="$floor_s" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')" "$5" "$6"
}

# bench_direction LABEL OUTPUTS-FUNCTION DIGEST-FUNCTION COMMAND...: runs the command and the
# floor in turn, RUNS times each, and prints the row. OUTPUTS-FUNCTION prints the files the
# run wrote (the floor writes their bytes anew); DIGEST-FUNCTION prints their digest.
bench_direction() {
    local label=$1 outputs=$2 digest=$3 cpu mb peak=0 i
    shift 3
    : >"$dir/$label.cpu"
    : >"$dir/$label.floor"
    for ((i = 1; i <= runs; i++)); do
        read -r cpu mb < <(measure "$dir/$label.time" "$@")
        echo "$cpu" >>"$dir/$label.cpu"
        if ((mb > peak)); then peak=$mb; fi
        mapfile -t files < <("$outputs")
        read -r cpu _ < <(measure "$dir/floor.time" "${floor[@]}" "$xml" "$dir/floor.copy" "${files[@]}")
        echo "$cpu" >>"$dir/$label.floor"
    done
    row "x$scale" "$label" "$dir/$label.cpu" "$dir/$label.floor" "$peak" "$("$digest")"
}

import_outputs() { for t in $tables; do echo "$work/$t.DBF"; done; }
import_digest() { tables_digest "$work"; }
export_outputs() { echo "$result"; }
export_digest() { document_digest "$result"; }

# The rows without "+informe" are the conversion alone (--sin-informe); those with it add the
# check of what was written and its HTML report, as a run from the window does.
printf '%-6s %-15s %8s %8s %7s %8s  %s\n' escala sentido "s CPU" "suelo" ratio "MB pico" "SHA-256 salidas"
for scale in $scales; do
    dir=$out/x$scale
    rm -rf "$dir"
    mkdir -p "$dir/work"
    python3 "$here/make_school.py" "$scale" "$dir"
    xml=$dir/Escuela_x$scale.xml
    work=$dir/work
    result=$dir/ResultadoVelkorEscuela_x$scale.xml
    import=("$cli" import "$xml" --work-dir "$work" --courses "$dir/cursos_x$scale.csv" --catalog "$build/SENEMATERIAS.DBF")

    bench_direction import import_outputs import_digest "${import[@]}" --sin-informe
    bench_direction import+informe import_outputs import_digest "${import[@]}"
    "$build/make-soluc" synth "$work" 25
    bench_direction export export_outputs export_digest "$cli" export "$xml" --work-dir "$work" --sin-informe
    bench_direction export+informe export_outputs export_digest "$cli" export "$xml" --work-dir "$work"
done
echo "Archivos en $out"
