#include "app/cli/RunSummary.h"

#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "report/ImportSummary.h"
#include "report/ReportText.h"
#include "seneca/RunState.h"

#include <QDir>

namespace {
const char *const ImportedTables[] = {"PERIODOS", "CURSOST", "ASIGNOMT", "ASIGNOMT2", "PROFT",
                                      "AULAT",    "GRUPOST", "ASIGT",    "DIASHORAST"};
}

void PrintImportSummary(const QString &workDir, QTextStream &out) {
    out << QStringLiteral("Tablas escritas en %1:").arg(QDir::toNativeSeparators(workDir)) << Qt::endl;
    for (const char *name : ImportedTables) {
        const QString table = QString::fromLatin1(name);
        try {
            DbfTable t;
            t.open(workDir, table, DbfTable::Mode::Shared);
            out << QStringLiteral("  %1 %2 registros").arg(table + QStringLiteral(".DBF:"), -16).arg(t.recordCount())
                << Qt::endl;
        } catch (const RunError &error) {
            out << QStringLiteral("  %1 %2").arg(table + QStringLiteral(".DBF:"), -16).arg(error.message()) << Qt::endl;
        }
    }
}

void PrintExportSummary(const ExportCounts &counts, QTextStream &out) {
    out << QStringLiteral("Resultado: %1").arg(QDir::toNativeSeparators(counts.output)) << Qt::endl;
    out << QStringLiteral("  %1 profesores, %2 sesiones de horario").arg(counts.teachers).arg(counts.lessons)
        << Qt::endl;
}

void PrintReportSummary(const RunReport &report, QTextStream &out, QTextStream &err) {
    const QString path = QDir::toNativeSeparators(report.path);
    out << QStringLiteral("Informe: %1").arg(path) << Qt::endl;
    out << QStringLiteral("  %1").arg(ReportTotals(report.report)) << Qt::endl;
    for (const Finding &f : report.report.findings())
        if (f.kind == MissingGroupKind)
            err << QStringLiteral("%1: %2").arg(f.level == FindingLevel::Error ? QStringLiteral("ERROR")
                                                                              : QStringLiteral("AVISO"),
                                                f.text)
                << Qt::endl;
    if (const int errors = report.report.count(FindingLevel::Error); errors > 0)
        err << QStringLiteral("ATENCIÓN: el informe tiene %1 %2; véase %3")
                   .arg(errors)
                   .arg(errors == 1 ? QStringLiteral("error") : QStringLiteral("errores"), path)
            << Qt::endl;
}
