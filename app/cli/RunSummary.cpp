#include "app/cli/RunSummary.h"

#include "platform/DbfTable.h"
#include "platform/RunError.h"
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
