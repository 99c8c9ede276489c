// The subject assignments table: one row per group of the subject's course, the subject code
// found by name (ASCII upper case, first 80 characters, first row wins, activities included),
// either order of identifier and name, and a large school in well under a second.

#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

using Rows = QList<QStringList>;

// Well under a second for a large school; the sanitizers slow every table write several times,
// while the scans this guards against take several seconds there too.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 LimitMs = 3000;
#else
constexpr qint64 LimitMs = 1000;
#endif

void writeTable(const QString &folder, const QString &name, const std::vector<DbfFieldDef> &fields, const Rows &rows) {
    QFile::remove(QDir(folder).filePath(name + ".DBF"));
    DbfTable::create(folder, name, fields);
    DbfTable t;
    t.open(folder, name);
    for (const QStringList &row : rows) {
        t.append();
        for (size_t i = 0; i < fields.size() && i < size_t(row.size()); ++i) {
            if (fields[i].type == DbfFieldType::Logical)
                t.setLogical(fields[i].name, row[int(i)] == "T");
            else
                t.setText(fields[i].name, AnsiText::fromQString(row[int(i)]));
        }
        t.post();
    }
    t.close();
}

// Groups as the groups step leaves them: ABREV, NIVEL, CURSO, GRUPO, CLAVE, CLAVECURSO.
void writeGroups(const QString &folder, const Rows &rows) {
    Rows full;
    for (const QStringList &r : rows)
        full << QStringList{r[0], "", r[1], r[2], r[3], r[4], r[5], "estudios"};
    writeTable(folder, "GRUPOST",
               {{"ABREV", DbfFieldType::Character, 10},
                {"TURNO", DbfFieldType::Character, 1},
                {"NIVEL", DbfFieldType::Character, 5},
                {"CURSO", DbfFieldType::Character, 3},
                {"GRUPO", DbfFieldType::Character, 2},
                {"CLAVE", DbfFieldType::Character, 10},
                {"CLAVECURSO", DbfFieldType::Character, 10},
                {"DESCRIP", DbfFieldType::Character, 80}},
               full);
}

// Subjects and activities as those steps leave them: COD, CODLARGO, NOMBRE, CODTAREA, ESTAREA.
void writeSubjects(const QString &folder, const Rows &rows) {
    writeTable(folder, "ASIGNOMT",
               {{"COD", DbfFieldType::Character, 10},
                {"CODLARGO", DbfFieldType::Character, 10},
                {"NOMBRE", DbfFieldType::Character, 80},
                {"CODTAREA", DbfFieldType::Character, 10},
                {"ESTAREA", DbfFieldType::Logical, 0}},
               rows);
}

// A MATERIAS record: offer, then identifier and name in the order given.
QStringList subject(const QString &offer, const QString &key, const QString &name, bool nameFirst = true) {
    return nameFirst ? QStringList{offer, name, key} : QStringList{offer, key, name};
}

// The MATERIAS group; each record's dato names follow its own order of identifier and name.
QString subjectsGroup(const Rows &records, const QList<bool> &nameFirst) {
    QString out = "<grupo_datos seq=\"MATERIAS\">\n";
    for (int r = 0; r < records.size(); ++r) {
        const bool byName = nameFirst.value(r, true);
        const QStringList names{"X_OFERTAMATRIG", byName ? "D_MATERIAC" : "X_MATERIAOMG",
                                byName ? "X_MATERIAOMG" : "D_MATERIAC", "N_HORAS"};
        out += "<grupo_datos seq=\"" + QString::number(r + 1) + "\">\n";
        for (int i = 0; i < records[r].size(); ++i)
            out += "<dato nombre_dato=\"" + names[i] + "\">" + records[r][i].toHtmlEscaped() + "</dato>\n";
        out += "</grupo_datos>\n";
    }
    return out + "</grupo_datos>";
}

const Rows threeGroups{{"ESO1A", "ESO", "1", "A", "U1", "6001"},
                       {"BACH1A", "BACH", "1", "A", "U9", "7001"},
                       {"ESO1B", "ESO", "1", "B", "U2", "6001"},
                       {"ESO1C", "ESO", "1", "C", "U3", "6001"}};

} // namespace

class TestImportSubjectAssignments : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    RunState m_state{pathsIn(m_dir.path())};

    void run(const Rows &groups, const Rows &subjects, const Rows &records, const QList<bool> &nameFirst = {}) {
        writeGroups(m_state.paths.workDir, groups);
        writeSubjects(m_state.paths.workDir, subjects);
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {subjectsGroup(records, nameFirst)}));
        ScriptedUi ui;
        ImportSubjectAssignments(m_state, ui);
    }

private slots:
    void everyGroupOfTheCourse() {
        run(threeGroups, {{"LEN", "", "Lengua", "", "F"}}, {subject("6001", "700001", "Lengua")});
        QCOMPARE(columns(m_state.paths.workDir, "ASIGT",
                         {"CASIG", "CPROF", "CGRUP", "CAULA", "TURNO", "NIVEL", "CURSO", "GRUPO", "SESIONES", "NCONEX",
                          "CLAVE", "CLAVECURSO", "CTAREA"}),
                 (QStringList{"LEN||ESO1A|||ESO|1|A|1111||700001|6001|1", "LEN||ESO1B|||ESO|1|B|1111||700001|6001|1",
                              "LEN||ESO1C|||ESO|1|C|1111||700001|6001|1"}));
        DbfTable t;
        t.open(m_state.paths.workDir, "ASIGT", DbfTable::Mode::Exclusive); // every table closed
        for (t.first(); !t.eof(); t.next())
            QCOMPARE(t.number("HORAS"), 4.0);
        t.close();
        DbfTable groups, subjects;
        groups.open(m_state.paths.workDir, "GRUPOST", DbfTable::Mode::Exclusive);
        subjects.open(m_state.paths.workDir, "ASIGNOMT", DbfTable::Mode::Exclusive);
    }

    void subjectCodeAndRows_data() {
        QTest::addColumn<Rows>("subjects"); // ASIGNOMT rows
        QTest::addColumn<Rows>("records");  // MATERIAS records
        QTest::addColumn<QList<bool>>("nameFirst");
        QTest::addColumn<QStringList>("rows"); // CASIG|CGRUP|CLAVE|CLAVECURSO

        const QString long90 = QString(80, QLatin1Char('x')) + "0123456789";
        QTest::newRow("either order of identifier and name")
            << Rows{{"LEN", "", "Lengua", "", "F"}}
            << Rows{subject("6001", "700001", "Lengua", true), subject("6001", "700002", "Lengua", false)}
            << QList<bool>{true, false} << QStringList{"LEN|ESO1A|700001|6001", "LEN|ESO1A|700002|6001"};
        QTest::newRow("a to z match in any case")
            << Rows{{"LEN", "", "LENGUA y literatura", "", "F"}} << Rows{subject("6001", "1", "lengua Y Literatura")}
            << QList<bool>{} << QStringList{"LEN|ESO1A|1|6001"};
        QTest::newRow("accented letters keep their case")
            << Rows{{"EF", "", "EDUCACIÓN FÍSICA", "", "F"}, {"EF2", "", "EDUCACIóN FíSICA", "", "F"}}
            << Rows{subject("6001", "1", "Educación Física")} << QList<bool>{} << QStringList{"EF2|ESO1A|1|6001"};
        QTest::newRow("first 80 characters of a longer name")
            << Rows{{"LARGA", "", long90.left(80), "", "F"}} << Rows{subject("6001", "1", long90)} << QList<bool>{}
            << QStringList{"LARGA|ESO1A|1|6001"};
        QTest::newRow("two subjects with one name: first row wins")
            << Rows{{"MAT", "", "Matemáticas", "", "F"}, {"MAT1", "", "Matemáticas", "", "F"}}
            << Rows{subject("6001", "11", "Matemáticas"), subject("6001", "12", "Matemáticas")} << QList<bool>{}
            << QStringList{"MAT|ESO1A|11|6001", "MAT|ESO1A|12|6001"};
        QTest::newRow("activity rows count")
            << Rows{{"GUA", "", "Guardia", "55", "T"}} << Rows{subject("6001", "1", "Guardia")} << QList<bool>{}
            << QStringList{"GUA|ESO1A|1|6001"};
        QTest::newRow("no name found, no row") << Rows{{"LEN", "", "Lengua", "", "F"}}
                                               << Rows{subject("6001", "1", "Lenguas"), subject("6001", "2", "Lengua")}
                                               << QList<bool>{} << QStringList{"LEN|ESO1A|2|6001"};
        QTest::newRow("course identifier longer than 10: no group")
            << Rows{{"LEN", "", "Lengua", "", "F"}} << Rows{subject("60010000000", "1", "Lengua")} << QList<bool>{}
            << QStringList{};
        QTest::newRow("one dato skipped")
            << Rows{{"LEN", "", "Lengua", "", "F"}} << Rows{{"6001"}} << QList<bool>{} << QStringList{};
        QTest::newRow("offer without groups") << Rows{{"LEN", "", "Lengua", "", "F"}}
                                              << Rows{subject("9999", "1", "Lengua")} << QList<bool>{} << QStringList{};
    }
    void subjectCodeAndRows() {
        QFETCH(Rows, subjects);
        QFETCH(Rows, records);
        QFETCH(QList<bool>, nameFirst);
        run({{"ESO1A", "ESO", "1", "A", "U1", "6001"}}, subjects, records, nameFirst);
        QTEST(columns(m_state.paths.workDir, "ASIGT", {"CASIG", "CGRUP", "CLAVE", "CLAVECURSO"}), "rows");
    }

    // The step looks every subject up by name and every course up by key: done by scanning the
    // tables for each record, a large school takes quadratic time.
    void largeSchool() {
        constexpr int Courses = 15, GroupsPerCourse = 4, Subjects = 600;
        Rows groups, subjects, records;
        for (int c = 0; c < Courses; ++c)
            for (int g = 0; g < GroupsPerCourse; ++g)
                groups << QStringList{QStringLiteral("C%1%2").arg(c).arg(QChar('A' + g)),
                                      "ESO",
                                      QString::number(c),
                                      QString(QChar('A' + g)),
                                      QStringLiteral("U%1").arg(c * 10 + g),
                                      QStringLiteral("O%1").arg(c)};
        for (int s = 0; s < Subjects; ++s) {
            subjects << QStringList{QStringLiteral("S%1").arg(s), "", QStringLiteral("Materia numero %1").arg(s), "",
                                    "F"};
            records << subject(QStringLiteral("O%1").arg(s % Courses), QStringLiteral("%1").arg(700000 + s),
                               QStringLiteral("materia NUMERO %1").arg(Subjects - 1 - s));
        }
        writeGroups(m_state.paths.workDir, groups);
        writeSubjects(m_state.paths.workDir, subjects);
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {subjectsGroup(records, {})}));
        ScriptedUi ui;
        QElapsedTimer timer;
        timer.start();
        ImportSubjectAssignments(m_state, ui);
        const qint64 ms = timer.elapsed();
        qInfo("%d subject records x %d groups: %lld ms", Subjects, Courses * GroupsPerCourse, ms);

        const QStringList rows = columns(m_state.paths.workDir, "ASIGT", {"CASIG", "CGRUP", "CLAVE"});
        QCOMPARE(rows.size(), Subjects * GroupsPerCourse);
        QCOMPARE(rows.first(), QStringLiteral("S599|C0A|700000"));
        QCOMPARE(rows.last(), QStringLiteral("S0|C14D|700599"));
        QVERIFY2(ms < LimitMs, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    }
};

QTEST_GUILESS_MAIN(TestImportSubjectAssignments)
#include "test_import_subject_assignments.moc"
