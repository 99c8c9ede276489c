// The staff step: abbreviations from the initials, unique without regard to letter case
// (accented letters included) by appending a number; the full name with both blanks; the
// Séneca values kept as sent.

#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

const QStringList StaffNames = {u"X_EMPLEADO"_s, u"F_TOMAPOS"_s, u"D_PUESTO"_s,
                                u"APELLIDO1"_s,  u"APELLIDO2"_s, u"NOMBRE"_s};

// One EMPLEADOS record per name (parts 1, 2, 3), with made-up identifiers.
QList<QStringList> people(const QList<QStringList> &names) {
    QList<QStringList> records;
    int n = 0;
    for (const QStringList &parts : names)
        records << QStringList{QString::number(900000 + ++n), u"01/09/2020"_s, u"Matemáticas-P.E.S."_s} + parts;
    return records;
}

} // namespace

class TestImportStaff : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_runs = 0;

    QString run(const QList<QStringList> &records) {
        const QString root = QDir(m_dir.path()).filePath(QString::number(++m_runs));
        RunState state(pathsIn(root));
        state.document.load(writeSeneca(root, u"e.xml"_s, {group(u"EMPLEADOS"_s, records, StaffNames)}));
        ScriptedUi ui;
        ImportStaff(state, ui);
        return state.paths.workDir;
    }

private slots:
    void abbreviations_data() {
        QTest::addColumn<QList<QStringList>>("names");
        QTest::addColumn<QStringList>("expected");

        const QStringList gla{u"García"_s, u"López"_s, u"Ana"_s};
        QTest::newRow("numbered from 1") << QList<QStringList>{gla, gla, gla} << QStringList{u"GLA"_s, u"GLA1"_s, u"GLA2"_s};
        QTest::newRow("letter case disregarded, kept as written")
            << QList<QStringList>{gla, {u"gómez"_s, u"lara"_s, u"alba"_s}} << QStringList{u"GLA"_s, u"gla1"_s};
        QTest::newRow("a numbered form taken in other case")
            << QList<QStringList>{gla, gla, {u"gil"_s, u"luna"_s, u"abel"_s}}
            << QStringList{u"GLA"_s, u"GLA1"_s, u"gla2"_s};
        QTest::newRow("tenth duplicate: no character dropped")
            << QList<QStringList>(11, gla)
            << QStringList{u"GLA"_s,  u"GLA1"_s, u"GLA2"_s, u"GLA3"_s, u"GLA4"_s, u"GLA5"_s,
                           u"GLA6"_s, u"GLA7"_s, u"GLA8"_s, u"GLA9"_s, u"GLA10"_s};
        QTest::newRow("accented initials differing in case")
            << QList<QStringList>{{u"Ángel"_s, u"Ñúñez"_s, u"Íñigo"_s}, {u"ángel"_s, u"ñoño"_s, u"íñigo"_s}}
            << QStringList{u"ÁÑÍ"_s, u"áñí1"_s};
        QTest::newRow("accented and plain letters differ")
            << QList<QStringList>{{u"Óscar"_s, u""_s, u""_s}, {u"Oscar"_s, u""_s, u""_s}} << QStringList{u"Ó"_s, u"O"_s};
        QTest::newRow("empty part contributes nothing")
            << QList<QStringList>{{u"García"_s, u""_s, u"Ana"_s}, {u"Gil"_s, u"Arias"_s, u""_s}}
            << QStringList{u"GA"_s, u"GA1"_s};
    }
    void abbreviations() {
        QFETCH(QList<QStringList>, names);
        QFETCH(QStringList, expected);
        QCOMPARE(column(run(people(names)), u"PROFT"_s, u"ABREV"_s), expected);
    }

    void rows_data() {
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("values as sent")
            << QList<QStringList>{{u"1234567"_s, u"01/09/2019"_s, u"Inglés-P.E.S."_s, u"García"_s, u"López"_s, u"Ana"_s}}
            << QStringList{u"ABREV=GLA|NOMBRE=García López Ana|DEPART=Inglés-P.E.S.|DNI=|X_EMPLEADO=1234567|F_TOMAPOS=01/09/2019"_s};
        QTest::newRow("empty middle part: two blanks in a row; empty date")
            << QList<QStringList>{{u"7"_s, u""_s, u"Música"_s, u"García"_s, u""_s, u"Ana"_s}}
            << QStringList{u"ABREV=GA|NOMBRE=García  Ana|DEPART=Música|DNI=|X_EMPLEADO=7|F_TOMAPOS="_s};
        QTest::newRow("date kept as text, values cut to their fields")
            << QList<QStringList>{{u"12345678901"_s, u"2019-09-01 08:00"_s, u"D"_s, u"Ruiz"_s, u"Sanz"_s, u"Eva"_s}}
            << QStringList{u"ABREV=RSE|NOMBRE=Ruiz Sanz Eva|DEPART=D|DNI=|X_EMPLEADO=1234567890|F_TOMAPOS=2019-09-01"_s};
        QTest::newRow("same employee twice: two rows")
            << QList<QStringList>{{u"7"_s, u""_s, u""_s, u"Ruiz"_s, u"Sanz"_s, u"Eva"_s},
                                  {u"7"_s, u""_s, u""_s, u"Ruiz"_s, u"Sanz"_s, u"Eva"_s}}
            << QStringList{u"ABREV=RSE|NOMBRE=Ruiz Sanz Eva|DEPART=|DNI=|X_EMPLEADO=7|F_TOMAPOS="_s,
                           u"ABREV=RSE1|NOMBRE=Ruiz Sanz Eva|DEPART=|DNI=|X_EMPLEADO=7|F_TOMAPOS="_s};
        QTest::newRow("one dato skipped, missing parts read empty")
            << QList<QStringList>{{u"1"_s}, {u"2"_s, u"01/09/2020"_s, u"D"_s, u"Ruiz"_s}}
            << QStringList{u"ABREV=R|NOMBRE=Ruiz|DEPART=D|DNI=|X_EMPLEADO=2|F_TOMAPOS=01/09/2020"_s};
    }
    void rows() {
        QFETCH(QList<QStringList>, records);
        QFETCH(QStringList, expected);
        const QString folder = run(records);
        QCOMPARE(dumpTable(folder, u"PROFT"_s), expected);
    }

    // DNI is never written: it stays blank, not zero.
    void dniStaysBlank() {
        const QString folder = run(people({{u"García"_s, u"López"_s, u"Ana"_s}}));
        DbfTable table;
        table.open(folder, u"PROFT"_s, DbfTable::Mode::Shared);
        table.first();
        QVERIFY(!table.eof());
        QVERIFY(table.isBlank(u"DNI"_s));
    }
};

QTEST_GUILESS_MAIN(TestImportStaff)
#include "test_import_staff.moc"
