// The activities step: each ACTIVIDADES record becomes a row of ASIGNOMT marked as an activity,
// after the subject rows, with the Séneca activity identifier as its code and in CODTAREA,
// where the export finds it again. No code is formed and nothing is made unique.

#include "import/ImportSteps.h"

#include "platform/DbfTable.h"

namespace {

// The four sets of the subjects step end with this step, however it ends.
struct ReleaseSubjectSets {
    SubjectSets &sets;
    ~ReleaseSubjectSets() { sets.clear(); }
};

} // namespace

void ImportActivities(RunState &state, UserInterface &) {
    ReleaseSubjectSets release{state.sets};

    const XmlNodeList records = state.document.SelectRecords(GroupRecordsPath("ACTIVIDADES").c_str());
    // Opened as the subjects step left it, never rebuilt: its rows stay in front.
    DbfTable subjects;
    subjects.open(state.tableFolder(), QStringLiteral("ASIGNOMT"), DbfTable::Mode::Exclusive);

    const int count = records.length();
    for (int i = 0; i < count; ++i) {
        const DatoList datos = Datos(records.item(i));
        if (datos.count() < 2)
            continue;
        const AnsiText name = DatoField(datos, 2, "D_ACTIVIDAD");
        const AnsiText id = DatoField(datos, 1, "X_ACTIVIDAD");
        subjects.append();
        subjects.setText(QStringLiteral("COD"), id);
        subjects.setText(QStringLiteral("CODLARGO"), name.left(10));
        subjects.setText(QStringLiteral("NOMBRE"), name);
        subjects.setText(QStringLiteral("CODTAREA"), id);
        subjects.setLogical(QStringLiteral("ESTAREA"), true);
        subjects.post();
    }
    subjects.close();
}
