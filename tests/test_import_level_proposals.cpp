// Levels and course numbers proposed from the names of the studies: a table of names as
// Séneca writes them, studies that must be kept apart, cells the user filled, and a rule
// table that does not read.

#include "import/CourseProposals.h"
#include "import/CoursesTable.h"
#include "platform/RunError.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

std::vector<CourseCells> cells(const QList<QStringList> &rows) {
    std::vector<CourseCells> out;
    for (const QStringList &r : rows)
        out.push_back({AnsiText::fromQString(r.value(0)), AnsiText::fromQString(r.value(1)),
                       AnsiText::fromQString(r.value(2)), AnsiText::fromQString(r.value(3))});
    return out;
}

// "NIVEL|CURSO" of every row, a cell without a proposal shown as "?".
QStringList proposed(const std::vector<CourseCells> &rows) {
    QStringList out;
    for (const CourseProposal &p : ProposeCourses(rows)) {
        auto shown = [](const AnsiText &v, CellSource s) {
            return s == CellSource::NoProposal ? QStringLiteral("?") : v.toQString();
        };
        out << shown(p.nivel, p.nivelSource) + QLatin1Char('|') + shown(p.curso, p.cursoSource);
    }
    return out;
}

} // namespace

class TestImportLevelProposals : public QObject {
    Q_OBJECT

private slots:
    // One course alone: the level and course the rules read from its name.
    void studyNames_data() {
        QTest::addColumn<QString>("studies");
        QTest::addColumn<QString>("expected"); // "NIVEL|CURSO", "?" where nothing is proposed
        QTest::newRow("ESO") << "1º de E.S.O." << "ESO|1";
        QTest::newRow("ESO spelled out") << "4º de Educación Secundaria Obligatoria" << "ESO|4";
        QTest::newRow("ESO, ordinal with a dot") << "3.º ESO" << "ESO|3";
        QTest::newRow("diversification") << "3º de E.S.O. (Diversificación Curricular)" << "EDSO|3";
        QTest::newRow("PMAR") << "2º de E.S.O. (Programa de Mejora del Aprendizaje y del Rendimiento)" << "PMAR|2";
        QTest::newRow("baccalaureate CT") << "2º de Bachillerato (Ciencias y Tecnología)" << "BCT|2";
        QTest::newRow("baccalaureate HCS") << "1º de Bachillerato (Humanidades y Ciencias Sociales)" << "BHC|1";
        QTest::newRow("baccalaureate general") << "1º de Bachillerato (General)" << "BGE|1";
        QTest::newRow("baccalaureate arts") << "1º de Bachillerato (Música y Artes Escénicas)" << "BAE|1";
        QTest::newRow("baccalaureate for adults") << "1º de Bachillerato para Personas Adultas (Ciencias y Tecnología)"
                                                  << "BACT|1";
        QTest::newRow("leading blank, basic FP") << " 1º de F.P. Básica (Informática y Comunicaciones)" << "FPBIC|1";
        QTest::newRow("basic FP abbreviated") << "2º F.P.B. (Servicios Administrativos)" << "FPBSA|2";
        QTest::newRow("intermediate cycle") << "1º F.P.I.G.M. (Gestión Administrativa)" << "GAD|1";
        QTest::newRow("intermediate cycle, new name") << "2º C.F.G.M. Sistemas Microinformáticos y Redes" << "SMR|2";
        QTest::newRow("higher cycle") << "2º F.P.I.G.S. (Desarrollo de Aplicaciones Web)" << "DAW|2";
        QTest::newRow("higher cycle, infant education title") << "1º C.F.G.S. (Educación Infantil)" << "EINF|1";
        QTest::newRow("higher cycle, title not in the table") << "1º F.P.I.G.S. (Química Industrial)" << "QI|1";
        QTest::newRow("infant, age in brackets") << "Educación Infantil (4 años)" << "INF|4";
        QTest::newRow("infant, second cycle") << "2º Ciclo de Educación Infantil (3 años)" << "INF|3";
        QTest::newRow("primary") << "6º de Educación Primaria" << "PRI|6";
        QTest::newRow("adults, level in roman") << "Educación Secundaria para Personas Adultas Nivel II" << "ESPA|2";
        QTest::newRow("adults, blended") << "E.S.P.A. Semipresencial Nivel I" << "ESPAS|1";
        QTest::newRow("language school, CEFR code") << "1º Nivel Intermedio B2 (Inglés)" << "INGB2|1";
        QTest::newRow("language school, one-year level") << "Nivel Básico A2 (Francés)" << "FRAA2|1";
        QTest::newRow("music") << "3º de Enseñanzas Profesionales de Música" << "EPM|3";
        QTest::newRow("elementary dance") << "2º Enseñanzas Básicas de Danza" << "EED|2";
        QTest::newRow("art and design cycle")
            << "1º C.F.G.M. Artes Plásticas y Diseño (Asistencia al Producto Gráfico Impreso)" << "AMAPG|1";
        QTest::newRow("special education") << "Formación Básica Obligatoria" << "FBO|?";
        QTest::newRow("level without number") << "Bachillerato (Artes)" << "BAR|?";
        QTest::newRow("unknown studies") << "Curso de Preparación para la Prueba de Acceso" << "?|?";
        QTest::newRow("unknown, made-up name") << "1º de Estudios N001" << "?|?";
        QTest::newRow("empty name") << "" << "?|?";
    }
    void studyNames() {
        QFETCH(QString, studies);
        QFETCH(QString, expected);
        QCOMPARE(proposed(cells({{"1", studies, "", ""}})), QStringList{expected});
    }

    // Different studies never share a level, also when the rules would give them one; the
    // result does not depend on the order of the courses.
    void differentStudiesKeptApart_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("same initials, two basic FP titles")
            << QList<QStringList>{{"1", "1º F.P.B. (Mantenimiento de Viviendas)"},
                                  {"2", "1º F.P.B. (Mantenimiento de Vehículos)"},
                                  {"3", "2º F.P.B. (Mantenimiento de Viviendas)"}}
            << QStringList{"FPBM2|1", "FPBMV|1", "FPBM2|2"};
        QTest::newRow("same initials, two cycles not in the table")
            << QList<QStringList>{{"1", "1º C.F.G.M. (Operaciones Industriales)"},
                                  {"2", "1º C.F.G.M. (Obras de Interior)"}}
            << QStringList{"OI2|1", "OI|1"};
        QTest::newRow("derived initials give way to a table level")
            << QList<QStringList>{{"1", "1º C.F.G.M. (Gestión Agrícola Diversa)"},
                                  {"2", "1º C.F.G.M. (Gestión Administrativa)"}}
            << QStringList{"GAD2|1", "GAD|1"};
        QTest::newRow("baccalaureate day and adults")
            << QList<QStringList>{{"1", "1º de Bachillerato (Ciencias y Tecnología)"},
                                  {"2", "1º de Bachillerato para Personas Adultas (Ciencias y Tecnología)"},
                                  {"3", "2º de Bachillerato (Ciencias y Tecnología)"}}
            << QStringList{"BCT|1", "BACT|1", "BCT|2"};
        QTest::newRow("a level typed for another study is taken")
            << QList<QStringList>{{"1", "Aula Específica", "ESO", "1"}, {"2", "1º de E.S.O."}}
            << QStringList{"ESO|1", "ESO2|1"};
        QTest::newRow("five-character level with a number")
            << QList<QStringList>{{"1", "1º F.P.B. (Informática y Comunicaciones)"},
                                  {"2", "Estudios propios", "FPBIC", "1"}}
            << QStringList{"FPBI2|1", "FPBIC|1"};
    }
    void differentStudiesKeptApart() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, expected);
        QCOMPARE(proposed(cells(rows)), expected);
        QList<QStringList> reversed(rows.rbegin(), rows.rend());
        QStringList reversedExpected(expected.rbegin(), expected.rend());
        QCOMPARE(proposed(cells(reversed)), reversedExpected);
    }

    // A filled cell is kept as it is, and a level the user gave a study is the one its other
    // courses get.
    void filledCellsKept_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("level given, course proposed")
            << QList<QStringList>{{"1", "2º de E.S.O.", "SEC", ""}} << QStringList{"SEC|2"};
        QTest::newRow("course given, level proposed")
            << QList<QStringList>{{"1", "2º de E.S.O.", "", "7"}} << QStringList{"ESO|7"};
        QTest::newRow("both given") << QList<QStringList>{{"1", "2º de E.S.O.", "X", "9"}} << QStringList{"X|9"};
        QTest::newRow("blanks count as empty") << QList<QStringList>{{"1", "2º de E.S.O.", "  ", " "}}
                                               << QStringList{"ESO|2"};
        QTest::newRow("the study follows the user's level")
            << QList<QStringList>{{"1", "1º de E.S.O.", "SEC", "1"}, {"2", "2º de E.S.O."}}
            << QStringList{"SEC|1", "SEC|2"};
        QTest::newRow("unknown name with a value kept")
            << QList<QStringList>{{"1", "Estudios propios", "PRO", ""}} << QStringList{"PRO|?"};
    }
    void filledCellsKept() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, expected);
        const std::vector<CourseProposal> p = ProposeCourses(cells(rows));
        QCOMPARE(proposed(cells(rows)), expected);
        for (size_t i = 0; i < p.size(); ++i) {
            const QStringList &r = rows[static_cast<qsizetype>(i)];
            if (!r.value(2).trimmed().isEmpty())
                QCOMPARE(p[i].nivelSource, CellSource::Given);
            if (!r.value(3).trimmed().isEmpty())
                QCOMPARE(p[i].cursoSource, CellSource::Given);
        }
    }

    // Into CURSOST: only the empty cells change; the other fields and the rows stay.
    void intoTable() {
        QTemporaryDir dir;
        writeCourses(dir.path(), {{"6001", "", "", "1º de E.S.O."},
                                  {"6002", "SEC", "", "2º de E.S.O."},
                                  {"6003", "", "", "Estudios propios"}});
        const QStringList before = columns(dir.path(), CoursesTable::Name, {"ABREV", "TURNO", "CLAVE", "ESTUD"});
        ProposeIntoTable(dir.path());
        QCOMPARE(columns(dir.path(), CoursesTable::Name, {"ABREV", "TURNO", "CLAVE", "ESTUD"}), before);
        QCOMPARE(columns(dir.path(), CoursesTable::Name, {"NIVEL", "CURSO"}),
                 (QStringList{"SEC|1", "SEC|2", "|"}));
    }

    void malformedRuleTable_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown kind") << "REGLA;eso;ESO;";
        QTest::newRow("bad expression") << "ESTUDIOS;(eso;ESO;";
        QTest::newRow("level too long") << "ESTUDIOS;eso;ESOXYZ;";
        QTest::newRow("level not in capitals") << "ESTUDIOS;eso;eso;";
        QTest::newRow("title without abbreviation") << "TITULO;general;";
    }
    void malformedRuleTable() {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(RunError, LevelRules::fromText(text));
    }
};

QTEST_GUILESS_MAIN(TestImportLevelProposals)
#include "test_import_level_proposals.moc"
