#include "report/ReportHtml.h"

#include "platform/FileFault.h"
#include "platform/RunError.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>

#include <functional>

namespace {

const char *const Style = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; margin: 2em; color: #222; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
p.origen { color: #555; margin-top: 0; }
table.recuento { border-collapse: collapse; margin: 1em 0; }
table.recuento td, table.recuento th { border: 1px solid #bbb; padding: 0.25em 0.8em; text-align: left; }
table.recuento td.n { text-align: right; }
.resumen span { display: inline-block; padding: 0.3em 0.8em; margin-right: 0.5em; border-radius: 0.3em; font-weight: bold; }
.error { background: #fde2e1; color: #8a1c12; }
.aviso { background: #fff1c9; color: #6b4e00; }
.nota { background: #e3effc; color: #1b4a80; }
h2 { margin-top: 1.5em; padding: 0.2em 0.5em; }
h3 { font-size: 1.05em; margin-bottom: 0.3em; }
ul { margin-top: 0.2em; }
li { margin: 0.15em 0; }
@media print {
  body { margin: 0; }
  h2, h3 { page-break-after: avoid; }
  li { page-break-inside: avoid; }
}
)";

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

QString levelExplained(FindingLevel level) {
    switch (level) {
    case FindingLevel::Error:
        return QStringLiteral("Séneca lo rechazaría o es seguro que está mal.");
    case FindingLevel::Aviso:
        return QStringLiteral("Probablemente está mal: conviene revisarlo.");
    case FindingLevel::Nota:
        break;
    }
    return QStringLiteral("Para saberlo.");
}

// Writes the page to `out` piece by piece, in UTF-8: a school with thousands of findings has a
// page of many megabytes, which is never held whole.
void writePage(const Report &report, const std::function<void(const QByteArray &)> &out) {
    QString h;
    // Hands what has been built so far to `out` once it has grown past a few pages.
    const auto flush = [&](bool always) {
        if (always || h.size() > 64 * 1024) {
            out(h.toUtf8());
            h.clear();
        }
    };
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>");
    h += escaped(report.title());
    h += QStringLiteral("</title>\n<style>") + QString::fromUtf8(Style) + QStringLiteral("</style>\n</head>\n<body>\n");
    h += QStringLiteral("<h1>%1</h1>\n").arg(escaped(report.title()));
    h += QStringLiteral("<p class=\"origen\">%1 — %2</p>\n")
             .arg(escaped(QDir::toNativeSeparators(report.subject())),
                  escaped(QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))));

    const FindingLevel levels[] = {FindingLevel::Error, FindingLevel::Aviso, FindingLevel::Nota};
    h += QStringLiteral("<p class=\"resumen\">");
    for (FindingLevel level : levels)
        h += QStringLiteral("<span class=\"%1\">%2: %3</span>")
                 .arg(LevelName(level), LevelHeading(level))
                 .arg(report.count(level));
    h += QStringLiteral("</p>\n");

    if (!report.counts().empty()) {
        h += QStringLiteral("<table class=\"recuento\">\n");
        for (const auto &[label, value] : report.counts())
            h += QStringLiteral("<tr><th>%1</th><td class=\"n\">%2</td></tr>\n").arg(escaped(label)).arg(value);
        h += QStringLiteral("</table>\n");
    }

    for (FindingLevel level : levels) {
        const auto groups = report.byKind(level);
        if (groups.empty())
            continue;
        h += QStringLiteral("<h2 class=\"%1\">%2 (%3)</h2>\n<p>%4</p>\n")
                 .arg(LevelName(level), LevelHeading(level))
                 .arg(report.count(level))
                 .arg(levelExplained(level));
        for (const auto &[kind, findings] : groups) {
            h += QStringLiteral("<h3>%1 (%2)</h3>\n<ul>\n").arg(escaped(kind)).arg(findings.size());
            for (const Finding *f : findings)
            {
                h += QStringLiteral("<li>%1</li>\n").arg(escaped(f->text));
                flush(false);
            }
            h += QStringLiteral("</ul>\n");
        }
    }
    if (report.findings().empty())
        h += QStringLiteral("<p>No se ha encontrado nada que revisar.</p>\n");
    h += QStringLiteral("</body>\n</html>\n");
    flush(true);
}

} // namespace

QByteArray ReportHtml(const Report &report) {
    QByteArray page;
    writePage(report, [&page](const QByteArray &piece) { page += piece; });
    return page;
}

void WriteReportHtml(const Report &report, const QString &path) {
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    // Unbuffered, so that a failed write fails here and not unseen inside commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw RunError(QStringLiteral("No se puede crear el informe «%1»: %2.").arg(shown, DescribeFileError(file)));
    writePage(report, [&](const QByteArray &piece) {
        if (file.write(piece) != piece.size()) {
            const QString reason = DescribeFileError(file);
            file.cancelWriting();
            throw RunError(QStringLiteral("No se puede escribir el informe «%1»: %2.").arg(shown, reason));
        }
    });
    if (!file.commit())
        throw RunError(QStringLiteral("No se puede guardar el informe «%1»: %2.").arg(shown, DescribeFileError(file)));
}
