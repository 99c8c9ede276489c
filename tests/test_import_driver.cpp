// The import driver through a scripted user: the file choice and the remembered name, "No
// existe archivo" and the host hand-back, what an error leaves behind, a second run after a
// failed one, the forced exit, and a file that does not parse.

#include "import/ImportDriver.h"
#include "platform/DbfTable.h"
#include "seneca/Messages.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {


// A catalogue of our own, so the run does not depend on the bundled one.
void writeCatalogue(Paths &paths) {
    paths.catalogPath = QDir(paths.exeDir).filePath("SENEMATERIAS.DBF");
    DbfTable::create(paths.exeDir, "SENEMATERIAS",
                     {{"NOMBRE", DbfFieldType::Character, 80},
                      {"COD", DbfFieldType::Character, 10},
                      {"CODLARGO", DbfFieldType::Character, 10}});
}

// The sample school's groups, to be changed by a test: year, courses, subjects, units, slots.
QStringList sampleGroups() {
    return {yearGroup("2026", "15/09/2026", "22/06/2027"),
            group("CURSOS_DEL_CENTRO", {{"6001", "1º de E.S.O."}}),
            group("MATERIAS", {{"6001", "Lengua Castellana y Literatura", "700001", "4"}},
                  {"X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"}),
            group("UNIDADES", {{"900001", "E1A", "6001"}}),
            group("TRAMOS_HORARIOS", {{"1", "1ª hora", "510", "570", "1"}})};
}

QString sampleDocument(const QString &folder) {
    return writeSeneca(folder, QStringLiteral("exportación centro.xml"), sampleGroups());
}

QString otherDocument(const QString &folder, const QStringList &groups) {
    return writeSeneca(folder, QStringLiteral("otra exportación.xml"), groups);
}

QByteArray digest(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

CourseDialogResult completeEveryCourse(RunState &state) {
    DbfTable t;
    t.open(state.tableFolder(), "CURSOST", DbfTable::Mode::Shared);
    for (t.first(); !t.eof(); t.next()) {
        t.edit();
        t.setText("NIVEL", AnsiText::ascii("ESO"));
        t.setText("CURSO", AnsiText::ascii("1"));
        t.post();
    }
    return {};
}

// An import of the sample school that finishes, the starting point of a later run.
void importSample(RunState &state, const QString &folder) {
    ScriptedUi ui;
    ui.courseEditor = completeEveryCourse;
    ui.fileAnswers.push_back(sampleDocument(folder));
    BExportarClick(state, ui);
}

// Every file below a folder (subfolders included) and the digest of its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), digest(path));
    }
    return files;
}

} // namespace

class TestImportDriver : public QObject {
    Q_OBJECT

private slots:
    void cancelledAtFirstRun_data() {
        QTest::addColumn<bool>("hostMode");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("closed");
        QTest::newRow("stand-alone") << false << 0 << false;
        QTest::newRow("host mode") << true << -1 << true;
    }
    void cancelledAtFirstRun() {
        QFETCH(bool, hostMode);
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        state.hostMode = hostMode;
        ScriptedUi ui;
        BExportarClick(state, ui);
        QCOMPARE(ui.messages, QStringList{Msg::NoFile});
        QTEST(state.outcome, "outcome");
        QTEST(ui.closed, "closed");
        QVERIFY(!ui.buttonsDisabled);
        QCOMPARE(ui.events.first(), "choose:" + state.paths.dialogDir);
    }

    void finishedRunReusesTheRememberedFileWhenCancelled() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        writeCatalogue(state.paths);
        state.rememberedFile = sampleDocument(dir.path()); // chosen earlier, by either direction
        state.hostMode = true;
        ScriptedUi ui;
        ui.courseEditor = completeEveryCourse;
        BExportarClick(state, ui);
        QCOMPARE(ui.errors, QStringList{});
        QCOMPARE(ui.messages, QStringList{Msg::Finished});
        QCOMPARE(state.outcome, 1);
        QVERIFY(ui.buttonsDisabled);
        QVERIFY(ui.closed);
        QCOMPARE(column(state.paths.workDir, "GRUPOST", "ABREV"), QStringList{"ESO1A"});
        // The wait cursor covers the steps and is gone before the closing message.
        const int busyOn = ui.events.indexOf("busy:1"), busyOff = ui.events.indexOf("busy:0");
        QVERIFY(busyOn >= 0 && busyOn < busyOff && busyOff < ui.events.indexOf("message:" + Msg::Finished));
    }

    // An error ends the run where it occurs: the message is shown, the cursor comes back,
    // outcome and buttons stay, the window stays open; a second run then starts clean.
    void errorThenSecondRun() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        writeCatalogue(state.paths);
        const QString workDir = state.paths.workDir;
        QVERIFY(QDir(workDir).removeRecursively()); // the working folder is missing
        state.hostMode = true;
        ScriptedUi ui;
        ui.fileAnswers.push_back(sampleDocument(dir.path()));
        BExportarClick(state, ui);
        QCOMPARE(ui.errors.size(), 1);
        QCOMPARE(ui.errors[0], "No se puede importar: no existe la carpeta de trabajo " + QDir::toNativeSeparators(workDir)
                                   + ". No se ha cambiado ninguna tabla.");
        QCOMPARE(state.outcome, 0);
        QVERIFY(!ui.busy);
        QVERIFY(!ui.buttonsDisabled);
        QVERIFY(!ui.closed);
        QVERIFY(ui.messages.isEmpty());

        QVERIFY(QDir().mkpath(workDir));
        state.sets.UsedCodes.insert(AnsiText::ascii("LCL")); // left over from the failed run
        ui.courseEditor = completeEveryCourse;
        BExportarClick(state, ui); // dialog cancelled: the remembered file again
        QCOMPARE(ui.errors.size(), 1);
        QCOMPARE(state.outcome, 1);
        QCOMPARE(column(workDir, "ASIGNOMT", "COD"), QStringList{"LCL"}); // not LC1
    }

    // The forced exit from the level-and-course dialog ends the run after the courses step:
    // no later table is rebuilt, no "Proceso finalizado", outcome unchanged, window closed.
    void forcedExit() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        writeCatalogue(state.paths);
        state.hostMode = true;
        ScriptedUi ui;
        ui.fileAnswers.push_back(sampleDocument(dir.path()));
        int showings = 0;
        ui.courseEditor = [&](RunState &) {
            return ++showings < 3 ? CourseDialogResult{true, {}} : CourseDialogResult{false, "fuera"};
        };
        BExportarClick(state, ui);
        QCOMPARE(ui.courseShowings, 3);
        QVERIFY(state.CourseCheckFailed);
        QVERIFY(ui.closed);
        QCOMPARE(state.outcome, 0);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(ui.errors.isEmpty());
        QVERIFY(!ui.busy);
        QVERIFY(QFile::exists(QDir(state.paths.workDir).filePath("CURSOST.DBF")));
        QVERIFY(!QFile::exists(QDir(state.paths.workDir).filePath("ASIGNOMT.DBF")));
    }

    // A file that does not parse ends the run before any table is touched, with a message
    // naming the file and the line.
    void unparseableFileTouchesNoTable() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        writeCatalogue(state.paths);
        ScriptedUi ui;
        ui.courseEditor = completeEveryCourse;
        ui.fileAnswers.push_back(sampleDocument(dir.path()));
        BExportarClick(state, ui);
        QCOMPARE(state.outcome, 1);
        const QString periods = QDir(state.paths.workDir).filePath("PERIODOS.DBF");
        const QByteArray before = digest(periods);
        QVERIFY(!before.isEmpty());

        const QString broken = QDir(dir.path()).filePath("roto.xml");
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>\n<BLOQUE_DATOS>\n"
                "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2026</grupo_datos>\n");
        f.close();
        RunState again(state.paths);
        ScriptedUi ui2;
        ui2.fileAnswers.push_back(broken);
        BExportarClick(again, ui2);
        QCOMPARE(ui2.errors.size(), 1);
        QVERIFY2(ui2.errors[0].contains("roto.xml") && ui2.errors[0].contains("4"), qPrintable(ui2.errors[0]));
        QCOMPARE(again.outcome, 0);
        QCOMPARE(digest(periods), before);
    }

    // A run that fails at any step, or cannot even start, leaves every file of the work
    // folder as the last good run left it, and no staging folder behind.
    void failedRunLeavesEveryTableAsItWas_data() {
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("error");
        QTest::newRow("slot start 8:15") << "slot" << "'8:15' no es un valor entero";
        QTest::newRow("no school-year group") << "year" << "";
        QTest::newRow("disk full half-way") << "disk" << "el archivo supera el tamaño que admite el disco";
        QTest::newRow("table held by another open") << "lock" << "La tabla ASIGT está en uso por otro programa";
    }
    void failedRunLeavesEveryTableAsItWas() {
        QFETCH(QString, breakage);
        QFETCH(QString, error);
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        writeCatalogue(state.paths);
        importSample(state, dir.path());
        QCOMPARE(state.outcome, 1);
        const QMap<QString, QByteArray> before = snapshot(state.paths.workDir);
        QCOMPARE(before.size(), 11); // nine tables, the report and the remembered courses

        QStringList groups = sampleGroups();
        if (breakage == "slot")
            groups.last() = group("TRAMOS_HORARIOS", {{"1", "1ª hora", "8:15", "570", "1"}});
        if (breakage == "year")
            groups.removeFirst();
        const QString input = otherDocument(dir.path(), groups);
        DbfTable holder;
        if (breakage == "lock")
            holder.open(state.paths.workDir, "ASIGT", DbfTable::Mode::Shared);
        const bool limited = breakage == "disk" && LimitFileSize(700);
        if (breakage == "disk" && !limited)
            QSKIP("this system cannot limit the size of written files");

        RunState again(state.paths);
        ScriptedUi ui;
        ui.courseEditor = completeEveryCourse;
        ui.fileAnswers.push_back(input);
        BExportarClick(again, ui);
        if (limited)
            UnlimitFileSize();
        holder.close();

        QCOMPARE(ui.errors.size(), 1);
        QVERIFY2(ui.errors[0].contains(error), qPrintable(ui.errors[0]));
        QCOMPARE(again.outcome, 0);
        QVERIFY(ui.messages.isEmpty());
        if (breakage == "lock")
            QCOMPARE(ui.courseShowings, 0); // stopped before the user completes anything
        QCOMPARE(snapshot(state.paths.workDir), before);
    }

    // The forced exit keeps the two tables written before it and every other as it was.
    void forcedExitKeepsTheLaterTablesOfTheLastRun() {
        QTemporaryDir dir;
        RunState state(pathsIn(dir.path()));
        writeCatalogue(state.paths);
        importSample(state, dir.path());
        const QMap<QString, QByteArray> before = snapshot(state.paths.workDir);

        RunState again(state.paths);
        again.CourseCheckFailed = true;
        ScriptedUi ui;
        QStringList groups = sampleGroups();
        groups[1] = group("CURSOS_DEL_CENTRO", {{"6001", "1º de E.S.O."}, {"6002", "2º de E.S.O."}});
        ui.fileAnswers.push_back(otherDocument(dir.path(), groups));
        ui.courseEditor = [](RunState &) { return CourseDialogResult{false, "fuera"}; };
        BExportarClick(again, ui);
        QVERIFY(ui.closed);
        const QMap<QString, QByteArray> after = snapshot(state.paths.workDir);
        QCOMPARE(after.keys(), before.keys());
        QVERIFY(after["CURSOST.DBF"] != before["CURSOST.DBF"]);
        QCOMPARE(column(state.paths.workDir, "CURSOST", "CLAVE"), (QStringList{"6001", "6002"}));
        for (const QString &file : before.keys())
            if (file != "CURSOST.DBF" && file != "PERIODOS.DBF")
                QVERIFY2(after[file] == before[file], qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(TestImportDriver)
#include "test_import_driver.moc"
