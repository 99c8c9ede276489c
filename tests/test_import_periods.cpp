// The school-year periods table: which groups give the dates, the fallback to the first
// "JORNADAS_ESCOLARES" record, the cuts to the field widths, and the engine's refusal when
// no group qualifies.

#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TestImportPeriods : public QObject {
    Q_OBJECT

    QStringList run(const QStringList &groups) {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        state.document.load(writeSeneca(dir.path(), QStringLiteral("e.xml"), groups));
        ScriptedUi ui;
        ImportPeriods(state, ui);
        return dumpTable(state.paths.workDir, QStringLiteral("PERIODOS"));
    }

    static QString days(const QString &start, const QString &end) {
        return group(QStringLiteral("JORNADAS_ESCOLARES"),
                     {{QStringLiteral("77"), QStringLiteral("Jornada"), start, end}});
    }

private slots:
    void periods_data() {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("rows");
        const QString units = group(QStringLiteral("UNIDADES"), {{QStringLiteral("1"), QStringLiteral("E1A")}});

        QTest::newRow("school-year group") << QStringList{yearGroup("2026", "15/09/2026", "22/06/2027"), units}
                                           << QStringList{"CURSOANNO=2026|F_INICIO=15/09/2026|F_FIN=22/06/2027"};
        QTest::newRow("cut to 4 and 10")
            << QStringList{yearGroup("2026/27", " 15/09/2026 10:00 ", "22/06/2027XYZ"), units}
            << QStringList{"CURSOANNO=2026|F_INICIO=15/09/2026|F_FIN=22/06/2027"};
        QTest::newRow("only end blank: both from the first day record")
            << QStringList{yearGroup("2026", "15/09/2026", "   "), units, days("10/09/2026", "23/06/2027"),
                           days("01/01/2000", "02/02/2000")}
            << QStringList{"CURSOANNO=2026|F_INICIO=10/09/2026|F_FIN=23/06/2027"};
        QTest::newRow("day record with one dato keeps the blanks")
            << QStringList{yearGroup("2026", "", ""), units,
                           group(QStringLiteral("JORNADAS_ESCOLARES"), {{QStringLiteral("77")}})}
            << QStringList{"CURSOANNO=2026|F_INICIO=|F_FIN="};
        QTest::newRow("two qualifying groups: the second gets the final dates")
            << QStringList{yearGroup("2025", "01/09/2025", "30/06/2026"), yearGroup("2026", "", ""),
                           days("10/09/2026", "23/06/2027")}
            << QStringList{"CURSOANNO=2025|F_INICIO=01/09/2025|F_FIN=30/06/2026",
                           "CURSOANNO=2026|F_INICIO=10/09/2026|F_FIN=23/06/2027"};
    }
    void periods() {
        QFETCH(QStringList, groups);
        QFETCH(QStringList, rows);
        QCOMPARE(run(groups), rows);
    }

    // No group with more than one dato: nothing is appended, so writing the dates fails with
    // the engine's own message and the table stays empty.
    void noQualifyingGroupFailsWithTheEngineMessage() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        state.document.load(writeSeneca(dir.path(), QStringLiteral("e.xml"),
                                        {group(QStringLiteral("UNIDADES"), {{QStringLiteral("1"), QStringLiteral("E1A")}}),
                                         days("10/09/2026", "23/06/2027")}));
        ScriptedUi ui;
        try {
            ImportPeriods(state, ui);
            QFAIL("the step should have failed");
        } catch (const RunError &error) {
            QCOMPARE(error.message(), Msg::NotInEditMode);
        }
        QCOMPARE(dumpTable(state.paths.workDir, QStringLiteral("PERIODOS")), QStringList{});
    }

    // A table that another open holds is not deleted from under it: the run ends with the
    // lock message and the table keeps its bytes. (POSIX would let the file be deleted.)
    void tableInUseIsLeftAlone() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        state.document.load(writeSeneca(dir.path(), QStringLiteral("e.xml"), {yearGroup("2026", "15/09/2026", "22/06/2027")}));
        ScriptedUi ui;
        ImportPeriods(state, ui);
        const QString path = DbfTable::findFile(state.paths.workDir, QStringLiteral("PERIODOS"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        for (DbfTable::Mode mode : {DbfTable::Mode::Exclusive, DbfTable::Mode::Shared}) {
            DbfTable holder;
            holder.open(state.paths.workDir, QStringLiteral("PERIODOS"), mode);
            try {
                ImportPeriods(state, ui);
                QFAIL("the step should have failed");
            } catch (const RunError &error) {
                QCOMPARE(error.message(), EngineMsg::TableBusy.arg(QStringLiteral("PERIODOS"), path));
            }
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), before);
            file.close();
        }
        ImportPeriods(state, ui); // free again once the other open is closed
    }
};

QTEST_GUILESS_MAIN(TestImportPeriods)
#include "test_import_periods.moc"
