#include "seneca/DirectionRun.h"

#include "platform/RunError.h"
#include "report/ReportHtml.h"
#include "seneca/Messages.h"

#include <QFileInfo>

#include <new>

bool ChooseExistingFile(RunState &state, UserInterface &ui) {
    if (auto chosen = ui.chooseFile(state.paths.dialogDir))
        state.rememberedFile = *chosen;
    if (!state.rememberedFile.isEmpty() && QFileInfo(state.rememberedFile).isFile())
        return true;
    ui.showMessage(Msg::NoFile);
    if (state.hostMode) {
        state.outcome = -1;
        ui.closeMainWindow();
    }
    return false;
}

void WriteRunReport(RunState &state, UserInterface &ui, const QString &path, const std::function<Report()> &check) {
    state.report = RunReport();
    if (!state.checkOutputs)
        return;
    state.report.path = path;
    try {
        state.report.report = check();
        WriteReportHtml(state.report.report, path);
        state.report.written = true;
    } catch (const RunError &error) {
        ui.showError(QStringLiteral("No se ha podido preparar el informe de comprobación: %1").arg(error.message()));
    } catch (const std::bad_alloc &) {
        ui.showError(QStringLiteral("No hay memoria suficiente para preparar el informe de comprobación."));
    }
}

void FinishRun(RunState &state, UserInterface &ui) {
    state.outcome = 1;
    ui.showMessage(Msg::Finished);
    const Report &report = state.report.report;
    if (!state.hostMode && state.report.written && report.needsAttention())
        ui.offerReport(state.report.path, report.count(FindingLevel::Error), report.count(FindingLevel::Aviso));
    ui.disableDirectionButtons();
    if (state.hostMode)
        ui.closeMainWindow();
}
