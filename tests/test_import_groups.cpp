// The groups table: abbreviations from the completed courses (prefix of level and course
// number, then the first free letter, case disregarded), "NIV" for a missing level, the run
// of letters past Z and the end of the run when none is left, and the order in which the step
// opens and closes its tables.

#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

// n groups of one course, identifiers G1, G2, ...
QList<QStringList> unitsOf(const QString &courseKey, int n) {
    QList<QStringList> units;
    for (int i = 1; i <= n; ++i)
        units << QStringList{QStringLiteral("G%1").arg(i), QStringLiteral("U%1").arg(i), courseKey};
    return units;
}

bool canOpenExclusively(const QString &folder, const QString &name) {
    try {
        DbfTable t;
        t.open(folder, name, DbfTable::Mode::Exclusive);
        return true;
    } catch (const RunError &) {
        return false;
    }
}

} // namespace

class TestImportGroups : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    RunState m_state{pathsIn(m_dir.path())};

    void run(const QList<QStringList> &courses, const QList<QStringList> &units) {
        writeCourses(m_state.paths.workDir, courses);
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {group("UNIDADES", units)}));
        ScriptedUi ui;
        ImportGroups(m_state, ui);
    }
    QStringList abbreviations() { return column(m_state.paths.workDir, "GRUPOST", "ABREV"); }

private slots:
    void cleanup() { QFile::remove(QDir(m_state.paths.workDir).filePath("CURSOST.DBF")); }

    void rows_data() {
        QTest::addColumn<QList<QStringList>>("courses");
        QTest::addColumn<QList<QStringList>>("units");
        QTest::addColumn<QStringList>("rows"); // ABREV|TURNO|NIVEL|CURSO|GRUPO|CLAVE|CLAVECURSO|DESCRIP

        const QList<QStringList> eso1{{"6001", "ESO", "1", "1º de E.S.O."}};
        QTest::newRow("three groups of one course")
            << eso1 << unitsOf("6001", 3)
            << QStringList{"ESO1A||ESO|1|A|G1|6001|1º de E.S.O.", "ESO1B||ESO|1|B|G2|6001|1º de E.S.O.",
                           "ESO1C||ESO|1|C|G3|6001|1º de E.S.O."};
        QTest::newRow("no course matched: bare letters, NIV")
            << eso1 << QList<QStringList>{{"G1", "U1", "9999"}, {"G2", "U2", "6001 "}, {"G3", "U3", "6001x"}}
            << QStringList{"A||NIV||A|G1|9999|", "ESO1A||ESO|1|A|G2|6001|1º de E.S.O.", "B||NIV||B|G3|6001x|"};
        QTest::newRow("key comparison is case-sensitive")
            << QList<QStringList>{{"abc", "ESO", "2", "2º"}} << QList<QStringList>{{"G1", "U1", "ABC"}}
            << QStringList{"A||NIV||A|G1|ABC|"};
        QTest::newRow("first course row with the key wins")
            << QList<QStringList>{{"6001", "ESO", "1", "primera"}, {"6001", "BACH", "2", "segunda"}}
            << unitsOf("6001", 1) << QStringList{"ESO1A||ESO|1|A|G1|6001|primera"};
        QTest::newRow("identifiers longer than 10 are cut and match nothing")
            << QList<QStringList>{{"6001000000", "ESO", "1", "1º"}}
            << QList<QStringList>{{"90000000001", "U1", "60010000001"}}
            << QStringList{"A||NIV||A|9000000000|6001000000|"};
        QTest::newRow("one dato skipped; two dato: no course")
            << eso1 << QList<QStringList>{{"G1"}, {"G2", "U2"}, {"G3", "U3", "6001"}}
            << QStringList{"A||NIV||A|G2||", "ESO1A||ESO|1|A|G3|6001|1º de E.S.O."};
    }
    void rows() {
        QFETCH(QList<QStringList>, courses);
        QFETCH(QList<QStringList>, units);
        run(courses, units);
        QTEST(columns(m_state.paths.workDir, "GRUPOST",
                      {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO", "CLAVE", "CLAVECURSO", "DESCRIP"}),
              "rows");
    }

    void prefixesShareLetters_data() {
        QTest::addColumn<QList<QStringList>>("courses");
        QTest::addColumn<QList<QStringList>>("units");
        QTest::addColumn<QStringList>("abbreviations");
        QTest::addColumn<QStringList>("levels");

        QTest::newRow("courses 1 and 10 of one level")
            << QList<QStringList>{{"c1", "ESO", "1", ""}, {"c10", "ESO", "10", ""}}
            << QList<QStringList>{{"G1", "", "c1"}, {"G2", "", "c10"}, {"G3", "", "c1"}}
            << QStringList{"ESO1A", "ESO1B", "ESO1C"} << QStringList{"ESO", "ESO", "ESO"};
        QTest::newRow("level of 5 characters; EDSO")
            << QList<QStringList>{{"c1", "BACHI", "1", ""}, {"c2", "EDSO", "1", ""}}
            << QList<QStringList>{{"G1", "", "c1"}, {"G2", "", "c2"}} << QStringList{"BACHI1A", "EDSO1A"}
            << QStringList{"BACHI", "EDSO"};
        QTest::newRow("no level: bare course number, NIV stored")
            << QList<QStringList>{{"c2", "", "2", ""}} << unitsOf("c2", 2) << QStringList{"2A", "2B"}
            << QStringList{"NIV", "NIV"};
        QTest::newRow("ESO1 without number and ESO with 1")
            << QList<QStringList>{{"c1", "ESO1", "", ""}, {"c2", "ESO", "1", ""}}
            << QList<QStringList>{{"G1", "", "c1"}, {"G2", "", "c2"}} << QStringList{"ESO1A", "ESO1B"}
            << QStringList{"ESO1", "ESO"};
        QTest::newRow("lower-case level continues the letters in its own case")
            << QList<QStringList>{{"c1", "ESO", "1", ""}, {"c2", "eso", "1", ""}}
            << QList<QStringList>{{"G1", "", "c1"}, {"G2", "", "c2"}, {"G3", "", "c2"}, {"G4", "", "c1"}}
            << QStringList{"ESO1A", "eso1B", "eso1C", "ESO1D"} << QStringList{"ESO", "eso", "eso", "ESO"};
    }
    void prefixesShareLetters() {
        QFETCH(QList<QStringList>, courses);
        QFETCH(QList<QStringList>, units);
        run(courses, units);
        QTEST(abbreviations(), "abbreviations");
        QTEST(column(m_state.paths.workDir, "GRUPOST", "NIVEL"), "levels");
    }

    void lettersPastZ_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("abbreviation");
        QTest::newRow("26th") << 26 << "ESO1Z";
        QTest::newRow("27th: code 91") << 27 << "ESO1[";
        QTest::newRow("32nd: code 96") << 32 << "ESO1`";
        QTest::newRow("33rd: code 123") << 33 << "ESO1{";
        QTest::newRow("36th: code 126") << 36 << "ESO1~";
    }
    void lettersPastZ() {
        QFETCH(int, group);
        run({{"6001", "ESO", "1", ""}}, unitsOf("6001", 36));
        const QStringList all = abbreviations();
        QTEST(all.value(group - 1), "abbreviation");
        QCOMPARE(column(m_state.paths.workDir, "GRUPOST", "GRUPO").value(group - 1), all.value(group - 1).right(1));
    }

    // No character after code 126 belongs in an abbreviation: the 37th group of a prefix ends
    // the run naming the prefix, with the groups before it written and both tables closed.
    void moreThan36GroupsEndTheRun_data() {
        QTest::addColumn<QStringList>("course");
        QTest::addColumn<QString>("named");
        QTest::newRow("level and course") << QStringList{"6001", "ESO", "1", ""} << "«ESO1»";
        QTest::newRow("no level nor course") << QStringList{"6001", "", "", ""} << "sin nivel ni número de curso";
    }
    void moreThan36GroupsEndTheRun() {
        QFETCH(QStringList, course);
        QFETCH(QString, named);
        try {
            run({course}, unitsOf("6001", 40));
            QFAIL("a 37th group of one prefix was accepted");
        } catch (const RunError &e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
        QCOMPARE(abbreviations().size(), 36);
        QVERIFY(canOpenExclusively(m_state.paths.workDir, "GRUPOST"));
        QVERIFY(canOpenExclusively(m_state.paths.workDir, "CURSOST"));
    }

    // The old groups table goes before the courses table opens, and the new one is created
    // only after it opened: without CURSOST the run ends with no GRUPOST at all.
    void missingCoursesTableLeavesNoGroupsTable() {
        const QString folder = m_state.paths.workDir;
        QFile::remove(QDir(folder).filePath("GRUPOST.DBF"));
        DbfTable::create(folder, "GRUPOST", {{"OLD", DbfFieldType::Character, 4}});
        QFile mdx(QDir(folder).filePath("GRUPOST.MDX"));
        QVERIFY(mdx.open(QIODevice::WriteOnly));
        mdx.close();
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {group("UNIDADES", unitsOf("6001", 1))}));
        ScriptedUi ui;
        QVERIFY_THROWS_EXCEPTION(RunError, ImportGroups(m_state, ui));
        QVERIFY(DbfTable::findFile(folder, "GRUPOST").isEmpty());
        QVERIFY(DbfTable::findFile(folder, "GRUPOST", ".MDX").isEmpty());
    }

    void closesBothTables() {
        run({{"6001", "ESO", "1", ""}}, unitsOf("6001", 2));
        QVERIFY(canOpenExclusively(m_state.paths.workDir, "GRUPOST"));
        QVERIFY(canOpenExclusively(m_state.paths.workDir, "CURSOST"));
    }
};

QTEST_GUILESS_MAIN(TestImportGroups)
#include "test_import_groups.moc"
