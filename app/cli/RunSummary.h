#pragma once
// What the command-line tool prints after a finished run.

#include <QString>
#include <QTextStream>

// Each table the import writes, with its row count.
void PrintImportSummary(const QString &workDir, QTextStream &out);
// Where the exported document is, and how many teachers and lessons it holds.
void PrintExportSummary(const QString &inputFile, QTextStream &out);
// "ResultadoVelkor" + the input's name, beside the input.
QString ExportOutputPath(const QString &inputFile);
