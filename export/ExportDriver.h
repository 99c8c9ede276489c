#pragma once
// The timetable-to-Séneca direction, started by the button BImportar or the word "importar".

#include "seneca/RunState.h"
#include "seneca/UserInterface.h"

// Chooses the file, reads the host's solved timetable and the import's tables, and writes
// "ResultadoVelkor" + the file's name beside it. Errors are shown through the error display
// and leave outcome and buttons unchanged. Never throws.
void BImportarClick(RunState &state, UserInterface &ui);
