// The sample school both ways: imported as a user would (levels and courses from its courses
// file), its solved timetable placed, exported; every code in the result must be one of the
// sample's own Séneca codes, each where it belongs.

#include "app/cli/CoursesCsv.h"
#include "export/ExportDriver.h"
#include "import/ImportDriver.h"
#include "platform/DbfTable.h"
#include "platform/XmlDocument.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <map>

namespace {

const QString Sample = QStringLiteral(TVS_SOURCE_DIR "/examples/seneca/ExportacionHorarios_IES_Ejemplo.xml");
const QString Courses = QStringLiteral(TVS_SOURCE_DIR "/examples/seneca/cursos.csv");
const QString SolucSource = QStringLiteral(TVS_SOURCE_DIR "/examples/soluc/soluc.csv");
const QString FaultySolucSource = QStringLiteral(TVS_SOURCE_DIR "/examples/soluc/soluc-con-fallos.csv");

QString str(const std::string &s) { return QString::fromStdString(s); }

// The records of one data group of a Séneca document, each as name -> value.
QList<std::map<QString, QString>> records(const XmlDocument &doc, const char *group) {
    QList<std::map<QString, QString>> out;
    const XmlNodeList list = doc.select(
        (std::string("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"") + group + "\"]/grupo_datos").c_str());
    for (int i = 0; i < list.length(); ++i) {
        std::map<QString, QString> values;
        const XmlNodeList datos = list.item(i).select("dato");
        for (int d = 0; d < datos.length(); ++d)
            values[str(datos.item(d).attribute("nombre_dato"))] = str(datos.item(d).text()).trimmed();
        out << values;
    }
    return out;
}

// The sample's SOLUC source straight into the table, in the host's layout.
int placeSoluc(const QString &workDir, int *classLessons, const QString &source = SolucSource) {
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("missing %s", qPrintable(source));
    QTextStream in(&file);
    in.readLine();
    DbfTable::create(workDir, QStringLiteral("SOLUC"),
                     {{QStringLiteral("PROF"), DbfFieldType::Character, 10},
                      {QStringLiteral("DIA"), DbfFieldType::Integer, 0},
                      {QStringLiteral("HORA"), DbfFieldType::Integer, 0},
                      {QStringLiteral("ASIG"), DbfFieldType::Character, 10},
                      {QStringLiteral("CODGRUPO"), DbfFieldType::Character, 10},
                      {QStringLiteral("TAREA"), DbfFieldType::Character, 10},
                      {QStringLiteral("AULA"), DbfFieldType::Character, 10}});
    DbfTable t;
    t.open(workDir, QStringLiteral("SOLUC"));
    int placed = 0;
    *classLessons = 0;
    const char *const names[] = {"PROF", "DIA", "HORA", "ASIG", "CODGRUPO", "TAREA", "AULA"};
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char(';'));
        if (f.size() != 7)
            continue;
        t.append();
        for (int i = 0; i < 7; ++i) {
            const QString name = QString::fromLatin1(names[i]);
            if (i == 1 || i == 2)
                t.setInteger(name, f[i].toInt());
            else
                t.setText(name, AnsiText::fromQString(f[i]));
        }
        if (f[1] != QStringLiteral("0")) {
            ++placed;
            if (!f[4].isEmpty())
                ++*classLessons;
        }
    }
    t.post();
    t.close();
    return placed;
}

// Imports the sample school, with its courses file, from a copy of its export in the run's
// dialog folder; the copy's path.
QString importSample(RunState &state, TestSupport::ScriptedUi &ui) {
    const QString input = QDir(state.paths.dialogDir).filePath(QStringLiteral("ExportacionHorarios_IES_Ejemplo.xml"));
    if (!QFile::copy(Sample, input))
        qFatal("cannot copy the sample school");
    const std::vector<CourseValues> courses = ReadCoursesCsv(Courses);
    ui.courseEditor = [courses](RunState &s) {
        QString ignored;
        QTextStream out(&ignored), err(&ignored);
        return CliEditCourses(s, courses, false, false, out, err);
    };
    ui.fileAnswers.push_back(input);
    BExportarClick(state, ui);
    return input;
}

} // namespace

class ExportRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void sampleSchoolCodesComeBack();
    void faultyTimetableShowsItsFaults();
};

namespace {

QString errorsAndAvisos(const Report &report) {
    QStringList lines;
    for (const Finding &f : report.findings())
        if (f.level != FindingLevel::Nota)
            lines << f.kind + QStringLiteral(": ") + f.text;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void ExportRoundTripTest::sampleSchoolCodesComeBack() {
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    RunState state(paths);
    TestSupport::ScriptedUi ui;
    const QString input = importSample(state, ui);
    QCOMPARE(ui.errors, QStringList());
    QCOMPARE(ui.messages, QStringList({Msg::Finished}));
    // The sample school is clean: its reports hold notes only.
    QVERIFY2(!state.report.report.needsAttention(), qPrintable(errorsAndAvisos(state.report.report)));

    int classLessons = 0;
    const int placed = placeSoluc(paths.workDir, &classLessons);

    // The export runs in the same program run, after the import (one conversion per run is
    // the window's rule; the core allows the next run).
    ui = TestSupport::ScriptedUi();
    ui.fileAnswers.push_back(input);
    BImportarClick(state, ui);
    QCOMPARE(ui.errors, QStringList());
    QCOMPARE(ui.messages, QStringList({Msg::Finished}));

    XmlDocument sample, result;
    QVERIFY(sample.load(Sample));
    QVERIFY(result.load(QDir(paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorExportacionHorarios_IES_Ejemplo.xml"))));

    // A unit may be listed under more than one offer (the sample has one such mixed unit).
    std::map<QString, QString> slotStart, slotEnd;
    QSet<QString> unitOffers, rooms, activities{QStringLiteral("1")}, subjectOffers;
    for (auto &r : records(sample, "UNIDADES"))
        unitOffers << r["X_UNIDAD"] + QLatin1Char('/') + r["X_OFERTAMATRIG"];
    for (auto &r : records(sample, "TRAMOS_HORARIOS")) {
        slotStart[r["X_TRAMO"]] = r["N_INICIO"];
        slotEnd[r["X_TRAMO"]] = r["N_FIN"];
    }
    for (auto &r : records(sample, "DEPENDENCIAS"))
        rooms << r["X_DEPENDENCIA"];
    for (auto &r : records(sample, "ACTIVIDADES"))
        activities << r["X_ACTIVIDAD"];
    for (auto &r : records(sample, "MATERIAS"))
        subjectOffers << r["X_OFERTAMATRIG"] + QLatin1Char('/') + r["X_MATERIAOMG"];
    const auto staff = records(sample, "EMPLEADOS");

    QCOMPARE(str(result.selectOne("//dato[@nombre_dato=\"C_ANNO\"]").text()), QStringLiteral("2026"));
    const XmlNodeList teachers =
        result.select("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos");
    QCOMPARE(teachers.length(), staff.size());
    int entries = 0, withUnit = 0;
    for (int t = 0; t < teachers.length(); ++t) {
        const XmlNodeList datos = teachers.item(t).select("dato");
        QCOMPARE(str(datos.item(0).text()), staff[t].at(QStringLiteral("X_EMPLEADO")));
        QCOMPARE(str(datos.item(1).text()), staff[t].at(QStringLiteral("F_TOMAPOS")));
        const XmlNodeList lessons = teachers.item(t).select("grupo_datos");
        entries += lessons.length();
        for (int l = 0; l < lessons.length(); ++l) {
            std::map<QString, QString> v;
            const XmlNodeList d = lessons.item(l).select("dato");
            for (int i = 0; i < d.length(); ++i)
                v[str(d.item(i).attribute("nombre_dato"))] = str(d.item(i).text());
            const QString where = QStringLiteral("teacher %1 entry %2").arg(t + 1).arg(l + 1);
            QVERIFY2(slotStart.count(v["X_TRAMO"]), qPrintable(where));
            QCOMPARE(v["N_HORINI"].toInt(), slotStart[v["X_TRAMO"]].toInt());
            QCOMPARE(v["N_HORFIN"].toInt(), slotEnd[v["X_TRAMO"]].toInt());
            QVERIFY2(v["N_DIASEMANA"].toInt() >= 1 && v["N_DIASEMANA"].toInt() <= 5, qPrintable(where));
            QVERIFY2(v["X_DEPENDENCIA"].isEmpty() || rooms.contains(v["X_DEPENDENCIA"]), qPrintable(where));
            QVERIFY2(activities.contains(v["X_ACTIVIDAD"]), qPrintable(where));
            QCOMPARE(v["F_INICIO"], QStringLiteral("15/09/2026"));
            QCOMPARE(v["F_FIN"], QStringLiteral("22/06/2027"));
            if (v["X_UNIDAD"].isEmpty())
                continue;
            ++withUnit;
            QVERIFY2(unitOffers.contains(v["X_UNIDAD"] + QLatin1Char('/') + v["X_OFERTAMATRIG"]), qPrintable(where));
            QVERIFY2(subjectOffers.contains(v["X_OFERTAMATRIG"] + QLatin1Char('/') + v["X_MATERIAOMG"]),
                     qPrintable(where + QStringLiteral(": ") + v["X_MATERIAOMG"]));
        }
    }
    QCOMPARE(entries, placed);
    QCOMPARE(withUnit, classLessons);
    // What the run reports of itself (the command-line tool prints it) matches the file.
    QCOMPARE(state.exported.teachers, teachers.length());
    QCOMPARE(state.exported.lessons, entries);
    QVERIFY(state.report.written);
    QVERIFY2(!state.report.report.needsAttention(), qPrintable(errorsAndAvisos(state.report.report)));
}

// The sample's second solved timetable shows every kind of finding a timetable alone can
// cause (the others need tables that disagree with the Séneca export).
void ExportRoundTripTest::faultyTimetableShowsItsFaults() {
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    RunState state(paths);
    TestSupport::ScriptedUi ui;
    const QString input = importSample(state, ui);
    int classLessons = 0;
    placeSoluc(paths.workDir, &classLessons, FaultySolucSource);
    ui = TestSupport::ScriptedUi();
    ui.fileAnswers.push_back(input);
    BImportarClick(state, ui);
    QCOMPARE(ui.errors, QStringList());

    QStringList kinds;
    for (const Finding &f : state.report.report.findings())
        if (!kinds.contains(LevelName(f.level) + QStringLiteral(": ") + f.kind))
            kinds << LevelName(f.level) + QStringLiteral(": ") + f.kind;
    kinds.sort();
    QCOMPARE(kinds, QStringList({
                        "aviso: Materia en una actividad que no la lleva",
                        "aviso: Unidad con dos sesiones a la vez",
                        "aviso: Unidad en una actividad que no la lleva",
                        "error: Actividad no regular en el horario regular",
                        "error: Actividad que la exportación de Séneca no define",
                        "error: Dependencia con dos sesiones a la vez",
                        "error: Dependencia que la exportación de Séneca no define",
                        "error: Falta la materia que pide la actividad",
                        "error: Falta la unidad que pide la actividad",
                        "error: Profesor en dos sitios a la vez",
                        "error: Sesión de un profesor que no está en PROFT",
                        "error: Sesión en un día o tramo que no existe",
                        "error: Unidad mixta: sesión en el grupo de un curso sin esa materia",
                        "nota: Horas con un cero delante",
                        "nota: Sesiones sin colocar",
                        "nota: Unidad mixta: materia del curso del grupo",
                    }));
}

QTEST_GUILESS_MAIN(ExportRoundTripTest)
#include "test_export_roundtrip.moc"
