#pragma once
// The summary of an import: what each table got, and what the user should know about the
// Séneca export and about what the import made of it (texts cut to their fields, doubled keys,
// values that are not what they should be, skipped records, the groups each unit became).
// Made after the steps from the loaded document and the tables they wrote; it only reads.

#include "report/Report.h"
#include "seneca/RunState.h"

#include <QString>

// The kind of the findings that say a data group is missing or empty; the command-line tool
// also prints them on standard error.
inline const QString MissingGroupKind = QStringLiteral("Grupo de datos ausente o vacío");

// Throws RunError when a table cannot be read.
Report SummarizeImport(const SenecaDocument &document, const Paths &paths);

// Where the report of an import goes: in the working folder.
QString ImportReportPath(const QString &workDir);
