#include "support/TestSupport.h"

#include "report/Report.h"

#include "import/CoursesTable.h"
#include "platform/DbfTable.h"
#include "seneca/Clipper.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace TestSupport {

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString dataFile(const QString &name) {
    const QString path = QDir(QStringLiteral(TVS_TESTDATA)).filePath(name);
    if (!QFile::exists(path))
        qFatal("missing test fixture %s", qPrintable(path));
    return path;
}

std::optional<QString> ScriptedUi::chooseFile(const QString &initialFolder) {
    events << QStringLiteral("choose:") + initialFolder;
    if (fileAnswers.empty())
        return std::nullopt;
    const bool chosen = fileAnswers.front().has_value();
    const QString path = chosen ? *fileAnswers.front() : QString();
    fileAnswers.pop_front();
    if (!chosen)
        return std::nullopt;
    return path;
}

void ScriptedUi::showMessage(const QString &text) {
    messages << text;
    events << QStringLiteral("message:") + text;
}

void ScriptedUi::showError(const QString &text) {
    errors << text;
    events << QStringLiteral("error:") + text;
}

void ScriptedUi::setBusy(bool on) {
    busy = on;
    events << (on ? QStringLiteral("busy:1") : QStringLiteral("busy:0"));
}

CourseDialogResult ScriptedUi::editCourses(RunState &state) {
    ++courseShowings;
    events << QStringLiteral("courses");
    if (courseEditor)
        return courseEditor(state);
    return {};
}

void ScriptedUi::disableDirectionButtons() {
    buttonsDisabled = true;
    events << QStringLiteral("disable");
}

void ScriptedUi::closeMainWindow() {
    closed = true;
    events << QStringLiteral("close");
}

Paths pathsIn(const QString &root) {
    QDir(root).mkpath(QStringLiteral("ZTEMP/seneca"));
    QDir(root).mkpath(QStringLiteral("exe"));
    Paths p;
    p.workDir = QDir(root).filePath(QStringLiteral("ZTEMP"));
    p.dialogDir = QDir(p.workDir).filePath(QStringLiteral("seneca"));
    p.exeDir = QDir(root).filePath(QStringLiteral("exe"));
    p.iniPath = QDir(p.exeDir).filePath(QStringLiteral("Zetarium.ini"));
    const QString built = QDir(QStringLiteral(TVS_BINARY_DIR)).filePath(QStringLiteral("SENEMATERIAS.DBF"));
    p.catalogPath = QFile::exists(built) ? built : QDir(p.exeDir).filePath(QStringLiteral("SENEMATERIAS.DBF"));
    return p;
}

static QString escaped(const QString &text) { return text.toHtmlEscaped(); }

QString writeSeneca(const QString &folder, const QString &fileName, const QStringList &groups) {
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
                                 "<SERVICIO modulo=\"HORARIOS\" tipo=\"E\" autor=\"PRUEBAS\" fecha=\"01/09/2026 10:00:00\">\n"
                                 "<BLOQUE_DATOS>\n");
    for (const QString &g : groups)
        xml += g + QLatin1Char('\n');
    xml += QStringLiteral("</BLOQUE_DATOS>\n</SERVICIO>\n");
    const QString path = QDir(folder).filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(xml.toLatin1());
    return path;
}

QString group(const QString &seq, const QList<QStringList> &records, const QStringList &names) {
    QString out = QStringLiteral("<grupo_datos seq=\"%1\" registros=\"%2\">\n").arg(seq).arg(records.size());
    int n = 0;
    for (const QStringList &values : records) {
        out += QStringLiteral("  <grupo_datos seq=\"REGISTRO_%1\">\n").arg(++n);
        for (int i = 0; i < values.size(); ++i) {
            const QString name = i < names.size() ? names[i] : QStringLiteral("CAMPO_%1").arg(i);
            out += values[i].isEmpty() ? QStringLiteral("    <dato nombre_dato=\"%1\"/>\n").arg(name)
                                       : QStringLiteral("    <dato nombre_dato=\"%1\">%2</dato>\n")
                                             .arg(name, escaped(values[i]));
        }
        out += QStringLiteral("  </grupo_datos>\n");
    }
    out += QStringLiteral("</grupo_datos>");
    return out;
}

QString yearGroup(const QString &year, const QString &start, const QString &end) {
    return QStringLiteral("<grupo_datos seq=\"ANNO_ACADEMICO\">\n"
                          "  <dato nombre_dato=\"C_ANNO\">%1</dato>\n"
                          "  <dato nombre_dato=\"F_INIHORREG\">%2</dato>\n"
                          "  <dato nombre_dato=\"F_FINHORREG\">%3</dato>\n"
                          "</grupo_datos>")
        .arg(escaped(year), escaped(start), escaped(end));
}

void writeCourses(const QString &folder, const QList<QStringList> &rows) {
    DbfTable::create(folder, CoursesTable::Name, CoursesTable::fields());
    DbfTable t;
    t.open(folder, CoursesTable::Name, DbfTable::Mode::Exclusive);
    for (const QStringList &r : rows) {
        t.append();
        t.setText(QStringLiteral("CLAVE"), AnsiText::fromQString(r[0]));
        t.setText(QStringLiteral("ESTUD"),
                  AnsiText::fromQString(r.size() > 3 ? r[3] : QStringLiteral("Estudios ") + r[0]));
        t.setText(QStringLiteral("NIVEL"), AnsiText::fromQString(r[1]));
        t.setText(QStringLiteral("CURSO"), AnsiText::fromQString(r[2]));
        t.post();
    }
    t.close();
}

QStringList dumpTable(const QString &folder, const QString &name) {
    DbfTable table;
    table.open(folder, name, DbfTable::Mode::Shared);
    QStringList lines;
    for (table.first(); !table.eof(); table.next()) {
        QStringList cells;
        for (const DbfFieldInfo &f : table.fields())
            cells << f.name + QLatin1Char('=') + table.text(f.name).toQString();
        lines << cells.join(QLatin1Char('|'));
    }
    table.close();
    return lines;
}

QStringList column(const QString &folder, const QString &name, const QString &field) {
    DbfTable table;
    table.open(folder, name, DbfTable::Mode::Shared);
    QStringList values;
    for (table.first(); !table.eof(); table.next())
        values << table.text(field).toQString();
    table.close();
    return values;
}

QStringList columns(const QString &folder, const QString &name, const QStringList &fields) {
    DbfTable table;
    table.open(folder, name, DbfTable::Mode::Shared);
    QStringList lines;
    for (table.first(); !table.eof(); table.next()) {
        QStringList cells;
        for (const QString &f : fields)
            cells << table.text(f).toQString();
        lines << cells.join(QLatin1Char('|'));
    }
    table.close();
    return lines;
}

} // namespace TestSupport

QString TestSupport::DumpFindings(const Report &report) {
    QStringList lines;
    for (const Finding &f : report.findings())
        lines << LevelName(f.level) + QStringLiteral(" | ") + f.kind + QStringLiteral(" | ") + f.text;
    return lines.join(QLatin1Char('\n'));
}
