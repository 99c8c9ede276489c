#!/usr/bin/env bash
# The main job on the bundled sample school: installs what is missing, builds, imports the
# sample Séneca export into a working folder of its own, places the sample solved timetable
# and exports every teacher's timetable back to a Séneca document.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc 2>/dev/null || echo 2)" \
    --target TransVelkorSeneca transvelkor-cli catalogue sample-soluc sample-soluc-faulty tvs_help_file

cli=build/release/transvelkor-cli
work=build/demo/ZTEMP
rm -rf build/demo
mkdir -p "$work/seneca"
cp examples/seneca/*.xml "$work/seneca/"
xml=$(ls "$work"/seneca/*.xml | head -n 1)

echo "== Importación desde Séneca: $xml"
"$cli" import "$xml" --work-dir "$work" --courses examples/seneca/cursos.csv

echo
echo "== Horario resuelto de ejemplo: SOLUC.DBF"
cp build/release/examples/SOLUC.DBF "$work/SOLUC.DBF"

echo
echo "== Exportación hacia Séneca"
"$cli" export "$xml" --work-dir "$work"

echo
echo "== El mismo horario con fallos: qué dice el informe de comprobación"
# In a copy of the work folder, so that the clean export above stays as it is.
faulty=build/demo/ZTEMP-con-fallos
cp -r "$work" "$faulty"
cp build/release/examples/con-fallos/SOLUC.DBF "$faulty/SOLUC.DBF"
"$cli" export "$faulty/seneca/$(basename "$xml")" --work-dir "$faulty" --informe-texto >"$faulty/informe.txt"
awk '/^ERRORES/ { shown = 1 } shown && n++ < 40' "$faulty/informe.txt"
echo "(informe completo: $faulty/seneca/)"
