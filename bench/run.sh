#!/usr/bin/env bash
# Times the whole import and the whole export of synthetic schools with /usr/bin/time -v
# (wall time and peak resident memory of the command-line tool).
#
#   bench/run.sh                 scales 1, 10 and 50
#   SCALES="1 10" bench/run.sh   chosen scales
#
# BUILD_DIR (default build-bench, a Release build made here) and BENCH_DIR (default a new
# temporary folder, kept for a look afterwards) can be set.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
out=${BENCH_DIR:-$(mktemp -d -t tvs-bench.XXXXXX)}
scales=${SCALES:-"1 10 50"}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target transvelkor-cli make-soluc catalogue >/dev/null
cli=$build/transvelkor-cli

# timed LOG COMMAND...: runs it, keeps its output in LOG.out, prints "wall-seconds cpu-seconds
# megabytes" (cpu = user + system; on a busy machine wall time also counts waiting for a core).
timed() {
    local log=$1
    shift
    if ! /usr/bin/time -v -o "$log" "$@" >"$log.out" 2>&1; then
        echo "falló: $* (ver $log.out)" >&2
        exit 1
    fi
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i] }
        /User time \(seconds\)|System time \(seconds\)/ { cpu += $2 }
        /Maximum resident set size/ { kb = $2 }
        END { printf "%.2f %.2f %.0f\n", s, cpu, kb / 1024 }' "$log"
}

printf '%-6s %-8s %8s %8s %8s  %s\n' escala sentido "s reloj" "s CPU" "MB pico" contenido
for scale in $scales; do
    dir=$out/x$scale
    rm -rf "$dir"
    mkdir -p "$dir/work"
    python3 "$here/make_school.py" "$scale" "$dir"
    xml=$dir/Escuela_x$scale.xml

    read -r secs cpu mb < <(timed "$dir/import.time" "$cli" import "$xml" --work-dir "$dir/work" \
        --courses "$dir/cursos_x$scale.csv" --catalog "$build/SENEMATERIAS.DBF")
    printf '%-6s %-8s %8s %8s %8s  %s\n' "x$scale" import "$secs" "$cpu" "$mb" \
        "$(du -k "$xml" | cut -f1) KB de XML"

    "$build/make-soluc" synth "$dir/work" 25

    read -r secs cpu mb < <(timed "$dir/export.time" "$cli" export "$xml" --work-dir "$dir/work")
    printf '%-6s %-8s %8s %8s %8s  %s\n' "x$scale" export "$secs" "$cpu" "$mb" \
        "$(grep -o '[0-9]* profesores, [0-9]* sesiones' "$dir/export.time.out")"
done
echo "Archivos en $out"
