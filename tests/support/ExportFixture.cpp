#include "support/ExportFixture.h"

#include "platform/DbfTable.h"

#include <QDir>
#include <QFile>

namespace ExportFixture {

namespace {

DbfFieldDef C(const char *name, int width) { return {QString::fromLatin1(name), DbfFieldType::Character, width}; }
DbfFieldDef I(const char *name) { return {QString::fromLatin1(name), DbfFieldType::Integer, 0}; }
DbfFieldDef L(const char *name) { return {QString::fromLatin1(name), DbfFieldType::Logical, 0}; }
DbfFieldDef F(const char *name) { return {QString::fromLatin1(name), DbfFieldType::Float, 0}; }

void recreate(const QString &workDir, const char *name, const std::vector<DbfFieldDef> &fields) {
    const QString file = DbfTable::findFile(workDir, QString::fromLatin1(name));
    if (!file.isEmpty())
        QFile::remove(file);
    DbfTable::create(workDir, QString::fromLatin1(name), fields);
}

} // namespace

void createSoluc(const QString &workDir) {
    recreate(workDir, "SOLUC",
             {C("PROF", 10), I("DIA"), I("HORA"), C("ASIG", 10), C("CODGRUPO", 10), C("TAREA", 10), C("AULA", 10),
              C("NOTA", 20)});
}

void createTables(const QString &workDir, const QString &start, const QString &end) {
    QDir().mkpath(workDir);
    createSoluc(workDir);
    recreate(workDir, "GRUPOST",
             {C("ABREV", 10), C("TURNO", 1), C("NIVEL", 5), C("CURSO", 3), C("GRUPO", 2), C("CLAVE", 10),
              C("CLAVECURSO", 10), C("DESCRIP", 80)});
    recreate(workDir, "CURSOST",
             {C("ABREV", 3), C("TURNO", 1), C("NIVEL", 5), C("CURSO", 3), C("CLAVE", 10), C("ESTUD", 80)});
    recreate(workDir, "PROFT",
             {C("ABREV", 10), C("NOMBRE", 80), C("DEPART", 40), I("DNI"), C("X_EMPLEADO", 10), C("F_TOMAPOS", 10)});
    recreate(workDir, "AULAT", {C("ABREV", 10), C("NOMBRE", 80), C("EDIFICIO", 1), I("MAXALUM"), C("DEPCENTRO", 10)});
    recreate(workDir, "ASIGNOMT",
             {C("COD", 10), C("CODLARGO", 10), C("NOMBRE", 80), C("CODTAREA", 10), L("ESTAREA")});
    recreate(workDir, "ASIGNOMT2",
             {C("COD", 10), C("CODLARGO", 10), C("NOMBRE", 80), C("MATERIA", 20), C("OFERTAMATRI", 20),
              C("CODTAREA", 10), L("ESTAREA")});
    recreate(workDir, "DIASHORAST",
             {C("DIHO", 10), C("CODDIHO", 10), C("DIA", 20), C("TEXTODIA", 20), C("HORA", 8), C("TEXTOHOR", 8),
              C("HORADESDE", 8), C("HORAHASTA", 8), C("MINUTOS", 8)});
    recreate(workDir, "ASIGT",
             {C("CASIG", 10), C("CPROF", 10), C("CGRUP", 10), C("CAULA", 10), C("TURNO", 1), C("NIVEL", 5),
              C("CURSO", 3), C("GRUPO", 2), F("HORAS"), C("SESIONES", 20), C("NCONEX", 4), C("CLAVE", 10),
              C("CLAVECURSO", 10), C("CTAREA", 10)});
    recreate(workDir, "PERIODOS", {C("CURSOANNO", 4), C("F_INICIO", 10), C("F_FIN", 10)});
    append(workDir, QStringLiteral("PERIODOS"),
           {{"CURSOANNO", QStringLiteral("2025")}, {"F_INICIO", start}, {"F_FIN", end}});
}

void append(const QString &workDir, const QString &table, Values values) {
    DbfTable t;
    t.open(workDir, table, DbfTable::Mode::Exclusive);
    t.append();
    for (const auto &[field, value] : values) {
        const QString name = QString::fromLatin1(field);
        if (value.typeId() == QMetaType::Int)
            t.setInteger(name, value.toInt());
        else
            t.setText(name, AnsiText::fromQString(value.toString()));
    }
    t.post();
    t.close();
}

void teacher(const QString &workDir, const QString &abbreviation, const QString &employee, const QString &postDate) {
    append(workDir, QStringLiteral("PROFT"),
           {{"ABREV", abbreviation}, {"X_EMPLEADO", employee}, {"F_TOMAPOS", postDate}});
}

void entry(const QString &workDir, const QString &teacher, int day, int slot, const QString &subject,
           const QString &group, const QString &activity, const QString &room) {
    append(workDir, QStringLiteral("SOLUC"),
           {{"PROF", teacher},
            {"DIA", day},
            {"HORA", slot},
            {"ASIG", subject},
            {"CODGRUPO", group},
            {"TAREA", activity},
            {"AULA", room},
            {"NOTA", QStringLiteral("sin leer")}});
}

void assignment(const QString &workDir, const QString &subject, const QString &group, const QString &senecaSubject,
                const QString &offer) {
    append(workDir, QStringLiteral("ASIGT"),
           {{"CASIG", subject}, {"CGRUP", group}, {"CLAVE", senecaSubject}, {"CLAVECURSO", offer},
            {"CTAREA", QStringLiteral("1")}});
}

void subject(const QString &workDir, const QString &code, const QString &activity) {
    append(workDir, QStringLiteral("ASIGNOMT"), {{"COD", code}, {"CODLARGO", code}, {"CODTAREA", activity}});
}

void subjectOffer(const QString &workDir, const QString &code, const QString &offer, const QString &senecaSubject) {
    append(workDir, QStringLiteral("ASIGNOMT2"),
           {{"COD", code}, {"CODLARGO", code}, {"MATERIA", senecaSubject}, {"OFERTAMATRI", offer}});
}

void slot(const QString &workDir, const QString &key, const QString &day, const QString &code, const QString &start,
          const QString &end) {
    append(workDir, QStringLiteral("DIASHORAST"),
           {{"DIHO", key}, {"CODDIHO", code}, {"DIA", day}, {"HORADESDE", start}, {"HORAHASTA", end}});
}

void group(const QString &workDir, const QString &abbreviation, const QString &unit, const QString &offer) {
    append(workDir, QStringLiteral("GRUPOST"),
           {{"ABREV", abbreviation}, {"NIVEL", QStringLiteral("NIV")}, {"CLAVE", unit}, {"CLAVECURSO", offer}});
}

} // namespace ExportFixture
