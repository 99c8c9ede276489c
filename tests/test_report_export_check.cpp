// The check of an exported timetable: one small school that exports clean, and one case per kind
// of finding, each made by a few SOLUC entries or table rows added to it. Every case states the
// level, the kind and the names and codes the finding must show.

#include "export/ExportDriver.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "report/ExportCheck.h"
#include "report/WrittenTimetable.h"
#include "support/ExportFixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

Q_DECLARE_METATYPE(FindingLevel)

namespace {

// A row of a work table written as "TABLE|FIELD=value|FIELD=value"; ESTAREA=T sets the
// logical field, a SOLUC row is "SOLUC|PROF;DIA;HORA;ASIG;CODGRUPO;TAREA;AULA".
void addRow(const QString &work, const QString &line) {
    const QStringList parts = line.split(QLatin1Char('|'));
    if (parts[0] == QStringLiteral("SOLUC")) {
        const QStringList f = parts[1].split(QLatin1Char(';'));
        ExportFixture::entry(work, f[0], f[1].toInt(), f[2].toInt(), f[3], f[4], f[5], f[6]);
        return;
    }
    DbfTable t;
    t.open(work, parts[0]);
    t.append();
    for (const QString &assignment : parts.mid(1)) {
        const QString field = assignment.section(QLatin1Char('='), 0, 0);
        const QString value = assignment.section(QLatin1Char('='), 1);
        if (field == QStringLiteral("ESTAREA"))
            t.setLogical(field, value == QStringLiteral("T"));
        else
            t.setText(field, AnsiText::fromQString(value));
    }
    t.post();
    t.close();
}

// Two courses; a unit 1A of course OF1 and a mixed unit 1M of both; Matemáticas in both
// courses (M1, M2), Física only in OF1; four activities; two rooms; two slots; two teachers.
QStringList senecaGroups() {
    return {
        yearGroup("2025", "15/09/2025", "22/06/2026"),
        group("CURSOS_DEL_CENTRO", {{"OF1", "1º de Ciencias"}, {"OF2", "1º de Letras"}}),
        group("MATERIAS",
              {{"OF1", "Matemáticas", "M1", "4"}, {"OF2", "Matemáticas", "M2", "4"}, {"OF1", "Física", "F1", "3"}},
              {"X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"}),
        group("ACTIVIDADES",
              {{"S", "1", "Docencia", "S", "S"},
               {"S", "3", "Guardia", "N", "N"},
               {"S", "33", "Tutoría", "S", "N"},
               {"N", "71", "Evaluación", "N", "N"}}),
        group("DEPENDENCIAS", {{"A1", "Aula 1"}, {"A2", "Aula 2"}}),
        group("TRAMOS_HORARIOS", {{"T1", "1ª hora", "480", "540", "J"}, {"T2", "2ª hora", "540", "600", "J"}}),
        group("UNIDADES", {{"U1", "1A", "OF1"}, {"UM", "1M", "OF1"}, {"UM", "1M", "OF2"}}),
        group("EMPLEADOS", {{"E1", "01/09/2020", "Matemáticas", "Alba", "Nieto", "Ana"},
                            {"E2", "01/09/2021", "Física", "Bravo", "Soto", "Bea"},
                            {"E3", "01/09/2022", "Física", "Cano", "Ruiz", "Carmen"}}),
    };
}

void cleanSchool(const QString &w) {
    using namespace ExportFixture;
    for (const char *line : {
             "PROFT|ABREV=ANA|NOMBRE=Alba Nieto Ana|X_EMPLEADO=E1|F_TOMAPOS=01/09/2020",
             "PROFT|ABREV=BEA|NOMBRE=Bravo Soto Bea|X_EMPLEADO=E2|F_TOMAPOS=01/09/2021",
             "DIASHORAST|DIHO=11|CODDIHO=T1|DIA=1|HORADESDE=0480|HORAHASTA=0540",
             "DIASHORAST|DIHO=12|CODDIHO=T2|DIA=1|HORADESDE=0540|HORAHASTA=0600",
             "GRUPOST|ABREV=G1A|CLAVE=U1|CLAVECURSO=OF1",
             "GRUPOST|ABREV=GM1|CLAVE=UM|CLAVECURSO=OF1",
             "GRUPOST|ABREV=GM2|CLAVE=UM|CLAVECURSO=OF2",
             "ASIGNOMT|COD=MAT|NOMBRE=Matemáticas",
             "ASIGNOMT|COD=FIS|NOMBRE=Física",
             "ASIGNOMT|COD=1|NOMBRE=Docencia|CODTAREA=1|ESTAREA=T",
             "ASIGNOMT|COD=3|NOMBRE=Guardia|CODTAREA=3|ESTAREA=T",
             "ASIGNOMT|COD=33|NOMBRE=Tutoría|CODTAREA=33|ESTAREA=T",
             "ASIGNOMT|COD=71|NOMBRE=Evaluación|CODTAREA=71|ESTAREA=T",
             "ASIGNOMT2|COD=MAT|OFERTAMATRI=OF1|MATERIA=M1",
             "ASIGNOMT2|COD=MAT|OFERTAMATRI=OF2|MATERIA=M2",
             "ASIGNOMT2|COD=FIS|OFERTAMATRI=OF1|MATERIA=F1",
             "ASIGT|CASIG=MAT|CGRUP=G1A|CLAVE=M1|CLAVECURSO=OF1",
             "ASIGT|CASIG=MAT|CGRUP=GM1|CLAVE=M1|CLAVECURSO=OF1",
             "ASIGT|CASIG=MAT|CGRUP=GM2|CLAVE=M2|CLAVECURSO=OF2",
             "ASIGT|CASIG=FIS|CGRUP=G1A|CLAVE=F1|CLAVECURSO=OF1",
             "ASIGT|CASIG=FIS|CGRUP=GM1|CLAVE=F1|CLAVECURSO=OF1",
             // Ana teaches Matemáticas to 1A in Aula 1 at 1ª hora; Bea is on guard duty in Aula 2
             // at 2ª hora.
             "SOLUC|ANA;1;1;MAT;G1A;;A1",
             "SOLUC|BEA;1;2;3;;;A2",
         })
        addRow(w, QString::fromUtf8(line));
}

struct Run {
    QTemporaryDir dir;
    Paths paths;
    QString input;
    RunState state;
    ScriptedUi ui;

    explicit Run(const QStringList &extraRows) : paths(pathsIn(dir.path())), state(paths) {
        ExportFixture::createTables(paths.workDir);
        input = writeSeneca(paths.dialogDir, QStringLiteral("Horarios.xml"), senecaGroups());
        cleanSchool(paths.workDir);
        for (const QString &line : extraRows)
            addRow(paths.workDir, line);
        ui.fileAnswers.push_back(input);
        BImportarClick(state, ui);
    }
    const Report &report() const { return state.report.report; }
};

} // namespace

class ReportExportCheckTest : public QObject {
    Q_OBJECT

private slots:
    void cleanSchoolHasNoErrorsNorAvisos();
    void findings_data();
    void findings();
    void notClashes_data();
    void notClashes();
    void rowsThatCannotBePlacedAreNotWritten();
    void reportBesideTheOutput();
    void writtenDocumentReadBack();
};

void ReportExportCheckTest::cleanSchoolHasNoErrorsNorAvisos() {
    Run r({});
    QCOMPARE(r.ui.errors, QStringList());
    QCOMPARE(r.state.outcome, 1);
    QVERIFY2(r.report().count(FindingLevel::Error) == 0, qPrintable(DumpFindings(r.report())));
    QVERIFY2(r.report().count(FindingLevel::Aviso) == 0, qPrintable(DumpFindings(r.report())));
    // Carmen is in Séneca but not in PROFT: no finding; times written 0480 are one note.
    QCOMPARE(r.report().count(FindingLevel::Nota), 1);
    QCOMPARE(r.report().findings().front().kind, QStringLiteral("Horas con un cero delante"));
    QVERIFY(r.report().findings().front().text.contains(QStringLiteral("4 valores")));
}

void ReportExportCheckTest::findings_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<FindingLevel>("level");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("shows"); // names and codes the finding's text holds

    const FindingLevel E = FindingLevel::Error, A = FindingLevel::Aviso, N = FindingLevel::Nota;
    auto row = [](const char *name, QStringList rows, FindingLevel level, const char *kind, QStringList shows) {
        QTest::newRow(name) << rows << level << QString::fromUtf8(kind) << shows;
    };
    row("unknown room", {"SOLUC|ANA;1;2;MAT;G1A;;ZZ"}, E, "Dependencia que la exportación de Séneca no define",
        {"Alba Nieto Ana (ANA)", "lunes", "2ª hora (T2)", "«ZZ»", "Matemáticas (M1)", "1A (U1)"});
    row("unknown unit", {"GRUPOST|ABREV=GX|CLAVE=UX|CLAVECURSO=OF1", "ASIGT|CASIG=MAT|CGRUP=GX|CLAVE=M1|CLAVECURSO=OF1",
                         "SOLUC|ANA;1;2;MAT;GX;;"},
        E, "Unidad que la exportación de Séneca no define", {"X_UNIDAD «UX»", "grupo GX"});
    row("unknown subject", {"ASIGT|CASIG=QUI|CGRUP=G1A|CLAVE=Q9|CLAVECURSO=OF1", "SOLUC|ANA;1;2;QUI;G1A;;"}, E,
        "Materia que la exportación de Séneca no define", {"X_MATERIAOMG «Q9»", "asignatura QUI"});
    row("unknown offer", {"GRUPOST|ABREV=GY|CLAVE=U1|CLAVECURSO=OF9", "SOLUC|ANA;1;2;FIS;GY;;"}, E,
        "Oferta que la exportación de Séneca no define", {"X_OFERTAMATRIG «OF9»", "1A (U1)"});
    row("unknown activity", {"SOLUC|ANA;1;2;MAT;G1A;99;"}, E, "Actividad que la exportación de Séneca no define",
        {"X_ACTIVIDAD «99»"});
    row("unknown slot", {"DIASHORAST|DIHO=13|CODDIHO=T9|DIA=1|HORADESDE=0600|HORAHASTA=0660",
                         "SOLUC|ANA;1;3;MAT;G1A;;"},
        E, "Tramo que la exportación de Séneca no define", {"X_TRAMO «T9»"});
    row("unknown teacher", {"PROFT|ABREV=DAN|NOMBRE=Díaz Alonso Dan|X_EMPLEADO=E9"}, E,
        "Profesor que la exportación de Séneca no define", {"Díaz Alonso Dan (DAN)", "«E9»"});
    row("teacher without X_EMPLEADO", {"PROFT|ABREV=DAN|NOMBRE=Díaz Alonso Dan"}, E, "Profesor sin X_EMPLEADO",
        {"Díaz Alonso Dan (DAN)"});
    row("teacher without entries", {"PROFT|ABREV=CAR|NOMBRE=Cano Ruiz Carmen|X_EMPLEADO=E3"}, N,
        "Profesores sin sesiones", {"Cano Ruiz Carmen (CAR)"});
    row("activity needs a unit", {"SOLUC|BEA;1;1;33;;;"}, E, "Falta la unidad que pide la actividad",
        {"Bravo Soto Bea (BEA)", "Tutoría (33)"});
    row("activity needs a subject", {"SOLUC|BEA;1;1;1;G1A;;"}, E, "Falta la materia que pide la actividad",
        {"Docencia (1)", "1A (U1)"});
    row("unit on an activity without one", {"SOLUC|ANA;1;2;3;G1A;;"}, A, "Unidad en una actividad que no la lleva",
        {"Guardia (3)", "1A (U1)"});
    row("subject on an activity without one", {"SOLUC|ANA;1;2;MAT;G1A;3;"}, A,
        "Materia en una actividad que no la lleva", {"Guardia (3)", "Matemáticas (M1)"});
    row("activity outside the regular timetable", {"SOLUC|BEA;1;1;71;;;"}, E,
        "Actividad no regular en el horario regular", {"Evaluación (71)", "L_REGULAR = N"});
    row("subject of another offer", {"ASIGT|CASIG=LEN|CGRUP=G1A|CLAVE=M2|CLAVECURSO=OF1", "SOLUC|ANA;1;2;LEN;G1A;;"},
        E, "Materia de otra oferta", {"Matemáticas (M2)", "1º de Letras (OF2)", "«OF1»"});
    row("unit not in the offer written", {"ASIGT|CASIG=MT2|CGRUP=G1A|CLAVE=M2|CLAVECURSO=OF2",
                                          "SOLUC|ANA;1;2;MT2;G1A;;"},
        E, "Unidad que no está en la oferta escrita", {"1A (U1)", "1º de Letras (OF2)"});
    row("times that differ from the slot's", {"DIASHORAST|DIHO=13|CODDIHO=T2|DIA=1|HORADESDE=0545|HORAHASTA=0600",
                                              "SOLUC|ANA;1;3;MAT;G1A;;"},
        E, "Hora distinta de la del tramo", {"N_HORINI", "«0545»", "«540»", "2ª hora (T2)"});
    row("unplaced entries", {"SOLUC|ANA;0;0;FIS;G1A;;", "SOLUC|ANA;0;3;MAT;G1A;;"}, N, "Sesiones sin colocar",
        {"2 sesiones", "«FIS»", "«ANA»"});
    row("day or slot that does not exist", {"SOLUC|ANA;4;7;MAT;G1A;;A1"}, E, "Sesión en un día o tramo que no existe",
        {"registro 3", "«ANA»", "día 4", "hora 7"});
    row("teacher not in PROFT", {"SOLUC|ZOE;1;2;MAT;G1A;;"}, E, "Sesión de un profesor que no está en PROFT",
        {"«ZOE»", "registro 3"});
    row("mixed unit: twin without the subject", {"SOLUC|ANA;1;2;FIS;GM2;;"}, E,
        "Unidad mixta: sesión en el grupo de un curso sin esa materia",
        {"1M (UM)", "Física", "GM2", "1º de Letras (OF2)", "GM1", "Física (F1)"});
    row("mixed unit: the twin's own subject", {"SOLUC|ANA;1;2;MAT;GM2;;"}, N,
        "Unidad mixta: materia del curso del grupo", {"GM2", "Matemáticas (M2)", "GM1", "Matemáticas (M1)"});
    row("teacher in two places", {"SOLUC|ANA;1;1;FIS;GM1;;A2"}, E, "Profesor en dos sitios a la vez",
        {"lunes, 1ª hora (T1)", "Alba Nieto Ana (ANA)", "Aula 1 (A1)", "Aula 2 (A2)"});
    row("room used by two lessons", {"SOLUC|BEA;1;1;FIS;GM1;;A1"}, E, "Dependencia con dos sesiones a la vez",
        {"lunes, 1ª hora (T1)", "Alba Nieto Ana (ANA)", "Bravo Soto Bea (BEA)", "1M (UM)", "1A (U1)"});
    row("unit with two lessons", {"SOLUC|BEA;1;1;FIS;G1A;;A2"}, A, "Unidad con dos sesiones a la vez",
        {"lunes, 1ª hora (T1)", "Matemáticas (M1)", "Física (F1)"});
}

void ReportExportCheckTest::findings() {
    QFETCH(QStringList, rows);
    QFETCH(FindingLevel, level);
    QFETCH(QString, kind);
    QFETCH(QStringList, shows);
    Run r(rows);
    QCOMPARE(r.ui.errors, QStringList());
    QVERIFY(r.state.report.written);
    const Finding *found = nullptr;
    for (const Finding &f : r.report().findings())
        if (f.kind == kind && !found)
            found = &f;
    QVERIFY2(found, qPrintable(DumpFindings(r.report())));
    QCOMPARE(LevelName(found->level), LevelName(level));
    for (const QString &name : shows)
        QVERIFY2(found->text.contains(name), qPrintable(name + QStringLiteral(" not in: ") + found->text));
}

// A lesson given to several units at once and two teachers sharing one lesson are no clash.
void ReportExportCheckTest::notClashes_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("one lesson, two units") << QStringList{"SOLUC|ANA;1;1;MAT;GM1;;A1"};
    QTest::newRow("two teachers, one lesson") << QStringList{"SOLUC|BEA;1;1;MAT;G1A;;A1"};
    QTest::newRow("two teachers, one lesson to two units")
        << QStringList{"SOLUC|ANA;1;1;MAT;GM1;;A1", "SOLUC|BEA;1;1;MAT;G1A;;A1", "SOLUC|BEA;1;1;MAT;GM1;;A1"};
    QTest::newRow("two guard duties in one room") << QStringList{"SOLUC|ANA;1;2;3;;;A2"};
    QTest::newRow("the two groups of a mixed unit side by side")
        << QStringList{"PROFT|ABREV=CAR|NOMBRE=Cano Ruiz Carmen|X_EMPLEADO=E3", "SOLUC|ANA;1;2;FIS;GM1;;A1",
                       "SOLUC|CAR;1;2;MAT;GM2;;"};
}

void ReportExportCheckTest::notClashes() {
    QFETCH(QStringList, rows);
    Run r(rows);
    QCOMPARE(r.ui.errors, QStringList());
    QVERIFY2(r.report().count(FindingLevel::Error) == 0, qPrintable(DumpFindings(r.report())));
    QVERIFY2(r.report().count(FindingLevel::Aviso) == 0, qPrintable(DumpFindings(r.report())));
}

// Entries whose day or slot does not exist and entries of teachers PROFT lacks are not in the
// document; registros counts what is there.
void ReportExportCheckTest::rowsThatCannotBePlacedAreNotWritten() {
    Run r({"SOLUC|ANA;9;1;MAT;G1A;;A1", "SOLUC|ANA;1;9;MAT;G1A;;A1", "SOLUC|ZOE;1;2;MAT;G1A;;A1",
           "SOLUC|ANA;1;2;FIS;G1A;;A1"});
    XmlDocument doc;
    QVERIFY(doc.load(r.state.exported.output));
    const XmlNodeList teachers =
        doc.select("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos");
    QCOMPARE(teachers.length(), 2);
    QCOMPARE(teachers.item(0).attribute("registros"), std::string("2"));
    QCOMPARE(teachers.item(0).select("grupo_datos").length(), 2);
    QCOMPARE(doc.select("//dato[@nombre_dato=\"N_DIASEMANA\" and . = '']").length(), 0);
    QCOMPARE(r.state.exported.lessons, 3);
    QCOMPARE(r.report().count(FindingLevel::Error), 3);
}

void ReportExportCheckTest::reportBesideTheOutput() {
    const QDir folder(QDir::tempPath());
    QCOMPARE(ExportReportPath(folder.filePath(QStringLiteral("ResultadoVelkorHorarios.xml"))),
             folder.filePath(QStringLiteral("ResultadoVelkorHorarios.informe.html")));
    Run r({"SOLUC|ANA;1;2;MAT;G1A;;ZZ"});
    QCOMPARE(r.state.report.path, QDir(r.paths.dialogDir).filePath(QStringLiteral("ResultadoVelkorHorarios.informe.html")));
    QFile page(r.state.report.path);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("ZZ"));
}

// The check reads the written file as Séneca will: values by their names, empty elements as
// empty values, only the records of the regular-timetables group; a damaged file is an error.
void ReportExportCheckTest::writtenDocumentReadBack() {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("r.xml"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO><BLOQUE_DATOS>"
            "<grupo_datos seq=\"ANNO_ACADEMICO\"><grupo_datos seq=\"X\"><dato nombre_dato=\"X_TRAMO\">no</dato>"
            "</grupo_datos></grupo_datos>"
            "<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"2\">"
            "<grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_1\"><dato nombre_dato=\"X_EMPLEADO\">E1</dato>"
            "<grupo_datos seq=\"ACTIVIDAD_1\"><dato nombre_dato=\"X_TRAMO\">T1</dato><dato nombre_dato=\"N_DIASEMANA\">1"
            "</dato><dato nombre_dato=\"X_DEPENDENCIA\"/><dato nombre_dato=\"X_UNIDAD\">Unidad \xd1</dato></grupo_datos>"
            "</grupo_datos><grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_2\"><dato nombre_dato=\"X_EMPLEADO\">E2</dato>"
            "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n");
    f.close();
    const std::vector<WrittenTeacher> teachers = ReadWrittenTimetable(path);
    QCOMPARE(teachers.size(), size_t(2));
    QCOMPARE(teachers[0].entries.size(), size_t(1));
    QCOMPARE(teachers[1].entries.size(), size_t(0));
    const auto &e = teachers[0].entries[0];
    QCOMPARE(e[0].toQString(), QStringLiteral("1"));
    QCOMPARE(e[1].toQString(), QStringLiteral("T1"));
    QCOMPARE(e[2].toQString(), QString());
    QCOMPARE(e[3].toQString(), QStringLiteral("Unidad Ñ"));
    QCOMPARE(e[10].toQString(), QString());

    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"HORARIOS_REGULARES\">");
    f.close();
    QVERIFY_THROWS_EXCEPTION(RunError, ReadWrittenTimetable(path));

    // The parser's own reason is given, in Spanish.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("<SERVICIO><BLOQUE_DATOS></SERVICIO>");
    f.close();
    try {
        ReadWrittenTimetable(path);
        QFAIL("a damaged document was read");
    } catch (const RunError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("no corresponde a la abierta «<BLOQUE_DATOS>»")), qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(ReportExportCheckTest)
#include "test_report_export_check.moc"
