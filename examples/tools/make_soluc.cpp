// Writes a solved timetable SOLUC.DBF in the layout the host gives it, for the sample school
// and the benchmark.
//
//   make-soluc from-csv SOURCE.csv FOLDER
//       SOLUC.DBF in FOLDER from a readable source: UTF-8, ';' between fields, first line
//       PROF;DIA;HORA;ASIG;CODGRUPO;TAREA;AULA, one timetable entry per line.
//   make-soluc synth WORKDIR [LESSONS] [--csv OUT.csv]
//       SOLUC.DBF in WORKDIR made up from the tables an import left there: LESSONS entries
//       (25 by default, at most one per weekday slot) for every teacher of PROFT, drawn in a
//       fixed way from ASIGT, the activities of ASIGNOMT, DIASHORAST and AULAT, so the same
//       tables always give the same timetable. A few entries are left unplaced (DIA 0) or
//       without a room, as the host leaves them. With --csv the entries are also written as
//       a source for from-csv.

#include "platform/DbfTable.h"
#include "platform/RunError.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <map>
#include <vector>

namespace {

struct Entry {
    QString prof;
    int day = 0;
    int slot = 0;
    QString subject, group, activity, room;
};

const QString Header = QStringLiteral("PROF;DIA;HORA;ASIG;CODGRUPO;TAREA;AULA");

QString field(const char *name) { return QString::fromLatin1(name); }

void writeSoluc(const QString &folder, const std::vector<Entry> &entries) {
    const QString old = DbfTable::findFile(folder, QStringLiteral("SOLUC"));
    if (!old.isEmpty() && !QFile::remove(old))
        throw RunError(QStringLiteral("No se puede borrar %1").arg(old));
    DbfTable::create(folder, QStringLiteral("SOLUC"),
                     {{field("PROF"), DbfFieldType::Character, 10},
                      {field("DIA"), DbfFieldType::Integer, 0},
                      {field("HORA"), DbfFieldType::Integer, 0},
                      {field("ASIG"), DbfFieldType::Character, 10},
                      {field("CODGRUPO"), DbfFieldType::Character, 10},
                      {field("TAREA"), DbfFieldType::Character, 10},
                      {field("AULA"), DbfFieldType::Character, 10}});
    DbfTable t;
    t.open(folder, QStringLiteral("SOLUC"));
    for (const Entry &e : entries) {
        t.append();
        t.setText(field("PROF"), AnsiText::fromQString(e.prof));
        t.setInteger(field("DIA"), e.day);
        t.setInteger(field("HORA"), e.slot);
        t.setText(field("ASIG"), AnsiText::fromQString(e.subject));
        t.setText(field("CODGRUPO"), AnsiText::fromQString(e.group));
        t.setText(field("TAREA"), AnsiText::fromQString(e.activity));
        t.setText(field("AULA"), AnsiText::fromQString(e.room));
    }
    if (!entries.empty())
        t.post();
    t.close();
}

int toInt(const QString &text, const QString &path, int line) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        throw RunError(QStringLiteral("%1:%2: '%3' no es un número").arg(path).arg(line).arg(text));
    return v;
}

std::vector<Entry> readCsv(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw RunError(QStringLiteral("No se puede leer %1: %2").arg(path, file.errorString()));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    if (in.readLine() != Header)
        throw RunError(QStringLiteral("%1: la primera línea debe ser %2").arg(path, Header));
    std::vector<Entry> entries;
    for (int line = 2; !in.atEnd(); ++line) {
        const QString text = in.readLine();
        if (text.trimmed().isEmpty())
            continue;
        const QStringList f = text.split(QLatin1Char(';'));
        if (f.size() != 7)
            throw RunError(QStringLiteral("%1:%2: se esperan 7 campos").arg(path).arg(line));
        entries.push_back({f[0], toInt(f[1], path, line), toInt(f[2], path, line), f[3], f[4], f[5], f[6]});
    }
    return entries;
}

void writeCsv(const QString &path, const std::vector<Entry> &entries) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        throw RunError(QStringLiteral("No se puede escribir %1: %2").arg(path, file.errorString()));
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << Header << '\n';
    for (const Entry &e : entries)
        out << QStringList({e.prof, QString::number(e.day), QString::number(e.slot), e.subject, e.group, e.activity,
                            e.room})
                   .join(QLatin1Char(';'))
            << '\n';
}

// Every record's values of the named fields, in table order.
std::vector<QStringList> rows(const QString &folder, const char *table, std::initializer_list<const char *> fields) {
    DbfTable t;
    t.open(folder, QString::fromLatin1(table), DbfTable::Mode::Shared);
    std::vector<QStringList> out;
    for (t.first(); !t.eof(); t.next()) {
        QStringList values;
        for (const char *f : fields)
            values << t.text(field(f)).toQString();
        out.push_back(values);
    }
    return out;
}

std::vector<Entry> synthesize(const QString &workDir, int lessons) {
    const auto teachers = rows(workDir, "PROFT", {"ABREV"});
    const auto assignments = rows(workDir, "ASIGT", {"CASIG", "CGRUP"});
    const auto rooms = rows(workDir, "AULAT", {"ABREV"});
    std::vector<QString> activities;
    for (const QStringList &r : rows(workDir, "ASIGNOMT", {"COD", "CODTAREA"}))
        if (!r[1].trimmed().isEmpty())
            activities.push_back(r[0]);
    // Slots per weekday: the ordinals after the day in DIHO.
    std::map<int, int> slotsPerDay;
    for (const QStringList &r : rows(workDir, "DIASHORAST", {"DIA"}))
        ++slotsPerDay[r[0].toInt()];
    const int slotCount = slotsPerDay.count(1) ? slotsPerDay[1] : 0;
    if (assignments.empty() || slotCount == 0)
        throw RunError(QStringLiteral("%1 no tiene ASIGT o DIASHORAST con datos").arg(workDir));
    if (lessons > 5 * slotCount)
        throw RunError(QStringLiteral("No caben %1 sesiones en %2 tramos por semana").arg(lessons).arg(5 * slotCount));

    std::vector<Entry> entries;
    entries.reserve(teachers.size() * static_cast<size_t>(lessons));
    for (size_t i = 0; i < teachers.size(); ++i) {
        for (int k = 0; k < lessons; ++k) {
            Entry e;
            e.prof = teachers[i][0];
            e.day = 1 + k % 5;
            e.slot = 1 + k / 5;
            if (k % 8 == 7 && !activities.empty()) {
                e.subject = activities[(i + static_cast<size_t>(k)) % activities.size()];
            } else {
                const QStringList &a = assignments[(i * static_cast<size_t>(lessons) + static_cast<size_t>(k)) %
                                                   assignments.size()];
                e.subject = a[0];
                e.group = a[1];
                if (k % 6 != 5 && !rooms.empty())
                    e.room = rooms[(i * 7 + static_cast<size_t>(k)) % rooms.size()][0];
            }
            if (k % 12 == 11) // left unplaced by the host
                e.day = e.slot = 0;
            entries.push_back(e);
        }
    }
    return entries;
}

int usage() {
    QTextStream(stderr) << "Uso: make-soluc from-csv ORIGEN.csv CARPETA\n"
                           "     make-soluc synth CARPETA_DE_TRABAJO [SESIONES] [--csv SALIDA.csv]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 3 && args[0] == QStringLiteral("from-csv")) {
            writeSoluc(args[2], readCsv(args[1]));
            return 0;
        }
        if (args.size() >= 2 && args[0] == QStringLiteral("synth")) {
            QString csv;
            const qsizetype at = args.indexOf(QStringLiteral("--csv"));
            if (at >= 0) {
                if (at + 1 >= args.size())
                    return usage();
                csv = args[at + 1];
                args.remove(at, 2);
            }
            if (args.size() > 3)
                return usage();
            const int lessons = args.size() == 3 ? args[2].toInt() : 25;
            const std::vector<Entry> entries = synthesize(args[1], lessons);
            writeSoluc(args[1], entries);
            if (!csv.isEmpty())
                writeCsv(csv, entries);
            return 0;
        }
    } catch (const RunError &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    return usage();
}
