// Step 2 of an import run: the courses of the centre, filled where earlier imports remember
// them, then the level-and-course dialog until the user accepts with every course complete,
// forces the exit, or closes the dialog.

#include "import/CoursesTable.h"
#include "import/ImportSteps.h"
#include "import/RebuildTable.h"
#include "import/RememberedCourses.h"

void ImportCourses(RunState &state, UserInterface &ui) {
    {
        DbfTable courses;
        RebuildTable(courses, state.tableFolder(), CoursesTable::Name, CoursesTable::fields());
        const std::string path = GroupRecordsPath("CURSOS_DEL_CENTRO");
        const XmlNodeList records = state.document.SelectRecords(path.c_str());
        for (int i = 0; i < records.length(); ++i) {
            const DatoList datos = Datos(records.item(i));
            if (datos.count() < 2)
                continue;
            // Keys and names are written cut to the field's width; duplicate keys give two rows.
            courses.append();
            courses.setText(CoursesTable::Clave, DatoField(datos, 0, "X_OFERTAMATRIG"));
            courses.setText(CoursesTable::Estud, DatoField(datos, 1, "D_OFERTAMATRIG"));
            courses.post();
        }
        courses.close();
    }
    // Last year's answers first; what they leave empty the user completes.
    FillRememberedCourses(state, ui, state.tableFolder());

    // Each showing is a fresh dialog that reopens CURSOST as it stands on disk.
    for (;;) {
        const CourseDialogResult result = ui.editCourses(state);
        if (result.missingData) {
            state.CourseCheckFailed = true; // never cleared: later dialogs offer the forced exit
            continue;
        }
        if (result.exitWord == QStringLiteral("fuera"))
            throw ForcedExit{};
        return; // accepted complete, or closed by the window's close box
    }
}
