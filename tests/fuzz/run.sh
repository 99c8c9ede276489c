#!/usr/bin/env bash
# Makes the seed corpora and runs every fuzz target of a fuzz build for a while.
#   tests/fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# The targets run one after the other unless FUZZ_PARALLEL=1 (then at once, each with its
# log in BUILD_DIR/fuzz-logs). Each keeps the corpus it grows in BUILD_DIR/fuzz-corpus/TARGET
# and leaves any crashing input in BUILD_DIR/fuzz-crashes; the script fails when one crashed.
set -euo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
seconds="$2"
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_dbf_table fuzz_seneca_document fuzz_import fuzz_export)

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
mkdir -p "$seeds"/{xml,dbf,export} "$build"/fuzz-logs "$build"/fuzz-crashes

# Documents: the sample school, and the small documents kept beside this script.
cp "$src"/examples/seneca/*.xml "$src"/tests/fuzz/seeds/*.xml "$seeds/xml/"

# Tables: every table the sample school's import writes (dBase III, and level 7 where a field
# name is longer than ten characters), the same with the version byte of dBase IV, and the
# solved timetable.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/transvelkor-cli" import "$src/examples/seneca/ExportacionHorarios_IES_Ejemplo.xml" \
    --work-dir "$work" --catalog "$build/SENEMATERIAS.DBF" --courses "$src/examples/seneca/cursos.csv" >/dev/null
cp "$build/examples/SOLUC.DBF" "$work/"
python3 - "$work" "$seeds" <<'PY'
import pathlib, struct, sys
work, seeds = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
for table in sorted(work.glob("*.DBF")):
    data = table.read_bytes()
    (seeds / "dbf" / table.name).write_bytes(data)
    if data[0] == 0x03:
        (seeds / "dbf" / ("IV-" + table.name)).write_bytes(b"\x8b" + data[1:])
soluc, proft = (work / "SOLUC.DBF").read_bytes(), (work / "PROFT.DBF").read_bytes()
(seeds / "export" / "sample").write_bytes(struct.pack("<I", len(soluc)) + soluc + proft)
PY

corpus_of() { case "$1" in fuzz_dbf_table) echo dbf ;; fuzz_export) echo export ;; *) echo xml ;; esac; }
dict_of() { case "$1" in fuzz_dbf_table | fuzz_export) echo dbf ;; *) echo seneca ;; esac; }

run_one() {
    local target="$1" corpus="$build/fuzz-corpus/$1"
    mkdir -p "$corpus"
    # Memory and time per input are bounded: a slow or swollen input is a finding too.
    nice -n 19 "$build/tests/fuzz/$target" "$corpus" "$seeds/$(corpus_of "$target")" \
        -dict="$src/tests/fuzz/$(dict_of "$target").dict" -max_total_time="$seconds" \
        -rss_limit_mb=2048 -timeout=30 -max_len=200000 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-crashes/$target-" >"$build/fuzz-logs/$target.log" 2>&1
}

status=0
if [ "${FUZZ_PARALLEL:-0}" = 1 ]; then
    pids=()
    for t in "${targets[@]}"; do run_one "$t" & pids+=($!); done
    for p in "${pids[@]}"; do wait "$p" || status=1; done
else
    for t in "${targets[@]}"; do run_one "$t" || status=1; done
fi
for t in "${targets[@]}"; do
    echo "== $t: $(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE)' "$build/fuzz-logs/$t.log" | tail -1)"
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$build/fuzz-logs/$t.log" || true
done
if [ $status -ne 0 ]; then
    echo "Un objetivo de fuzzing ha fallado; las entradas que lo provocan están en $build/fuzz-crashes" >&2
    ls -l "$build/fuzz-crashes" >&2
fi
exit $status
