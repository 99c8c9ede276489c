#pragma once
// The report as plain text, for the command-line tool: the counts, then one line per finding
// under its level and kind.

#include "report/Report.h"

#include <QString>

QString ReportText(const Report &report);
// "2 errores, 1 aviso, 0 notas"
QString ReportTotals(const Report &report);
