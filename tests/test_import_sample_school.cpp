// The whole import of the bundled sample school, end to end: every table's layout as the
// independent readers see it, and rows checked by hand against the sample's XML.

#include "app/cli/CoursesCsv.h"
#include "import/ImportDriver.h"
#include "seneca/Messages.h"
#include "support/Peers.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

const QString Sample = QStringLiteral(TVS_SOURCE_DIR "/examples/seneca/ExportacionHorarios_IES_Ejemplo.xml");
const QString Courses = QStringLiteral(TVS_SOURCE_DIR "/examples/seneca/cursos.csv");

// Field layouts as "NAME TYPE WIDTH DECIMALS", in table order.
const QList<std::pair<QString, QStringList>> Layouts = {
    {"PERIODOS", {"CURSOANNO C 4 0", "F_INICIO C 10 0", "F_FIN C 10 0"}},
    {"CURSOST", {"ABREV C 3 0", "TURNO C 1 0", "NIVEL C 5 0", "CURSO C 3 0", "CLAVE C 10 0", "ESTUD C 80 0"}},
    {"ASIGNOMT", {"COD C 10 0", "CODLARGO C 10 0", "NOMBRE C 80 0", "CODTAREA C 10 0", "ESTAREA L 1 0"}},
    {"ASIGNOMT2", {"COD C 10 0", "CODLARGO C 10 0", "NOMBRE C 80 0", "MATERIA C 20 0", "OFERTAMATRI C 20 0",
                   "CODTAREA C 10 0", "ESTAREA L 1 0"}},
    {"PROFT", {"ABREV C 10 0", "NOMBRE C 80 0", "DEPART C 40 0", "DNI N 11 0", "X_EMPLEADO C 10 0",
               "F_TOMAPOS C 10 0"}},
    {"AULAT", {"ABREV C 10 0", "NOMBRE C 80 0", "EDIFICIO C 1 0", "MAXALUM N 11 0", "DEPCENTRO C 10 0"}},
    {"GRUPOST", {"ABREV C 10 0", "TURNO C 1 0", "NIVEL C 5 0", "CURSO C 3 0", "GRUPO C 2 0", "CLAVE C 10 0",
                 "CLAVECURSO C 10 0", "DESCRIP C 80 0"}},
    {"ASIGT", {"CASIG C 10 0", "CPROF C 10 0", "CGRUP C 10 0", "CAULA C 10 0", "TURNO C 1 0", "NIVEL C 5 0",
               "CURSO C 3 0", "GRUPO C 2 0", "HORAS N 20 4", "SESIONES C 20 0", "NCONEX C 4 0", "CLAVE C 10 0",
               "CLAVECURSO C 10 0", "CTAREA C 10 0"}},
    {"DIASHORAST", {"DIHO C 10 0", "CODDIHO C 10 0", "DIA C 20 0", "TEXTODIA C 20 0", "HORA C 8 0",
                    "TEXTOHOR C 8 0", "HORADESDE C 8 0", "HORAHASTA C 8 0", "MINUTOS C 8 0"}},
};

const char *const DbfreadLayout = R"(
import sys
from dbfread import DBF
t = DBF(sys.argv[1], encoding='cp1252')
for f in t.fields:
    print(f.name, f.type, f.length, f.decimal_count)
)";

} // namespace

class TestImportSampleSchool : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QTemporaryDir m_bin;
    QString m_work;

    QString row(const QString &table, int index) { return dumpTable(m_work, table).value(index); }

private slots:
    void initTestCase() {
        RunState state(pathsIn(m_dir.path()));
        QVERIFY2(QFile::exists(state.paths.catalogPath), "the build makes SENEMATERIAS.DBF");
        m_work = state.paths.workDir;
        const std::vector<CourseValues> courses = ReadCoursesCsv(Courses);
        ScriptedUi ui;
        ui.fileAnswers.push_back(Sample);
        ui.courseEditor = [&](RunState &s) {
            ApplyCourses(s.tableFolder(), courses);
            return CourseDialogResult{};
        };
        BExportarClick(state, ui);
        QCOMPARE(ui.errors, QStringList());
        QCOMPARE(ui.messages, QStringList{Msg::Finished});
        QCOMPARE(state.outcome, 1);
    }

    void rowCounts() {
        const QList<std::pair<QString, int>> counts = {{"PERIODOS", 1}, {"CURSOST", 10}, {"ASIGNOMT", 63},
                                                       {"ASIGNOMT2", 87}, {"PROFT", 30},  {"AULAT", 11},
                                                       {"GRUPOST", 21}, {"ASIGT", 195},  {"DIASHORAST", 56}};
        for (const auto &[table, count] : counts)
            QCOMPARE(dumpTable(m_work, table).size(), count);
    }

    // dbfread reads the dBase III+/IV tables; it has no level 7 support, so ASIGNOMT2 (level 7
    // for its 11-character OFERTAMATRI) is read by TDbf, the host-like engine.
    void layoutsAsTheIndependentReadersSeeThem_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        for (const auto &[table, fields] : Layouts)
            QTest::newRow(qPrintable(table)) << table << fields;
    }
    void layoutsAsTheIndependentReadersSeeThem() {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        if (QSysInfo::kernelType() == "winnt")
            QSKIP("the independent readers run on the building machine");
        const QString file = QDir(m_work).filePath(table + ".DBF");
        QStringList got;
        if (table == "ASIGNOMT2") {
            const QString dump = Peers::pascalProgram("tdbf_dump", m_bin.path());
            if (dump.isEmpty())
                QSKIP("Free Pascal (fpc) is not installed");
            for (const QByteArray &line : Peers::run(dump, {m_work + "/", table + ".DBF"}).split('\n'))
                if (line.startsWith("FIELD "))
                    got << QString::fromLatin1(line.mid(6)).trimmed();
        } else {
            got = QString::fromUtf8(Peers::run("/usr/bin/python3", {"-c", DbfreadLayout, file}))
                      .split('\n', Qt::SkipEmptyParts);
        }
        QCOMPARE(got, fields);
    }

    // Each expected row was read off the sample's XML and worked out by hand.
    void rowsCheckedByHand_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("school year") << "PERIODOS" << 0 << "CURSOANNO=2026|F_INICIO=15/09/2026|F_FIN=22/06/2027";
        QTest::newRow("first course, completed from the courses file")
            << "CURSOST" << 0 << "ABREV=|TURNO=|NIVEL=ESO|CURSO=1|CLAVE=35011|ESTUD=1º de E.S.O.";
        QTest::newRow("subject from the catalogue")
            << "ASIGNOMT" << 2 << "COD=GH|CODLARGO=GEO.HIST|NOMBRE=Geografía e Historia|CODTAREA=|ESTAREA=F";
        QTest::newRow("subject coded from its letters")
            << "ASIGNOMT" << 9 << "COD=TAE|CODLARGO=Taller de|NOMBRE=Taller de Ajedrez Educativo|CODTAREA=|ESTAREA=F";
        // " Huerto Escolar y Sostenibilidad": trimmed; HES belongs to Historia de España already.
        QTest::newRow("letters code numbered")
            << "ASIGNOMT" << 46
            << "COD=HE1|CODLARGO=Huerto Esc|NOMBRE=Huerto Escolar y Sostenibilidad|CODTAREA=|ESTAREA=F";
        QTest::newRow("activity row")
            << "ASIGNOMT" << 55 << "COD=5|CODLARGO=Guardia de|NOMBRE=Guardia de recreo|CODTAREA=5|ESTAREA=T";
        QTest::newRow("teacher") << "PROFT" << 0
                                 << "ABREV=MGA|NOMBRE=Moreno Gil Ana|DEPART=Matemáticas-Profesores de Enseñanza "
                                    "Secu|DNI=|X_EMPLEADO=8285161|F_TOMAPOS=01/09/2019";
        QTest::newRow("same initials numbered")
            << "PROFT" << 1 << "ABREV=MGA1|NOMBRE=Márquez García Antonio|DEPART=Matemáticas-Profesores de "
                               "Enseñanza Secu|DNI=|X_EMPLEADO=1564049|F_TOMAPOS=01/09/2026";
        QTest::newRow("initials differing only in case")
            << "PROFT" << 5 << "ABREV=DCL1|NOMBRE=Díaz Castro Luis|DEPART=Geografía e Historia-Profesores de "
                               "Enseñ|DNI=|X_EMPLEADO=2650441|F_TOMAPOS=01/09/2024";
        QTest::newRow("room") << "AULAT" << 0 << "ABREV=757111|NOMBRE=Aula 1.01|EDIFICIO=|MAXALUM=|DEPCENTRO=757111";
        QTest::newRow("group")
            << "GRUPOST" << 0
            << "ABREV=ESO1A|TURNO=|NIVEL=ESO|CURSO=1|GRUPO=A|CLAVE=63948553|CLAVECURSO=35011|DESCRIP=1º de E.S.O.";
        QTest::newRow("assignment")
            << "ASIGT" << 0
            << "CASIG=LEN|CPROF=|CGRUP=ESO1A|CAULA=|TURNO=|NIVEL=ESO|CURSO=1|GRUPO=A|HORAS=4.0000|"
               "SESIONES=1111|NCONEX=|CLAVE=2998500|CLAVECURSO=35011|CTAREA=1";
        QTest::newRow("first slot, day 1") << "DIASHORAST" << 0
                                           << "DIHO=11|CODDIHO=422570|DIA=1|TEXTODIA=|HORA=1ª hora|TEXTOHOR=1ª "
                                              "hora|HORADESDE=0495|HORAHASTA=0555|MINUTOS=60";
    }
    void rowsCheckedByHand() {
        QFETCH(QString, table);
        QFETCH(int, index);
        QTEST(row(table, index), "expected");
    }

    // Geografía e Historia is offered in four ESO courses with four identifiers: one ASIGNOMT
    // row, four ASIGNOMT2 rows with its code (its long code is not cut short of a match).
    void oneSubjectManyOffers() {
        QStringList rows;
        for (const QString &line : columns(m_work, "ASIGNOMT2", {"COD", "MATERIA", "OFERTAMATRI"}))
            if (line.startsWith("GH|"))
                rows << line;
        QCOMPARE(rows, (QStringList{"GH|626925|35011", "GH|102657|35012", "GH|429497|35013", "GH|180027|35014"}));
    }
};

QTEST_GUILESS_MAIN(TestImportSampleSchool)
#include "test_import_sample_school.moc"
