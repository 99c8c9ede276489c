#include "report/Report.h"

#include <algorithm>

QString LevelName(FindingLevel level) {
    switch (level) {
    case FindingLevel::Error:
        return QStringLiteral("error");
    case FindingLevel::Aviso:
        return QStringLiteral("aviso");
    case FindingLevel::Nota:
        break;
    }
    return QStringLiteral("nota");
}

QString LevelHeading(FindingLevel level) {
    switch (level) {
    case FindingLevel::Error:
        return QStringLiteral("Errores");
    case FindingLevel::Aviso:
        return QStringLiteral("Avisos");
    case FindingLevel::Nota:
        break;
    }
    return QStringLiteral("Notas");
}

QString CountedLevel(FindingLevel level, int n) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? LevelName(level) : LevelHeading(level).toLower());
}

int Report::count(FindingLevel level) const {
    return static_cast<int>(
        std::count_if(m_findings.begin(), m_findings.end(), [level](const Finding &f) { return f.level == level; }));
}

std::vector<std::pair<QString, std::vector<const Finding *>>> Report::byKind(FindingLevel level) const {
    std::vector<std::pair<QString, std::vector<const Finding *>>> groups;
    for (const Finding &f : m_findings) {
        if (f.level != level)
            continue;
        auto it = std::find_if(groups.begin(), groups.end(), [&](const auto &g) { return g.first == f.kind; });
        if (it == groups.end())
            it = groups.insert(groups.end(), {f.kind, {}});
        it->second.push_back(&f);
    }
    return groups;
}
