#pragma once
// The beginning and the end that both directions share.

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

// Shows the open-file dialog; a confirmed choice becomes the remembered file name, shared by
// both directions. False when no file exists at the remembered name: "No existe archivo" has
// been shown and, in host mode, -1 handed back and the window closed.
bool ChooseExistingFile(RunState &state, UserInterface &ui);

// A direction that ran to its end: outcome 1, "Proceso finalizado", both direction buttons
// disabled (one conversion per program run) and, in host mode, the window closed.
void FinishRun(RunState &state, UserInterface &ui);
