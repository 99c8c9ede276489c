// The rooms table: the Séneca identifier as room code (cut to 10 in both code fields), the
// skipped short records, the cut name, and trimming.

#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TestImportRooms : public QObject {
    Q_OBJECT

private slots:
    void rooms_data() {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("rows"); // ABREV|NOMBRE|DEPCENTRO

        const QString name90 = QString(90, QLatin1Char('n'));
        QTest::newRow("identifier is the code")
            << QStringList{group("DEPENDENCIAS", {{"1234567", "Aula 1"}, {"1234568", "Laboratorio"}})}
            << QStringList{"1234567|Aula 1|1234567", "1234568|Laboratorio|1234568"};
        QTest::newRow("12 characters cut to 10 in both; two rows share the code")
            << QStringList{group("DEPENDENCIAS", {{"123456789012", "Aula A"}, {"123456789099", "Aula B"}})}
            << QStringList{"1234567890|Aula A|1234567890", "1234567890|Aula B|1234567890"};
        QTest::newRow("one dato skipped, a third ignored")
            << QStringList{group("DEPENDENCIAS", {{"1"}, {"2", "Gimnasio", "extra"}})} << QStringList{"2|Gimnasio|2"};
        QTest::newRow("blanks trimmed, name cut to 80")
            << QStringList{group("DEPENDENCIAS", {{"  77  ", name90 + "  "}, {"78", "  Patio  "}})}
            << QStringList{"77|" + name90.left(80) + "|77", "78|Patio|78"};
        QTest::newRow("no group: empty table")
            << QStringList{group("UNIDADES", {{"1", "E1A", "6001"}})} << QStringList{};
    }
    void rooms() {
        QFETCH(QStringList, groups);
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        state.document.load(writeSeneca(dir.path(), "e.xml", groups));
        ScriptedUi ui;
        ImportRooms(state, ui);
        QTEST(columns(state.paths.workDir, "AULAT", {"ABREV", "NOMBRE", "DEPCENTRO"}), "rows");

        DbfTable rooms;
        rooms.open(state.paths.workDir, "AULAT", DbfTable::Mode::Exclusive); // closed by the step
        for (rooms.first(); !rooms.eof(); rooms.next()) {
            QVERIFY(rooms.isBlank("EDIFICIO"));
            QVERIFY(rooms.isBlank("MAXALUM"));
        }
    }
};

QTEST_GUILESS_MAIN(TestImportRooms)
#include "test_import_rooms.moc"
