// Bad inputs of every kind a user may hand the converter, each made small by the test and run
// twice: through transvelkor-cli as a process and through the core's run functions. A run that
// must fail ends with a status other than 0 and one Spanish message that says what is wrong
// (and names the file where one is at fault), leaves every file of the test's folders
// byte-identical (tables, the earlier report, the document, the earlier result) and no file
// behind, and ends within seconds. Rows that the converter takes in its stride say what it
// must have written instead.

#include "app/cli/CoursesCsv.h"
#include "export/ExportDriver.h"
#include "import/ImportDriver.h"
#include "platform/DbfTable.h"
#include "seneca/Messages.h"
#include "support/ExportFixture.h"
#include "support/FileSizeLimit.h"
#include "support/ReadOnlyFolder.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>

using namespace TestSupport;

namespace {

enum class Direction { Import, Export };

// One test's folders: the document and courses file in `in`, the host's work folder holding
// a good import of the school (and a solved timetable) in `work`.
struct Fixture {
    QString root, in, work, document, courses;
    QString readOnly;              // a folder made read-only for the run, when set
    std::int64_t fileSizeLimit = 0; // writes past this many bytes fail during the run, when set
    QString lockedTable;           // a table another process holds during the run, when set
};

using Prepare = void (*)(Fixture &);
using Check = void (*)(const Fixture &);

QString inFile(const Fixture &f, const QString &name) { return QDir(f.in).filePath(name); }

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// ---- the school -------------------------------------------------------------------------

const QStringList StaffNames = {"X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"};
const QStringList SlotNames = {"X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN", "X_PLAJORESCCEN"};

QString staffGroup(const QString &department = "Matemáticas") {
    return group("EMPLEADOS",
                 {{"1000001", "01/09/2020", department, "García", "López", "Ana"},
                  {"1000002", "03/09/2019", "Lengua", "Pérez", "", "Luis"}},
                 StaffNames);
}

QString slotGroup(const QString &firstStart = "480") {
    return group("TRAMOS_HORARIOS", {{"600001", "1ª hora", firstStart, "540", "1"}, {"600002", "2ª hora", "540", "600", "1"}},
                 SlotNames);
}

// Every group of a small school, in the order Séneca writes them; `replace` swaps one group
// (by its seq) for other text, or drops it when the text is empty.
QStringList schoolGroups(const std::map<QString, QString> &replace = {}) {
    const QList<QPair<QString, QString>> groups = {
        {"ANNO_ACADEMICO", yearGroup("2026", "15/09/2026", "22/06/2027")},
        {"CURSOS_DEL_CENTRO", group("CURSOS_DEL_CENTRO", {{"6001", "1º de E.S.O."}, {"6002", "2º de E.S.O."}},
                                    {"X_OFERTAMATRIG", "D_OFERTAMATRIG"})},
        {"MATERIAS", group("MATERIAS", {{"6001", "Matemáticas", "700001", "4"}, {"6002", "Lengua", "700002", "4"}},
                           {"X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"})},
        {"ACTIVIDADES", group("ACTIVIDADES", {{"S", "1", "Docencia", "S", "S"}},
                              {"L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"})},
        {"DEPENDENCIAS", group("DEPENDENCIAS", {{"800001", "Aula 1"}}, {"X_DEPENDENCIA", "D_DEPENDENCIA"})},
        {"TRAMOS_HORARIOS", slotGroup()},
        {"UNIDADES", group("UNIDADES", {{"900001", "E1A", "6001"}, {"900002", "E2A", "6002"}},
                           {"X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"})},
        {"EMPLEADOS", staffGroup()},
    };
    QStringList out;
    for (const auto &[seq, xml] : groups) {
        const auto swapped = replace.find(seq);
        if (swapped == replace.end())
            out << xml;
        else if (!swapped->second.isEmpty())
            out << swapped->second;
    }
    return out;
}

// The school's document as Séneca writes it (ISO-8859-1), in UTF-8 here.
QByteArray schoolUtf8(const std::map<QString, QString> &replace = {}) {
    QTemporaryDir dir;
    return QString::fromLatin1(readBytes(writeSeneca(dir.path(), "s.xml", schoolGroups(replace)))).toUtf8();
}

QString writeDocument(Fixture &f, const QByteArray &bytes, const QString &name = "mal.xml") {
    f.document = inFile(f, name);
    writeBytes(f.document, bytes);
    return f.document;
}

QString writeSchool(Fixture &f, const std::map<QString, QString> &replace = {}, const QString &name = "mal.xml") {
    f.document = writeSeneca(f.in, name, schoolGroups(replace));
    return f.document;
}

// ---- runs -------------------------------------------------------------------------------

struct Outcome {
    int status = -1;  // the tool's exit status; for the core, 0 when the run finished
    QString out, err; // what went to standard output and standard error (the core: messages, errors)
    qint64 ms = 0;
    long peakMiB = 0; // the tool's runs only
};

// The peak memory of a running process so far, in MiB (0 once it has ended).
long peakMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return 0;
}
// The sanitizers' shadow memory and quarantine are not the program's: no bound holds there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool MeasuresMemory = false;
#else
constexpr bool MeasuresMemory = true;
#endif

QStringList cliArguments(Direction direction, const Fixture &f) {
    QStringList args{direction == Direction::Import ? "import" : "export", f.document, "--work-dir", f.work};
    if (direction == Direction::Import)
        args << "--catalog" << pathsIn(f.root).catalogPath << "--courses" << f.courses;
    return args;
}

Outcome runCli(Direction direction, const Fixture &f) {
    QProcess p;
    p.setProgram(QStringLiteral(TVS_CLI));
    p.setArguments(cliArguments(direction, f));
    QElapsedTimer timer;
    timer.start();
    // The file-size limit is inherited by the tool, which starts with it in place.
    if (f.fileSizeLimit > 0 && !LimitFileSize(f.fileSizeLimit))
        qFatal("cannot limit file sizes");
    p.start();
    const bool started = p.waitForStarted(10000);
    if (f.fileSizeLimit > 0)
        UnlimitFileSize();
    // The tool's peak memory, looked at while it runs (the last look comes just before it ends).
    long peak = 0;
    for (int waited = 0; started && p.state() != QProcess::NotRunning && waited < 60000; waited += 10) {
        peak = std::max(peak, peakMiB(p.processId()));
        p.waitForFinished(10);
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError()), timer.elapsed(), peak};
}

Outcome runCore(Direction direction, const Fixture &f) {
    Paths paths = pathsIn(f.root);
    paths.workDir = f.work;
    RunState state(paths);
    ScriptedUi ui;
    ui.fileAnswers = {f.document};
    const std::vector<CourseValues> courses = ReadCoursesCsv(f.courses);
    QString courseOut, courseErr;
    QTextStream out(&courseOut), err(&courseErr);
    ui.courseEditor = [&](RunState &s) { return CliEditCourses(s, courses, false, false, out, err); };
    QElapsedTimer timer;
    timer.start();
    if (f.fileSizeLimit > 0 && !LimitFileSize(f.fileSizeLimit))
        qFatal("cannot limit file sizes");
    if (direction == Direction::Import)
        BExportarClick(state, ui);
    else
        BImportarClick(state, ui);
    if (f.fileSizeLimit > 0)
        UnlimitFileSize();
    QStringList shownErrors = ui.errors;
    for (const QString &m : ui.messages)
        if (m != Msg::Finished)
            shownErrors << m;
    return {state.outcome == 1 ? 0 : 1, ui.messages.join('\n'), shownErrors.join('\n') + courseErr, timer.elapsed()};
}

// Every file below the folder, by its path from there, with a digest of its bytes.
std::map<QString, QByteArray> snapshot(const QString &folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256);
    }
    return files;
}

QString describeChanges(const std::map<QString, QByteArray> &before, const std::map<QString, QByteArray> &after) {
    QStringList changes;
    for (const auto &[path, digest] : before) {
        const auto now = after.find(path);
        if (now == after.end())
            changes << "deleted " + path;
        else if (now->second != digest)
            changes << "changed " + path;
    }
    for (const auto &[path, digest] : after)
        if (!before.count(path))
            changes << "left behind " + path;
    return changes.join(", ");
}

// Words of libxml2's, Qt's and the system's English messages that a Spanish message never holds.
const QRegularExpression English(QStringLiteral("\\b(the|expected|found|cannot|failed|such|denied|Premature|"
                                                "Document|empty|Warning|Permission|QFile|QSaveFile|tag)\\b"),
                                 QRegularExpression::CaseInsensitiveOption);

// Another process holding a table's lock (flock, as the host's engine locks it here too).
class LockHolder {
public:
    explicit LockHolder(const QString &file) {
        if (file.isEmpty())
            return;
        m_process.start(QStringLiteral("flock"), {"-x", file, "-c", "echo held; sleep 60"});
        if (!m_process.waitForReadyRead(10000))
            qFatal("flock did not take the lock on %s", qPrintable(file));
    }
    ~LockHolder() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

private:
    QProcess m_process;
};

// ---- the cases --------------------------------------------------------------------------

struct BadInput {
    const char *name;
    Direction direction;
    Prepare prepare;
    // Failing rows: a part of the one message; succeeding rows: empty (check says what is right).
    const char *message;
    // A part of the message that names the file at fault ("" where the message names none).
    const char *names;
    Check check = nullptr;
    // The tool's peak memory may not pass this many MiB (0: not checked).
    long peakLimitMiB = 0;
};

void truncateTable(const Fixture &f, const QString &table, qint64 size) {
    const QString path = DbfTable::findFile(f.work, table);
    QFile file(path);
    if (!file.resize(size))
        qFatal("cannot cut %s", qPrintable(path));
}

// Changes bytes of a table's file in place.
void patchTable(const Fixture &f, const QString &table, qint64 offset, const QByteArray &bytes) {
    const QString path = DbfTable::findFile(f.work, table);
    QByteArray data = readBytes(path);
    data.replace(offset, bytes.size(), bytes);
    writeBytes(path, data);
}

QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

QString nested(int depth) {
    return QString("<grupo_datos seq=\"HONDO\">") + QString("<a>").repeated(depth) + "x" +
           QString("</a>").repeated(depth) + "</grupo_datos>";
}

const BadInput Cases[] = {
    // ---- documents ----
    {"zero bytes", Direction::Import, [](Fixture &f) { writeDocument(f, ""); }, "está vacío", "mal.xml"},
    {"declaration only", Direction::Import,
     [](Fixture &f) { writeDocument(f, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"); }, "está vacío",
     "mal.xml"},
    {"truncated inside an element", Direction::Import,
     [](Fixture &f) {
         const QByteArray whole = QString::fromUtf8(schoolUtf8()).toLatin1();
         writeDocument(f, whole.left(whole.indexOf("P\xE9rez") + 2));
     },
     "se acaba sin cerrar el elemento «dato»", "mal.xml"},
    {"a folder instead of a file", Direction::Import,
     [](Fixture &f) {
         f.document = inFile(f, "carpeta.xml");
         QDir().mkpath(f.document);
     },
     "No existe archivo", ""},
    {"UTF-16 with a byte-order mark", Direction::Import,
     [](Fixture &f) {
         QString text = QString::fromUtf8(schoolUtf8());
         text.replace("encoding=\"ISO-8859-1\"", "encoding=\"UTF-16\"");
         QByteArray bytes("\xFF\xFE", 2);
         bytes += QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
         writeDocument(f, bytes);
     },
     "", "",
     [](const Fixture &f) { QCOMPARE(column(f.work, "PROFT", "NOMBRE").value(0), QString("García López Ana")); }},
    {"declares ISO-8859-1, holds UTF-8", Direction::Import, [](Fixture &f) { writeDocument(f, schoolUtf8()); },
     "declara la codificación ISO-8859-1 pero su texto está escrito en UTF-8", "mal.xml"},
    {"declares UTF-8, holds ISO-8859-1", Direction::Import,
     [](Fixture &f) {
         QByteArray bytes = QString::fromUtf8(schoolUtf8()).toLatin1();
         bytes.replace("encoding=\"ISO-8859-1\"", "encoding=\"UTF-8\"");
         writeDocument(f, bytes);
     },
     "no son texto válido en la codificación", "mal.xml"},
    {"external entity naming a local file", Direction::Import,
     [](Fixture &f) {
         const QString secret = inFile(f, "secreto.txt");
         writeBytes(secret, "SECRETO-DEL-VECINO");
         QByteArray bytes = schoolUtf8({{"DEPENDENCIAS", group("DEPENDENCIAS", {{"800001", "&fuera;"}},
                                                               {"X_DEPENDENCIA", "D_DEPENDENCIA"})}});
         bytes.replace("&amp;fuera;", "&fuera;");
         bytes.replace("?>", "?>\n<!DOCTYPE SERVICIO [<!ENTITY fuera SYSTEM \"file://" + secret.toUtf8() + "\">]>");
         writeDocument(f, QString::fromUtf8(bytes).toLatin1());
     },
     "entidad externa «fuera»", "mal.xml"},
    {"entity-expansion bomb", Direction::Import,
     [](Fixture &f) {
         QByteArray dtd = "<!DOCTYPE SERVICIO [<!ENTITY a0 \"jajajajaja\">";
         for (int i = 1; i <= 9; ++i)
             dtd += QByteArray("<!ENTITY a") + QByteArray::number(i) + " \"" +
                    QByteArray("&a") .append(QByteArray::number(i - 1)).append(';').repeated(10) + "\">";
         dtd += "]>";
         QByteArray bytes = schoolUtf8({{"DEPENDENCIAS", group("DEPENDENCIAS", {{"800001", "&a9;"}},
                                                               {"X_DEPENDENCIA", "D_DEPENDENCIA"})}});
         bytes.replace("&amp;a9;", "&a9;");
         bytes.replace("?>", "?>\n" + dtd);
         writeDocument(f, QString::fromUtf8(bytes).toLatin1());
     },
     "entidades", "mal.xml"},
    {"100,000 nested elements", Direction::Import,
     [](Fixture &f) {
         QStringList groups = schoolGroups();
         groups << nested(100000);
         f.document = writeSeneca(f.in, "mal.xml", groups);
     },
     "anidados a demasiada profundidad", "mal.xml"},
    {"the school-year group missing", Direction::Import, [](Fixture &f) { writeSchool(f, {{"ANNO_ACADEMICO", ""}}); },
     "La fuente de datos no está en modo de edición o inserción", ""},
    {"a slot starting at 8:15", Direction::Import, [](Fixture &f) { writeSchool(f, {{"TRAMOS_HORARIOS", slotGroup("8:15")}}); },
     "'8:15' no es un valor entero válido", ""},
    {"a record missing a field", Direction::Import,
     [](Fixture &f) {
         // The first teacher has no X_EMPLEADO: nothing of the others may slide into its place.
         QString staff = staffGroup();
         staff.remove(QRegularExpression("<dato nombre_dato=\"X_EMPLEADO\">1000001</dato>\\s*"));
         writeSchool(f, {{"EMPLEADOS", staff}});
     },
     "", "",
     [](const Fixture &f) {
         QCOMPARE(columns(f.work, "PROFT", {"X_EMPLEADO", "F_TOMAPOS", "DEPART", "NOMBRE"}),
                  (QStringList{"|01/09/2020|Matemáticas|García López Ana", "1000002|03/09/2019|Lengua|Pérez  Luis"}));
     }},
    {"registros that lies", Direction::Import,
     [](Fixture &f) {
         QString staff = staffGroup();
         staff.replace("registros=\"2\"", "registros=\"9999999\"");
         writeSchool(f, {{"EMPLEADOS", staff}});
     },
     "", "", [](const Fixture &f) { QCOMPARE(column(f.work, "PROFT", "X_EMPLEADO").size(), 2); }},
    {"one 50 MB value", Direction::Import,
     [](Fixture &f) { writeSchool(f, {{"EMPLEADOS", staffGroup(QString(50 * 1024 * 1024, QChar('M')))}}); },
     "un valor del documento es demasiado largo", "mal.xml", nullptr, 60},
    {"one 8 MB value", Direction::Import,
     [](Fixture &f) { writeSchool(f, {{"EMPLEADOS", staffGroup(QString(8 * 1024 * 1024, QChar('M')))}}); }, "", "",
     [](const Fixture &f) { QCOMPARE(column(f.work, "PROFT", "DEPART").value(0), QString(40, QChar('M'))); }, 60},
    {"import over a table another program holds", Direction::Import,
     [](Fixture &f) {
         writeSchool(f, {}, "bien.xml");
         f.lockedTable = DbfTable::findFile(f.work, "CURSOST");
     },
     "La tabla CURSOST está en uso por otro programa", "CURSOST.DBF"},
    {"import into a read-only work folder", Direction::Import,
     [](Fixture &f) {
         writeSchool(f, {}, "bien.xml");
         f.readOnly = f.work;
     },
     "no se puede escribir en la carpeta de trabajo", "ZTEMP"},
    {"import on a full disk", Direction::Import,
     [](Fixture &f) {
         writeSchool(f, {}, "bien.xml");
         f.fileSizeLimit = 700; // every table's header fits, the records of most do not
     },
     "el archivo supera el tamaño que admite el disco", ""},
    // ---- tables ----
    {"SOLUC.DBF missing", Direction::Export, [](Fixture &f) { QFile::remove(DbfTable::findFile(f.work, "SOLUC")); },
     "No existe la tabla SOLUC", "SOLUC.DBF"},
    {"PROFT.DBF missing", Direction::Export, [](Fixture &f) { QFile::remove(DbfTable::findFile(f.work, "PROFT")); },
     "No existe la tabla PROFT", "PROFT.DBF"},
    {"SOLUC truncated inside a record", Direction::Export,
     [](Fixture &f) { truncateTable(f, "SOLUC", QFileInfo(DbfTable::findFile(f.work, "SOLUC")).size() - 20); },
     "está dañada", "SOLUC.DBF"},
    {"a header claiming 2^31 records", Direction::Export,
     [](Fixture &f) { patchTable(f, "PROFT", 4, le32(0x80000000u)); }, "2147483648 registros", "PROFT.DBF"},
    {"a header length past the end of the file", Direction::Export,
     [](Fixture &f) { patchTable(f, "SOLUC", 8, QByteArray("\xF0\xFF", 2)); }, "la cabecera declara 65520 bytes",
     "SOLUC.DBF"},
    {"a field of width 0", Direction::Export,
     [](Fixture &f) { patchTable(f, "PROFT", 32 + 16, QByteArray(1, '\0')); }, "tiene anchura 0", "PROFT.DBF"},
    {"a field of width 255", Direction::Export,
     [](Fixture &f) { patchTable(f, "SOLUC", 32 + 16, QByteArray(1, '\xFF')); }, "los campos ocupan", "SOLUC.DBF"},
    {"SOLUC naming a slot that does not exist", Direction::Export,
     [](Fixture &f) { ExportFixture::entry(f.work, "GLA", 1, 9, "MAT", "ESO1A"); }, "", "",
     [](const Fixture &f) { QVERIFY(QFile::exists(inFile(f, "ResultadoVelkorbien.xml"))); }},
    {"export with a table another program holds", Direction::Export,
     [](Fixture &f) { f.lockedTable = DbfTable::findFile(f.work, "SOLUC"); }, "La tabla SOLUC está en uso por otro programa",
     "SOLUC.DBF"},
    // ---- places and the result ----
    {"export into a read-only folder", Direction::Export, [](Fixture &f) { f.readOnly = f.in; }, "solo lectura",
     "ResultadoVelkorbien.xml"},
    {"export on a full disk", Direction::Export, [](Fixture &f) { f.fileSizeLimit = 300; }, "puede que esté lleno",
     "ResultadoVelkorbien.xml"},
    {"export of an input with a DOCTYPE", Direction::Export,
     [](Fixture &f) {
         QByteArray bytes = readBytes(f.document);
         bytes.replace("?>", "?>\n<!DOCTYPE SERVICIO [<!ENTITY marca \"ENTIDAD-DE-ENTRADA\">]>");
         writeBytes(f.document, bytes);
     },
     "", "",
     [](const Fixture &f) {
         const QByteArray result = readBytes(inFile(f, "ResultadoVelkorbien.xml"));
         QVERIFY2(!result.contains("DOCTYPE") && !result.contains("ENTITY") && !result.contains("ENTIDAD-DE-ENTRADA"),
                  result.left(400).constData());
     }},
};

} // namespace

class TestBadInputs : public QObject {
    Q_OBJECT

    // A good import of the school, and a first export of it, as the work folder stands before
    // each case; then the case spoils it.
    Fixture prepared(const QTemporaryDir &dir, const BadInput &c) {
        Fixture f;
        f.root = dir.path();
        const Paths paths = pathsIn(f.root);
        f.work = paths.workDir;
        f.in = QDir(f.root).filePath("entrada");
        QDir().mkpath(f.in);
        f.courses = inFile(f, "cursos.csv");
        writeBytes(f.courses, "CLAVE;NIVEL;CURSO\n6001;ESO;1\n6002;ESO;2\n");
        f.document = writeSchool(f, {}, "bien.xml");
        const Outcome imported = runCore(Direction::Import, f);
        if (imported.status != 0)
            qFatal("the good school does not import: %s", qPrintable(imported.err));
        ExportFixture::createSoluc(f.work);
        ExportFixture::entry(f.work, "GLA", 1, 1, "MAT", "ESO1A");
        const Outcome exported = runCore(Direction::Export, f);
        if (exported.status != 0)
            qFatal("the good school does not export: %s", qPrintable(exported.err));
        c.prepare(f);
        return f;
    }

    void addRows() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Cases)); ++i)
            QTest::newRow(Cases[i].name) << i;
    }

    void runCase(const std::function<Outcome(Direction, const Fixture &)> &run) {
        QFETCH(int, index);
        const BadInput &c = Cases[index];
        QTemporaryDir dir;
        Fixture f = prepared(dir, c);
        const auto before = snapshot(f.root);
        QString why;
        if (!f.readOnly.isEmpty() && !MakeReadOnly(f.readOnly, why))
            QSKIP(qPrintable("no read-only folder here: " + why));
        Outcome o;
        {
            LockHolder holder(f.lockedTable);
            o = run(c.direction, f);
        }
        if (!f.readOnly.isEmpty())
            EndReadOnly(f.readOnly);
        const QString shown = "\nstdout: " + o.out + "\nstderr: " + o.err;

        QVERIFY2(o.ms < 30000, qPrintable(QString("took %1 ms").arg(o.ms)));
        if (o.peakMiB > 0)
            qInfo("peak memory of the tool: %ld MiB", o.peakMiB);
        if (MeasuresMemory && c.peakLimitMiB > 0)
            QVERIFY2(o.peakMiB <= c.peakLimitMiB, qPrintable(QString("the tool took %1 MiB").arg(o.peakMiB)));
        if (c.check) {
            QVERIFY2(o.status == 0, qPrintable(shown));
            // Only the report's own warning may go to standard error.
            QVERIFY2(o.err.trimmed().isEmpty() || o.err.startsWith("ATENCIÓN: el informe tiene"), qPrintable(shown));
            c.check(f);
            return;
        }
        qInfo("status %d: %s", o.status, qPrintable(o.err.trimmed()));
        QVERIFY2(o.status != 0, qPrintable(shown));
        const QStringList lines = o.err.trimmed().split('\n');
        QVERIFY2(lines.size() == 1, qPrintable("one message expected" + shown));
        QVERIFY2(o.err.contains(QString::fromUtf8(c.message)), qPrintable(shown));
        QVERIFY2(o.err.contains(QString::fromUtf8(c.names)), qPrintable(shown));
        QVERIFY2(!English.match(o.err).hasMatch(), qPrintable("English in the message" + shown));
        const auto after = snapshot(f.root);
        QVERIFY2(before == after, qPrintable(describeChanges(before, after) + shown));
        QVERIFY2(!o.err.contains("SECRETO-DEL-VECINO") && !o.out.contains("SECRETO-DEL-VECINO"), qPrintable(shown));
    }

private slots:
    void throughTheTool_data() { addRows(); }
    void throughTheTool() { runCase(runCli); }
    void throughTheCore_data() { addRows(); }
    void throughTheCore() { runCase(runCore); }
};

QTEST_GUILESS_MAIN(TestBadInputs)
#include "test_bad_inputs.moc"
