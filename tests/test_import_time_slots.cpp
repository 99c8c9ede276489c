// The days-and-hours table: seven copies of the slot list with their keys, the one-"0" rule,
// the length in minutes, and the strict conversion that ends the run naming the bad text.

#include "import/ImportSteps.h"
#include "platform/RunError.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

QString slotsGroup(const QList<QStringList> &records) {
    return group("TRAMOS_HORARIOS", records, {"X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN"});
}

QList<QStringList> numberedSlots(int count) {
    QList<QStringList> records;
    for (int k = 1; k <= count; ++k)
        records << QStringList{QString::number(100 + k), QStringLiteral("%1ª hora").arg(k),
                               QString::number(480 + 60 * k), QString::number(540 + 60 * k)};
    return records;
}

} // namespace

class TestImportTimeSlots : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    RunState m_state{pathsIn(m_dir.path())};

    // Runs the step on a document with the given slot records.
    void run(const QList<QStringList> &records) {
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {slotsGroup(records)}));
        ScriptedUi ui;
        ImportTimeSlots(m_state, ui);
    }
    QStringList rows(const QStringList &fields) { return columns(m_state.paths.workDir, "DIASHORAST", fields); }

private slots:
    void keysRepeatTheSlotsForSevenDays_data() {
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("firstRowOfDay3");
        QTest::addColumn<QStringList>("keysOfDay3");
        QTest::newRow("six slots") << 6 << 12 << QStringList{"31", "32", "33", "34", "35", "36"};
        QTest::newRow("ten slots: three-character keys")
            << 10 << 20 << QStringList{"31", "32", "33", "34", "35", "36", "37", "38", "39", "310"};
    }
    void keysRepeatTheSlotsForSevenDays() {
        QFETCH(int, slotCount);
        QFETCH(int, firstRowOfDay3);
        QFETCH(QStringList, keysOfDay3);
        run(numberedSlots(slotCount));

        const QStringList keys = rows({"DIHO"});
        QCOMPARE(keys.size(), 7 * slotCount);
        QCOMPARE(keys.mid(firstRowOfDay3, slotCount), keysOfDay3);
        QCOMPARE(keys.first(), QStringLiteral("11"));
        QCOMPARE(keys.last(), QStringLiteral("7%1").arg(slotCount));
        // Every day repeats the slots in document order, with its own day number.
        const QStringList all = rows({"DIA", "CODDIHO", "HORA"});
        for (int day = 1; day <= 7; ++day)
            for (int k = 1; k <= slotCount; ++k)
                QCOMPARE(all[(day - 1) * slotCount + k - 1],
                         QStringLiteral("%1|%2|%3ª hora").arg(day).arg(100 + k).arg(k));
    }

    void startEndAndLength_data() {
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QString>("row"); // HORA|TEXTOHOR|HORADESDE|HORAHASTA|MINUTOS|TEXTODIA

        QTest::newRow("three digits get a 0") << QStringList{"1", "1ª", "480", "540"} << "1ª|1ª|0480|0540|60|";
        QTest::newRow("four digits stay") << QStringList{"1", "1ª", "1000", "1055"} << "1ª|1ª|1000|1055|55|";
        QTest::newRow("end before start") << QStringList{"1", "1ª", "0540", "0480"} << "1ª|1ª|0540|0480|-60|";
        QTest::newRow("only one 0 in front") << QStringList{"1", "1ª", "45", "5"} << "1ª|1ª|045|05|-40|";
        QTest::newRow("empty reads as 0") << QStringList{"1", "1ª", "", "60"} << "1ª|1ª|0|060|60|";
        QTest::newRow("signed four characters") << QStringList{"1", "1ª", "-100", "+200"} << "1ª|1ª|-100|+200|300|";
        QTest::newRow("text cut to 8, values trimmed")
            << QStringList{" 1 ", " Recreo largo ", " 690 ", " 720 "} << "Recreo l|Recreo l|0690|0720|30|";
        QTest::newRow("fewer than four dato: zero length") << QStringList{"1", "Tarde"} << "Tarde|Tarde|0|0|0|";
    }
    void startEndAndLength() {
        QFETCH(QStringList, record);
        QFETCH(QString, row);
        run({record});
        const QStringList all = rows({"HORA", "TEXTOHOR", "HORADESDE", "HORAHASTA", "MINUTOS", "TEXTODIA"});
        QCOMPARE(all.size(), 7);
        QCOMPARE(all.first(), row);
        QCOMPARE(all.last(), row);
    }

    void notAWholeNumberEndsTheRun_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("shown");

        QTest::newRow("bad start") << "8:00"
                                   << "0540"
                                   << "8:00";
        QTest::newRow("bad end, padded") << "0480"
                                         << "9h"
                                         << "09h";
        QTest::newRow("both bad: the end is named") << "abcd"
                                                    << "wxyz"
                                                    << "wxyz";
        QTest::newRow("sign after the added 0") << "-60"
                                                << "0540"
                                                << "0-60";
        QTest::newRow("beyond 32 bits") << "0480"
                                        << "2147483648"
                                        << "2147483648";
        QTest::newRow("inner blank") << "0480"
                                     << "05 40"
                                     << "05 40";
    }
    void notAWholeNumberEndsTheRun() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, shown);
        // The good first slot of day 1 is posted before the bad second one stops the step.
        const QList<QStringList> records{{"1", "1ª", "0480", "0540"}, {"2", "2ª", start, end}};
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {slotsGroup(records)}));
        ScriptedUi ui;
        try {
            ImportTimeSlots(m_state, ui);
            QFAIL("the step accepted a value that is not a whole number");
        } catch (const RunError &e) {
            QCOMPARE(e.message(), Msg::NotAnInteger.arg(shown));
        }
        QCOMPARE(rows({"DIHO", "MINUTOS"}), QStringList{"11|60"});
    }

    void noGroupGivesAnEmptyTable() {
        m_state.document.load(writeSeneca(m_dir.path(), "e.xml", {group("UNIDADES", {{"1", "E1A", "6001"}})}));
        ScriptedUi ui;
        ImportTimeSlots(m_state, ui);
        QCOMPARE(rows({"DIHO"}), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestImportTimeSlots)
#include "test_import_time_slots.moc"
