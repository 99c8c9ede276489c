// Last year's answers over two imports: saved after an import that completes, filling the
// next import's courses by key and then by study name, kept for courses that went away, and a
// damaged or unreadable file that is reported and never ends the run.

#include "import/CoursesTable.h"
#include "import/ImportDriver.h"
#include "import/RememberedCourses.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

// Sets NIVEL and CURSO of every row of CURSOST whose key has an entry in `values`
// ("KEY" -> {nivel, curso}).
void answer(const QString &folder, const QMap<QString, QStringList> &values) {
    DbfTable t;
    t.open(folder, CoursesTable::Name, DbfTable::Mode::Shared);
    for (t.first(); !t.eof(); t.next()) {
        const auto v = values.constFind(t.text(CoursesTable::Clave).toQString());
        if (v == values.constEnd())
            continue;
        t.edit();
        t.setText(CoursesTable::Nivel, AnsiText::fromQString(v->at(0)));
        t.setText(CoursesTable::Curso, AnsiText::fromQString(v->at(1)));
        t.post();
    }
    t.close();
}

} // namespace

class TestImportRememberedCourses : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_work, m_memory;

    // One whole import of a school with these courses (key, name), each with a unit; the
    // dialog sees CURSOST as the run left it (recorded in `seen`), then gets `answers`.
    struct Run {
        QStringList seen;           // "CLAVE|NIVEL|CURSO" at the first showing
        std::vector<int> remembered; // state.rememberedCourseRows at the first showing
        QStringList messages;
    };
    Run import(const QList<QStringList> &courses, const QMap<QString, QStringList> &answers,
               const QString &year = QStringLiteral("2026")) {
        QList<QStringList> units;
        for (const QStringList &c : courses)
            units.append({QStringLiteral("9%1").arg(c[0]), QStringLiteral("U%1").arg(c[0]), c[0]});
        const QString xml = writeSeneca(m_dir.path(), QStringLiteral("centro.xml"),
                                        {yearGroup(year, "15/09/" + year, "22/06/" + year),
                                         group("CURSOS_DEL_CENTRO", courses), group("UNIDADES", units)});
        RunState state(pathsIn(m_dir.path()));
        ScriptedUi ui;
        ui.fileAnswers = {xml};
        Run run;
        ui.courseEditor = [&](RunState &s) {
            if (run.seen.isEmpty()) {
                run.seen = columns(s.tableFolder(), CoursesTable::Name, {"CLAVE", "NIVEL", "CURSO"});
                run.remembered = s.rememberedCourseRows;
            }
            answer(s.tableFolder(), answers);
            return CourseDialogResult{};
        };
        BExportarClick(state, ui);
        run.messages = ui.messages;
        return run;
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_work = pathsIn(m_dir.path()).workDir;
        m_memory = RememberedCourses::pathIn(m_work);
        QFile::remove(m_memory);
        QFile::remove(m_memory + ".bak");
        QDir(m_memory).removeRecursively();
    }

    // Year one saves; year two finds 6001 by its key and 7002 (6002 last year) by its name;
    // 6003 is gone and stays remembered; 6005 is new and incomplete, so it is not saved.
    void twoImports() {
        const Run first = import({{"6001", "1º de E.S.O."}, {"6002", "2º de E.S.O."}, {"6003", "1º de Bachillerato (Artes)"}},
                                 {{"6001", {"ESO", "1"}}, {"6002", {"ESO", "2"}}, {"6003", {"BAR", "1"}}}, "2025");
        QCOMPARE(first.seen, (QStringList{"6001||", "6002||", "6003||"}));
        QCOMPARE(first.messages, QStringList{Msg::Finished});
        QCOMPARE(readFile(m_memory), QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n"
                                               "6001;1º de E.S.O.;ESO;1;2025\n"
                                               "6002;2º de E.S.O.;ESO;2;2025\n"
                                               "6003;1º de Bachillerato (Artes);BAR;1;2025\n"));

        const Run second = import({{"6001", "1º de E.S.O."}, {"7002", "2º de E.S.O."}, {"6005", "Aula Específica"}},
                                  {{"6001", {"SEC", "1"}}}, "2026");
        QCOMPARE(second.seen, (QStringList{"6001|ESO|1", "7002|ESO|2", "6005||"}));
        QCOMPARE(second.remembered, (std::vector<int>{0, 1}));
        QCOMPARE(second.messages, QStringList{Msg::Finished});
        QCOMPARE(readFile(m_memory), QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n"
                                               "6001;1º de E.S.O.;SEC;1;2026\n"
                                               "6002;2º de E.S.O.;ESO;2;2025\n"
                                               "6003;1º de Bachillerato (Artes);BAR;1;2025\n"
                                               "7002;2º de E.S.O.;ESO;2;2026\n"));
    }

    // By name, the latest school year wins; a key always comes before a name.
    void findOrder() {
        const std::vector<RememberedCourse> memory = {
            {AnsiText::ascii("1"), AnsiText::ascii("A"), AnsiText::ascii("X"), AnsiText::ascii("1"), "2026"},
            {AnsiText::ascii("2"), AnsiText::ascii("A"), AnsiText::ascii("Y"), AnsiText::ascii("1"), "2024"},
            {AnsiText::ascii("3"), AnsiText::ascii("B"), AnsiText::ascii("Z"), AnsiText::ascii("1"), "2025"}};
        QCOMPARE(RememberedCourses::find(memory, AnsiText::ascii("9"), AnsiText::ascii("A"))->nivel, AnsiText::ascii("X"));
        QCOMPARE(RememberedCourses::find(memory, AnsiText::ascii("2"), AnsiText::ascii("B"))->nivel, AnsiText::ascii("Y"));
        QVERIFY(!RememberedCourses::find(memory, AnsiText::ascii("9"), AnsiText::ascii("C")));
        QVERIFY(!RememberedCourses::find(memory, AnsiText::ascii("9"), AnsiText()));
    }

    // Names with separators, quotes and blanks at their ends come back as they went.
    void quotedFields() {
        const std::vector<RememberedCourse> courses = {
            {AnsiText::ascii("1"), AnsiText::fromUtf8("Ciclo; turno \"tarde\""), AnsiText::ascii("CT"),
             AnsiText::ascii("1"), "2026"},
            {AnsiText::ascii("2"), AnsiText::fromUtf8(" Educación Básica "), AnsiText::ascii("EB"), AnsiText::ascii("2"),
             "2026"}};
        RememberedCourses::write(m_memory, courses);
        QCOMPARE(readFile(m_memory), QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n"
                                               "1;\"Ciclo; turno \"\"tarde\"\"\";CT;1;2026\n"
                                               "2;\" Educación Básica \";EB;2;2026\n"));
        const std::vector<RememberedCourse> back = RememberedCourses::read(m_memory);
        QCOMPARE(back.size(), size_t(2));
        QCOMPARE(back[0].estud, courses[0].estud);
        QCOMPARE(back[1].estud, courses[1].estud);
    }

    // A damaged file fills nothing and says so; the run completes, the damaged file is kept
    // aside and a sound one takes its place.
    void damagedFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no header") << QByteArray("6001;1º de E.S.O.;ESO;1;2025\n") << "la primera línea debe ser la cabecera";
        QTest::newRow("a field missing") << QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n6001;ESO;1;2025\n")
                                         << "línea 2: se esperaban 5 campos";
        QTest::newRow("no level") << QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n6001;1º de E.S.O.; ;1;2025\n")
                                  << "línea 2: falta la clave, el nivel o el curso";
        QTest::newRow("quote left open") << QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n6001;\"1º;ESO;1;2025\n")
                                         << "línea 2: unas comillas no se cierran";
        QTest::newRow("not UTF-8") << QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n6001;1\xBA de E.S.O.;ESO;1;2025\n")
                                   << "el texto no está en UTF-8";
        QTest::newRow("not Windows-1252")
            << QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n6001;\xE2\x82\xAC\xE2\x9C\x93;ESO;1;2025\n")
            << "caracteres que las tablas no pueden guardar";
    }
    void damagedFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        writeFile(m_memory, bytes);
        const Run run = import({{"6001", "1º de E.S.O."}}, {{"6001", {"ESO", "1"}}});
        QCOMPARE(run.seen, QStringList{"6001||"});
        QCOMPARE(run.messages.size(), 2);
        QVERIFY2(run.messages[0].startsWith("Archivo de cursos recordados " + m_memory), qPrintable(run.messages[0]));
        QVERIFY2(run.messages[0].contains(reason), qPrintable(run.messages[0]));
        QVERIFY(run.messages[0].endsWith("Se sigue sin los cursos recordados."));
        QCOMPARE(run.messages[1], Msg::Finished);
        QCOMPARE(readFile(m_memory + ".bak"), bytes);
        QCOMPARE(readFile(m_memory), QByteArray("CLAVE;ESTUD;NIVEL;CURSO;CURSO_ESCOLAR\n6001;1º de E.S.O.;ESO;1;2026\n"));
    }

    // A file that cannot be opened at all (here a folder of its name): reported when read and
    // when saved, and the run still completes.
    void unreadableFile() {
        QVERIFY(QDir().mkpath(m_memory));
        const Run run = import({{"6001", "1º de E.S.O."}}, {{"6001", {"ESO", "1"}}});
        QCOMPARE(run.seen, QStringList{"6001||"});
        QCOMPARE(run.messages.size(), 3);
        QVERIFY2(run.messages[0].startsWith("No se puede leer el archivo de cursos recordados"), qPrintable(run.messages[0]));
        QVERIFY2(run.messages[1].startsWith("No se guardan los cursos recordados: el archivo " + m_memory), qPrintable(run.messages[1]));
        QCOMPARE(run.messages[2], Msg::Finished);
        QVERIFY(QFileInfo(m_memory).isDir());
    }

    // A run that does not complete remembers nothing.
    void failedRunSavesNothing() {
        const QString xml = writeSeneca(m_dir.path(), QStringLiteral("centro.xml"),
                                        {yearGroup("2026", "15/09/2026", "22/06/2026"),
                                         group("CURSOS_DEL_CENTRO", {{"6001", "1º de E.S.O."}})});
        RunState state(pathsIn(m_dir.path()));
        ScriptedUi ui;
        ui.fileAnswers = {xml};
        ui.courseEditor = [](RunState &s) {
            answer(s.tableFolder(), {{"6001", {"ESO", "1"}}});
            return CourseDialogResult{false, QStringLiteral("fuera")};
        };
        BExportarClick(state, ui);
        QVERIFY(ui.closed);
        QVERIFY(!QFile::exists(m_memory));
    }
};

QTEST_GUILESS_MAIN(TestImportRememberedCourses)
#include "test_import_remembered_courses.moc"
