#pragma once
// The report as one self-contained HTML page in Spanish (no script, no outside file), readable
// on screen and on paper: the counts on top, then the findings by level and kind.

#include "report/Report.h"

#include <QByteArray>
#include <QString>

// The page, UTF-8.
QByteArray ReportHtml(const Report &report);

// Writes the page through a temporary file that replaces `path` only when complete, so a
// failure leaves an earlier report as it was. Throws RunError naming the file.
void WriteReportHtml(const Report &report, const QString &path);
