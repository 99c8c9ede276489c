#include "import/ImportDriver.h"

#include "import/ImportSteps.h"
#include "import/RememberedCourses.h"
#include "import/StagedTables.h"
#include "platform/RunError.h"
#include "report/ImportSummary.h"
#include "seneca/DirectionRun.h"

#include <QScopeGuard>

#include <array>

namespace {

using ImportStep = void (*)(RunState &, UserInterface &);

// Later steps read what earlier ones wrote: activities append to the subjects table, groups
// need the courses as the user completed them, assignments read subjects and groups.
constexpr std::array<ImportStep, 9> Steps = {
    ImportPeriods,  ImportCourses, ImportSubjects,           ImportActivities, ImportStaff,
    ImportRooms,    ImportGroups,  ImportSubjectAssignments, ImportTimeSlots,
};

// Runs the steps on the loaded document; false when the user forced the exit.
bool RunSteps(RunState &state, UserInterface &ui) {
    BusyCursor busy(ui);
    state.sets.clear(); // a run after a failed one starts with empty sets
    for (ImportStep step : Steps) {
        try {
            step(state, ui);
        } catch (const ForcedExit &) {
            return false;
        }
    }
    return true;
}

} // namespace

void BExportarClick(RunState &state, UserInterface &ui) {
    if (!ChooseExistingFile(state, ui))
        return;

    bool finished = false;
    try {
        // A file that does not parse ends the run here, before any table is touched.
        state.document.load(state.rememberedFile);
        StagedTables staged(state.paths.workDir);
        state.importFolder = staged.folder();
        const auto leaveStaging = qScopeGuard([&state] { state.importFolder.clear(); });
        finished = RunSteps(state, ui);
        // The forced exit keeps what was written before it, as a finished run keeps it all.
        staged.commit();
    } catch (const RunError &error) {
        ui.showError(error.message());
        return;
    }
    if (!finished) {
        // Forced exit from the level-and-course dialog: no later step, outcome unchanged,
        // and the program ends.
        ui.closeMainWindow();
        return;
    }

    RememberCourses(state, ui);
    WriteRunReport(state, ui, ImportReportPath(state.paths.workDir),
                   [&state] { return SummarizeImport(state.document, state.paths); });
    FinishRun(state, ui);
}
