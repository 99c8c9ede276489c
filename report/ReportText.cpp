#include "report/ReportText.h"

#include <QDir>

QString ReportTotals(const Report &report) {
    QStringList parts;
    for (FindingLevel level : {FindingLevel::Error, FindingLevel::Aviso, FindingLevel::Nota})
        parts << CountedLevel(level, report.count(level));
    return parts.join(QStringLiteral(", "));
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
        t += QStringLiteral("\n%1 (%2)\n").arg(LevelHeading(level).toUpper()).arg(report.count(level));
        for (const auto &[kind, findings] : groups) {
            t += QStringLiteral("  %1 (%2)\n").arg(kind).arg(findings.size());
            for (const Finding *f : findings)
                t += QStringLiteral("    - ") + f->text + QLatin1Char('\n');
        }
    }
    return t;
}
