#include "app/cli/RunSummary.h"

#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "platform/XmlDocument.h"

#include <QDir>
#include <QFileInfo>

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

QString ExportOutputPath(const QString &inputFile) {
    const QFileInfo input(inputFile);
    return input.dir().filePath(QStringLiteral("ResultadoVelkor") + input.fileName());
}

void PrintExportSummary(const QString &inputFile, QTextStream &out) {
    const QString output = ExportOutputPath(inputFile);
    XmlDocument doc;
    if (!doc.load(output)) {
        out << QStringLiteral("No se pudo leer el resultado %1.").arg(QDir::toNativeSeparators(output)) << Qt::endl;
        return;
    }
    const int teachers =
        doc.select("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos").length();
    const int lessons =
        doc.select("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos/grupo_datos").length();
    out << QStringLiteral("Resultado: %1").arg(QDir::toNativeSeparators(output)) << Qt::endl;
    out << QStringLiteral("  %1 profesores, %2 sesiones de horario").arg(teachers).arg(lessons) << Qt::endl;
}
