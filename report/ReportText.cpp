#include "report/ReportText.h"

#include <QDir>

namespace {

QString counted(int n, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

QString levelHeading(FindingLevel level) {
    switch (level) {
    case FindingLevel::Error:
        return QStringLiteral("ERRORES");
    case FindingLevel::Aviso:
        return QStringLiteral("AVISOS");
    case FindingLevel::Nota:
        break;
    }
    return QStringLiteral("NOTAS");
}

} // namespace

QString ReportTotals(const Report &report) {
    return counted(report.count(FindingLevel::Error), "error", "errores") + QStringLiteral(", ") +
           counted(report.count(FindingLevel::Aviso), "aviso", "avisos") + QStringLiteral(", ") +
           counted(report.count(FindingLevel::Nota), "nota", "notas");
}

QString ReportText(const Report &report) {
    QString t = report.title() + QStringLiteral(": ") + QDir::toNativeSeparators(report.subject()) +
                QLatin1Char('\n');
    for (const auto &[label, value] : report.counts())
        t += QStringLiteral("  %1: %2\n").arg(label).arg(value);
    t += QStringLiteral("  ") + ReportTotals(report) + QLatin1Char('\n');
    for (FindingLevel level : {FindingLevel::Error, FindingLevel::Aviso, FindingLevel::Nota}) {
        const auto groups = report.byKind(level);
        if (groups.empty())
            continue;
        t += QStringLiteral("\n%1 (%2)\n").arg(levelHeading(level)).arg(report.count(level));
        for (const auto &[kind, findings] : groups) {
            t += QStringLiteral("  %1 (%2)\n").arg(kind).arg(findings.size());
            for (const Finding *f : findings)
                t += QStringLiteral("    - ") + f->text + QLatin1Char('\n');
        }
    }
    return t;
}
