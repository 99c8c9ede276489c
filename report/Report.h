#pragma once
// The report that ends every finished run: a few counts, then the findings. The checks only
// add to it; the writers (ReportHtml, ReportText) show it.

#include "report/Finding.h"

#include <QString>
#include <utility>
#include <vector>

class Report {
public:
    Report() = default;
    Report(QString title, QString subject) : m_title(std::move(title)), m_subject(std::move(subject)) {}

    const QString &title() const { return m_title; }     // "Comprobación de la exportación"
    const QString &subject() const { return m_subject; } // the file the run worked on

    // A count shown on top ("Profesores", 68).
    void addCount(const QString &label, long long value) { m_counts.emplace_back(label, value); }
    void add(FindingLevel level, const QString &kind, const QString &text) { m_findings.push_back({level, kind, text}); }

    const std::vector<std::pair<QString, long long>> &counts() const { return m_counts; }
    const std::vector<Finding> &findings() const { return m_findings; }
    int count(FindingLevel level) const;
    // The findings of one level grouped by kind, kinds in the order they were first added.
    std::vector<std::pair<QString, std::vector<const Finding *>>> byKind(FindingLevel level) const;
    // True when there is at least one error or aviso: what the window offers to open.
    bool needsAttention() const { return count(FindingLevel::Error) + count(FindingLevel::Aviso) > 0; }

private:
    QString m_title;
    QString m_subject;
    std::vector<std::pair<QString, long long>> m_counts;
    std::vector<Finding> m_findings;
};

// What a finished run left: the report and where it was written (empty when it could not be).
struct RunReport {
    Report report;
    QString path;
    bool written = false;
};
