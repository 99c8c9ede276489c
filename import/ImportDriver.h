#pragma once
// The Séneca-to-timetable direction, started by the button BExportar or the word "exportar".

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

// Chooses the file (remembered across runs and directions), loads it, runs the nine steps
// under the wait cursor and reports. An error ends the run: it is shown through the error
// display, tables already written stay, outcome and buttons are unchanged. Never throws.
void BExportarClick(RunState &state, UserInterface &ui);
