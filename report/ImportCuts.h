#pragma once
// Texts of the Séneca export that the import cut to the width of their field, and cut values
// that now collide (two slots, subjects or rooms that ended up with the same short name).
// A cut code is an error (the export would send back a code Séneca does not know); a cut name
// or text is a note.

#include "report/Report.h"
#include "report/SenecaExport.h"

void ReportCuts(const SenecaExport &s, Report &report);
