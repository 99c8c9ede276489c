// SOLUC as a host built on Free Pascal's TDbf writes it: dBase level 7, DIA numeric, HORA a
// binary integer, character fields of other widths, an extra field, records deleted after
// posting. The export must read it as it reads a table of its own engine.

#include "export/ExportDriver.h"
#include "platform/DbfTable.h"
#include "platform/XmlDocument.h"
#include "support/ExportFixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace ExportFixture;

class ExportSolucTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void level7FromTDbf();

private:
    QTemporaryDir m_tools;
    QString m_writer;
};

// Builds the writer once; without the Free Pascal compiler the test is skipped.
void ExportSolucTest::initTestCase() {
    const QString fpc = QStandardPaths::findExecutable(QStringLiteral("fpc"));
    if (fpc.isEmpty())
        QSKIP("fpc is not installed");
    const QString source = QStringLiteral(TVS_SOURCE_DIR "/tests/peers/tdbf_soluc7.pas");
    QProcess build;
    build.setWorkingDirectory(m_tools.path());
    build.start(fpc, {QStringLiteral("-FE") + m_tools.path(), source});
    QVERIFY(build.waitForFinished(120000));
    QVERIFY2(build.exitCode() == 0, build.readAllStandardOutput().constData());
    m_writer = QDir(m_tools.path()).filePath(QStringLiteral("tdbf_soluc7"));
}

void ExportSolucTest::level7FromTDbf() {
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    const QString w = paths.workDir;
    createTables(w);
    QVERIFY(QFile::remove(DbfTable::findFile(w, QStringLiteral("SOLUC"))));
    QCOMPARE(QProcess::execute(m_writer, {w}), 0);

    teacher(w, QStringLiteral("ANA"), QStringLiteral("1001"));
    teacher(w, QStringLiteral("BEA"), QStringLiteral("1002"));
    slot(w, QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("T1"), QStringLiteral("0800"), QStringLiteral("0900"));
    slot(w, QStringLiteral("110"), QStringLiteral("1"), QStringLiteral("T10"), QStringLiteral("1400"), QStringLiteral("1500"));
    slot(w, QStringLiteral("32"), QStringLiteral("3"), QStringLiteral("T32"), QStringLiteral("0900"), QStringLiteral("1000"));
    group(w, QStringLiteral("ESO1A"), QStringLiteral("U1A"), QStringLiteral("OF1"));
    assignment(w, QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("M100"), QStringLiteral("OF1"));
    subject(w, QStringLiteral("GUARD"), QStringLiteral("G55"));

    const QString input = TestSupport::writeSeneca(
        paths.dialogDir, QStringLiteral("H.xml"),
        {TestSupport::yearGroup(QStringLiteral("2025"), QStringLiteral("15/09/2025"), QStringLiteral("22/06/2026"))});
    RunState state(paths);
    TestSupport::ScriptedUi ui;
    ui.fileAnswers.push_back(input);
    BImportarClick(state, ui);
    QCOMPARE(ui.errors, QStringList());
    QCOMPARE(state.outcome, 1);

    XmlDocument doc;
    QVERIFY(doc.load(QDir(paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorH.xml"))));
    const XmlNodeList teachers =
        doc.select("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos");
    QCOMPARE(teachers.length(), 2);
    QStringList got;
    for (int t = 0; t < teachers.length(); ++t) {
        got << QStringLiteral("registros=") + QString::fromStdString(teachers.item(t).attribute("registros"));
        const XmlNodeList entries = teachers.item(t).select("grupo_datos");
        for (int e = 0; e < entries.length(); ++e) {
            QStringList values;
            const XmlNodeList datos = entries.item(e).select("dato");
            for (int i = 0; i < datos.length(); ++i)
                values << QString::fromStdString(datos.item(i).text());
            got << QString::fromStdString(entries.item(e).attribute("seq")) + QLatin1Char(' ') + values.join(QLatin1Char('|'));
        }
    }
    QCOMPARE(got, QStringList({
                      "registros=2",
                      "ACTIVIDAD_1 1|T1|A1|U1A|OF1|M100|15/09/2025|22/06/2026|0800|0900|1",
                      "ACTIVIDAD_2 1|T10||U1A|OF1||15/09/2025|22/06/2026|1400|1500|G55",
                      "registros=1",
                      "ACTIVIDAD_1 3|T32|B1|U1A|OF1|M100|15/09/2025|22/06/2026|0900|1000|7",
                  }));
}

QTEST_GUILESS_MAIN(ExportSolucTest)
#include "test_export_soluc.moc"
