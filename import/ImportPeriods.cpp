#include "import/ImportSteps.h"

#include "import/RebuildTable.h"
#include "seneca/SenecaDocument.h"

namespace {
const std::vector<DbfFieldDef> PeriodFields = {
    {QStringLiteral("CURSOANNO"), DbfFieldType::Character, 4},
    {QStringLiteral("F_INICIO"), DbfFieldType::Character, 10},
    {QStringLiteral("F_FIN"), DbfFieldType::Character, 10},
};
} // namespace

// The school year comes from the first data group, which holds its values directly; the
// second group of a Séneca export is a group of records, whose own dato list is empty. When
// a date is missing, both come from the first "JORNADAS_ESCOLARES" record.
void ImportPeriods(RunState &state, UserInterface &) {
    DbfTable table;
    RebuildTable(table, state.tableFolder(), QStringLiteral("PERIODOS"), PeriodFields);

    const XmlNodeList groups = state.document.SelectRecords("/SERVICIO/BLOQUE_DATOS/grupo_datos");
    AnsiText year, start, end;
    for (int index = 0; index < 2; ++index) {
        const DatoList datos = Datos(groups.item(index));
        if (datos.count() > 1) {
            year = DatoField(datos, 0, "C_ANNO");
            start = DatoField(datos, 1, "F_INIHORREG");
            end = DatoField(datos, 2, "F_FINHORREG");
            // The record stays pending: appending the next one posts it.
            table.append();
            table.setText(QStringLiteral("CURSOANNO"), year);
            table.setText(QStringLiteral("F_INICIO"), start);
            table.setText(QStringLiteral("F_FIN"), end);
        }
    }

    if (start.isEmpty() || end.isEmpty()) {
        const XmlNodeList days = state.document.SelectRecords(GroupRecordsPath("JORNADAS_ESCOLARES").c_str());
        const DatoList datos = Datos(days.item(0));
        if (datos.count() > 1) {
            start = DatoField(datos, 2, "F_INIHORREG");
            end = DatoField(datos, 3, "F_FINHORREG");
        }
    }

    // With no qualifying group there is no pending record, and the engine refuses the write
    // with "La fuente de datos no está en modo de edición o inserción"; the run ends there.
    table.setText(QStringLiteral("F_INICIO"), start);
    table.setText(QStringLiteral("F_FIN"), end);
    table.post();
    table.close();
}
