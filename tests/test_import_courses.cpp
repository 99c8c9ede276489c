// The courses step through a scripted user, the shared "course incomplete" check, and the
// command-line tool's courses file.

#include "app/cli/CoursesCsv.h"
#include "import/CourseCheck.h"
#include "import/CoursesTable.h"
#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CourseDialogResult)

using namespace TestSupport;

namespace {

void setCourse(const QString &folder, int row, const char *nivel, const char *curso) {
    DbfTable t;
    t.open(folder, CoursesTable::Name, DbfTable::Mode::Shared);
    t.moveTo(row);
    t.edit();
    t.setText("NIVEL", AnsiText::ascii(nivel));
    t.setText("CURSO", AnsiText::ascii(curso));
    t.post();
    t.close();
}

// The answer of a dialog that is accepted as the table stands.
CourseDialogResult acceptAsIs(RunState &state) {
    DbfTable t;
    t.open(state.tableFolder(), CoursesTable::Name, DbfTable::Mode::Shared);
    const bool missing = CourseDataMissing(t);
    t.close();
    return {missing, {}};
}

} // namespace

class TestImportCourses : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_work;

    RunState loaded(const QStringList &groups) {
        RunState state(pathsIn(m_dir.path()));
        state.document.load(writeSeneca(m_dir.path(), QStringLiteral("centro.xml"), groups));
        return state;
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_work = pathsIn(m_dir.path()).workDir;
        QDir(m_work).remove("CURSOST.DBF");
    }

    void rowsFromTheDocument() {
        const QString longKey = QStringLiteral("12345678901234");
        const QString longName = QString(85, QLatin1Char('n'));
        RunState state = loaded({group("CURSOS_DEL_CENTRO",
                                       {{"6001", "1º de E.S.O."},
                                        {"solo uno"},
                                        {},
                                        {longKey, longName, "extra"},
                                        {"6001", "1º de E.S.O. (bilingüe)"}})});
        ScriptedUi ui;
        ImportCourses(state, ui);
        QCOMPARE(ui.courseShowings, 1);
        QCOMPARE(dumpTable(m_work, "CURSOST"),
                 (QStringList{"ABREV=|TURNO=|NIVEL=|CURSO=|CLAVE=6001|ESTUD=1º de E.S.O.",
                              "ABREV=|TURNO=|NIVEL=|CURSO=|CLAVE=1234567890|ESTUD=" + QString(80, QLatin1Char('n')),
                              "ABREV=|TURNO=|NIVEL=|CURSO=|CLAVE=6001|ESTUD=1º de E.S.O. (bilingüe)"}));
        DbfTable t;
        t.open(m_work, "CURSOST", DbfTable::Mode::Shared);
        QStringList layout;
        for (const DbfFieldInfo &f : t.fields())
            layout << QStringLiteral("%1 %2%3").arg(f.name).arg(QLatin1Char(f.type)).arg(f.width);
        QCOMPARE(layout, (QStringList{"ABREV C3", "TURNO C1", "NIVEL C5", "CURSO C3", "CLAVE C10", "ESTUD C80"}));
    }

    void withoutTheGroupTheTableIsEmpty() {
        writeCourses(m_work, {{"viejo", "ESO", "1"}}); // a table from an earlier run goes
        RunState state = loaded({yearGroup("2026", "15/09/2026", "22/06/2027")});
        ScriptedUi ui;
        ImportCourses(state, ui);
        QCOMPARE(ui.courseShowings, 1);
        QCOMPARE(dumpTable(m_work, "CURSOST"), QStringList{});
    }

    // Accepting twice with a course incomplete shows the dialog three times; the flag set by
    // the first failure stays set, and each showing sees what the earlier ones wrote.
    void showsTheDialogUntilEveryCourseIsComplete() {
        RunState state = loaded({group("CURSOS_DEL_CENTRO", {{"6001", "1º"}, {"6002", "2º"}})});
        ScriptedUi ui;
        QList<bool> flagSeen;
        ui.courseEditor = [&](RunState &s) {
            flagSeen << s.CourseCheckFailed;
            if (ui.courseShowings == 1)
                setCourse(s.tableFolder(), 0, "ESO", "1");
            if (ui.courseShowings == 2)
                setCourse(s.tableFolder(), 1, "ESO", " \t");
            if (ui.courseShowings == 3)
                setCourse(s.tableFolder(), 1, "ESO", "2");
            return acceptAsIs(s);
        };
        ImportCourses(state, ui);
        QCOMPARE(ui.courseShowings, 3);
        QCOMPARE(flagSeen, (QList<bool>{false, true, true}));
        QVERIFY(state.CourseCheckFailed);
        QCOMPARE(column(m_work, "CURSOST", "CURSO"), (QStringList{"1", "2"}));
    }

    void endings_data() {
        QTest::addColumn<CourseDialogResult>("answer");
        QTest::addColumn<bool>("forced");
        QTest::newRow("forced exit") << CourseDialogResult{false, QStringLiteral("fuera")} << true;
        QTest::newRow("close box") << CourseDialogResult{} << false;
        QTest::newRow("other word") << CourseDialogResult{false, QStringLiteral("FUERA")} << false;
    }
    void endings() {
        QFETCH(CourseDialogResult, answer);
        QFETCH(bool, forced);
        RunState state = loaded({group("CURSOS_DEL_CENTRO", {{"6001", "1º"}})});
        ScriptedUi ui;
        ui.courseEditor = [&](RunState &s) {
            setCourse(s.tableFolder(), 0, "ESO", "");
            return answer;
        };
        bool thrown = false;
        try {
            ImportCourses(state, ui);
        } catch (const ForcedExit &) {
            thrown = true;
        }
        QCOMPARE(thrown, forced);
        QCOMPARE(ui.courseShowings, 1);
        QVERIFY(!state.CourseCheckFailed);
        QCOMPARE(column(m_work, "CURSOST", "NIVEL"), QStringList{"ESO"}); // kept either way
    }

    // A level or course is blank when nothing above code 32 is left; the check stops at the
    // first incomplete row and leaves the table there.
    void sharedCheck_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("stopsAt");
        QTest::addColumn<QStringList>("incomplete");
        using Rows = QList<QStringList>;
        QTest::newRow("no rows") << Rows{} << false << -1 << QStringList{};
        QTest::newRow("all complete") << Rows{{"a", "ESO", "1"}, {"b", "B", "2"}} << false << -1 << QStringList{};
        QTest::newRow("empty level") << Rows{{"a", "ESO", "1"}, {"b", "", "2"}, {"c", "", ""}} << true << 1
                                     << QStringList{"b", "c"};
        QTest::newRow("blank course") << Rows{{"a", "ESO", "   "}} << true << 0 << QStringList{"a"};
        QTest::newRow("control characters") << Rows{{"a", "\t\x01", "1"}} << true << 0 << QStringList{"a"};
        QTest::newRow("code 33 counts") << Rows{{"a", "!", "\t1 "}} << false << -1 << QStringList{};
        QTest::newRow("non-breaking space counts") << Rows{{"a", "\u00A0", "1"}} << false << -1 << QStringList{};
    }
    void sharedCheck() {
        QFETCH(QList<QStringList>, rows);
        writeCourses(m_work, rows);
        DbfTable t;
        t.open(m_work, "CURSOST", DbfTable::Mode::Shared);
        QTEST(CourseDataMissing(t), "missing");
        QFETCH(int, stopsAt);
        if (stopsAt >= 0)
            QCOMPARE(t.position(), stopsAt);
        t.close();
        QStringList keys;
        for (const IncompleteCourse &c : IncompleteCourses(m_work))
            keys << c.clave.toQString() + QLatin1Char('|') + c.estud.toQString().section(QLatin1Char(' '), 1);
        QStringList expected;
        QFETCH(QStringList, incomplete);
        for (const QString &k : incomplete)
            expected << k + QLatin1Char('|') + k;
        QCOMPARE(keys, expected);
    }

    void malformedCsv_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("line");
        QTest::newRow("empty file") << QByteArray() << 1;
        QTest::newRow("no header") << QByteArray("6001;ESO;1\n") << 1;
        QTest::newRow("comma header") << QByteArray("CLAVE,NIVEL,CURSO\n6001,ESO,1\n") << 1;
        QTest::newRow("two fields") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;1\n6002;ESO\n") << 3;
        QTest::newRow("four fields") << QByteArray("CLAVE;NIVEL;CURSO\n\n6001;ESO;1;x\n") << 3;
        QTest::newRow("empty key") << QByteArray("CLAVE;NIVEL;CURSO\r\n  ;ESO;1\r\n") << 2;
        QTest::newRow("not UTF-8") << QByteArray("CLAVE;NIVEL;CURSO\n6001;E\xd3O;1\n") << 2;
        QTest::newRow("not for the tables") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;\xe2\x86\x92\n") << 2;
    }
    void malformedCsv() {
        QFETCH(QByteArray, content);
        QFETCH(int, line);
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("cursos mal.csv"));
        writeFile(path, content);
        try {
            ReadCoursesCsv(path);
            QFAIL("a malformed file was accepted");
        } catch (const RunError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("línea %1:").arg(line)), qPrintable(e.message()));
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
    }

    void missingCsvFile() {
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("no está.csv"));
        QVERIFY_THROWS_EXCEPTION(RunError, ReadCoursesCsv(path));
    }

    // Values are cut to the fields' widths, keys compared as CURSOST holds them (cut to 10),
    // every row of a repeated key is set, and an unknown key is a warning naming its line.
    void applyingTheCsv() {
        writeCourses(m_work, {{"6001", "", ""}, {"1234567890", "", ""}, {"6001", "", ""}, {"6002", "", ""}});
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("cursos.csv"));
        writeFile(path, "\xEF\xBB\xBF" "clave;nivel;curso\r\n"
                        "6001;EDSO-largo;10º\r\n"
                        "\r\n"
                        "12345678901234;\"BCT\";1234\r\n"
                        "9999;ESO;1\r\n");
        const std::vector<CourseValues> entries = ReadCoursesCsv(path);
        QCOMPARE(entries.size(), size_t(3));
        QCOMPARE(entries[1].line, 4);
        const QStringList warnings = ApplyCourses(m_work, entries);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains("9999") && warnings[0].contains("5"), qPrintable(warnings[0]));
        QCOMPARE(columns(m_work, "CURSOST", {"CLAVE", "NIVEL", "CURSO"}),
                 (QStringList{"6001|EDSO-|10º", "1234567890|BCT|123", "6001|EDSO-|10º", "6002||"}));
    }

    void cliEditCourses_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("allowIncomplete");
        QTest::addColumn<QString>("exitWord");
        QTest::addColumn<bool>("reported");
        QTest::newRow("complete") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;1\n6002;ESO;2\n") << false << QString()
                                  << false;
        QTest::newRow("incomplete") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;1\n") << false << QStringLiteral("fuera")
                                    << true;
        QTest::newRow("incomplete allowed") << QByteArray("CLAVE;NIVEL;CURSO\n6001;ESO;1\n") << true << QString() << true;
    }
    void cliEditCourses() {
        QFETCH(QByteArray, csv);
        QFETCH(bool, allowIncomplete);
        writeCourses(m_work, {{"6001", "", ""}, {"6002", "", ""}});
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("cursos.csv"));
        writeFile(path, csv);
        RunState state(pathsIn(m_dir.path()));
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        const CourseDialogResult r = CliEditCourses(state, ReadCoursesCsv(path), allowIncomplete, false, out, err);
        QVERIFY(!r.missingData);
        QTEST(r.exitWord, "exitWord");
        QFETCH(bool, reported);
        // Warnings and failures go to standard error; there is no result to print.
        QCOMPARE(errText.contains(Msg::MissingData), reported);
        QCOMPARE(errText.contains(QStringLiteral("6002;Estudios 6002")), reported);
        QVERIFY(!errText.contains(QStringLiteral("6001;")));
        QCOMPARE(outText, QString());
        QCOMPARE(column(m_work, "CURSOST", "NIVEL").first(), QStringLiteral("ESO")); // applied in every case
    }
};

QTEST_GUILESS_MAIN(TestImportCourses)
#include "test_import_courses.moc"
