#pragma once
// What the command-line tool prints after a finished run.

#include <QString>
#include <QTextStream>

// Each table the import writes, with its row count.
void PrintImportSummary(const QString &workDir, QTextStream &out);
struct ExportCounts;
// Where the exported document is, and how many teachers and lessons it holds.
void PrintExportSummary(const ExportCounts &counts, QTextStream &out);

struct RunReport;
// The report's counts of errors, avisos and notes and its path, on out; the findings that say
// a data group is missing, and a line when the report has errors, on err.
void PrintReportSummary(const RunReport &report, QTextStream &out, QTextStream &err);
