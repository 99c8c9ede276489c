#pragma once
// The beginning and the end that both directions share.

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

#include <functional>

// Shows the open-file dialog; a confirmed choice becomes the remembered file name, shared by
// both directions. False when no file exists at the remembered name: "No existe archivo" has
// been shown and, in host mode, -1 handed back and the window closed.
bool ChooseExistingFile(RunState &state, UserInterface &ui);

// Runs the check of a direction that got to its end and writes its report to path, kept in
// state.report. The check only reads; when it or the writing fails, the error is shown, the
// report is marked unwritten (an earlier file stays as it was) and the run still finishes.
// Without state.checkOutputs nothing is checked or written and the report stays empty.
void WriteRunReport(RunState &state, UserInterface &ui, const QString &path, const std::function<Report()> &check);

// A direction that ran to its end: outcome 1, "Proceso finalizado", the offer to open a report
// that needs attention (not in host mode), both direction buttons disabled (one conversion per
// program run) and, in host mode, the window closed.
void FinishRun(RunState &state, UserInterface &ui);
