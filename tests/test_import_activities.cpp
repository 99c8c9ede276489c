// The activities step: one ASIGNOMT row per activity after the subject rows, with the Séneca
// identifier as code and in CODTAREA; no test against existing codes; the subjects step's
// sets end here.

#include "import/ImportSteps.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

const QStringList ActivityNames = {u"L_REGULAR"_s, u"X_ACTIVIDAD"_s, u"D_ACTIVIDAD"_s, u"L_REQUNIDAD"_s,
                                   u"L_REQMATERIA"_s};

// ASIGNOMT as "COD|CODLARGO|NOMBRE|CODTAREA|ESTAREA", ESTAREA read as a logical.
QStringList rows(const QString &folder) {
    DbfTable table;
    table.open(folder, u"ASIGNOMT"_s, DbfTable::Mode::Shared);
    QStringList out;
    for (table.first(); !table.eof(); table.next()) {
        QStringList cells;
        for (const QString &f : {u"COD"_s, u"CODLARGO"_s, u"NOMBRE"_s, u"CODTAREA"_s})
            cells << table.text(f).toQString();
        cells << (table.logical(u"ESTAREA"_s) ? u"T"_s : u"F"_s);
        out << cells.join(u'|');
    }
    return out;
}

void writeCatalogue(const QString &path) {
    const QFileInfo file(path);
    DbfTable::create(file.absolutePath(), file.completeBaseName(),
                     {{u"NOMBRE"_s, DbfFieldType::Character, 80},
                      {u"COD"_s, DbfFieldType::Character, 10},
                      {u"CODLARGO"_s, DbfFieldType::Character, 10}});
}

} // namespace

class TestImportActivities : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_runs = 0;

    // The subjects step and then the activities step on one document, as a run does them.
    std::unique_ptr<RunState> run(const QList<QStringList> &subjects, const QList<QStringList> &activities,
                                  bool withActivityGroup = true) {
        const QString root = QDir(m_dir.path()).filePath(QString::number(++m_runs));
        auto state = std::make_unique<RunState>(pathsIn(root));
        state->paths.catalogPath = QDir(state->paths.exeDir).filePath(u"SENEMATERIAS.DBF"_s);
        writeCatalogue(state->paths.catalogPath);
        QStringList groups{group(u"MATERIAS"_s, subjects,
                                 {u"X_OFERTAMATRIG"_s, u"D_MATERIAC"_s, u"X_MATERIAOMG"_s, u"N_HORAS"_s})};
        if (withActivityGroup)
            groups << group(u"ACTIVIDADES"_s, activities, ActivityNames);
        state->document.load(writeSeneca(root, u"e.xml"_s, groups));
        ScriptedUi ui;
        ImportSubjects(*state, ui);
        ImportActivities(*state, ui);
        return state;
    }

private slots:
    void rows_data() {
        QTest::addColumn<QList<QStringList>>("subjects");
        QTest::addColumn<QList<QStringList>>("activities");
        QTest::addColumn<QStringList>("expected");

        const QList<QStringList> music = {{u"1001"_s, u"Música"_s, u"500001"_s}};
        QTest::newRow("after the subject rows, long code cut to 10")
            << music << QList<QStringList>{{u"N"_s, u"32"_s, u"Guardia de recreo"_s, u"N"_s, u"N"_s}}
            << QStringList{u"Música|Música|Música||F"_s, u"32|Guardia de|Guardia de recreo|32|T"_s};
        QTest::newRow("short name is the whole long code")
            << QList<QStringList>{} << QList<QStringList>{{u"S"_s, u"1"_s, u"Docencia"_s, u"S"_s, u"S"_s}}
            << QStringList{u"1|Docencia|Docencia|1|T"_s};
        QTest::newRow("identifier over 10 characters cut in COD and CODTAREA")
            << QList<QStringList>{} << QList<QStringList>{{u"S"_s, u"12345678901"_s, u"Reunión"_s}}
            << QStringList{u"1234567890|Reunión|Reunión|1234567890|T"_s};
        // Activity codes are not tested against subject codes nor against each other.
        QTest::newRow("codes repeated as given")
            << QList<QStringList>{{u"1001"_s, u"Dibujo"_s, u"500001"_s}}
            << QList<QStringList>{{u"S"_s, u"Dibujo"_s, u"Tutoría"_s}, {u"S"_s, u"7"_s, u"Guardia"_s},
                                  {u"S"_s, u"7"_s, u"Guardia"_s}}
            << QStringList{u"Dibujo|Dibujo|Dibujo||F"_s, u"Dibujo|Tutoría|Tutoría|Dibujo|T"_s, u"7|Guardia|Guardia|7|T"_s,
                           u"7|Guardia|Guardia|7|T"_s};
        QTest::newRow("one dato skipped, two datos give an empty name")
            << QList<QStringList>{} << QList<QStringList>{{u"S"_s}, {u"S"_s, u"9"_s}}
            << QStringList{u"9|||9|T"_s};
    }
    void rows() {
        QFETCH(QList<QStringList>, subjects);
        QFETCH(QList<QStringList>, activities);
        QFETCH(QStringList, expected);
        const auto state = run(subjects, activities);
        QCOMPARE(::rows(state->paths.workDir), expected);
    }

    // The sets end with this step, whether or not the document has activities.
    void releasesTheSubjectSets_data() {
        QTest::addColumn<bool>("withActivityGroup");
        QTest::newRow("with activities") << true;
        QTest::newRow("without the group") << false;
    }
    void releasesTheSubjectSets() {
        QFETCH(bool, withActivityGroup);
        const auto state = run({{u"1001"_s, u"Música"_s, u"500001"_s}}, {{u"S"_s, u"1"_s, u"Docencia"_s}},
                               withActivityGroup);
        QVERIFY(state->sets.UsedCodes.empty());
        QVERIFY(state->sets.SeenLongCodes.empty());
        QVERIFY(state->sets.SeenNames.empty());
        QVERIFY(state->sets.SeenLongCodeNames.empty());
    }

    // The step appends to the subjects table; without it, the engine's error ends the run.
    void missingSubjectsTable() {
        const QString root = QDir(m_dir.path()).filePath(u"missing"_s);
        RunState state(pathsIn(root));
        state.document.load(writeSeneca(root, u"e.xml"_s,
                                        {group(u"ACTIVIDADES"_s, {{u"S"_s, u"1"_s, u"Docencia"_s}}, ActivityNames)}));
        ScriptedUi ui;
        QVERIFY_THROWS_EXCEPTION(RunError, ImportActivities(state, ui));
    }
};

QTEST_GUILESS_MAIN(TestImportActivities)
#include "test_import_activities.moc"
