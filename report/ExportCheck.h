#pragma once
// The check of an exported timetable before it is uploaded: the document just written, read
// back from its file, against the Séneca export it was translated from and the work tables.
// It only reads.

#include "report/Report.h"

#include <QString>

// output: the written document; input: the Séneca export chosen for the run; workDir: the
// tables. Throws RunError when one of them cannot be read.
Report CheckExport(const QString &output, const QString &input, const QString &workDir);

// Where the report of an export goes: beside the output, named after it
// (ResultadoVelkorX.xml gives ResultadoVelkorX.informe.html).
QString ExportReportPath(const QString &output);
