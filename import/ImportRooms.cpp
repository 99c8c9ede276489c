// Rooms: AULAT from the "DEPENDENCIAS" group. The room code is the Séneca identifier itself,
// so a room that the host places in the solved timetable goes back to Séneca unchanged.

#include "import/ImportSteps.h"
#include "import/RebuildTable.h"
#include "seneca/SenecaDocument.h"

namespace {

const QString ABREV = QStringLiteral("ABREV");
const QString NOMBRE = QStringLiteral("NOMBRE");
const QString DEPCENTRO = QStringLiteral("DEPCENTRO");

const std::vector<DbfFieldDef> &roomFields() {
    static const std::vector<DbfFieldDef> fields = {
        {ABREV, DbfFieldType::Character, 10},
        {NOMBRE, DbfFieldType::Character, 80},
        {QStringLiteral("EDIFICIO"), DbfFieldType::Character, 1},
        {QStringLiteral("MAXALUM"), DbfFieldType::Integer, 0},
        {DEPCENTRO, DbfFieldType::Character, 10},
    };
    return fields;
}

} // namespace

void ImportRooms(RunState &state, UserInterface &) {
    DbfTable rooms;
    RebuildTable(rooms, state.tableFolder(), QStringLiteral("AULAT"), roomFields());

    const XmlNodeList records = state.document.SelectRecords(GroupRecordsPath("DEPENDENCIAS").c_str());
    for (int i = 0; i < records.length(); ++i) {
        const DatoList datos = Datos(records.item(i));
        if (datos.count() < 2)
            continue;
        const AnsiText identifier = DatoField(datos, 0, "X_DEPENDENCIA");
        rooms.append();
        // Both fields are 10 wide, so DEPCENTRO always equals ABREV.
        rooms.setText(ABREV, identifier.left(10));
        rooms.setText(NOMBRE, DatoField(datos, 1, "D_DEPENDENCIA"));
        rooms.setText(DEPCENTRO, identifier);
        rooms.post();
    }
    rooms.close();
}
