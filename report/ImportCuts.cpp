#include "report/ImportCuts.h"

#include <QStringList>

#include <map>
#include <set>
#include <string>

namespace {

const QString CutKind = QStringLiteral("Texto cortado a su campo");
const QString CollisionKind = QStringLiteral("Valores cortados que ahora coinciden");

QString q(const AnsiText &t) { return QStringLiteral("«%1»").arg(t.toQString()); }

struct Field {
    const SenecaGroup SenecaExport::*group;
    const char *groupName;
    size_t position;
    const char *datoName;
    const char *stored; // TABLE.FIELD
    int width;
    bool code;
};

const Field Fields[] = {
    {&SenecaExport::courses, "CURSOS_DEL_CENTRO", 0, "X_OFERTAMATRIG", "CURSOST.CLAVE", 10, true},
    {&SenecaExport::courses, "CURSOS_DEL_CENTRO", 1, "D_OFERTAMATRIG", "CURSOST.ESTUD", 80, false},
    {&SenecaExport::subjects, "MATERIAS", SenecaExport::SubjectOffer, "X_OFERTAMATRIG", "ASIGT.CLAVECURSO", 10, true},
    {&SenecaExport::subjects, "MATERIAS", SenecaExport::SubjectId, "X_MATERIAOMG", "ASIGT.CLAVE", 10, true},
    {&SenecaExport::subjects, "MATERIAS", SenecaExport::SubjectName, "D_MATERIAC", "ASIGNOMT.NOMBRE", 80, false},
    {&SenecaExport::activities, "ACTIVIDADES", 1, "X_ACTIVIDAD", "ASIGNOMT.CODTAREA", 10, true},
    {&SenecaExport::activities, "ACTIVIDADES", 2, "D_ACTIVIDAD", "ASIGNOMT.NOMBRE", 80, false},
    {&SenecaExport::staff, "EMPLEADOS", 0, "X_EMPLEADO", "PROFT.X_EMPLEADO", 10, true},
    {&SenecaExport::staff, "EMPLEADOS", 1, "F_TOMAPOS", "PROFT.F_TOMAPOS", 10, true},
    {&SenecaExport::staff, "EMPLEADOS", 2, "D_PUESTO", "PROFT.DEPART", 40, false},
    {&SenecaExport::rooms, "DEPENDENCIAS", 0, "X_DEPENDENCIA", "AULAT.ABREV", 10, true},
    {&SenecaExport::rooms, "DEPENDENCIAS", 1, "D_DEPENDENCIA", "AULAT.NOMBRE", 80, false},
    {&SenecaExport::units, "UNIDADES", 0, "X_UNIDAD", "GRUPOST.CLAVE", 10, true},
    {&SenecaExport::units, "UNIDADES", 2, "X_OFERTAMATRIG", "GRUPOST.CLAVECURSO", 10, true},
    {&SenecaExport::timeSlots, "TRAMOS_HORARIOS", 0, "X_TRAMO", "DIASHORAST.CODDIHO", 10, true},
    {&SenecaExport::timeSlots, "TRAMOS_HORARIOS", 1, "T_HORCEN", "DIASHORAST.HORA", 8, false},
};

// The time-slots step takes every record; the others skip those with fewer than two dato.
bool taken(const SenecaGroup &group, const SenecaRecord &r, const SenecaExport &s) {
    return &group == &s.timeSlots || r.datos >= 2;
}

void cut(Report &report, std::set<std::string> &reported, const QString &where, const char *datoName,
         const char *stored, const AnsiText &value, int width, bool code) {
    if (value.size() <= width || !reported.insert(std::string(stored) + '\0' + value.bytes()).second)
        return;
    report.add(code ? FindingLevel::Error : FindingLevel::Nota, CutKind,
               QStringLiteral("%1: %2 %3 tiene %4 caracteres y %5 guarda %6, sus %7 primeros.%8")
                   .arg(where, QString::fromLatin1(datoName), q(value), QString::number(value.size()),
                        QString::fromLatin1(stored), q(value.left(width)), QString::number(width),
                        code ? QStringLiteral(" La exportación hacia Séneca devolverá el código cortado, que "
                                              "Séneca no conoce.")
                             : QString()));
}

// Values that differ in full but equal each other once cut to the width.
void collisions(Report &report, const SenecaGroup &group, size_t position, int width, const QString &what,
                FindingLevel level, const QString &consequence) {
    std::map<std::string, std::set<std::string>> byCut;
    for (const SenecaRecord &r : group.records)
        if (r.at(position).size() > width || byCut.contains(r.at(position).left(width).bytes()))
            byCut[r.at(position).left(width).bytes()].insert(r.at(position).bytes());
    for (const SenecaRecord &r : group.records)
        if (r.at(position).size() <= width && byCut.contains(r.at(position).bytes()))
            byCut[r.at(position).bytes()].insert(r.at(position).bytes());
    for (const auto &[shortValue, values] : byCut) {
        if (values.size() < 2)
            continue;
        QStringList all;
        for (const std::string &v : values)
            all << q(AnsiText::fromBytes(v));
        report.add(level, CollisionKind,
                   QStringLiteral("%1 %2 quedan como %3: %4")
                       .arg(what, all.join(QStringLiteral(", ")), q(AnsiText::fromBytes(shortValue)), consequence));
    }
}

} // namespace

void ReportCuts(const SenecaExport &s, Report &report) {
    std::set<std::string> reported;
    if (s.yearPresent) {
        cut(report, reported, QStringLiteral("ANNO_ACADEMICO"), "C_ANNO", "PERIODOS.CURSOANNO", s.year, 4, true);
        cut(report, reported, QStringLiteral("ANNO_ACADEMICO"), "F_INIHORREG", "PERIODOS.F_INICIO", s.start, 10, true);
        cut(report, reported, QStringLiteral("ANNO_ACADEMICO"), "F_FINHORREG", "PERIODOS.F_FIN", s.end, 10, true);
    }
    for (const Field &f : Fields) {
        const SenecaGroup &group = s.*f.group;
        for (const SenecaRecord &r : group.records)
            if (taken(group, r, s))
                cut(report, reported, QStringLiteral("%1, registro %2").arg(QString::fromLatin1(f.groupName), r.seq),
                    f.datoName, f.stored, r.at(f.position), f.width, f.code);
    }
    for (const SenecaRecord &r : s.staff.records) {
        if (r.datos < 2)
            continue;
        const AnsiText fullName = r.at(3) + ' ' + r.at(4) + ' ' + r.at(5);
        cut(report, reported, QStringLiteral("EMPLEADOS, registro %1").arg(r.seq), "APELLIDO1 APELLIDO2 NOMBRE",
            "PROFT.NOMBRE", fullName, 80, false);
    }
    // Start and end of a slot get a "0" in front when shorter than four characters.
    for (const SenecaRecord &r : s.timeSlots.records)
        for (size_t position : {size_t(2), size_t(3)}) {
            const AnsiText value = r.at(position).size() < 4 ? AnsiText::ascii("0") + r.at(position) : r.at(position);
            cut(report, reported, QStringLiteral("TRAMOS_HORARIOS, registro %1").arg(r.seq),
                position == 2 ? "N_INICIO" : "N_FIN", position == 2 ? "DIASHORAST.HORADESDE" : "DIASHORAST.HORAHASTA",
                value, 8, true);
        }

    collisions(report, s.timeSlots, 1, 8, QStringLiteral("Los tramos"), FindingLevel::Aviso,
               QStringLiteral("en el programa de horarios no se distinguen por su nombre."));
    collisions(report, s.rooms, 0, 10, QStringLiteral("Las dependencias"), FindingLevel::Error,
               QStringLiteral("comparten el código de AULAT y el programa de horarios no las distingue."));
    collisions(report, s.subjects, SenecaExport::SubjectName, 80, QStringLiteral("Las materias"), FindingLevel::Aviso,
               QStringLiteral("los grupos reciben el código de la primera de ellas."));
}
